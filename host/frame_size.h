#pragma once

#include <windows.h>

#include <cstdint>

// How large the frame views of a series are, computed from headers that the
// client wrote, in 64 bits and saturating: kNoFrameSize stands for a size
// that no view can have (negative, or beyond 64 bits).
//
// The client's obligation: before a BEGIN request it creates "<name>FrameIn"
// of at least FrameMappingSize(input header) bytes and "<name>FrameOut" of
// at least FrameMappingSize(output header, the codec's
// ICM_COMPRESS_GET_SIZE answer for those headers when compressing). The
// host maps each mapping whole; a smaller mapping fails the BEGIN.
// Both halves compile this header.

const uint64_t kNoFrameSize = UINT64_MAX;

// The classic view size of a header: biSizeImage, or when that is 0
// biWidth × |biHeight| × 4. A negative width gives kNoFrameSize.
uint64_t FrameViewSize(const BITMAPINFOHEADER& header);

// True for formats whose frames are sized by their dimensions alone: RGB,
// bit fields and the raw YUV formats (YUY2, UYVY, YVYU, YV12, I420, IYUV,
// NV12, NV21, Y800 ...). Everything else is compressed data, sized by
// biSizeImage.
bool IsSizedByDimensions(const BITMAPINFOHEADER& header);

// The bytes a bitmap of that format and those dimensions occupies, rows and
// planes padded to 4 bytes; kNoFrameSize for a negative width.
uint64_t FrameBitmapSize(const BITMAPINFOHEADER& header);

// The bytes a codec may read or write in a frame view for this header: the
// bitmap for formats sized by their dimensions, biSizeImage for compressed
// data, and never less than biSizeImage.
uint64_t FrameExtent(const BITMAPINFOHEADER& header);

// The frame view of a series: the view size, the extent and what the codec
// says it may write (0 when it says nothing), whichever is largest.
uint64_t FrameMappingSize(const BITMAPINFOHEADER& header, uint64_t codecMaximum = 0);

// True when a view of that many bytes can be mapped in this process.
bool IsMappableViewSize(uint64_t size);
