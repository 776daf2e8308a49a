#pragma once

#include <windows.h>

#include <cstdint>

// Layout checks on ParamArea as the client wrote it. Every offset and size
// there comes from the other process, so sums are taken in 64 bits and a
// request is refused unless everything the codec may touch through a pointer
// into ParamArea lies inside it. The checks return the offsets they checked;
// the host builds its pointers from those, not from a second read.

// Room for a format that the codec writes behind a header: a
// BITMAPINFOHEADER and a full 256-entry colour table.
const uint32_t kFormatRoom = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// Copies the header at `offset`; false when it does not lie inside ParamArea.
bool ReadHeader(const uint8_t* area, uint64_t offset, BITMAPINFOHEADER* header);

// True when the header at `offset` and its whole span (the bytes a codec may
// touch through a pointer to it: at least a BITMAPINFOHEADER, and the colour
// table or bit masks it declares), and at least `room` bytes from `offset`,
// lie inside ParamArea.
bool HeaderFits(const uint8_t* area, uint64_t offset, uint64_t room = 0);

// Offsets in ParamArea of a request's headers and result slots.
struct ParamPlaces {
    uint32_t input;
    uint32_t output;
    uint32_t chunkId; // Compress layout only
    uint32_t flags; // Compress layout only
};

// The three functions below place a request's items in `layouts`
// (HostLayouts): each item that follows a header lies behind that header's
// biSize bytes in the classic layouts, behind its whole span otherwise.
//
// The Header pair layout. With an input header, the output header lies
// right behind the input header, otherwise at offset 0.
// `withInput`/`withOutput` say which of the two the codec receives; an
// output header must leave `outputRoom` bytes for what the codec writes.
// places->output is filled whenever the input header fits.
bool PlaceHeaderPair(const uint8_t* area, uint32_t layouts, bool withInput, bool withOutput,
                     uint32_t outputRoom, ParamPlaces* places);

// The Compress layout: the record size the client states, the input header
// at 48, the output header behind it, and the chunk-id and flag slots behind
// the output header.
bool PlaceCompress(const uint8_t* area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places);

// The Decompress layout: the record size, the input header at 24 and the
// output header behind it.
bool PlaceDecompress(const uint8_t* area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places);
