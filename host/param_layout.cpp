#include "host/param_layout.h"

#include <cstring>

#include "host/header_check.h"
#include "host/host_protocol.h"

bool ReadHeader(ParamCopy& area, uint64_t offset, BITMAPINFOHEADER* header)
{
    if (!area.Take(offset + sizeof *header))
        return false;
    std::memcpy(header, area.At(static_cast<uint32_t>(offset)), sizeof *header);
    return true;
}

bool HeaderFits(ParamCopy& area, uint64_t offset, BITMAPINFOHEADER* header)
{
    BITMAPINFOHEADER read;
    if (!ReadHeader(area, offset, &read) || !IsBitmapHeader(read)
        || !area.Take(offset + HeaderWholeSpan(read)))
        return false;
    if (header != nullptr)
        *header = read;
    return true;
}

bool PlaceInputHeader(ParamCopy& area, uint32_t layouts, uint32_t offset, ParamPlaces* places)
{
    BITMAPINFOHEADER input;
    if (!HeaderFits(area, offset, &input))
        return false;
    places->input = offset;
    // HeaderFits keeps the whole span, and so biSize, inside ParamArea.
    places->output = static_cast<uint32_t>(BehindHeader(offset, input, layouts));
    return true;
}

bool PlaceHeaderPair(ParamCopy& area, uint32_t layouts, bool withInput, bool withOutput, ParamPlaces* places)
{
    *places = ParamPlaces();
    if (withInput && !PlaceInputHeader(area, layouts, kHeaderPairInputOffset, places))
        return false;
    return !withOutput || HeaderFits(area, places->output);
}

bool PlaceCompress(ParamCopy& area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places)
{
    *places = ParamPlaces();
    BITMAPINFOHEADER output;
    if (recordSize > kParamAreaSize || !area.Take(sizeof(IcCompress32))
        || !PlaceInputHeader(area, layouts, kCompressInputOffset, places)
        || !HeaderFits(area, places->output, &output))
        return false;
    uint64_t slots = BehindHeader(places->output, output, layouts);
    if (!area.Take(slots + 2 * sizeof(DWORD)))
        return false;
    places->chunkId = static_cast<uint32_t>(slots);
    places->flags = places->chunkId + sizeof(DWORD);
    return true;
}

bool PlaceDecompress(ParamCopy& area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places)
{
    *places = ParamPlaces();
    return recordSize <= kParamAreaSize && area.Take(sizeof(IcDecompress32))
        && PlaceInputHeader(area, layouts, kDecompressInputOffset, places)
        && HeaderFits(area, places->output);
}
