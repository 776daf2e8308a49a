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

bool PlaceHeaderPairAt(ParamCopy& area, uint32_t layouts, uint32_t offset, bool withInput, bool withOutput,
                       ParamPlaces* places)
{
    *places = ParamPlaces();
    places->output = offset;
    places->end = offset;
    if (withInput && !PlaceInputHeader(area, layouts, offset, places))
        return false;
    if (withInput)
        places->end = places->output;
    BITMAPINFOHEADER output;
    if (!withOutput)
        return true;
    if (!HeaderFits(area, places->output, &output))
        return false;
    places->end = static_cast<uint32_t>(BehindHeader(places->output, output, layouts));
    return true;
}

bool PlaceHeaderPair(ParamCopy& area, uint32_t layouts, bool withInput, bool withOutput, ParamPlaces* places)
{
    return PlaceHeaderPairAt(area, layouts, kHeaderPairInputOffset, withInput, withOutput, places);
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
    places->end = places->flags + sizeof(DWORD);
    IcCompress32 record;
    std::memcpy(&record, area.At(0), sizeof record);
    if (layouts != kLayoutsWholeRecords || record.lpbiPrev == kNoPlace)
        return true;
    BITMAPINFOHEADER previous;
    if (!HeaderFits(area, places->end, &previous))
        return false;
    places->previous = places->end;
    places->end = static_cast<uint32_t>(BehindHeader(places->previous, previous, layouts));
    return true;
}

bool PlaceDecompress(ParamCopy& area, uint32_t layouts, uint32_t recordSize, ParamPlaces* places)
{
    *places = ParamPlaces();
    BITMAPINFOHEADER output;
    if (recordSize > kParamAreaSize || !area.Take(sizeof(IcDecompress32))
        || !PlaceInputHeader(area, layouts, kDecompressInputOffset, places)
        || !HeaderFits(area, places->output, &output))
        return false;
    places->end = static_cast<uint32_t>(BehindHeader(places->output, output, layouts));
    return true;
}

bool PlaceDecompressEx(ParamCopy& area, uint32_t recordSize, ParamPlaces* places)
{
    IcDecompressEx32 record;
    if (recordSize > kParamAreaSize || !area.Take(sizeof record))
        return false;
    std::memcpy(&record, area.At(0), sizeof record);
    return PlaceHeaderPairAt(area, kLayoutsWholeRecords, kDecompressExSourceOffset,
                             record.lpbiSrc != kNoPlace, record.lpbiDst != kNoPlace, places);
}

bool PlaceFramesInfo(ParamCopy& area, uint32_t recordSize, ParamPlaces* places)
{
    IcCompressFrames32 record;
    if (recordSize > kParamAreaSize || !area.Take(sizeof record))
        return false;
    std::memcpy(&record, area.At(0), sizeof record);
    return PlaceHeaderPairAt(area, kLayoutsWholeRecords, kFramesInfoInputOffset, record.lpbiInput != kNoPlace,
                             record.lpbiOutput != kNoPlace, places);
}
