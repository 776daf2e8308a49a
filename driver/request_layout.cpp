#include "driver/request_layout.h"

#include <algorithm>
#include <cstring>

#include "host/frame_size.h"
#include "host/host_protocol.h"

namespace {

bool Fits(uint64_t offset, uint64_t size)
{
    return offset <= kParamAreaSize && size <= kParamAreaSize - offset;
}

// Copies the header with everything it carries to `offset`; `behind` gets
// where the next item lies in these layouts.
bool PutHeader(uint8_t* area, uint32_t layouts, uint64_t offset, const BITMAPINFOHEADER& header,
               uint64_t* behind)
{
    uint64_t span = HeaderWholeSpan(header);
    if (!Fits(offset, span))
        return false;
    std::memcpy(area + offset, &header, span);
    *behind = BehindHeader(offset, header, layouts);
    return true;
}

bool PutRecordHeaders(uint8_t* area, uint32_t layouts, uint32_t offset, const BITMAPINFOHEADER* input,
                      const BITMAPINFOHEADER* output, RequestPlaces* places, uint64_t* behindOutput)
{
    uint64_t outputOffset;
    if (input == nullptr || output == nullptr || !PutHeader(area, layouts, offset, *input, &outputOffset)
        || !PutHeader(area, layouts, outputOffset, *output, behindOutput))
        return false;
    places->input = offset;
    places->output = static_cast<uint32_t>(outputOffset);
    return true;
}

}

bool PutHeaderPair(uint8_t* area, uint32_t layouts, const BITMAPINFOHEADER* input,
                   const BITMAPINFOHEADER* output, uint32_t outputRoom, RequestPlaces* places)
{
    *places = RequestPlaces();
    uint64_t outputOffset = 0;
    if (input != nullptr && !PutHeader(area, layouts, 0, *input, &outputOffset))
        return false;
    places->output = static_cast<uint32_t>(outputOffset);
    if (!Fits(outputOffset, outputRoom))
        return false;
    std::memset(area + outputOffset, 0, outputRoom);
    uint64_t ignored;
    return output == nullptr || PutHeader(area, layouts, outputOffset, *output, &ignored);
}

bool PutCompress(uint8_t* area, uint32_t layouts, const ICCOMPRESS& record, RequestPlaces* places)
{
    *places = RequestPlaces();
    IcCompress32 record32 = {};
    record32.dwFlags = record.dwFlags;
    record32.lFrameNum = record.lFrameNum;
    record32.dwFrameSize = record.dwFrameSize;
    record32.dwQuality = record.dwQuality;
    std::memcpy(area, &record32, sizeof record32);
    uint64_t slots;
    if (!PutRecordHeaders(area, layouts, kCompressInputOffset, record.lpbiInput, record.lpbiOutput, places,
                          &slots)
        || !Fits(slots, 2 * sizeof(DWORD)))
        return false;
    std::memset(area + slots, 0, 2 * sizeof(DWORD));
    places->chunkId = static_cast<uint32_t>(slots);
    places->flags = places->chunkId + sizeof(DWORD);
    return true;
}

bool PutDecompress(uint8_t* area, uint32_t layouts, const ICDECOMPRESS& record, RequestPlaces* places)
{
    *places = RequestPlaces();
    IcDecompress32 record32 = {};
    record32.dwFlags = record.dwFlags;
    record32.ckid = record.ckid;
    std::memcpy(area, &record32, sizeof record32);
    uint64_t ignored;
    return PutRecordHeaders(area, layouts, kDecompressInputOffset, record.lpbiInput, record.lpbiOutput,
                            places, &ignored);
}

CompressResults TakeCompressResults(const uint8_t* area, const RequestPlaces& places)
{
    CompressResults results;
    std::memcpy(&results.output, area + places.output, sizeof results.output);
    std::memcpy(&results.chunkId, area + places.chunkId, sizeof results.chunkId);
    std::memcpy(&results.flags, area + places.flags, sizeof results.flags);
    return results;
}

std::vector<uint8_t> TakeHeaderSpan(const uint8_t* area, uint32_t offset)
{
    if (!Fits(offset, sizeof(BITMAPINFOHEADER)))
        return std::vector<uint8_t>();
    std::vector<uint8_t> copy(area + offset, area + kParamAreaSize);
    BITMAPINFOHEADER header;
    std::memcpy(&header, copy.data(), sizeof header);
    copy.resize(static_cast<size_t>(std::min<uint64_t>(HeaderWholeSpan(header), copy.size())));
    return copy;
}

uint64_t FrameMappingSize(const BITMAPINFOHEADER& header)
{
    uint64_t view = FrameViewSize(header);
    uint64_t extent = FrameExtent(header);
    if (view == kNoFrameSize || extent == kNoFrameSize)
        return kNoFrameSize;
    return std::max(view, extent);
}
