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
    uint32_t previous; // whole-record Compress layout, when the record names it
    uint32_t end; // where the request's last item ends
};

// Where a frame request's frames lie in the views of its series, as the
// whole-record layouts carry them (FramePlace values, kNoPlace for none).
// The other layouts carry no frame places.
struct FramePlaces {
    uint32_t input = 0;
    uint32_t output = 0;
    uint32_t previous = 0;
};

// The Header pair layout: the input header (when given) at offset 0 and the
// output place behind it, or at 0 without an input header. `outputRoom`
// bytes from the output place are cleared for what the codec writes there;
// then the output header, when given, is copied in.
bool PutHeaderPair(uint8_t* area, uint32_t layouts, const BITMAPINFOHEADER* input,
                   const BITMAPINFOHEADER* output, uint32_t outputRoom, RequestPlaces* places);

// The two GET_FORMAT requests: the input header at offset 0 and behind it
// `room` bytes for the format the codec writes, cleared, which start with
// `given` bytes of the program's output: what the program filled in there,
// which the codec may read.
bool PutFormatRequest(uint8_t* area, uint32_t layouts, const BITMAPINFOHEADER& input, const void* output,
                      uint64_t given, uint64_t room, RequestPlaces* places);

// The Compress layout: the record in its 32-bit form, the input header at
// 48, the output header behind it and the chunk-id and flag slots behind
// that. In the classic and whole-header layouts the host sets the pointers,
// the previous frame cannot travel and goes as none, and the slots are
// cleared. In the whole-record layouts the pointer fields say what the
// program passed (the frames at `frames`), the slots carry the program's
// values, and the previous frame's header follows them when there is one.
bool PutCompress(uint8_t* area, uint32_t layouts, const ICCOMPRESS& record, RequestPlaces* places,
                 const FramePlaces& frames = FramePlaces());

// The Decompress layout: the 32-bit record, the input header at 24 and the
// output header behind it; in the whole-record layouts with the frames'
// places.
bool PutDecompress(uint8_t* area, uint32_t layouts, const ICDECOMPRESS& record, RequestPlaces* places,
                   const FramePlaces& frames = FramePlaces());

// The layouts only the whole-record layouts know. Decompress-ex: the record
// and the source (`input`) and destination (`output`) headers it names.
// Frames info: the record and its input and output headers; the program's
// functions go as none.
bool PutDecompressEx(uint8_t* area, const ICDECOMPRESSEX& record, RequestPlaces* places,
                     const FramePlaces& frames = FramePlaces());
bool PutFramesInfo(uint8_t* area, const ICCOMPRESSFRAMES& record, RequestPlaces* places);

// What a compressed frame leaves in ParamArea, copied out once.
struct CompressResults {
    BITMAPINFOHEADER output;
    DWORD chunkId;
    DWORD flags;
};
CompressResults TakeCompressResults(const uint8_t* area, const RequestPlaces& places);

// The record size a 32-bit program would state for the same part of a
// record that a 64-bit program states `size` bytes of: the fields that lie
// wholly inside `size` bytes, laid out for 32 bits, and whatever follows
// the record as it is.
uint32_t CompressRecordSize32(uint64_t size);
uint32_t DecompressRecordSize32(uint64_t size);
uint32_t DecompressExRecordSize32(uint64_t size);
uint32_t FramesInfoRecordSize32(uint64_t size);

// A header the codec wrote at `offset` with everything it carries, copied
// out once and measured on the copy; empty when not even a header fits.
std::vector<uint8_t> TakeHeaderSpan(const uint8_t* area, uint32_t offset);

// Copies what the codec left to a place of the program only where it
// differs from what the place holds: a program may pass read-only memory
// for what a codec leaves alone.
void ReturnIfChanged(void* place, const void* left, size_t size);

// The program's header as the codec left it at `offset`: `span` bytes (what
// the program's header spanned when it went in), copied out once.
void ReturnHeader(const uint8_t* area, uint32_t offset, uint64_t span, BITMAPINFOHEADER* header);
