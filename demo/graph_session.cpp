#define CINTERFACE
#define COBJMACROS
#include "demo/graph_session.h"

#include <dshow.h>
#include <qedit.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

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
    // The source, the AVI Decompressor, the Sample Grabber, the Null Renderer.
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

HRESULT Build(Graph& graph, const AM_MEDIA_TYPE& stream, long largestFrame)
{
    graph.filters[0] = CreateFrameSource(&stream, largestFrame);
    AM_MEDIA_TYPE rgb = {};
    rgb.majortype = MEDIATYPE_Video;
    rgb.subtype = MEDIASUBTYPE_RGB24;
    IMediaFilter* timing = nullptr;
    HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      reinterpret_cast<void**>(&graph.builder));
    if (SUCCEEDED(result))
        result = graph.filters[0] != nullptr ? AddFilter(graph, 0, GUID_NULL, L"Frames") : E_OUTOFMEMORY;
    if (SUCCEEDED(result))
        result = AddFilter(graph, 1, CLSID_AVIDec, L"AVI Decompressor");
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

void AddGrabberFormat(ISampleGrabber* grabber, Transcript* transcript)
{
    AM_MEDIA_TYPE type = {};
    HRESULT result = ISampleGrabber_GetConnectedMediaType(grabber, &type);
    BITMAPINFOHEADER header = {};
    if (SUCCEEDED(result) && type.cbFormat >= sizeof(VIDEOINFOHEADER))
        header = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    AddStep(transcript, "grabber's format", result, &header, sizeof header);
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

}

void PlayThroughGraph(const CompressedStream& stream, Transcript* transcript)
{
    if (stream.format.size() < sizeof(BITMAPINFOHEADER) || stream.rate == 0)
        return;
    HRESULT initialized = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::vector<uint8_t> format(stream.format);
    format.insert(format.begin(), offsetof(VIDEOINFOHEADER, bmiHeader), 0);
    VIDEOINFOHEADER* info = reinterpret_cast<VIDEOINFOHEADER*>(format.data());
    info->AvgTimePerFrame = 10000000LL * stream.scale / stream.rate;
    AM_MEDIA_TYPE type = {};
    type.majortype = MEDIATYPE_Video;
    type.subtype = FourCCSubtype(info->bmiHeader.biCompression);
    type.bTemporalCompression = TRUE;
    type.formattype = FORMAT_VideoInfo;
    type.cbFormat = static_cast<ULONG>(format.size());
    type.pbFormat = format.data();
    long largest = 1;
    for (const std::vector<uint8_t>& frame : stream.frames)
        largest = std::max(largest, static_cast<long>(frame.size()));
    {
        Graph graph;
        HRESULT result = Build(graph, type, largest);
        if (SUCCEEDED(result))
            result = IMediaControl_Run(graph.control);
        // Run may answer before the renderer has its first frame (S_FALSE).
        AddStep(transcript, "graph built and running", SUCCEEDED(result) ? S_OK : result);
        if (SUCCEEDED(result)) {
            AddGrabberFormat(graph.grabber, transcript);
            for (size_t i = 0; i < stream.frames.size(); ++i) {
                const std::vector<uint8_t>& frame = stream.frames[i];
                REFERENCE_TIME start = static_cast<REFERENCE_TIME>(i) * info->AvgTimePerFrame;
                HRESULT delivered
                    = DeliverFrame(graph.filters[0], frame.data(), static_cast<long>(frame.size()),
                                   stream.keys[i], start, start + info->AvgTimePerFrame);
                AddGrabbedPicture(graph.grabber, delivered, transcript);
            }
            LONG code = 0;
            result = DeliverEndOfStream(graph.filters[0]);
            if (SUCCEEDED(result))
                result = IMediaEventEx_WaitForCompletion(graph.events, kGraphEndMs, &code);
            AddStep(transcript, "graph ran to its end", result, &code, sizeof code);
        }
    }
    if (SUCCEEDED(initialized))
        CoUninitialize();
}
