#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "host/param_copy.h"

// Layout checks on the private copy of ParamArea. Every offset and size
// there comes from the other process, so sums are taken in 64 bits and a
// request is refused unless every header is one a bitmap can have (see
// header_check.h) and everything the codec may touch through a pointer into
// the area lies inside it. The checks take the bytes they look at into the
// copy, in order, and return the offsets they checked.

// Room for a format or palette that the codec writes behind a header: a
// BITMAPINFOHEADER and a full 256-entry colour table.
const uint32_t kFormatRoom = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// The room a GET_FORMAT request gives the codec for the format it names
// `size` bytes for: that size, at least a header; kFormatRoom when it names
// none. Both sides lay the request out by it.
inline uint32_t FormatRoom(int32_t size)
{
    return size > 0 ? std::max<uint32_t>(static_cast<uint32_t>(size), sizeof(BITMAPINFOHEADER)) : kFormatRoom;
}

// Copies the header at `offset`; false when it does not lie inside ParamArea.
bool ReadHeader(ParamCopy& area, uint64_t offset, BITMAPINFOHEADER* header);

// True when the header at `offset` is a bitmap header and its whole span
// (at least a BITMAPINFOHEADER, and the colour table or bit masks it
// declares) lies inside ParamArea. The header goes to `header` when given.
bool HeaderFits(ParamCopy& area, uint64_t offset, BITMAPINFOHEADER* header = nullptr);

// Offsets in ParamArea of a request's headers and result slots.
struct ParamPlaces {
    uint32_t input;
    uint32_t output;
    uint32_t chunkId; // Compress layout only
    uint32_t flags; // Compress layout only
    uint32_t previous; // whole-record Compress layout, when the record names it; else 0
    uint32_t end; // where the request's last item ends
};

// The functions below place a request's items in `layouts` (HostLayouts):
// each item that follows a header lies behind that header's biSize bytes in
// the classic layouts, behind its whole span otherwise.
//
// The input header at `offset` and where the item behind it starts
// (places->output).
bool PlaceInputHeader(ParamCopy& area, uint32_t layouts, uint32_t offset, ParamPlaces* places);

// The Header pair layout. With an input header, the output header lies
// right behind it, otherwise at offset 0. `withInput`/`withOutput` say which
// of the two the codec receives. places->output is filled whenever the input
// header fits.
bool PlaceHeaderPair(ParamCopy& area, uint32_t layouts, bool withInput, bool withOutput, ParamPlaces* places);
// The same pair starting at `offset` instead of 0.
bool PlaceHeaderPairAt(ParamCopy& area, uint32_t layouts, uint32_t offset, bool withInput, bool withOutput,
                       ParamPlaces* places);

// The Compress layout: the record size the client states, the record, the
// input header at 48, the output header behind it, and the chunk-id and flag
// slots behind the output header; in the whole-record layouts also the
// previous frame's header behind the slots when the record's lpbiPrev names
// it.
bool PlaceCompress(ParamCopy& area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places);

// The Decompress layout: the record size, the record, the input header at
// 24 and the output header behind it.
bool PlaceDecompress(ParamCopy& area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places);

// The layouts that only the whole-record layouts know (host_protocol.h): a
// record, then the headers its lpbi fields name, in record order. For
// Decompress-ex the source header is `input` and the destination `output`.
bool PlaceDecompressEx(ParamCopy& area, uint32_t recordSize, ParamPlaces* places);
bool PlaceFramesInfo(ParamCopy& area, uint32_t recordSize, ParamPlaces* places);
