// The series and their frames. In the whole-record layouts every series
// kind has views of its own, which grow (a new generation, announced to the
// host) whenever a frame needs more room, and a record travels as the
// program filled it and comes back as the codec left it.

#include "driver/driver_instance.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "driver/frame_room.h"
#include "driver/request_layout.h"
#include "host/frame_size.h"

namespace {

// Copies what the codec left to a place of the program only where it
// differs from what the place holds: a program may pass read-only memory
// for what a codec leaves alone.
void ReturnIfChanged(void* place, const void* left, size_t size)
{
    if (std::memcmp(place, left, size) != 0)
        std::memcpy(place, left, size);
}

uint32_t PlaceAt(uint64_t offset)
{
    return FramePlace(static_cast<uint32_t>(offset));
}

// The bytes of the previous frame the program passed; 0 without one.
uint64_t PreviousBytes(const ICCOMPRESS& record)
{
    if (record.lpPrev == nullptr)
        return 0;
    return FrameExtent(record.lpbiPrev != nullptr ? *record.lpbiPrev : *record.lpbiInput);
}

// The header the codec left at `offset`, as many bytes as the program's
// header spans, copied out once.
std::vector<uint8_t> TakeHeader(const uint8_t* area, uint32_t offset, uint64_t span)
{
    return std::vector<uint8_t>(area + offset, area + offset + span);
}

}

LRESULT DriverInstance::OnBegin(UINT request, const BITMAPINFOHEADER* input, const BITMAPINFOHEADER* output)
{
    if (input == nullptr || output == nullptr)
        return ICERR_BADPARAM;
    if (!HostReady())
        return UnservedResult(request);
    if (!WholeRecords())
        return OnClassicBegin(request, input, output);
    bool compress = request == kRequestCompressBegin;
    uint64_t inputSize = FrameExtent(*input);
    uint64_t outputSize = FrameExtent(*output);
    if (compress && Mappable(outputSize)) {
        LRESULT largest = OnHeaderPair(kRequestCompressGetSize, input, output);
        outputSize = FrameMappingSize(*output, largest > 0 ? static_cast<uint64_t>(largest) : 0);
        inputSize = Mappable(inputSize) ? 2 * PlaceStride(inputSize) : kNoFrameSize;
    }
    if (!Mappable(inputSize) || !Mappable(outputSize))
        return ICERR_MEMORY;
    RequestPlaces places;
    int32_t result;
    if (!SeriesViewsHold(compress ? kSeriesCompress : kSeriesDecompress, inputSize, outputSize)
        || !PutHeaderPair(channel_.ParamArea(), layouts_, input, output, 0, &places)
        || !Request(request, 0, 0, &result))
        return UnservedResult(request);
    if (compress) {
        largestCompressedFrame_ = outputSize;
        lastInput_ = nullptr;
    }
    return result;
}

LRESULT DriverInstance::OnDecompressExBegin(const ICDECOMPRESSEX* record, LPARAM size)
{
    if (record == nullptr || record->lpbiSrc == nullptr || record->lpbiDst == nullptr)
        return ICERR_BADPARAM;
    uint64_t inputSize = FrameExtent(*record->lpbiSrc);
    uint64_t outputSize = FrameExtent(*record->lpbiDst);
    if (!Mappable(inputSize) || !Mappable(outputSize))
        return ICERR_MEMORY;
    RequestPlaces places;
    int32_t result;
    if (!SeriesViewsHold(kSeriesDecompressEx, inputSize, outputSize)
        || !PutDecompressEx(channel_.ParamArea(), *record, &places)
        || !Request(kRequestDecompressExBegin, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)),
                    &result))
        return UnservedResult(kRequestDecompressExBegin);
    return result;
}

// Views grow and are kept across series. A new generation replaces both
// views of the kind; what the old ones held is gone.
bool DriverInstance::SeriesViewsHold(uint32_t kind, uint64_t inputSize, uint64_t outputSize)
{
    uint64_t heldIn = channel_.SeriesInSize(kind);
    uint64_t heldOut = channel_.SeriesOutSize(kind);
    if (heldIn >= inputSize && heldOut >= outputSize)
        return true;
    if (kind == kSeriesCompress)
        lastInput_ = nullptr;
    uint32_t generation = channel_.CreateSeriesViews(kind, std::max(WithSpare(inputSize), heldIn),
                                                     std::max(WithSpare(outputSize), heldOut));
    int32_t result;
    if (generation != 0 && Request(kRequestFrameViews, kind, generation, &result) && result == ICERR_OK)
        return true;
    // Views the host did not take are none: the next frame makes new ones.
    channel_.CloseSeriesViews(kind);
    return false;
}

// The input goes into the place that does not hold the program's last
// input; a previous frame that is that last input stays where it is, any
// other goes into the other place.
FramePlaces DriverInstance::PlaceCompressFrames(const ICCOMPRESS& record, uint64_t stride)
{
    uint8_t* view = channel_.SeriesIn(kSeriesCompress);
    uint64_t inputBytes = FrameExtent(*record.lpbiInput);
    uint64_t previousBytes = PreviousBytes(record);
    if (stride != placeStride_) {
        placeStride_ = stride;
        lastInput_ = nullptr;
    }
    uint32_t current = lastInput_ != nullptr ? 1 - lastInputPlace_ : 0;
    uint32_t previous = 1 - current;
    if (record.lpPrev == record.lpInput) {
        inputBytes = std::max(inputBytes, previousBytes);
        previous = current;
    } else if (record.lpPrev != nullptr && (record.lpPrev != lastInput_ || previousBytes > lastInputBytes_)) {
        std::memcpy(view + previous * stride, record.lpPrev, previousBytes);
    }
    std::memcpy(view + current * stride, record.lpInput, inputBytes);
    lastInput_ = record.lpInput;
    lastInputBytes_ = inputBytes;
    lastInputPlace_ = current;
    FramePlaces frames;
    frames.input = PlaceAt(current * stride);
    frames.output = PlaceAt(0);
    frames.previous = record.lpPrev != nullptr ? PlaceAt(previous * stride) : kNoPlace;
    return frames;
}

LRESULT DriverInstance::OnCompress(ICCOMPRESS* record, LPARAM size)
{
    if (record == nullptr || record->lpbiInput == nullptr || record->lpbiOutput == nullptr
        || record->lpInput == nullptr || record->lpOutput == nullptr)
        return ICERR_BADPARAM;
    if (!HostReady())
        return kHostCannotServe;
    if (!WholeRecords())
        return OnClassicCompress(record);
    uint64_t stride = PlaceStride(std::max(FrameExtent(*record->lpbiInput), PreviousBytes(*record)));
    uint64_t outputSpan = HeaderWholeSpan(*record->lpbiOutput);
    RequestPlaces places;
    int32_t result;
    if (!Mappable(stride) || !Mappable(2 * stride) || channel_.SeriesOut(kSeriesCompress) == nullptr
        || !SeriesViewsHold(kSeriesCompress, 2 * stride, 0))
        return kHostCannotServe;
    FramePlaces frames = PlaceCompressFrames(*record, stride);
    if (!PutCompress(channel_.ParamArea(), layouts_, *record, &places, frames)
        || !Request(kRequestCompress, 0, CompressRecordSize32(static_cast<uint64_t>(size)), &result))
        return kHostCannotServe;
    ReturnCompressResults(record, places, outputSpan, result);
    return result;
}

// The record's values, the output header, the chunk id and the flags come
// back as the codec left them; the frame only when the codec made one, and
// never more than the program made room for (the largest frame the series
// allowed).
void DriverInstance::ReturnCompressResults(ICCOMPRESS* record, const RequestPlaces& places,
                                           uint64_t outputSpan, int32_t result)
{
    const uint8_t* area = channel_.ParamArea();
    IcCompress32 left;
    std::memcpy(&left, area, sizeof left);
    ReturnIfChanged(&record->dwFlags, &left.dwFlags, sizeof left.dwFlags);
    ReturnIfChanged(&record->lFrameNum, &left.lFrameNum, sizeof left.lFrameNum);
    ReturnIfChanged(&record->dwFrameSize, &left.dwFrameSize, sizeof left.dwFrameSize);
    ReturnIfChanged(&record->dwQuality, &left.dwQuality, sizeof left.dwQuality);
    std::vector<uint8_t> output = TakeHeader(area, places.output, outputSpan);
    ReturnIfChanged(record->lpbiOutput, output.data(), output.size());
    DWORD slots[2];
    std::memcpy(slots, area + places.chunkId, sizeof slots);
    if (record->lpckid != nullptr)
        ReturnIfChanged(record->lpckid, &slots[0], sizeof slots[0]);
    if (record->lpdwFlags != nullptr)
        ReturnIfChanged(record->lpdwFlags, &slots[1], sizeof slots[1]);
    BITMAPINFOHEADER header;
    std::memcpy(&header, output.data(), sizeof header);
    if (result == ICERR_OK)
        std::memcpy(record->lpOutput, channel_.SeriesOut(kSeriesCompress),
                    std::min<uint64_t>(header.biSizeImage, largestCompressedFrame_));
}

// A decompressed frame's way: the compressed frame in, and the program's
// picture in as well as out, since a frame that only carries changes leaves
// the rest of the picture as it was; none of them when the program passed
// none.
DecompressedFrame::DecompressedFrame(const BITMAPINFOHEADER& inputHeader, const void* inputFrame,
                                     BITMAPINFOHEADER* outputHeader, void* outputFrame)
    : input(inputFrame)
    , inputBytes(inputFrame != nullptr ? FrameExtent(inputHeader) : 0)
    , output(outputFrame)
    , outputBytes(outputFrame != nullptr ? FrameExtent(*outputHeader) : 0)
    , header(outputHeader)
    , headerSpan(HeaderWholeSpan(*outputHeader))
{
}

FramePlaces DecompressedFrame::Places() const
{
    FramePlaces frames;
    frames.input = input != nullptr ? PlaceAt(0) : kNoPlace;
    frames.output = output != nullptr ? PlaceAt(0) : kNoPlace;
    return frames;
}

bool DriverInstance::PutFramesIn(uint32_t kind, const DecompressedFrame& frame)
{
    if (!Mappable(frame.inputBytes) || !Mappable(frame.outputBytes)
        || !SeriesViewsHold(kind, frame.inputBytes, frame.outputBytes))
        return false;
    if (frame.inputBytes != 0)
        std::memcpy(channel_.SeriesIn(kind), frame.input, frame.inputBytes);
    if (frame.outputBytes != 0)
        std::memcpy(channel_.SeriesOut(kind), frame.output, frame.outputBytes);
    return true;
}

// The output header as the codec left it, at `offset`, and the picture.
void DriverInstance::TakeFrameOut(uint32_t kind, const DecompressedFrame& frame, uint32_t offset)
{
    std::vector<uint8_t> header = TakeHeader(channel_.ParamArea(), offset, frame.headerSpan);
    ReturnIfChanged(frame.header, header.data(), header.size());
    if (frame.outputBytes != 0)
        std::memcpy(frame.output, channel_.SeriesOut(kind), frame.outputBytes);
}

LRESULT DriverInstance::OnDecompress(ICDECOMPRESS* record, LPARAM size)
{
    if (record == nullptr || record->lpbiInput == nullptr || record->lpbiOutput == nullptr)
        return ICERR_BADPARAM;
    if (!HostReady())
        return kHostCannotServe;
    if (!WholeRecords())
        return record->lpOutput != nullptr ? OnClassicDecompress(record) : ICERR_BADPARAM;
    DecompressedFrame frame(*record->lpbiInput, record->lpInput, record->lpbiOutput, record->lpOutput);
    RequestPlaces places;
    int32_t result;
    if (!PutFramesIn(kSeriesDecompress, frame)
        || !PutDecompress(channel_.ParamArea(), layouts_, *record, &places, frame.Places())
        || !Request(kRequestDecompress, 0, DecompressRecordSize32(static_cast<uint64_t>(size)), &result))
        return kHostCannotServe;
    IcDecompress32 left;
    std::memcpy(&left, channel_.ParamArea(), sizeof left);
    ReturnIfChanged(&record->dwFlags, &left.dwFlags, sizeof left.dwFlags);
    ReturnIfChanged(&record->ckid, &left.ckid, sizeof left.ckid);
    TakeFrameOut(kSeriesDecompress, frame, places.output);
    return result;
}

LRESULT DriverInstance::OnDecompressEx(ICDECOMPRESSEX* record, LPARAM size)
{
    if (record == nullptr || record->lpbiSrc == nullptr || record->lpbiDst == nullptr)
        return ICERR_BADPARAM;
    DecompressedFrame frame(*record->lpbiSrc, record->lpSrc, record->lpbiDst, record->lpDst);
    RequestPlaces places;
    int32_t result;
    if (!PutFramesIn(kSeriesDecompressEx, frame)
        || !PutDecompressEx(channel_.ParamArea(), *record, &places, frame.Places())
        || !Request(kRequestDecompressEx, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)), &result))
        return kHostCannotServe;
    TakeFrameOut(kSeriesDecompressEx, frame, places.output);
    return result;
}
