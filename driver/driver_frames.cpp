// The series and their frames. In the whole-record layouts every series
// kind has views of its own, which grow (a new generation, announced to the
// host) whenever a frame needs more room, and a record travels as the
// program filled it and comes back as the codec left it. A frame's headers
// may differ from its BEGIN's; it gets room for the larger of its own
// extent and the BEGIN's, as the host reckons it. A frame needs no BEGIN:
// without one it gets the room of its own headers.

#include "driver/driver_instance.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "driver/driver_log.h"
#include "driver/frame_room.h"
#include "driver/request_layout.h"
#include "host/frame_size.h"
#include "host/header_check.h"

namespace {

const char kTooLarge[] = "a frame is larger than the driver maps";
const char kNoViews[] = "the frame views could not be made";

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

// The largest frame the codec names for these headers; 0 when it names none.
uint64_t Largest(LRESULT answer)
{
    return answer > 0 ? static_cast<uint64_t>(answer) : 0;
}

}

// The output header comes back as the codec left it.
LRESULT DriverInstance::OnBegin(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    if (input == nullptr || output == nullptr)
        return Refuse(ICERR_BADPARAM, "no input or output header");
    if (!HostReady())
        return UnservedResult(request);
    if (!WholeRecords())
        return OnClassicBegin(request, input, output);
    bool compress = request == kRequestCompressBegin;
    uint32_t kind = compress ? kSeriesCompress : kSeriesDecompress;
    FrameSeries begun;
    begun.begin = request;
    begun.input = *input;
    begun.inputNeed = FrameExtent(*input);
    begun.outputNeed = FrameExtent(*output);
    uint64_t inputSize = begun.inputNeed;
    RequestPlaces places;
    int32_t result;
    if (compress && Mappable(begun.outputNeed)) {
        begun.outputNeed = FrameMappingSize(
            *output,
            SendHeaderPair(kRequestCompressGetSize, input, output, &places, &result) ? Largest(result) : 0);
        inputSize = Mappable(begun.inputNeed) ? 2 * PlaceStride(begun.inputNeed) : kNoFrameSize;
    }
    if (!Mappable(inputSize) || !Mappable(begun.outputNeed))
        return Refuse(ICERR_MEMORY, kTooLarge);
    if (!SeriesViewsHold(kind, inputSize, begun.outputNeed))
        return Refuse(UnservedResult(request), kNoViews);
    if (!PutHeaderPair(channel_.ParamArea(), layouts_, input, output, 0, &places))
        return Refuse(UnservedResult(request), kRefusedParamAreaFull);
    if (!Request(request, 0, 0, &result))
        return UnservedResult(request);
    ReturnHeader(channel_.ParamArea(), places.output, HeaderWholeSpan(*output), output);
    begun.output = *output;
    begun_[kind] = begun;
    if (compress)
        lastInput_ = nullptr;
    return result;
}

LRESULT DriverInstance::OnDecompressExBegin(const ICDECOMPRESSEX* record, LPARAM size)
{
    if (record == nullptr || record->lpbiSrc == nullptr || record->lpbiDst == nullptr)
        return Refuse(ICERR_BADPARAM, "no record, or no source or destination header");
    FrameSeries begun;
    begun.begin = kRequestDecompressExBegin;
    begun.input = *record->lpbiSrc;
    begun.inputNeed = FrameExtent(*record->lpbiSrc);
    begun.outputNeed = FrameExtent(*record->lpbiDst);
    if (!Mappable(begun.inputNeed) || !Mappable(begun.outputNeed))
        return Refuse(ICERR_MEMORY, kTooLarge);
    RequestPlaces places;
    int32_t result;
    if (!SeriesViewsHold(kSeriesDecompressEx, begun.inputNeed, begun.outputNeed))
        return Refuse(UnservedResult(kRequestDecompressExBegin), kNoViews);
    if (!PutDecompressEx(channel_.ParamArea(), *record, &places))
        return Refuse(UnservedResult(kRequestDecompressExBegin), kRefusedParamAreaFull);
    if (!Request(kRequestDecompressExBegin, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)),
                 &result))
        return UnservedResult(kRequestDecompressExBegin);
    ReturnHeader(channel_.ParamArea(), places.output, HeaderWholeSpan(*record->lpbiDst), record->lpbiDst);
    begun.output = *record->lpbiDst;
    begun_[kSeriesDecompressEx] = begun;
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

// What a compressed frame may take: its output's extent and its BEGIN's
// largest frame, and for headers other than the BEGIN's what the codec
// names as its largest frame for them, as the host reckons it.
uint64_t DriverInstance::CompressedFrameRoom(const ICCOMPRESS& record)
{
    const FrameSeries& begun = begun_[kSeriesCompress];
    uint64_t room = begun.OutputRoom(*record.lpbiOutput);
    if (begun.Keeps(*record.lpbiInput, *record.lpbiOutput))
        return room;
    RequestPlaces places;
    int32_t largest;
    bool asked
        = SendHeaderPair(kRequestCompressGetSize, record.lpbiInput, record.lpbiOutput, &places, &largest);
    return std::max(room, asked ? Largest(largest) : 0);
}

LRESULT DriverInstance::OnCompress(ICCOMPRESS* record, LPARAM size)
{
    if (record == nullptr || record->lpbiInput == nullptr || record->lpbiOutput == nullptr
        || record->lpInput == nullptr || record->lpOutput == nullptr)
        return Refuse(ICERR_BADPARAM, "no record, or a header or frame missing");
    if (!HostReady())
        return kHostCannotServe;
    if (!WholeRecords())
        return OnClassicCompress(record);
    // The input and the previous frame each get room for the larger of the
    // two, and of the BEGIN's input. A frame without a BEGIN, or after an
    // END, reaches the codec too (DirectShow's AVI Compressor sends no
    // BEGIN): the views below are made for its own headers when the kind
    // has none that hold it.
    uint64_t inputRoom = begun_[kSeriesCompress].InputRoom(*record->lpbiInput);
    if (record->lpbiPrev != nullptr)
        inputRoom = std::max(inputRoom, FrameExtent(*record->lpbiPrev));
    uint64_t stride = PlaceStride(inputRoom);
    uint64_t outputRoom = CompressedFrameRoom(*record);
    uint64_t outputSpan = HeaderWholeSpan(*record->lpbiOutput);
    RequestPlaces places;
    int32_t result;
    if (!Mappable(stride) || !Mappable(2 * stride) || !Mappable(outputRoom))
        return Refuse(kHostCannotServe, kTooLarge);
    if (!SeriesViewsHold(kSeriesCompress, 2 * stride, outputRoom))
        return Refuse(kHostCannotServe, kNoViews);
    FramePlaces frames = PlaceCompressFrames(*record, stride);
    if (!PutCompress(channel_.ParamArea(), layouts_, *record, &places, frames))
        return Refuse(kHostCannotServe, kRefusedParamAreaFull);
    if (!Request(kRequestCompress, 0, CompressRecordSize32(static_cast<uint64_t>(size)), &result))
        return kHostCannotServe;
    ReturnCompressResults(record, places, outputSpan, outputRoom, result);
    return result;
}

// The record's values, the output header, the chunk id and the flags come
// back as the codec left them; the frame only when the codec made one, and
// never more than the room the frame had, which is what the codec names as
// its largest.
void DriverInstance::ReturnCompressResults(ICCOMPRESS* record, const RequestPlaces& places,
                                           uint64_t outputSpan, uint64_t room, int32_t result)
{
    const uint8_t* area = channel_.ParamArea();
    IcCompress32 left;
    std::memcpy(&left, area, sizeof left);
    ReturnIfChanged(&record->dwFlags, &left.dwFlags, sizeof left.dwFlags);
    ReturnIfChanged(&record->lFrameNum, &left.lFrameNum, sizeof left.lFrameNum);
    ReturnIfChanged(&record->dwFrameSize, &left.dwFrameSize, sizeof left.dwFrameSize);
    ReturnIfChanged(&record->dwQuality, &left.dwQuality, sizeof left.dwQuality);
    // One copy of the output header, for the program and for the frame's size.
    std::vector<uint8_t> output(area + places.output, area + places.output + outputSpan);
    ReturnIfChanged(record->lpbiOutput, output.data(), output.size());
    BITMAPINFOHEADER header;
    std::memcpy(&header, output.data(), sizeof header);
    DWORD slots[2];
    std::memcpy(slots, area + places.chunkId, sizeof slots);
    if (record->lpckid != nullptr)
        ReturnIfChanged(record->lpckid, &slots[0], sizeof slots[0]);
    if (record->lpdwFlags != nullptr)
        ReturnIfChanged(record->lpdwFlags, &slots[1], sizeof slots[1]);
    if (result == ICERR_OK)
        std::memcpy(record->lpOutput, channel_.SeriesOut(kSeriesCompress),
                    std::min<uint64_t>(header.biSizeImage, room));
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

// The views hold the frame and what its BEGIN may take.
bool DriverInstance::PutFramesIn(uint32_t kind, const DecompressedFrame& frame)
{
    if (!Mappable(frame.inputBytes) || !Mappable(frame.outputBytes)) {
        NoteRefusal(false, kTooLarge);
        return false;
    }
    if (!SeriesViewsHold(kind, std::max(frame.inputBytes, begun_[kind].inputNeed),
                         std::max(frame.outputBytes, begun_[kind].outputNeed))) {
        NoteRefusal(false, kNoViews);
        return false;
    }
    if (frame.inputBytes != 0)
        std::memcpy(channel_.SeriesIn(kind), frame.input, frame.inputBytes);
    if (frame.outputBytes != 0)
        std::memcpy(channel_.SeriesOut(kind), frame.output, frame.outputBytes);
    return true;
}

// The output header as the codec left it, at `offset`, and the picture.
void DriverInstance::TakeFrameOut(uint32_t kind, const DecompressedFrame& frame, uint32_t offset)
{
    ReturnHeader(channel_.ParamArea(), offset, frame.headerSpan, frame.header);
    if (frame.outputBytes != 0)
        std::memcpy(frame.output, channel_.SeriesOut(kind), frame.outputBytes);
}

LRESULT DriverInstance::OnDecompress(ICDECOMPRESS* record, LPARAM size)
{
    if (record == nullptr || record->lpbiInput == nullptr || record->lpbiOutput == nullptr)
        return Refuse(ICERR_BADPARAM, "no record, or a header missing");
    if (!HostReady())
        return kHostCannotServe;
    if (!WholeRecords())
        return record->lpOutput != nullptr
            ? OnClassicDecompress(record)
            : Refuse(ICERR_BADPARAM, "no output frame for the host's protocol");
    DecompressedFrame frame(*record->lpbiInput, record->lpInput, record->lpbiOutput, record->lpOutput);
    RequestPlaces places;
    int32_t result;
    if (!PutFramesIn(kSeriesDecompress, frame))
        return kHostCannotServe;
    if (!PutDecompress(channel_.ParamArea(), layouts_, *record, &places, frame.Places()))
        return Refuse(kHostCannotServe, kRefusedParamAreaFull);
    if (!Request(kRequestDecompress, 0, DecompressRecordSize32(static_cast<uint64_t>(size)), &result))
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
        return Refuse(ICERR_BADPARAM, "no record, or no source or destination header");
    DecompressedFrame frame(*record->lpbiSrc, record->lpSrc, record->lpbiDst, record->lpDst);
    RequestPlaces places;
    int32_t result;
    if (!PutFramesIn(kSeriesDecompressEx, frame))
        return kHostCannotServe;
    if (!PutDecompressEx(channel_.ParamArea(), *record, &places, frame.Places()))
        return Refuse(kHostCannotServe, kRefusedParamAreaFull);
    if (!Request(kRequestDecompressEx, 0, DecompressExRecordSize32(static_cast<uint64_t>(size)), &result))
        return kHostCannotServe;
    TakeFrameOut(kSeriesDecompressEx, frame, places.output);
    return result;
}
