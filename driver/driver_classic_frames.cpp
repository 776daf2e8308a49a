// The series and their frames in the classic and whole-header layouts:
// one series at a time, through "<name>FrameIn" and "<name>FrameOut".

#include "driver/driver_instance.h"

#include <algorithm>
#include <cstring>

#include "driver/driver_log.h"
#include "driver/frame_room.h"
#include "driver/request_layout.h"
#include "host/frame_size.h"

// The frame mappings hold the view the host needs for each header and every
// byte the codec may touch; for compression also the largest frame the
// codec says it may write; and the spare behind.
LRESULT DriverInstance::OnClassicBegin(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    uint64_t inputSize = FrameMappingSize(*input);
    uint64_t outputSize = FrameMappingSize(*output);
    RequestPlaces places;
    int32_t result;
    if (request == kRequestCompressBegin && Mappable(outputSize)
        && SendHeaderPair(kRequestCompressGetSize, input, output, &places, &result) && result > 0)
        outputSize = FrameMappingSize(*output, static_cast<uint64_t>(result));
    if (!Mappable(inputSize) || !Mappable(outputSize))
        return Refuse(ICERR_MEMORY, "a frame is larger than the driver maps");
    if (!ClassicFramesHold(inputSize, outputSize))
        return Refuse(UnservedResult(request), "the frame mappings could not be made");
    if (!PutHeaderPair(channel_.ParamArea(), layouts_, input, output, 0, &places))
        return Refuse(UnservedResult(request), kRefusedParamAreaFull);
    if (!Request(request, 0, 0, &result))
        return UnservedResult(request);
    ReturnHeader(channel_.ParamArea(), places.output, HeaderWholeSpan(*output), output);
    if (request == kRequestCompressBegin)
        begun_[kSeriesCompress].outputNeed = outputSize;
    return result;
}

// Mappings grow and are kept across series; one the host still holds from
// a series it was not told to end cannot grow.
bool DriverInstance::ClassicFramesHold(uint64_t inputSize, uint64_t outputSize)
{
    if (channel_.FrameInSize() >= inputSize && channel_.FrameOutSize() >= outputSize)
        return true;
    return channel_.CreateFrames(std::max(WithSpare(inputSize), channel_.FrameInSize()),
                                 std::max(WithSpare(outputSize), channel_.FrameOutSize()));
}

LRESULT DriverInstance::OnClassicCompress(ICCOMPRESS* record)
{
    uint64_t inputBytes = FrameExtent(*record->lpbiInput);
    RequestPlaces places;
    int32_t result;
    if (channel_.FrameIn() == nullptr || inputBytes > channel_.FrameInSize())
        return Refuse(kHostCannotServe, "the frame does not fit the frame mappings of its series");
    if (!PutCompress(channel_.ParamArea(), layouts_, *record, &places))
        return Refuse(kHostCannotServe, kRefusedParamAreaFull);
    std::memcpy(channel_.FrameIn(), record->lpInput, inputBytes);
    if (!Request(kRequestCompress, 0, sizeof(IcCompress32), &result))
        return kHostCannotServe;
    if (result < 0)
        return result;
    // The program made room for the largest frame the series allowed, not
    // for whatever size the host reports.
    CompressResults results = TakeCompressResults(channel_.ParamArea(), places);
    if (results.output.biSizeImage > begun_[kSeriesCompress].outputNeed)
        return Refuse(kHostCannotServe, "the codec's frame is larger than the series allowed");
    std::memcpy(record->lpOutput, channel_.FrameOut(), results.output.biSizeImage);
    *record->lpbiOutput = results.output;
    if (record->lpckid != nullptr)
        *record->lpckid = results.chunkId;
    if (record->lpdwFlags != nullptr)
        *record->lpdwFlags = results.flags;
    return result;
}

// The output frame goes in as well as out: a frame that only carries
// changes leaves the rest of the program's picture as it was.
LRESULT DriverInstance::OnClassicDecompress(ICDECOMPRESS* record)
{
    uint64_t inputBytes = record->lpInput != nullptr ? FrameExtent(*record->lpbiInput) : 0;
    uint64_t outputBytes = FrameExtent(*record->lpbiOutput);
    RequestPlaces places;
    int32_t result;
    if (channel_.FrameIn() == nullptr || inputBytes > channel_.FrameInSize()
        || outputBytes > channel_.FrameOutSize())
        return Refuse(kHostCannotServe, "the frame does not fit the frame mappings of its series");
    if (!PutDecompress(channel_.ParamArea(), layouts_, *record, &places))
        return Refuse(kHostCannotServe, kRefusedParamAreaFull);
    if (inputBytes != 0)
        std::memcpy(channel_.FrameIn(), record->lpInput, inputBytes);
    std::memcpy(channel_.FrameOut(), record->lpOutput, outputBytes);
    if (!Request(kRequestDecompress, 0, sizeof(IcDecompress32), &result))
        return kHostCannotServe;
    if (result >= 0)
        std::memcpy(record->lpOutput, channel_.FrameOut(), outputBytes);
    return result;
}
