// The requests that touch no frame: information, state, dialogs, values
// the codec writes, the queries and formats.

#include "driver/driver_instance.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "driver/driver_log.h"
#include "driver/message_pump_wait.h"
#include "driver/request_layout.h"
#include "driver/slot_codec_info.h"
#include "driver/slot_config.h"
#include "host/param_layout.h"

namespace {

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

LRESULT DriverInstance::OnGetInfo(ICINFO* info, LPARAM size)
{
    if (info == nullptr || size < static_cast<LPARAM>(sizeof *info))
        return Refuse(0, "no room for ICINFO");
    SlotSettings settings;
    ReadSlotSettings(slot_, &settings);
    wchar_t driverPath[MAX_PATH];
    DriverPath(driverPath, MAX_PATH);
    FillSlotCodecInfo(slot_, settings, driverPath, info);
    if (!RecordsCodecInfo(settings))
        AskCodecInfo(info);
    // Where the codec cannot tell, the settings answer: nothing was refused.
    refusal_ = nullptr;
    return sizeof *info;
}

// The instance's own host is started for it, and serves the instance's
// later requests. A host that tells nothing (one of an older protocol, or a
// codec that answers 0) leaves the values of the settings.
void DriverInstance::AskCodecInfo(ICINFO* info)
{
    int32_t result;
    if (!HostReady())
        return;
    std::memset(channel_.ParamArea(), 0, sizeof *info);
    if (!Request(kRequestGetInfo, 0, sizeof *info, &result) || result <= 0)
        return;
    ICINFO codecInfo;
    std::memcpy(&codecInfo, channel_.ParamArea(), sizeof codecInfo);
    info->dwFlags = codecInfo.dwFlags;
    info->dwVersionICM = codecInfo.dwVersionICM;
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
    if (static_cast<uint64_t>(size) > kParamAreaSize)
        return Refuse(0, "the state does not fit ParamArea");
    if (!HostReady())
        return 0;
    if (bytes != 0)
        std::memcpy(channel_.ParamArea(), state, bytes);
    int32_t result;
    return Request(kRequestSetState, 0, bytes, &result) ? result : 0;
}

// The program's window owns the codec's dialog, which disables it while it
// is up. A host that ends meanwhile never enables it again; the driver does,
// once the window has handled what the host sent it before it ended (the
// disabling among it), so that nothing disables it afterwards.
LRESULT DriverInstance::OnDialog(UINT request, LPARAM owner)
{
    HWND window = reinterpret_cast<HWND>(owner);
    WPARAM value = owner == -1 ? static_cast<WPARAM>(-1) : static_cast<uint32_t>(owner);
    bool enabled = owner != -1 && IsWindow(window) && IsWindowEnabled(window);
    int32_t result;
    if (Request(request, value, 0, &result))
        return result;
    if (enabled) {
        WaitForMessagesSentTo(window);
        EnableWindow(window, TRUE);
    }
    return UnservedResult(request);
}

// The host lets the codec write the value to ParamArea, where the
// program's own value waits in case the codec writes nothing.
LRESULT DriverInstance::OnValueOut(UINT request, DWORD* value, LPARAM lParam2)
{
    if (!HostReady())
        return UnservedResult(request);
    if (value != nullptr)
        std::memcpy(channel_.ParamArea(), value, sizeof *value);
    int32_t result;
    if (!Request(request, Given(value), lParam2, &result))
        return UnservedResult(request);
    if (value != nullptr)
        std::memcpy(value, channel_.ParamArea(), sizeof *value);
    return result;
}

bool DriverInstance::SendHeaderPair(UINT request, const BITMAPINFOHEADER* input,
                                    const BITMAPINFOHEADER* output, RequestPlaces* places, int32_t* result)
{
    if (!HostReady())
        return false;
    if (PutHeaderPair(channel_.ParamArea(), layouts_, input, output, 0, places))
        return Request(request, Given(input), Given(output), result);
    NoteRefusal(false, kRefusedParamAreaFull);
    return false;
}

// The output header comes back as the codec left it.
LRESULT DriverInstance::OnHeaderPair(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    RequestPlaces places;
    int32_t result;
    if (!SendHeaderPair(request, input, output, &places, &result))
        return UnservedResult(request);
    if (output != nullptr)
        ReturnHeader(channel_.ParamArea(), places.output, HeaderWholeSpan(*output), output);
    return result;
}

// The codec writes the format behind the input header, where it finds what
// the program filled in: as much as the size the codec states, which is
// what the program made room for, and at least a header. The format comes
// back with everything it carries, but never more than that size. The
// format request states that room, so that the host asks the codec only for
// the format: the codec sees one size query besides what the program sends.
// A size of 0 states nothing (the codec cannot tell, or its format does not
// fit ParamArea), and the host asks the codec itself.
LRESULT DriverInstance::OnGetFormat(UINT request, const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    RequestPlaces places;
    int32_t size;
    if (input == nullptr)
        return Refuse(ICERR_BADPARAM, "no input header");
    if (!HostReady())
        return UnservedResult(request);
    if (!PutHeaderPair(channel_.ParamArea(), layouts_, input, nullptr, 0, &places))
        return Refuse(UnservedResult(request), kRefusedParamAreaFull);
    if (!Request(request, 0, 0, &size))
        return UnservedResult(request);
    if (output == nullptr)
        return size;
    // The host's room: the stated size, or without one a palettized format's.
    uint64_t room = FormatRoom(size);
    uint64_t given = size > 0 ? std::min(room, HeaderWholeSpan(*output)) : sizeof *output;
    int32_t result;
    if (!PutFormatRequest(channel_.ParamArea(), layouts_, *input, output, given, room, &places))
        return Refuse(UnservedResult(request), "the format does not fit ParamArea");
    if (!Request(request, size != 0 ? static_cast<WPARAM>(room) : 0, 1, &result))
        return UnservedResult(request);
    if (result >= 0)
        TakeFormat(places.output, size > 0 ? static_cast<uint32_t>(size) : kFormatRoom, output);
    return result;
}

LRESULT DriverInstance::OnGetPalette(const BITMAPINFOHEADER* input, BITMAPINFOHEADER* output)
{
    RequestPlaces places;
    int32_t result;
    if (!HostReady())
        return UnservedResult(kRequestDecompressGetPalette);
    if (!PutHeaderPair(channel_.ParamArea(), layouts_, input, output, kFormatRoom, &places))
        return Refuse(UnservedResult(kRequestDecompressGetPalette), kRefusedParamAreaFull);
    if (!Request(kRequestDecompressGetPalette, Given(input), Given(output), &result))
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
