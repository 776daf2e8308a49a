#include "driver/request_layout.h"

#include <algorithm>
#include <cstring>

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

bool PutHeaderPairAt(uint8_t* area, uint32_t layouts, uint32_t offset, const BITMAPINFOHEADER* input,
                     const BITMAPINFOHEADER* output, RequestPlaces* places, uint32_t outputRoom = 0)
{
    *places = RequestPlaces();
    uint64_t outputOffset = offset;
    if (input != nullptr && !PutHeader(area, layouts, offset, *input, &outputOffset))
        return false;
    places->input = offset;
    places->output = static_cast<uint32_t>(outputOffset);
    places->end = places->output;
    if (!Fits(outputOffset, outputRoom))
        return false;
    std::memset(area + outputOffset, 0, outputRoom);
    uint64_t behind;
    if (output == nullptr)
        return true;
    if (!PutHeader(area, layouts, outputOffset, *output, &behind))
        return false;
    places->end = static_cast<uint32_t>(behind);
    return true;
}

// A whole-record place for an item at its place in ParamArea.
uint32_t Given(const void* item)
{
    return item != nullptr ? kItemGiven : kNoPlace;
}

}

bool PutHeaderPair(uint8_t* area, uint32_t layouts, const BITMAPINFOHEADER* input,
                   const BITMAPINFOHEADER* output, uint32_t outputRoom, RequestPlaces* places)
{
    return PutHeaderPairAt(area, layouts, kHeaderPairInputOffset, input, output, places, outputRoom);
}

bool PutFormatRequest(uint8_t* area, uint32_t layouts, const BITMAPINFOHEADER& input, const void* output,
                      uint64_t given, uint64_t room, RequestPlaces* places)
{
    if (given > room || room > kParamAreaSize
        || !PutHeaderPairAt(area, layouts, kHeaderPairInputOffset, &input, nullptr, places,
                            static_cast<uint32_t>(room)))
        return false;
    std::memcpy(area + places->output, output, static_cast<size_t>(given));
    return true;
}

bool PutCompress(uint8_t* area, uint32_t layouts, const ICCOMPRESS& record, RequestPlaces* places,
                 const FramePlaces& frames)
{
    *places = RequestPlaces();
    bool whole = layouts == kLayoutsWholeRecords;
    IcCompress32 record32 = {};
    record32.dwFlags = record.dwFlags;
    record32.lFrameNum = record.lFrameNum;
    record32.dwFrameSize = record.dwFrameSize;
    record32.dwQuality = record.dwQuality;
    if (whole) {
        record32.lpbiOutput = Given(record.lpbiOutput);
        record32.lpOutput = frames.output;
        record32.lpbiInput = Given(record.lpbiInput);
        record32.lpInput = frames.input;
        record32.lpckid = Given(record.lpckid);
        record32.lpdwFlags = Given(record.lpdwFlags);
        record32.lpbiPrev = Given(record.lpbiPrev);
        record32.lpPrev = frames.previous;
    }
    std::memcpy(area, &record32, sizeof record32);
    uint64_t slots;
    if (!PutRecordHeaders(area, layouts, kCompressInputOffset, record.lpbiInput, record.lpbiOutput, places,
                          &slots)
        || !Fits(slots, 2 * sizeof(DWORD)))
        return false;
    DWORD values[2] = {};
    if (whole && record.lpckid != nullptr)
        values[0] = *record.lpckid;
    if (whole && record.lpdwFlags != nullptr)
        values[1] = *record.lpdwFlags;
    std::memcpy(area + slots, values, sizeof values);
    places->chunkId = static_cast<uint32_t>(slots);
    places->flags = places->chunkId + sizeof(DWORD);
    places->end = places->flags + sizeof(DWORD);
    if (!whole || record.lpbiPrev == nullptr)
        return true;
    uint64_t behind;
    if (!PutHeader(area, layouts, places->end, *record.lpbiPrev, &behind))
        return false;
    places->previous = places->end;
    places->end = static_cast<uint32_t>(behind);
    return true;
}

bool PutDecompress(uint8_t* area, uint32_t layouts, const ICDECOMPRESS& record, RequestPlaces* places,
                   const FramePlaces& frames)
{
    *places = RequestPlaces();
    IcDecompress32 record32 = {};
    record32.dwFlags = record.dwFlags;
    record32.ckid = record.ckid;
    if (layouts == kLayoutsWholeRecords) {
        record32.lpbiInput = Given(record.lpbiInput);
        record32.lpInput = frames.input;
        record32.lpbiOutput = Given(record.lpbiOutput);
        record32.lpOutput = frames.output;
    }
    std::memcpy(area, &record32, sizeof record32);
    uint64_t behind;
    if (!PutRecordHeaders(area, layouts, kDecompressInputOffset, record.lpbiInput, record.lpbiOutput, places,
                          &behind))
        return false;
    places->end = static_cast<uint32_t>(behind);
    return true;
}

bool PutDecompressEx(uint8_t* area, const ICDECOMPRESSEX& record, RequestPlaces* places,
                     const FramePlaces& frames)
{
    IcDecompressEx32 record32
        = {record.dwFlags, Given(record.lpbiSrc), frames.input, Given(record.lpbiDst), frames.output,
           record.xDst,    record.yDst,           record.dxDst, record.dyDst,          record.xSrc,
           record.ySrc,    record.dxSrc,          record.dySrc};
    std::memcpy(area, &record32, sizeof record32);
    return PutHeaderPairAt(area, kLayoutsWholeRecords, kDecompressExSourceOffset, record.lpbiSrc,
                           record.lpbiDst, places);
}

bool PutFramesInfo(uint8_t* area, const ICCOMPRESSFRAMES& record, RequestPlaces* places)
{
    IcCompressFrames32 record32 = {record.dwFlags,
                                   Given(record.lpbiOutput),
                                   static_cast<uint32_t>(record.lOutput),
                                   Given(record.lpbiInput),
                                   static_cast<uint32_t>(record.lInput),
                                   record.lStartFrame,
                                   record.lFrameCount,
                                   record.lQuality,
                                   record.lDataRate,
                                   record.lKeyRate,
                                   record.dwRate,
                                   record.dwScale,
                                   record.dwOverheadPerFrame,
                                   record.dwReserved2,
                                   0,
                                   0};
    std::memcpy(area, &record32, sizeof record32);
    return PutHeaderPairAt(area, kLayoutsWholeRecords, kFramesInfoInputOffset, record.lpbiInput,
                           record.lpbiOutput, places);
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

void ReturnIfChanged(void* place, const void* left, size_t size)
{
    if (std::memcmp(place, left, size) != 0)
        std::memcpy(place, left, size);
}

void ReturnHeader(const uint8_t* area, uint32_t offset, uint64_t span, BITMAPINFOHEADER* header)
{
    if (!Fits(offset, span))
        return;
    std::vector<uint8_t> left(area + offset, area + offset + span);
    ReturnIfChanged(header, left.data(), left.size());
}

namespace {

// The end of one field in a record's 64-bit layout and in its 32-bit one.
struct FieldEnds {
    uint32_t end64;
    uint32_t end32;
};

#define TANDREL_FIELD(Record32, Record64, field)                                                             \
    FieldEnds                                                                                                \
    {                                                                                                        \
        static_cast<uint32_t>(offsetof(Record64, field) + sizeof(Record64::field)),                          \
            static_cast<uint32_t>(offsetof(Record32, field) + sizeof(Record32::field))                       \
    }

// `whole` holds the two records' sizes, padding included.
template <size_t count>
uint32_t RecordSize32(const FieldEnds (&fields)[count], FieldEnds whole, uint64_t size)
{
    if (size >= whole.end64)
        return whole.end32 + static_cast<uint32_t>(std::min<uint64_t>(size - whole.end64, kParamAreaSize));
    uint32_t covered = 0;
    for (const FieldEnds& field : fields) {
        if (field.end64 <= size)
            covered = field.end32;
    }
    return covered;
}

}

uint32_t CompressRecordSize32(uint64_t size)
{
    static const FieldEnds fields[] = {
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, dwFlags),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpbiOutput),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpOutput),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpbiInput),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpInput),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpckid),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpdwFlags),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lFrameNum),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, dwFrameSize),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, dwQuality),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpbiPrev),
        TANDREL_FIELD(IcCompress32, ICCOMPRESS, lpPrev),
    };
    return RecordSize32(fields, {sizeof(ICCOMPRESS), sizeof(IcCompress32)}, size);
}

uint32_t DecompressRecordSize32(uint64_t size)
{
    static const FieldEnds fields[] = {
        TANDREL_FIELD(IcDecompress32, ICDECOMPRESS, dwFlags),
        TANDREL_FIELD(IcDecompress32, ICDECOMPRESS, lpbiInput),
        TANDREL_FIELD(IcDecompress32, ICDECOMPRESS, lpInput),
        TANDREL_FIELD(IcDecompress32, ICDECOMPRESS, lpbiOutput),
        TANDREL_FIELD(IcDecompress32, ICDECOMPRESS, lpOutput),
        TANDREL_FIELD(IcDecompress32, ICDECOMPRESS, ckid),
    };
    return RecordSize32(fields, {sizeof(ICDECOMPRESS), sizeof(IcDecompress32)}, size);
}

uint32_t DecompressExRecordSize32(uint64_t size)
{
    static const FieldEnds fields[] = {
        TANDREL_FIELD(IcDecompressEx32, ICDECOMPRESSEX, dwFlags),
        TANDREL_FIELD(IcDecompressEx32, ICDECOMPRESSEX, lpbiSrc),
        TANDREL_FIELD(IcDecompressEx32, ICDECOMPRESSEX, lpSrc),
        TANDREL_FIELD(IcDecompressEx32, ICDECOMPRESSEX, lpbiDst),
        TANDREL_FIELD(IcDecompressEx32, ICDECOMPRESSEX, lpDst),
        TANDREL_FIELD(IcDecompressEx32, ICDECOMPRESSEX, dySrc),
    };
    return RecordSize32(fields, {sizeof(ICDECOMPRESSEX), sizeof(IcDecompressEx32)}, size);
}

uint32_t FramesInfoRecordSize32(uint64_t size)
{
    static const FieldEnds fields[] = {
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, dwFlags),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, lpbiOutput),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, lOutput),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, lpbiInput),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, lInput),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, dwReserved2),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, GetData),
        TANDREL_FIELD(IcCompressFrames32, ICCOMPRESSFRAMES, PutData),
    };
    return RecordSize32(fields, {sizeof(ICCOMPRESSFRAMES), sizeof(IcCompressFrames32)}, size);
}
