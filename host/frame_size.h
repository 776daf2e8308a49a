#pragma once

#include <windows.h>

#include <cstdint>

// Sizes in the frame mappings, computed in 64 bits from headers that the
// client wrote. kNoFrameSize stands for a size that no view can have
// (negative, or beyond 64 bits).

const uint64_t kNoFrameSize = UINT64_MAX;

// The view a BEGIN request maps for a header: biSizeImage, or when that is 0
// biWidth × |biHeight| × 4. A negative width gives kNoFrameSize.
uint64_t FrameViewSize(const BITMAPINFOHEADER& header);

// True when a view of that many bytes can be mapped in this process.
bool IsMappableViewSize(uint64_t size);

// The bytes a codec may read or write in a frame view for this header: the
// whole bitmap (rows padded to 4 bytes) for uncompressed formats, and at
// least biSizeImage for every format.
uint64_t FrameExtent(const BITMAPINFOHEADER& header);
