#include "driver/driver_instance.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/driver_log.h"
#include "driver/request_layout.h"
#include "driver/slot_codec_info.h"
#include "driver/slot_config.h"
#include "driver/wait_limits.h"
#include "host/param_layout.h"

namespace {

const BITMAPINFOHEADER* InputHeader(LPARAM lParam1)
{
    return reinterpret_cast<const BITMAPINFOHEADER*>(lParam1);
}

BITMAPINFOHEADER* OutputHeader(LPARAM lParam2)
{
    return reinterpret_cast<BITMAPINFOHEADER*>(lParam2);
}

WPARAM Given(const void* pointer)
{
    return pointer != nullptr ? 1 : 0;
}

void DriverPath(wchar_t* path, DWORD capacity)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&DriverPath), &module);
    if (GetModuleFileNameW(module, path, capacity) == 0)
        path[0] = L'\0';
}

}

LRESULT UnservedResult(UINT request)
{
    switch (request) {
    case kRequestGetState:
    case kRequestSetState:
        return 0;
    // Any other answer would claim a configuration dialog.
    case kRequestDrvQueryConfigure:
        return 0;
    case kRequestConfigure:
    case kRequestAbout:
    case kRequestGetDefaultQuality:
    case kRequestCompressEnd:
    case kRequestDecompressEnd:
        return ICERR_UNSUPPORTED;
    default:
        return request >= kRequestDrvLoad ? ICERR_UNSUPPORTED : kHostCannotServe;
    }
}

DriverInstance::DriverInstance(int slot, int timeoutSeconds)
    : slot_(slot)
    , timeoutSeconds_(timeoutSeconds)
{
    InitializeCriticalSection(&lock_);
}

DriverInstance::~DriverInstance()
{
    channel_.EndHost(RequestWaitMs(kRequestDrvClose, 0, timeoutSeconds_));
    if (hostProcess_ != nullptr)
        CloseHandle(hostProcess_);
    DeleteCriticalSection(&lock_);
}

void DriverInstance::Abort()
{
    AcquireSRWLockExclusive(&abortLock_);
    aborted_ = true;
    if (hostProcess_ != nullptr)
        TerminateProcess(hostProcess_, 1);
    ReleaseSRWLockExclusive(&abortLock_);
}

bool DriverInstance::KeepHostProcess()
{
    AcquireSRWLockExclusive(&abortLock_);
    bool kept = !aborted_
        && DuplicateHandle(GetCurrentProcess(), channel_.Process().Handle(), GetCurrentProcess(),
                           &hostProcess_, PROCESS_TERMINATE, FALSE, 0);
    ReleaseSRWLockExclusive(&abortLock_);
    return kept;
}

LRESULT DriverInstance::OnMessage(UINT message, LPARAM lParam1, LPARAM lParam2)
{
    // One ParamArea and one pair of frame mappings: requests from several
    // threads take turns.
    EnterCriticalSection(&lock_);
    LRESULT result = Dispatch(message, lParam1, lParam2);
    LeaveCriticalSection(&lock_);
    return result;
}

LRESULT DriverInstance::Dispatch(UINT message, LPARAM lParam1, LPARAM lParam2)
{
    if (slot_ == kNoSlot)
        return message == ICM_GETINFO || message < ICM_USER ? 0 : ICERR_UNSUPPORTED;
    switch (message) {
    case ICM_GETINFO:
        return OnGetInfo(reinterpret_cast<ICINFO*>(lParam1), lParam2);
    case ICM_GETSTATE:
        return OnGetState(reinterpret_cast<void*>(lParam1), lParam2);
    case ICM_SETSTATE:
        return OnSetState(reinterpret_cast<const void*>(lParam1), lParam2);
    case ICM_CONFIGURE:
        return OnDialog(kRequestConfigure, lParam1);
    case ICM_ABOUT:
        return OnDialog(kRequestAbout, lParam1);
    case ICM_GETDEFAULTQUALITY:
        return OnGetDefaultQuality(reinterpret_cast<DWORD*>(lParam1), lParam2);
    case ICM_COMPRESS_QUERY:
        return OnHeaderPair(kRequestCompressQuery, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS_GET_SIZE:
        return OnHeaderPair(kRequestCompressGetSize, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_QUERY:
        return OnHeaderPair(kRequestDecompressQuery, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS_GET_FORMAT:
        return OnGetFormat(kRequestCompressGetFormat, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_GET_FORMAT:
        return OnGetFormat(kRequestDecompressGetFormat, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_GET_PALETTE:
        return OnGetPalette(InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS_BEGIN:
        return OnBegin(kRequestCompressBegin, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_DECOMPRESS_BEGIN:
        return OnBegin(kRequestDecompressBegin, InputHeader(lParam1), OutputHeader(lParam2));
    case ICM_COMPRESS:
        return OnCompress(reinterpret_cast<ICCOMPRESS*>(lParam1));
    case ICM_DECOMPRESS:
        return OnDecompress(reinterpret_cast<ICDECOMPRESS*>(lParam1));
    case ICM_COMPRESS_END:
        return Forward(kRequestCompressEnd);
    case ICM_DECOMPRESS_END:
        return Forward(kRequestDecompressEnd);
    case DRV_QUERYCONFIGURE:
        return Forward(kRequestDrvQueryConfigure);
    case DRV_CONFIGURE:
        return OnDialog(kRequestDrvConfigure, lParam1);
    default:
        return ICERR_UNSUPPORTED;
    }
}

bool DriverInstance::HostReady()
{
    if (aborted_)
        return false;
    if (!started_) {
        started_ = true;
        ready_ = StartHost();
    }
    return ready_ && !channel_.Failed();
}

// Starts the host and settles the layouts: the whole-header layouts when
// the host knows them, the classic ones when it answers the handshake
// with 0.
bool DriverInstance::StartHost()
{
    char slot[8];
    std::snprintf(slot, sizeof slot, "tdl%d", slot_);
    int32_t answer;
    if (!channel_.CreateControl() || !channel_.StartHost(slot)) {
        LogDriverEvent(slot_, "starting the host: Tandrel64.exe could not be started");
        return false;
    }
    if (!KeepHostProcess())
        return false;
    if (!channel_.WaitForWindow(StartWaitMs(timeoutSeconds_))
        || !channel_.Send(kRequestHandshake, kLayoutsWholeHeaders, kHostProtocolVersion,
                          RequestWaitMs(kRequestHandshake, 0, timeoutSeconds_), &answer)) {
        LogChannelFailure("starting the host");
        return false;
    }
    layouts_ = answer == 0 ? kLayoutsClassic : HandshakeLayouts(static_cast<uint32_t>(answer));
    if (layouts_ != kLayoutsClassic && layouts_ != kLayoutsWholeHeaders) {
        LogDriverEvent(slot_, "starting the host: it chose layouts this driver does not know");
        channel_.EndHost(RequestWaitMs(kRequestDrvClose, 0, timeoutSeconds_));
        return false;
    }
    return true;
}

bool DriverInstance::Request(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result)
{
    if (!HostReady())
        return false;
    DWORD limit = RequestWaitMs(request, wParam, timeoutSeconds_);
    if (limit == kWaitForever ? channel_.SendWithDialog(request, wParam, lParam, result)
                              : channel_.Send(request, wParam, lParam, limit, result))
        return true;
    char doing[32];
    std::snprintf(doing, sizeof doing, "request 0x%X", request);
    LogChannelFailure(doing);
    return false;
}

void DriverInstance::LogChannelFailure(const char* doing)
{
    // A close ended the host on purpose.
    if (aborted_)
        return;
    char text[kLogTextCapacity];
    FormatHostFailure(doing, channel_.HostExitCode(), text);
    LogDriverEvent(slot_, text);
}

LRESULT DriverInstance::Forward(UINT request)
{
    int32_t result;
    return Request(request, 0, 0, &result) ? result : UnservedResult(request);
}

LRESULT DriverInstance::OnGetInfo(ICINFO* info, LPARAM size)
{
    if (info == nullptr || size < static_cast<LPARAM>(sizeof *info))
        return 0;
    SlotSettings settings;
    ReadSlotSettings(slot_, &settings);
    wchar_t driverPath[MAX_PATH];
    DriverPath(driverPath, MAX_PATH);
    FillSlotCodecInfo(slot_, settings, driverPath, info);
    return sizeof *info;
}

// The codec writes its state at the start of ParamArea. The client's own
// bytes go there first, so that what the codec leaves alone comes back
// unchanged.
LRESULT DriverInstance::OnGetState(void* state, LPARAM size)
{
    int32_t result;
    if (state == nullptr)
        return Request(kRequestGetState, 0, size, &result) ? result : UnservedResult(kRequestGetState);
    if (!HostReady())
        return kHostCannotServe;
    uint32_t room = std::min(static_cast<uint32_t>(size), kParamAreaSize);
    std::memcpy(channel_.ParamArea(), state, room);
    if (!Request(kRequestGetState, 1, room, &result))
        return kHostCannotServe;
    if (result >= 0)
        std::memcpy(state, channel_.ParamArea(),
                    result > 0 ? std::min(static_cast<uint32_t>(result), room) : room);
    return result;
}

// The host always hands the codec a state; a program's request to return
// to the default state (no state) arrives as an empty one.
LRESULT DriverInstance::OnSetState(const void* state, LPARAM size)
{
    DWORD bytes = state != nullptr ? static_cast<DWORD>(size) : 0;
    if (static_cast<uint64_t>(size) > kParamAreaSize || !HostReady())
        return 0;
    if (bytes != 0)
        std::memcpy(channel_.ParamArea(), state, bytes);
    int32_t result;
    return Request(kRequestSetState, 0, bytes, &result) ? result : 0;
}

// The program's window owns the codec's dialog, which disables it while it
// is up. A host that ends meanwhile never enables it again; the driver does.
LRESULT DriverInstance::OnDialog(UINT request, LPARAM owner)
{
    HWND window = reinterpret_cast<HWND>(owner);
    WPARAM value = owner == -1 ? static_cast<WPARAM>(-1) : static_cast<uint32_t>(owner);
    bool enabled = owner != -1 && IsWindow(window) && IsWindowEnabled(window);
    int32_t result;
    if (Request(request, value, 0, &result))
        return result;
    if (enabled)
        EnableWindow(window, TRUE);
    return UnservedResult(request);
}

// The host lets the codec write the quality to ParamArea, where the
// program's own value waits in case the codec writes nothing.
LRESULT DriverInstance::OnGetDefaultQuality(DWORD* quality, LPARAM lParam2)
{
    if (!HostReady())
        return UnservedResult(kRequestGetDefaultQuality);
    if (quality != nullptr)
        std::memcpy(channel_.ParamArea(), quality, sizeof *quality);
    int32_t result;
    if (!Request(kRequestGetDefaultQuality, Given(quality), lParam2, &result))
        return UnservedResult(kRequestGetDefaultQuality);
    if (quality != nullptr)
        std::memcpy(quality, channel_.ParamArea(), sizeof *quality);
    return result;
}

LRESULT DriverInstance::OnHeaderPair(UINT request, const BITMAPINFOHEADER* input,
                                     const BITMAPINFOHEADER* output)
{
    RequestPlaces places;
    int32_t result;
    if (!HostReady() || !PutHeaderPair(channel_.ParamArea(), layouts_, input, output, 0, &places)
        || !Request(request, Given(input), Given(output), &result))
        return UnservedResult(request);
    return result;
}

// The codec writes the format behind the input header. It comes back with
// everything it carries, but never more than the size the codec states for
// it, which is what the program made room for.
LRESULT DriverInstance::OnGetFormat(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    RequestPlaces places;
    int32_t size;
    if (input == nullptr)
        return ICERR_BADPARAM;
    if (!HostReady() || !PutHeaderPair(channel_.ParamArea(), layouts_, input, nullptr, kFormatRoom, &places)
        || !Request(request, 0, 0, &size))
        return UnservedResult(request);
    if (output == nullptr)
        return size;
    int32_t result;
    if (!Request(request, 0, 1, &result))
        return UnservedResult(request);
    if (result >= 0)
        TakeFormat(places.output, size > 0 ? static_cast<uint32_t>(size) : kFormatRoom, output);
    return result;
}

LRESULT DriverInstance::OnGetPalette(const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    RequestPlaces places;
    int32_t result;
    if (!HostReady() || !PutHeaderPair(channel_.ParamArea(), layouts_, input, output, kFormatRoom, &places)
        || !Request(kRequestDecompressGetPalette, Given(input), Given(output), &result))
        return UnservedResult(kRequestDecompressGetPalette);
    // The palette goes where the program's header said its colours are.
    if (output != nullptr && result >= 0)
        TakeFormat(places.output,
                   static_cast<uint32_t>(std::min<uint64_t>(HeaderWholeSpan(*output), kFormatRoom)), output);
    return result;
}

void DriverInstance::TakeFormat(uint32_t offset, uint32_t limit, BITMAPINFOHEADER* output)
{
    std::vector<uint8_t> format = TakeHeaderSpan(channel_.ParamArea(), offset);
    std::memcpy(output, format.data(), std::min<size_t>(format.size(), limit));
}
