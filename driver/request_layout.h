#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

// How one request of a 64-bit program lies in ParamArea for the host: the
// 32-bit records, the headers with what they carry, and the places of the
// results. Pure code on a ParamArea-sized buffer (kParamAreaSize bytes),
// placing every item with BehindHeader exactly as the host does in the
// layouts in effect (HostLayouts). Each Put returns false, having written
// whatever fitted, when an item would not fit ParamArea.

// Offsets in ParamArea of a request's items.
struct RequestPlaces {
    uint32_t input;
    uint32_t output;
    uint32_t chunkId; // Compress layout only
    uint32_t flags; // Compress layout only
};

// The Header pair layout: the input header (when given) at offset 0 and the
// output place behind it, or at 0 without an input header. `outputRoom`
// bytes from the output place are cleared for what the codec writes there;
// then the output header, when given, is copied in.
bool PutHeaderPair(uint8_t* area, uint32_t layouts, const BITMAPINFOHEADER* input,
                   const BITMAPINFOHEADER* output, uint32_t outputRoom, RequestPlaces* places);

// The Compress layout: the record in its 32-bit form (the host sets the
// pointers; the previous frame cannot travel and goes as none), the input
// header at 48, the output header behind it and the cleared chunk-id and
// flag slots behind that.
bool PutCompress(uint8_t* area, uint32_t layouts, const ICCOMPRESS& record, RequestPlaces* places);

// The Decompress layout: the 32-bit record, the input header at 24 and the
// output header behind it.
bool PutDecompress(uint8_t* area, uint32_t layouts, const ICDECOMPRESS& record, RequestPlaces* places);

// What a compressed frame leaves in ParamArea, copied out once.
struct CompressResults {
    BITMAPINFOHEADER output;
    DWORD chunkId;
    DWORD flags;
};
CompressResults TakeCompressResults(const uint8_t* area, const RequestPlaces& places);

// A header the codec wrote at `offset` with everything it carries, copied
// out once and measured on the copy; empty when not even a header fits.
std::vector<uint8_t> TakeHeaderSpan(const uint8_t* area, uint32_t offset);

// The size a frame mapping needs for frames of this header: the view the
// host maps and every byte the codec may touch; kNoFrameSize when none.
uint64_t FrameMappingSize(const BITMAPINFOHEADER& header);
