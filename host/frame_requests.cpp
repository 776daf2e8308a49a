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
        return kHostCannotServe;
    FrameViews& announced = views[kind];
    const FrameSeries& open = series[kind];
    if (!announced.OpenAnnounced(mappingName, static_cast<uint32_t>(kind), static_cast<uint32_t>(generation)))
        return kHostCannotServe;
    if (open.IsOpen() && (announced.In().size < open.inputNeed || announced.Out().size < open.outputNeed)) {
        announced.Close();
        return kHostCannotServe;
    }
    return ICERR_OK;
}

// The classic layouts know one series at a time: any BEGIN ends the series
// before it. Otherwise a BEGIN ends only the series of its kind.
LRESULT CCodecHost::OnBegin(UINT message)
{
    if (codec == nullptr)
        return kHostCannotServe;
    uint32_t kind = KindOf(message);
    for (uint32_t k = 0; k < kSeriesKinds; ++k) {
        if (k == kind || !WholeRecords())
            EndSeries(k);
    }
    ParamPlaces places;
    if (!StartRequest() || !PlaceHeaderPair(params, layouts, true, true, &places))
        return kHostCannotServe;
    return BeginSeries(kind, message, places, Param(places.input), static_cast<LPARAM>(Param(places.output)));
}

LRESULT CCodecHost::OnDecompressExBegin(LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    EndSeries(kSeriesDecompressEx);
    ParamPlaces places;
    IcDecompressEx32 record;
    if (!StartRequest() || !PlaceDecompressEx(params, static_cast<uint32_t>(lParam), &places))
        return kHostCannotServe;
    std::memcpy(&record, params.At(0), sizeof record);
    if (record.lpbiSrc == kNoPlace || record.lpbiDst == kNoPlace)
        return kHostCannotServe;
    record.lpbiSrc = HostAddress(params.At(places.input));
    record.lpbiDst = HostAddress(params.At(places.output));
    record.lpSrc = 0;
    record.lpDst = 0;
    std::memcpy(params.At(0), &record, sizeof record);
    return BeginSeries(kSeriesDecompressEx, ICM_DECOMPRESSEX_BEGIN, places, Param(0), lParam);
}

// The views open only for headers a bitmap can have and hold what the codec
// may write: the classic ones open here, announced ones must be large
// enough already. The series opens only when the codec accepts the BEGIN.
LRESULT CCodecHost::BeginSeries(uint32_t kind, UINT message, const ParamPlaces& places, DWORD_PTR dw1,
                                LPARAM dw2)
{
    FrameSeries begun;
    if (!ReadHeader(params, places.input, &begun.input) || !ReadHeader(params, places.output, &begun.output))
        return kHostCannotServe;
    uint64_t codecMaximum = 0;
    if (message == ICM_COMPRESS_BEGIN) {
        LRESULT size
            = GuardedSendMessage(codec, ICM_COMPRESS_GET_SIZE, Param(places.input), Param(places.output));
        codecMaximum = size > 0 ? static_cast<uint64_t>(size) : 0;
    }
    begun.begin = message;
    begun.inputNeed = WholeRecords() ? FrameExtent(begun.input) : FrameMappingSize(begun.input);
    begun.outputNeed = WholeRecords() ? std::max(FrameExtent(begun.output), codecMaximum)
                                      : FrameMappingSize(begun.output, codecMaximum);
    FrameViews& kindViews = views[kind];
    if (!WholeRecords() && !kindViews.OpenClassic(mappingName, begun.input, begun.output, codecMaximum))
        return kHostCannotServe;
    if (kindViews.In().size < begun.inputNeed || kindViews.Out().size < begun.outputNeed)
        return kHostCannotServe;
    LRESULT result = GuardedSendMessage(codec, message, dw1, dw2);
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

// A frame request belongs to the open series of its kind and has its
// formats. An extended decompression without its series is the codec's to
// answer (a codec that knows no such series refuses it itself), as long as
// its frames lie inside the views.
bool CCodecHost::FramesFit(uint32_t kind, const ParamPlaces& places, BITMAPINFOHEADER* input,
                           BITMAPINFOHEADER* output)
{
    return ReadHeader(params, places.input, input) && ReadHeader(params, places.output, output)
        && (series[kind].Takes(*input, *output) || (kind == kSeriesDecompressEx && !series[kind].IsOpen()));
}

// The previous frame of temporal compression in the classic layouts: its
// header must lie in ParamArea (the codec gets it from the private copy)
// and have the series' input format, its pixels inside a frame view. 0
// passes as 0.
bool CCodecHost::PlacePrevious(IcCompress32* record)
{
    const FrameSeries& open = series[kSeriesCompress];
    const FrameViews& kindViews = views[kSeriesCompress];
    if (record->lpbiPrev != 0) {
        uint32_t offset = record->lpbiPrev - HostAddress(paramArea);
        BITMAPINFOHEADER previous;
        if (offset >= kParamAreaSize || !HeaderFits(params, offset, &previous)
            || !FitsSeriesFormat(open.input, previous))
            return false;
        record->lpbiPrev = static_cast<uint32_t>(Param(offset));
    }
    uint64_t extent = FrameExtent(open.input);
    return record->lpPrev == 0 || InsideView(record->lpPrev, extent, kindViews.In())
        || InsideView(record->lpPrev, extent, kindViews.Out());
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
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    IcCompress32 record;
    if (!StartRequest() || !PlaceCompress(params, layouts, static_cast<uint32_t>(lParam), &places)
        || !FramesFit(kSeriesCompress, places, &input, &output))
        return kHostCannotServe;
    std::memcpy(&record, params.At(0), sizeof record);
    const FrameViews& kindViews = views[kSeriesCompress];
    if (WholeRecords()) {
        // The headers carry the layout, and a frame needs its input and its output.
        if (record.lpbiInput == kNoPlace || record.lpbiOutput == kNoPlace || record.lpInput == kNoPlace
            || record.lpOutput == kNoPlace)
            return kHostCannotServe;
        BITMAPINFOHEADER previous = input;
        if (places.previous != 0
            && (!ReadHeader(params, places.previous, &previous)
                || (series[kSeriesCompress].IsOpen()
                    && !FitsSeriesFormat(series[kSeriesCompress].input, previous))))
            return kHostCannotServe;
        record.lpbiInput = HostAddress(params.At(places.input));
        record.lpbiOutput = HostAddress(params.At(places.output));
        record.lpckid = ItemAddress(record.lpckid, params, places.chunkId);
        record.lpdwFlags = ItemAddress(record.lpdwFlags, params, places.flags);
        record.lpbiPrev = ItemAddress(record.lpbiPrev, params, places.previous);
        // The codec may write as much as the BEGIN found its largest frame
        // takes, whatever the output header says.
        uint64_t outputRoom = std::max(FrameExtent(output), series[kSeriesCompress].outputNeed);
        if (!ResolveFramePlace(record.lpInput, FrameExtent(input), kindViews.In(), &record.lpInput)
            || !ResolveFramePlace(record.lpOutput, outputRoom, kindViews.Out(), &record.lpOutput)
            || !ResolveFramePlace(record.lpPrev, FrameExtent(previous), kindViews.In(), &record.lpPrev))
            return kHostCannotServe;
        std::memcpy(params.At(0), &record, sizeof record);
        return SendFrame(ICM_COMPRESS, places.end, lParam);
    }
    // The classic record: the output header and the two slots come back to
    // ParamArea, and the record there gets the host's addresses.
    IcCompress32 shared = record;
    if (FrameExtent(input) > kindViews.In().size || FrameExtent(output) > kindViews.Out().size
        || !PlacePrevious(&record))
        return kHostCannotServe;
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
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    BITMAPINFOHEADER input;
    BITMAPINFOHEADER output;
    IcDecompress32 record;
    if (!StartRequest() || !PlaceDecompress(params, layouts, static_cast<uint32_t>(lParam), &places)
        || !FramesFit(kSeriesDecompress, places, &input, &output))
        return kHostCannotServe;
    std::memcpy(&record, params.At(0), sizeof record);
    const FrameViews& kindViews = views[kSeriesDecompress];
    if (!WholeRecords()) {
        if (FrameExtent(input) > kindViews.In().size || FrameExtent(output) > kindViews.Out().size)
            return kHostCannotServe;
        record.lpInput = HostAddress(kindViews.In().base);
        record.lpOutput = HostAddress(kindViews.Out().base);
        record.lpbiInput = HostAddress(params.At(places.input));
        record.lpbiOutput = HostAddress(params.At(places.output));
        std::memcpy(params.At(0), &record, sizeof record);
        return GuardedSendMessage(codec, ICM_DECOMPRESS, Param(0), lParam);
    }
    if (record.lpbiInput == kNoPlace || record.lpbiOutput == kNoPlace)
        return kHostCannotServe;
    record.lpbiInput = HostAddress(params.At(places.input));
    record.lpbiOutput = HostAddress(params.At(places.output));
    if (!ResolveFramePlace(record.lpInput, FrameExtent(input), kindViews.In(), &record.lpInput)
        || !ResolveFramePlace(record.lpOutput, FrameExtent(output), kindViews.Out(), &record.lpOutput))
        return kHostCannotServe;
    std::memcpy(params.At(0), &record, sizeof record);
    return SendFrame(ICM_DECOMPRESS, places.end, lParam);
}

LRESULT CCodecHost::OnDecompressEx(LPARAM lParam)
{
    if (codec == nullptr)
        return kHostCannotServe;
    ParamPlaces places;
    BITMAPINFOHEADER source;
    BITMAPINFOHEADER destination;
    IcDecompressEx32 record;
    if (!StartRequest() || !PlaceDecompressEx(params, static_cast<uint32_t>(lParam), &places))
        return kHostCannotServe;
    std::memcpy(&record, params.At(0), sizeof record);
    const FrameViews& kindViews = views[kSeriesDecompressEx];
    if (record.lpbiSrc == kNoPlace || record.lpbiDst == kNoPlace
        || !FramesFit(kSeriesDecompressEx, places, &source, &destination))
        return kHostCannotServe;
    record.lpbiSrc = HostAddress(params.At(places.input));
    record.lpbiDst = HostAddress(params.At(places.output));
    if (!ResolveFramePlace(record.lpSrc, FrameExtent(source), kindViews.In(), &record.lpSrc)
        || !ResolveFramePlace(record.lpDst, FrameExtent(destination), kindViews.Out(), &record.lpDst))
        return kHostCannotServe;
    std::memcpy(params.At(0), &record, sizeof record);
    return SendFrame(ICM_DECOMPRESSEX, places.end, lParam);
}
