#include "host/param_layout.h"

#include <cstring>

#include "host/host_protocol.h"

namespace {

bool InsideParamArea(uint64_t offset, uint64_t size)
{
    return offset <= kParamAreaSize && size <= kParamAreaSize - offset;
}

// The input header at `offset` and where its output header starts.
bool PlaceInputHeader(const uint8_t* area, uint32_t layouts, uint32_t offset, ParamPlaces* places)
{
    BITMAPINFOHEADER input;
    if (!ReadHeader(area, offset, &input) || !HeaderFits(area, offset))
        return false;
    places->input = offset;
    // HeaderFits keeps the whole span, and so biSize, inside ParamArea.
    places->output = static_cast<uint32_t>(BehindHeader(offset, input, layouts));
    return true;
}

}

bool ReadHeader(const uint8_t* area, uint64_t offset, BITMAPINFOHEADER* header)
{
    if (!InsideParamArea(offset, sizeof *header))
        return false;
    std::memcpy(header, area + offset, sizeof *header);
    return true;
}

bool HeaderFits(const uint8_t* area, uint64_t offset, uint64_t room)
{
    BITMAPINFOHEADER header;
    if (!ReadHeader(area, offset, &header))
        return false;
    uint64_t span = HeaderWholeSpan(header);
    return InsideParamArea(offset, span > room ? span : room);
}

bool PlaceHeaderPair(const uint8_t* area, uint32_t layouts, bool withInput, bool withOutput,
                     uint32_t outputRoom, ParamPlaces* places)
{
    *places = ParamPlaces();
    if (withInput && !PlaceInputHeader(area, layouts, kHeaderPairInputOffset, places))
        return false;
    return !withOutput || HeaderFits(area, places->output, outputRoom);
}

bool PlaceCompress(const uint8_t* area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places)
{
    *places = ParamPlaces();
    BITMAPINFOHEADER output;
    if (recordSize > kParamAreaSize || !PlaceInputHeader(area, layouts, kCompressInputOffset, places)
        || !ReadHeader(area, places->output, &output) || !HeaderFits(area, places->output))
        return false;
    uint64_t slots = BehindHeader(places->output, output, layouts);
    if (!InsideParamArea(slots, 2 * sizeof(DWORD)))
        return false;
    places->chunkId = static_cast<uint32_t>(slots);
    places->flags = places->chunkId + sizeof(DWORD);
    return true;
}

bool PlaceDecompress(const uint8_t* area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places)
{
    *places = ParamPlaces();
    return recordSize <= kParamAreaSize && PlaceInputHeader(area, layouts, kDecompressInputOffset, places)
        && HeaderFits(area, places->output);
}
