#include "host/codec_host.h"

#include <algorithm>
#include <cstring>

#include "host/codec_guard.h"
#include "host/frame_size.h"
#include "host/param_layout.h"

namespace {

uint32_t KindOf(UINT message)
{
    switch (message) {
    case ICM_COMPRESS_BEGIN:
    case ICM_COMPRESS_END:
        return kSeriesCompress;
    case ICM_DECOMPRESSEX_BEGIN:
    case ICM_DECOMPRESSEX_END:
        return kSeriesDecompressEx;
    default:
        return kSeriesDecompress;
    }
}

// An item of a whole-record layout in the private copy, or none.
uint32_t ItemAddress(uint32_t given, const ParamCopy& params, uint32_t offset)
{
    return given != kNoPlace ? HostAddress(params.At(offset)) : 0;
}

// The pointers of a classic compression record: into the area at `base`
// (the private copy for the codec, ParamArea for the client) and the views.
void PointCompressRecord(IcCompress32* record, const uint8_t* base, const ParamPlaces& places,
                         const FrameViews& views)
{
    record->lpInput = HostAddress(views.In().base);
    record->lpOutput = HostAddress(views.Out().base);
    record->lpbiInput = HostAddress(base + places.input);
    record->lpbiOutput = HostAddress(base + places.output);
    record->lpckid = HostAddress(base + places.chunkId);
    record->lpdwFlags = HostAddress(base + places.flags);
}

}

// The client's views replace those of the kind; an open series keeps only
// views that hold what its BEGIN needed.
LRESULT CCodecHost::OnFrameViews(WPARAM kind, LPARAM generation)
{
    if (kind >= kSeriesKinds)
        return Refuse(kRefusalViews);
    FrameViews& announced = views[kind];
    const FrameSeries& open = series[kind];
    if (!announced.OpenAnnounced(mappingName, static_cast<uint32_t>(kind), static_cast<uint32_t>(generation)))
        return Refuse(kRefusalViews);
    if (open.IsOpen() && (announced.In().size < open.inputNeed || announced.Out().size < open.outputNeed)) {
        announced.Close();
        return Refuse(kRefusalViews);
    }
    return ICERR_OK;
}

// The classic layouts know one series at a time: any BEGIN ends the series
// before it. Otherwise a BEGIN ends only the series of its kind.
LRESULT CCodecHost::OnBegin(UINT message)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    uint32_t kind = KindOf(message);
    for (uint32_t k = 0; k < kSeriesKinds; ++k) {
        if (k == kind || !WholeRecords())
            EndSeries(k);
    }
    ParamPlaces places;
    if (!PlaceHeaderPair(params, layouts, true, true, &places))
        return Refuse(kRefusalLayout);
    return BeginSeries(kind, message, places, Param(places.input), static_cast<LPARAM>(Param(places.output)));
}

LRESULT CCodecHost::OnDecompressExBegin(LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    EndSeries(kSeriesDecompressEx);
    ParamPlaces places;
    IcDecompressEx32 record;
    if (!PlaceDecompressEx(params, static_cast<uint32_t>(lParam), &places))
        return Refuse(kRefusalLayout);
    std::memcpy(&record, params.At(0), sizeof record);
    if (record.lpbiSrc == kNoPlace || record.lpbiDst == kNoPlace)
        return Refuse(kRefusalRecordGaps);
    record.lpbiSrc = HostAddress(params.At(places.input));
    record.lpbiDst = HostAddress(params.At(places.output));
    record.lpSrc = 0;
    record.lpDst = 0;
    std::memcpy(params.At(0), &record, sizeof record);
    return BeginSeries(kSeriesDecompressEx, ICM_DECOMPRESSEX_BEGIN, places, Param(0), lParam);
}

// The views open only for headers a bitmap can have and hold what the codec
// may write: the classic ones open here, announced ones must be large
// enough already. The series opens only when the codec accepts the BEGIN;
// the output header comes back as the codec left it.
LRESULT CCodecHost::BeginSeries(uint32_t kind, UINT message, const ParamPlaces& places, DWORD_PTR dw1,
                                LPARAM dw2)
{
    FrameSeries begun;
    if (!ReadHeader(params, places.input, &begun.input) || !ReadHeader(params, places.output, &begun.output))
        return Refuse(kRefusalLayout);
    uint64_t codecMaximum = 0;
    if (message == ICM_COMPRESS_BEGIN) {
        LRESULT size
            = GuardedSendMessage(codec, ICM_COMPRESS_GET_SIZE, Param(places.input), Param(places.output));
        codecMaximum = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    begun.begin = message;
    begun.inputNeed = FrameExtent(begun.input);
    begun.outputNeed = std::max(FrameExtent(begun.output), codecMaximum);
    FrameViews& kindViews = views[kind];
    if ((!WholeRecords() && !kindViews.OpenClassic(mappingName, begun.input, begun.output, codecMaximum))
        || kindViews.In().size < begun.inputNeed || kindViews.Out().size < begun.outputNeed)
        return Refuse(kRefusalViews);
    LRESULT result = GuardedSendMessage(codec, message, dw1, dw2);
    ReturnHeader(places.output, places.end);
    if (result != ICERR_OK) {
        EndSeries(kind);
        return result;
    }
    series[kind] = begun;
    return result;
}

LRESULT CCodecHost::OnEnd(UINT message)
{
    uint32_t kind = KindOf(message);
    for (uint32_t k = 0; k < kSeriesKinds; ++k) {
        if (k == kind || !WholeRecords())
            EndSeries(k);
    }
    return SendToCodec(message, 0, 0);
}

// Classic views close with their series; announced ones stay until the
// client replaces them.
void CCodecHost::EndSeries(uint32_t kind)
{
    series[kind] = FrameSeries();
    if (!WholeRecords())
        views[kind].Close();
}

// A frame reaches the codec whether or not a series of its kind is open:
// programs compress and decompress without a BEGIN (the codec then sets
// itself up, or refuses the frame itself) and after an END, and a frame
// without a series gets the room of its own headers. The classic layouts
// have frame views only while a series is open, and keep refusing such
// frames. Why not, or none.
uint32_t CCodecHost::FrameRefusal(uint32_t kind, const ParamPlaces& places, BITMAPINFOHEADER* input,
                                  BITMAPINFOHEADER* output)
{
    if (!ReadHeader(params, places.input, input) || !ReadHeader(params, places.output, output))
        return kRefusalLayout;
    return series[kind].IsOpen() || WholeRecords() ? kRefusalNone : kRefusalNoSeries;
}

// What a compressed frame may take: the output's extent and the BEGIN's
// largest frame, and when the frame's headers are not the BEGIN's, what the
// codec names as its largest frame for them.
uint64_t CCodecHost::CompressOutputRoom(const ParamPlaces& places, const BITMAPINFOHEADER& input,
                                        const BITMAPINFOHEADER& output)
{
    const FrameSeries& open = series[kSeriesCompress];
    uint64_t room = open.OutputRoom(output);
    if (open.Keeps(input, output))
        return room;
    LRESULT largest
        = GuardedSendMessage(codec, ICM_COMPRESS_GET_SIZE, Param(places.input), Param(places.output));
    return std::max(room, largest > 0 ? static_cast<uint64_t>(largest) : 0);
}

// The previous frame of temporal compression in the classic layouts: its
// header must lie in ParamArea (the codec gets it from the private copy),
// its pixels inside a frame view with the room of the frame's input. 0
// passes as 0. Why not, or none.
uint32_t CCodecHost::PlacePrevious(IcCompress32* record, const BITMAPINFOHEADER& input)
{
    const FrameViews& kindViews = views[kSeriesCompress];
    BITMAPINFOHEADER previous = input;
    if (record->lpbiPrev != 0) {
        uint32_t offset = record->lpbiPrev - HostAddress(paramArea);
        if (offset >= kParamAreaSize || !HeaderFits(params, offset, &previous))
            return kRefusalLayout;
        record->lpbiPrev = static_cast<uint32_t>(Param(offset));
    }
    uint64_t room = std::max(series[kSeriesCompress].InputRoom(input), FrameExtent(previous));
    return record->lpPrev == 0 || InsideView(record->lpPrev, room, kindViews.In())
            || InsideView(record->lpPrev, room, kindViews.Out())
        ? kRefusalNone
        : kRefusalFrameRoom;
}

// The codec gets the record in the private copy; afterwards everything the
// request laid out goes back, as the codec left it.
LRESULT CCodecHost::SendFrame(UINT message, uint32_t end, LPARAM recordSize)
{
    LRESULT result = GuardedSendMessage(codec, message, Param(0), recordSize);
    params.Return(0, end);
    return result;
}

LRESULT CCodecHost::OnCompress(LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    IcCompress32 record;
    if (!PlaceCompress(params, layouts, static_cast<uint32_t>(lParam), &places))
        return Refuse(kRefusalLayout);
    if (uint32_t refusal = FrameRefusal(kSeriesCompress, places, &input, &output))
        return Refuse(refusal);
    std::memcpy(&record, params.At(0), sizeof record);
    const FrameViews& kindViews = views[kSeriesCompress];
    // The headers carry the layout, and a frame needs its input and its output.
    if (WholeRecords()
        && (record.lpbiInput == kNoPlace || record.lpbiOutput == kNoPlace || record.lpInput == kNoPlace
            || record.lpOutput == kNoPlace))
        return Refuse(kRefusalRecordGaps);
    uint64_t outputRoom = CompressOutputRoom(places, input, output);
    if (WholeRecords()) {
        BITMAPINFOHEADER previous = input;
        if (places.previous != 0)
            ReadHeader(params, places.previous, &previous);
        // The input and the previous frame each get room for the larger of
        // the two, and of the BEGIN's input.
        uint64_t inputRoom = std::max(series[kSeriesCompress].InputRoom(input), FrameExtent(previous));
        record.lpbiInput = HostAddress(params.At(places.input));
        record.lpbiOutput = HostAddress(params.At(places.output));
        record.lpckid = ItemAddress(record.lpckid, params, places.chunkId);
        record.lpdwFlags = ItemAddress(record.lpdwFlags, params, places.flags);
        record.lpbiPrev = ItemAddress(record.lpbiPrev, params, places.previous);
        if (!ResolveFramePlace(record.lpInput, inputRoom, kindViews.In(), &record.lpInput)
            || !ResolveFramePlace(record.lpOutput, outputRoom, kindViews.Out(), &record.lpOutput)
            || !ResolveFramePlace(record.lpPrev, inputRoom, kindViews.In(), &record.lpPrev))
            return Refuse(kRefusalFrameRoom);
        std::memcpy(params.At(0), &record, sizeof record);
        return SendFrame(ICM_COMPRESS, places.end, lParam);
    }
    // The classic record: the output header and the two slots come back to
    // ParamArea, and the record there gets the host's addresses.
    IcCompress32 shared = record;
    if (series[kSeriesCompress].InputRoom(input) > kindViews.In().size || outputRoom > kindViews.Out().size)
        return Refuse(kRefusalFrameRoom);
    if (uint32_t refusal = PlacePrevious(&record, input))
        return Refuse(refusal);
    PointCompressRecord(&record, params.At(0), places, kindViews);
    std::memcpy(params.At(0), &record, sizeof record);
    LRESULT result = GuardedSendMessage(codec, ICM_COMPRESS, Param(0), lParam);
    params.Return(places.output, places.end - places.output);
    PointCompressRecord(&shared, paramArea, places, kindViews);
    std::memcpy(paramArea, &shared, sizeof shared);
    return result;
}

LRESULT CCodecHost::OnDecompress(LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    IcDecompress32 record;
    if (!PlaceDecompress(params, layouts, static_cast<uint32_t>(lParam), &places))
        return Refuse(kRefusalLayout);
    if (uint32_t refusal = FrameRefusal(kSeriesDecompress, places, &input, &output))
        return Refuse(refusal);
    std::memcpy(&record, params.At(0), sizeof record);
    const FrameViews& kindViews = views[kSeriesDecompress];
    uint64_t inputRoom = series[kSeriesDecompress].InputRoom(input);
    uint64_t outputRoom = series[kSeriesDecompress].OutputRoom(output);
    if (!WholeRecords()) {
        if (inputRoom > kindViews.In().size || outputRoom > kindViews.Out().size)
            return Refuse(kRefusalFrameRoom);
        record.lpInput = HostAddress(kindViews.In().base);
        record.lpOutput = HostAddress(kindViews.Out().base);
        record.lpbiInput = HostAddress(params.At(places.input));
        record.lpbiOutput = HostAddress(params.At(places.output));
        std::memcpy(params.At(0), &record, sizeof record);
        return GuardedSendMessage(codec, ICM_DECOMPRESS, Param(0), lParam);
    }
    if (record.lpbiInput == kNoPlace || record.lpbiOutput == kNoPlace)
        return Refuse(kRefusalRecordGaps);
    record.lpbiInput = HostAddress(params.At(places.input));
    record.lpbiOutput = HostAddress(params.At(places.output));
    if (!ResolveFramePlace(record.lpInput, inputRoom, kindViews.In(), &record.lpInput)
        || !ResolveFramePlace(record.lpOutput, outputRoom, kindViews.Out(), &record.lpOutput))
        return Refuse(kRefusalFrameRoom);
    std::memcpy(params.At(0), &record, sizeof record);
    return SendFrame(ICM_DECOMPRESS, places.end, lParam);
}

LRESULT CCodecHost::OnDecompressEx(LPARAM lParam)
{
    if (codec == nullptr || !StartRequest())
        return Refuse(kRefusalNoCodec);
    ParamPlaces places;
    BITMAPINFOHEADER source;
    BITMAPINFOHEADER destination;
    IcDecompressEx32 record;
    if (!PlaceDecompressEx(params, static_cast<uint32_t>(lParam), &places))
        return Refuse(kRefusalLayout);
    std::memcpy(&record, params.At(0), sizeof record);
    if (record.lpbiSrc == kNoPlace || record.lpbiDst == kNoPlace)
        return Refuse(kRefusalRecordGaps);
    if (uint32_t refusal = FrameRefusal(kSeriesDecompressEx, places, &source, &destination))
        return Refuse(refusal);
    const FrameViews& kindViews = views[kSeriesDecompressEx];
    record.lpbiSrc = HostAddress(params.At(places.input));
    record.lpbiDst = HostAddress(params.At(places.output));
    if (!ResolveFramePlace(record.lpSrc, series[kSeriesDecompressEx].InputRoom(source), kindViews.In(),
                           &record.lpSrc)
        || !ResolveFramePlace(record.lpDst, series[kSeriesDecompressEx].OutputRoom(destination),
                              kindViews.Out(), &record.lpDst))
        return Refuse(kRefusalFrameRoom);
    std::memcpy(params.At(0), &record, sizeof record);
    return SendFrame(ICM_DECOMPRESSEX, places.end, lParam);
}
