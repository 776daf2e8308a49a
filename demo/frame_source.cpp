// The frame source's three COM objects, written against the C layout of the
// interfaces: the filter, its one output pin and the enumerator of that pin.
// The pin lives inside the filter and counts its references there.

#define CINTERFACE
#define COBJMACROS
#include "demo/frame_source.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace {

const wchar_t kPinName[] = L"Out";

struct FrameSource;

struct SourcePin {
    IPin iface;
    FrameSource* owner;
};

struct PinEnumerator {
    IEnumPins iface;
    LONG references;
    FrameSource* owner;
    ULONG position;
};

struct FrameSource {
    IBaseFilter iface;
    LONG references;
    SourcePin pin;
    AM_MEDIA_TYPE type;
    long largestFrame;
    FILTER_STATE state;
    // The graph holds the filter, not the other way round.
    IFilterGraph* graph;
    IReferenceClock* clock;
    IPin* peer;
    IMemInputPin* input;
    IMemAllocator* allocator;
    WCHAR name[MAX_FILTER_NAME];
};

FrameSource* Source(IBaseFilter* iface)
{
    return reinterpret_cast<FrameSource*>(iface);
}

FrameSource* Source(IPin* iface)
{
    return reinterpret_cast<SourcePin*>(iface)->owner;
}

PinEnumerator* Enumerator(IEnumPins* iface)
{
    return reinterpret_cast<PinEnumerator*>(iface);
}

// A method that only gives its fixed answer.
template <typename Interface, HRESULT answer, typename... Arguments>
HRESULT STDMETHODCALLTYPE Answer(Interface*, Arguments...)
{
    return answer;
}

// QueryInterface's answer for an interface the object has, or has not.
template <typename Interface>
HRESULT Give(Interface* iface, bool has, void** object)
{
    *object = has ? iface : nullptr;
    if (has)
        iface->lpVtbl->AddRef(iface);
    return has ? S_OK : E_NOINTERFACE;
}

// The reference count of an object whose first member is its interface.
template <typename Object, typename Interface>
ULONG STDMETHODCALLTYPE AddRef(Interface* iface)
{
    return static_cast<ULONG>(InterlockedIncrement(&reinterpret_cast<Object*>(iface)->references));
}

void Destroy(FrameSource* source);
void Destroy(PinEnumerator* enumerator);

template <typename Object, typename Interface>
ULONG STDMETHODCALLTYPE Release(Interface* iface)
{
    Object* object = reinterpret_cast<Object*>(iface);
    LONG left = InterlockedDecrement(&object->references);
    if (left == 0)
        Destroy(object);
    return static_cast<ULONG>(left);
}

template <typename Interface>
void ReleaseInto(Interface** held, Interface* now)
{
    if (now != nullptr)
        now->lpVtbl->AddRef(now);
    if (*held != nullptr)
        (*held)->lpVtbl->Release(*held);
    *held = now;
}

bool SameKind(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b)
{
    return IsEqualGUID(a.majortype, b.majortype) && IsEqualGUID(a.subtype, b.subtype);
}

HRESULT CopyType(const AM_MEDIA_TYPE& from, AM_MEDIA_TYPE* to)
{
    *to = from;
    to->pUnk = nullptr;
    to->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(from.cbFormat));
    if (to->pbFormat == nullptr && from.cbFormat != 0)
        return E_OUTOFMEMORY;
    std::memcpy(to->pbFormat, from.pbFormat, from.cbFormat);
    return S_OK;
}

void Disconnect(FrameSource* source)
{
    ReleaseInto<IPin>(&source->peer, nullptr);
    ReleaseInto<IMemInputPin>(&source->input, nullptr);
    ReleaseInto<IMemAllocator>(&source->allocator, nullptr);
}

// The filter.

HRESULT STDMETHODCALLTYPE FilterQueryInterface(IBaseFilter* iface, REFIID iid, void** object)
{
    return Give(iface,
                IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist)
                    || IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter),
                object);
}

void Destroy(FrameSource* source)
{
    Disconnect(source);
    ReleaseInto<IReferenceClock>(&source->clock, nullptr);
    CoTaskMemFree(source->type.pbFormat);
    delete source;
}

HRESULT STDMETHODCALLTYPE FilterGetClassID(IBaseFilter*, CLSID* clsid)
{
    *clsid = GUID_NULL;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterStop(IBaseFilter* iface)
{
    FrameSource* source = Source(iface);
    if (source->allocator != nullptr && source->state != State_Stopped)
        IMemAllocator_Decommit(source->allocator);
    source->state = State_Stopped;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterPause(IBaseFilter* iface)
{
    FrameSource* source = Source(iface);
    if (source->allocator != nullptr && source->state == State_Stopped) {
        HRESULT result = IMemAllocator_Commit(source->allocator);
        if (FAILED(result))
            return result;
    }
    source->state = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterRun(IBaseFilter* iface, REFERENCE_TIME)
{
    FrameSource* source = Source(iface);
    HRESULT result = source->state == State_Stopped ? FilterPause(iface) : S_OK;
    if (SUCCEEDED(result))
        source->state = State_Running;
    return result;
}

HRESULT STDMETHODCALLTYPE FilterGetState(IBaseFilter* iface, DWORD, FILTER_STATE* state)
{
    *state = Source(iface)->state;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterSetSyncSource(IBaseFilter* iface, IReferenceClock* clock)
{
    ReleaseInto(&Source(iface)->clock, clock);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterGetSyncSource(IBaseFilter* iface, IReferenceClock** clock)
{
    *clock = nullptr;
    ReleaseInto(clock, Source(iface)->clock);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterEnumPins(IBaseFilter* iface, IEnumPins** pins);

HRESULT STDMETHODCALLTYPE FilterFindPin(IBaseFilter* iface, LPCWSTR id, IPin** pin)
{
    *pin = nullptr;
    if (std::wcscmp(id, kPinName) != 0)
        return VFW_E_NOT_FOUND;
    *pin = &Source(iface)->pin.iface;
    IPin_AddRef(*pin);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterQueryFilterInfo(IBaseFilter* iface, FILTER_INFO* info)
{
    FrameSource* source = Source(iface);
    std::wcscpy(info->achName, source->name);
    info->pGraph = nullptr;
    ReleaseInto(&info->pGraph, source->graph);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterJoinFilterGraph(IBaseFilter* iface, IFilterGraph* graph, LPCWSTR name)
{
    FrameSource* source = Source(iface);
    source->graph = graph;
    std::wcsncpy(source->name, name != nullptr ? name : L"", MAX_FILTER_NAME - 1);
    return S_OK;
}

IBaseFilterVtbl kFilterVtbl = {
    FilterQueryInterface,
    AddRef<FrameSource, IBaseFilter>,
    Release<FrameSource, IBaseFilter>,
    FilterGetClassID,
    FilterStop,
    FilterPause,
    FilterRun,
    FilterGetState,
    FilterSetSyncSource,
    FilterGetSyncSource,
    FilterEnumPins,
    FilterFindPin,
    FilterQueryFilterInfo,
    FilterJoinFilterGraph,
    Answer<IBaseFilter, E_NOTIMPL>, // QueryVendorInfo
};

// The output pin.

HRESULT STDMETHODCALLTYPE PinQueryInterface(IPin* iface, REFIID iid, void** object)
{
    return Give(iface, IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin), object);
}

ULONG STDMETHODCALLTYPE PinAddRef(IPin* iface)
{
    return IBaseFilter_AddRef(&Source(iface)->iface);
}

ULONG STDMETHODCALLTYPE PinRelease(IPin* iface)
{
    return IBaseFilter_Release(&Source(iface)->iface);
}

// Frames go into the receiving pin's own samples, or into plain memory
// samples when it has none to offer.
HRESULT TakeAllocator(FrameSource* source, IPin* receiver)
{
    HRESULT result
        = IPin_QueryInterface(receiver, IID_IMemInputPin, reinterpret_cast<void**>(&source->input));
    if (SUCCEEDED(result) && FAILED(IMemInputPin_GetAllocator(source->input, &source->allocator)))
        result = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                  reinterpret_cast<void**>(&source->allocator));
    ALLOCATOR_PROPERTIES wanted = {1, source->largestFrame, 1, 0};
    ALLOCATOR_PROPERTIES actual;
    if (SUCCEEDED(result))
        result = IMemAllocator_SetProperties(source->allocator, &wanted, &actual);
    if (SUCCEEDED(result))
        result = IMemInputPin_NotifyAllocator(source->input, source->allocator, FALSE);
    return result;
}

HRESULT STDMETHODCALLTYPE PinConnect(IPin* iface, IPin* receiver, const AM_MEDIA_TYPE* type)
{
    FrameSource* source = Source(iface);
    if (source->peer != nullptr)
        return VFW_E_ALREADY_CONNECTED;
    if (type != nullptr && !IsEqualGUID(type->majortype, GUID_NULL) && !SameKind(*type, source->type))
        return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT result = IPin_ReceiveConnection(receiver, iface, &source->type);
    if (FAILED(result))
        return result;
    result = TakeAllocator(source, receiver);
    if (FAILED(result)) {
        IPin_Disconnect(receiver);
        Disconnect(source);
        return result;
    }
    ReleaseInto(&source->peer, receiver);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PinDisconnect(IPin* iface)
{
    FrameSource* source = Source(iface);
    if (source->peer == nullptr)
        return S_FALSE;
    Disconnect(source);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PinConnectedTo(IPin* iface, IPin** peer)
{
    *peer = nullptr;
    ReleaseInto(peer, Source(iface)->peer);
    return *peer != nullptr ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE PinConnectionMediaType(IPin* iface, AM_MEDIA_TYPE* type)
{
    FrameSource* source = Source(iface);
    if (source->peer == nullptr)
        return VFW_E_NOT_CONNECTED;
    return CopyType(source->type, type);
}

HRESULT STDMETHODCALLTYPE PinQueryPinInfo(IPin* iface, PIN_INFO* info)
{
    info->pFilter = &Source(iface)->iface;
    IBaseFilter_AddRef(info->pFilter);
    info->dir = PINDIR_OUTPUT;
    std::wcscpy(info->achName, kPinName);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PinQueryDirection(IPin*, PIN_DIRECTION* direction)
{
    *direction = PINDIR_OUTPUT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PinQueryId(IPin*, LPWSTR* id)
{
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof kPinName));
    if (*id == nullptr)
        return E_OUTOFMEMORY;
    std::memcpy(*id, kPinName, sizeof kPinName);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PinQueryAccept(IPin* iface, const AM_MEDIA_TYPE* type)
{
    return SameKind(*type, Source(iface)->type) ? S_OK : S_FALSE;
}

// The pin offers its one type at its connection only, and the stream calls
// travel downstream only.
IPinVtbl kPinVtbl = {
    PinQueryInterface,
    PinAddRef,
    PinRelease,
    PinConnect,
    Answer<IPin, E_UNEXPECTED>, // ReceiveConnection
    PinDisconnect,
    PinConnectedTo,
    PinConnectionMediaType,
    PinQueryPinInfo,
    PinQueryDirection,
    PinQueryId,
    PinQueryAccept,
    Answer<IPin, E_NOTIMPL>, // EnumMediaTypes
    Answer<IPin, E_NOTIMPL>, // QueryInternalConnections
    Answer<IPin, E_UNEXPECTED>, // EndOfStream
    Answer<IPin, E_UNEXPECTED>, // BeginFlush
    Answer<IPin, E_UNEXPECTED>, // EndFlush
    Answer<IPin, E_UNEXPECTED>, // NewSegment
};

// The enumerator of the one pin.

HRESULT STDMETHODCALLTYPE EnumQueryInterface(IEnumPins* iface, REFIID iid, void** object)
{
    return Give(iface, IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumPins), object);
}

void Destroy(PinEnumerator* enumerator)
{
    IBaseFilter_Release(&enumerator->owner->iface);
    delete enumerator;
}

HRESULT STDMETHODCALLTYPE EnumNext(IEnumPins* iface, ULONG count, IPin** pins, ULONG* fetched)
{
    PinEnumerator* enumerator = Enumerator(iface);
    ULONG given = 0;
    if (count > 0 && enumerator->position == 0) {
        pins[given++] = &enumerator->owner->pin.iface;
        IPin_AddRef(pins[0]);
        enumerator->position = 1;
    }
    if (fetched != nullptr)
        *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE EnumReset(IEnumPins* iface)
{
    Enumerator(iface)->position = 0;
    return S_OK;
}

// Nothing here skips or copies an enumeration.
IEnumPinsVtbl kEnumVtbl = {
    EnumQueryInterface, AddRef<PinEnumerator, IEnumPins>, Release<PinEnumerator, IEnumPins>,
    EnumNext,           Answer<IEnumPins, E_NOTIMPL>, // Skip
    EnumReset,          Answer<IEnumPins, E_NOTIMPL>, // Clone
};

HRESULT STDMETHODCALLTYPE FilterEnumPins(IBaseFilter* iface, IEnumPins** pins)
{
    FrameSource* owner = Source(iface);
    PinEnumerator* enumerator = new (std::nothrow) PinEnumerator {{&kEnumVtbl}, 1, owner, 0};
    *pins = enumerator != nullptr ? &enumerator->iface : nullptr;
    if (enumerator == nullptr)
        return E_OUTOFMEMORY;
    IBaseFilter_AddRef(&owner->iface);
    return S_OK;
}

}

IBaseFilter* CreateFrameSource(const AM_MEDIA_TYPE* type, long largestFrame)
{
    FrameSource* source = new (std::nothrow) FrameSource();
    if (source == nullptr)
        return nullptr;
    source->iface.lpVtbl = &kFilterVtbl;
    source->references = 1;
    source->pin.iface.lpVtbl = &kPinVtbl;
    source->pin.owner = source;
    source->largestFrame = largestFrame;
    source->state = State_Stopped;
    if (FAILED(CopyType(*type, &source->type))) {
        delete source;
        return nullptr;
    }
    return &source->iface;
}

HRESULT DeliverFrame(IBaseFilter* filter, const void* frame, long size, bool key, REFERENCE_TIME start,
                     REFERENCE_TIME stop)
{
    FrameSource* source = Source(filter);
    if (source->input == nullptr)
        return VFW_E_NOT_CONNECTED;
    IMediaSample* sample = nullptr;
    HRESULT result = IMemAllocator_GetBuffer(source->allocator, &sample, nullptr, nullptr, 0);
    if (FAILED(result))
        return result;
    BYTE* bytes = nullptr;
    IMediaSample_GetPointer(sample, &bytes);
    if (size > IMediaSample_GetSize(sample)) {
        IMediaSample_Release(sample);
        return E_INVALIDARG;
    }
    std::memcpy(bytes, frame, static_cast<size_t>(size));
    IMediaSample_SetActualDataLength(sample, size);
    IMediaSample_SetSyncPoint(sample, key ? TRUE : FALSE);
    IMediaSample_SetTime(sample, &start, &stop);
    result = IMemInputPin_Receive(source->input, sample);
    IMediaSample_Release(sample);
    return result;
}

HRESULT DeliverEndOfStream(IBaseFilter* filter)
{
    FrameSource* source = Source(filter);
    return source->peer != nullptr ? IPin_EndOfStream(source->peer) : VFW_E_NOT_CONNECTED;
}
