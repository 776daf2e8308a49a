#define CINTERFACE
#define COBJMACROS
#include "demo/graph_session.h"

#include <dshow.h>
#include <qedit.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <cwctype>
#include <functional>
#include <string>

#include "demo/clip.h"
#include "demo/frame_source.h"

namespace {

const DWORD kGraphEndMs = 30000;

// Classes of the editing library, whose header does not declare them.
const CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kNullRenderer = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

// The media subtype that stands for a FourCC.
GUID FourCCSubtype(DWORD fourcc)
{
    return GUID {fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

template <typename Interface>
void Release(Interface** held)
{
    if (*held != nullptr)
        (*held)->lpVtbl->Release(*held);
    *held = nullptr;
}

// The first pin of the filter that points the given way, or none.
IPin* FirstPin(IBaseFilter* filter, PIN_DIRECTION direction)
{
    IEnumPins* pins = nullptr;
    IPin* found = nullptr;
    IPin* pin = nullptr;
    if (filter == nullptr || FAILED(IBaseFilter_EnumPins(filter, &pins)))
        return nullptr;
    while (found == nullptr && IEnumPins_Next(pins, 1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION its;
        if (SUCCEEDED(IPin_QueryDirection(pin, &its)) && its == direction)
            found = pin;
        else
            IPin_Release(pin);
    }
    IEnumPins_Release(pins);
    return found;
}

// The graph and its four filters, released with the object.
struct Graph {
    ~Graph()
    {
        if (control != nullptr)
            IMediaControl_Stop(control);
        Release(&control);
        Release(&events);
        Release(&grabber);
        for (IBaseFilter*& filter : filters)
            Release(&filter);
        Release(&builder);
    }

    IGraphBuilder* builder = nullptr;
    // The source, the AVI Decompressor or Compressor, the Sample Grabber,
    // the Null Renderer.
    IBaseFilter* filters[4] = {};
    ISampleGrabber* grabber = nullptr;
    IMediaControl* control = nullptr;
    IMediaEventEx* events = nullptr;
};

HRESULT AddFilter(Graph& graph, int index, const CLSID& clsid, const wchar_t* name)
{
    HRESULT result = graph.filters[index] != nullptr
        ? S_OK
        : CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                           reinterpret_cast<void**>(&graph.filters[index]));
    return SUCCEEDED(result) ? IGraphBuilder_AddFilter(graph.builder, graph.filters[index], name) : result;
}

// Output of filter `from` to the input of the next one, with the type
// given or, without one, as the two pins agree.
HRESULT ConnectNext(Graph& graph, int from, const AM_MEDIA_TYPE* type)
{
    IPin* output = FirstPin(graph.filters[from], PINDIR_OUTPUT);
    IPin* input = FirstPin(graph.filters[from + 1], PINDIR_INPUT);
    HRESULT result = output != nullptr && input != nullptr
        ? IGraphBuilder_ConnectDirect(graph.builder, output, input, type)
        : VFW_E_NOT_FOUND;
    Release(&output);
    Release(&input);
    return result;
}

// The codec's filter is the AVI Decompressor unless the graph holds one
// already; the grabber takes video of the subtype given (GUID_NULL: any).
HRESULT Build(Graph& graph, const AM_MEDIA_TYPE& stream, long largestFrame, const GUID& grabbed)
{
    graph.filters[0] = CreateFrameSource(&stream, largestFrame);
    AM_MEDIA_TYPE rgb = {};
    rgb.majortype = MEDIATYPE_Video;
    rgb.subtype = grabbed;
    IMediaFilter* timing = nullptr;
    HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      reinterpret_cast<void**>(&graph.builder));
    if (SUCCEEDED(result))
        result = graph.filters[0] != nullptr ? AddFilter(graph, 0, GUID_NULL, L"Frames") : E_OUTOFMEMORY;
    if (SUCCEEDED(result))
        result = AddFilter(graph, 1, CLSID_AVIDec, L"Codec");
    if (SUCCEEDED(result))
        result = AddFilter(graph, 2, kSampleGrabber, L"Sample Grabber");
    if (SUCCEEDED(result))
        result = AddFilter(graph, 3, kNullRenderer, L"Null Renderer");
    if (SUCCEEDED(result))
        result = IBaseFilter_QueryInterface(graph.filters[2], IID_ISampleGrabber,
                                            reinterpret_cast<void**>(&graph.grabber));
    if (SUCCEEDED(result))
        result = ISampleGrabber_SetMediaType(graph.grabber, &rgb);
    if (SUCCEEDED(result))
        result = ISampleGrabber_SetBufferSamples(graph.grabber, TRUE);
    if (SUCCEEDED(result))
        result = ConnectNext(graph, 0, &stream);
    if (SUCCEEDED(result))
        result = ConnectNext(graph, 1, nullptr);
    if (SUCCEEDED(result))
        result = ConnectNext(graph, 2, nullptr);
    // Without a clock the renderer takes each frame as it comes.
    if (SUCCEEDED(result))
        result = IGraphBuilder_QueryInterface(graph.builder, IID_IMediaFilter,
                                              reinterpret_cast<void**>(&timing));
    if (SUCCEEDED(result))
        result = IMediaFilter_SetSyncSource(timing, nullptr);
    Release(&timing);
    if (SUCCEEDED(result))
        result = IGraphBuilder_QueryInterface(graph.builder, IID_IMediaControl,
                                              reinterpret_cast<void**>(&graph.control));
    if (SUCCEEDED(result))
        result = IGraphBuilder_QueryInterface(graph.builder, IID_IMediaEventEx,
                                              reinterpret_cast<void**>(&graph.events));
    return result;
}

// The header of the format the grabber takes, or the whole media type: its
// GUIDs, sample fields and format block, laid out alike in both bitnesses.
void AddGrabberFormat(ISampleGrabber* grabber, bool whole, Transcript* transcript)
{
    AM_MEDIA_TYPE type = {};
    HRESULT result = ISampleGrabber_GetConnectedMediaType(grabber, &type);
    BITMAPINFOHEADER header = {};
    if (SUCCEEDED(result) && type.cbFormat >= sizeof(VIDEOINFOHEADER))
        header = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    if (!whole) {
        AddStep(transcript, "grabber's format", result, &header, sizeof header);
    } else {
        const GUID guids[] = {type.majortype, type.subtype, type.formattype};
        const int32_t fields[]
            = {type.bFixedSizeSamples, type.bTemporalCompression, static_cast<int32_t>(type.lSampleSize),
               static_cast<int32_t>(type.cbFormat)};
        std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(guids),
                                   reinterpret_cast<const uint8_t*>(guids) + sizeof guids);
        bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(fields),
                     reinterpret_cast<const uint8_t*>(fields) + sizeof fields);
        if (SUCCEEDED(result) && type.pbFormat != nullptr)
            bytes.insert(bytes.end(), type.pbFormat, type.pbFormat + type.cbFormat);
        AddStep(transcript, "compressor's output type", result, bytes.data(), bytes.size());
    }
    CoTaskMemFree(type.pbFormat);
    if (type.pUnk != nullptr)
        IUnknown_Release(type.pUnk);
}

// The picture the grabber holds after a frame went through.
void AddGrabbedPicture(ISampleGrabber* grabber, HRESULT delivered, Transcript* transcript)
{
    long size = 0;
    std::vector<uint8_t> picture;
    if (SUCCEEDED(ISampleGrabber_GetCurrentBuffer(grabber, &size, nullptr)) && size > 0) {
        picture.resize(static_cast<size_t>(size));
        ISampleGrabber_GetCurrentBuffer(grabber, &size, reinterpret_cast<long*>(picture.data()));
    }
    AddStep(transcript, "picture through the graph", delivered, picture.data(), picture.size());
}

// The media type of a video stream of `header` (a BITMAPINFOHEADER with
// what it carries), one frame every `frameTime`; its format lives in
// `format`.
AM_MEDIA_TYPE StreamType(const std::vector<uint8_t>& header, const GUID& subtype, REFERENCE_TIME frameTime,
                         std::vector<uint8_t>* format)
{
    format->assign(offsetof(VIDEOINFOHEADER, bmiHeader), 0);
    format->insert(format->end(), header.begin(), header.end());
    reinterpret_cast<VIDEOINFOHEADER*>(format->data())->AvgTimePerFrame = frameTime;
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    // Pictures are no compression at all; compressed frames may need the ones before.
    type.bTemporalCompression
        = !IsEqualGUID(subtype, MEDIASUBTYPE_RGB8) && !IsEqualGUID(subtype, MEDIASUBTYPE_RGB24);
    type.formattype = FORMAT_VideoInfo;
    type.cbFormat = static_cast<ULONG>(format->size());
    type.pbFormat = format->data();
    return type;
}

// Builds and runs the graph, pushes every frame (`delivered` records what
// came of each), then the end of the stream, and waits for the graph's end.
// With a recorder, the grabber calls it back with every sample and its
// whole media type is recorded.
void RunGraph(Graph& graph, const AM_MEDIA_TYPE& type, const CompressedStream& stream,
              REFERENCE_TIME frameTime, const GUID& grabbed, ISampleGrabberCB* recorder,
              const std::function<void(HRESULT)>& delivered, Transcript* transcript)
{
    long largest = 1;
    for (const std::vector<uint8_t>& frame : stream.frames)
        largest = std::max(largest, static_cast<long>(frame.size()));
    HRESULT result = Build(graph, type, largest, grabbed);
    if (SUCCEEDED(result) && recorder != nullptr)
        result = ISampleGrabber_SetCallback(graph.grabber, recorder, 0);
    if (SUCCEEDED(result))
        result = IMediaControl_Run(graph.control);
    // Run may answer before the renderer has its first frame (S_FALSE).
    AddStep(transcript, "graph built and running", SUCCEEDED(result) ? S_OK : result);
    if (FAILED(result))
        return;
    AddGrabberFormat(graph.grabber, recorder != nullptr, transcript);
    for (size_t i = 0; i < stream.frames.size(); ++i) {
        const std::vector<uint8_t>& frame = stream.frames[i];
        REFERENCE_TIME start = static_cast<REFERENCE_TIME>(i) * frameTime;
        delivered(DeliverFrame(graph.filters[0], frame.data(), static_cast<long>(frame.size()),
                               stream.keys[i], start, start + frameTime));
    }
    LONG code = 0;
    result = DeliverEndOfStream(graph.filters[0]);
    if (SUCCEEDED(result))
        result = IMediaEventEx_WaitForCompletion(graph.events, kGraphEndMs, &code);
    AddStep(transcript, "graph ran to its end", result, &code, sizeof code);
}

// The filter of the video compressor category whose FourCC is `codec`'s:
// the system's AVI Compressor for that codec.
IBaseFilter* CategoryCompressor(const std::string& codec)
{
    ICreateDevEnum* devices = nullptr;
    IEnumMoniker* monikers = nullptr;
    IMoniker* moniker = nullptr;
    IBaseFilter* filter = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                reinterpret_cast<void**>(&devices))))
        return nullptr;
    if (ICreateDevEnum_CreateClassEnumerator(devices, CLSID_VideoCompressorCategory, &monikers, 0) != S_OK)
        monikers = nullptr;
    while (monikers != nullptr && filter == nullptr
           && IEnumMoniker_Next(monikers, 1, &moniker, nullptr) == S_OK) {
        IPropertyBag* bag = nullptr;
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(IMoniker_BindToStorage(moniker, nullptr, nullptr, IID_IPropertyBag,
                                             reinterpret_cast<void**>(&bag)))
            && SUCCEEDED(IPropertyBag_Read(bag, L"FccHandler", &value, nullptr)) && value.vt == VT_BSTR
            && SysStringLen(value.bstrVal) == 4
            && std::equal(codec.begin(), codec.end(), value.bstrVal,
                          [](char a, wchar_t b) { return std::tolower(a) == std::towlower(b); }))
            IMoniker_BindToObject(moniker, nullptr, nullptr, IID_IBaseFilter,
                                  reinterpret_cast<void**>(&filter));
        VariantClear(&value);
        Release(&bag);
        Release(&moniker);
    }
    Release(&monikers);
    Release(&devices);
    return filter;
}

// The grabber's callback: every sample the compressor gave, its bytes (as
// many as its length) and whether it is a sync point (1) or not (0).
struct SampleRecorder {
    ISampleGrabberCB iface;
    Transcript* transcript;
};

HRESULT STDMETHODCALLTYPE RecorderQueryInterface(ISampleGrabberCB* iface, REFIID iid, void** object)
{
    bool has = IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_ISampleGrabberCB);
    *object = has ? iface : nullptr;
    return has ? S_OK : E_NOINTERFACE;
}

// The recorder lives on the stack beyond the graph.
ULONG STDMETHODCALLTYPE RecorderReference(ISampleGrabberCB*)
{
    return 1;
}

HRESULT STDMETHODCALLTYPE RecorderSample(ISampleGrabberCB* iface, double, IMediaSample* sample)
{
    BYTE* bytes = nullptr;
    long length = IMediaSample_GetActualDataLength(sample);
    bool read = SUCCEEDED(IMediaSample_GetPointer(sample, &bytes)) && length >= 0;
    AddStep(reinterpret_cast<SampleRecorder*>(iface)->transcript, "sample from the compressor",
            IMediaSample_IsSyncPoint(sample) == S_OK, read ? bytes : nullptr,
            read ? static_cast<size_t>(length) : 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RecorderBuffer(ISampleGrabberCB*, double, BYTE*, LONG)
{
    return E_NOTIMPL;
}

ISampleGrabberCBVtbl kRecorderVtbl
    = {RecorderQueryInterface, RecorderReference, RecorderReference, RecorderSample, RecorderBuffer};

}

void PlayThroughGraph(const CompressedStream& stream, Transcript* transcript)
{
    if (stream.format.size() < sizeof(BITMAPINFOHEADER) || stream.rate == 0)
        return;
    HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(stream.format.data());
    REFERENCE_TIME frameTime = 10000000LL * stream.scale / stream.rate;
    std::vector<uint8_t> format;
    AM_MEDIA_TYPE type = StreamType(stream.format, FourCCSubtype(header->biCompression), frameTime, &format);
    {
        Graph graph;
        RunGraph(
            graph, type, stream, frameTime, MEDIASUBTYPE_RGB24, nullptr,
            [&](HRESULT delivered) { AddGrabbedPicture(graph.grabber, delivered, transcript); }, transcript);
    }
    if (SUCCEEDED(initialized))
        CoUninitialize();
}

void EncodeThroughGraph(const std::string& codec, const ClipSpec& clip, DWORD rate, Transcript* transcript)
{
    HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CompressedStream stream;
    for (int i = 0; i < clip.frames; ++i) {
        stream.frames.push_back(ClipFrame(clip, i));
        stream.keys.push_back(i % clip.keyInterval == 0);
    }
    REFERENCE_TIME frameTime = 10000000LL / rate;
    std::vector<uint8_t> format;
    AM_MEDIA_TYPE type = StreamType(
        ClipFormat(clip), clip.bitCount == 8 ? MEDIASUBTYPE_RGB8 : MEDIASUBTYPE_RGB24, frameTime, &format);
    SampleRecorder recorder = {{&kRecorderVtbl}, transcript};
    {
        Graph graph;
        graph.filters[1] = CategoryCompressor(codec);
        AddStep(transcript, "compressor of the video compressor category", graph.filters[1] != nullptr);
        if (graph.filters[1] != nullptr)
            RunGraph(
                graph, type, stream, frameTime, GUID_NULL, &recorder.iface,
                [&](HRESULT delivered) { AddStep(transcript, "frame through the compressor", delivered); },
                transcript);
    }
    if (SUCCEEDED(initialized))
        CoUninitialize();
}
