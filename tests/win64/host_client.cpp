#include "host_client.h"

#include <cstring>

#include "settings/profile.h"
#include "settings_files.h"
#include "test_codec_control.h"

HostClient::HostClient()
    : channel_(nullptr)
{
}

HostClient::~HostClient()
{
    channel_.Process().Terminate();
}

bool HostClient::CreateControl(uint32_t size)
{
    if (!channel_.CreateControl(size))
        return false;
    // Leftovers, not zeros, are what a real client leaves in ParamArea.
    std::memset(ParamArea(), kLeftoverByte, size - sizeof(HostControlBlock));
    std::memcpy(Control()->reserved, kControlMarker, sizeof kControlMarker);
    return true;
}

bool HostClient::CreateFrames(uint64_t inputSize, uint64_t outputSize)
{
    if (!channel_.CreateFrames(inputSize, outputSize))
        return false;
    if (inputSize >= 8)
        std::memcpy(FrameIn(), kFrameInMarker, 8);
    if (outputSize >= 8)
        std::memcpy(FrameOut(), kFrameOutMarker, 8);
    return true;
}

int32_t HostClient::AnnounceViews(uint32_t kind, uint64_t inputSize, uint64_t outputSize)
{
    uint32_t generation = channel_.CreateSeriesViews(kind, inputSize, outputSize);
    if (generation == 0)
        return 0;
    std::memcpy(channel_.SeriesIn(kind), kFrameInMarker, 8);
    std::memcpy(channel_.SeriesOut(kind), kFrameOutMarker, 8);
    return Send(kRequestFrameViews, kind, generation);
}

HWND HostClient::Window() const
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(channel_.Control()->hWndHost));
}

int32_t HostClient::Send(UINT request, WPARAM wParam, LPARAM lParam)
{
    int32_t result = 0;
    if (!channel_.Send(request, wParam, lParam, kWaitForever, &result))
        answeredEverySend_ = false;
    return result;
}

bool HostClient::SendWithin(DWORD timeoutMs, UINT request, WPARAM wParam, LPARAM lParam, int32_t* result)
{
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(Window(), request, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) == 0)
        return false;
    *result = static_cast<int32_t>(answer);
    return true;
}

std::future<int32_t> HostClient::SendInBackground(UINT request, WPARAM wParam, LPARAM lParam)
{
    return std::async(std::launch::async, [=] { return Send(request, wParam, lParam); });
}

void HostClient::PutHeader(uint32_t offset, const BITMAPINFOHEADER& header)
{
    std::memcpy(ParamArea() + offset, &header, sizeof header);
}

BITMAPINFOHEADER HostClient::HeaderAt(uint32_t offset) const
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, channel_.ParamArea() + offset, sizeof header);
    return header;
}

uint32_t HostClient::DwordAt(uint32_t offset) const
{
    uint32_t value;
    std::memcpy(&value, channel_.ParamArea() + offset, sizeof value);
    return value;
}

bool AssignSlot(const char* slot, uint32_t fcc)
{
    CreateRealSettingsDirectory();
    return ProfileWriteHex(RealSettingsFile().c_str(), slot, "dwFcc", &fcc);
}
