#include "host_client.h"

#include <cstring>

#include "settings/profile.h"
#include "settings_files.h"
#include "test_codec_control.h"

namespace {

std::string UniqueMappingName()
{
    static int counter = 0;
    return "TandrelTestClient_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
}

}

HostClient::HostClient()
    : name_(UniqueMappingName())
{
}

HostClient::HostClient(const std::string& mappingName)
    : name_(mappingName)
{
}

HostClient::~HostClient()
{
    host_.Terminate();
    CloseFrames();
    if (control_ != nullptr)
        UnmapViewOfFile(control_);
    if (controlMapping_ != nullptr)
        CloseHandle(controlMapping_);
}

bool HostClient::CreateControl(uint32_t size)
{
    controlMapping_
        = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name_.c_str());
    if (controlMapping_ == nullptr)
        return false;
    control_ = static_cast<HostControlBlock*>(MapViewOfFile(controlMapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (control_ == nullptr)
        return false;
    // Leftovers, not zeros, are what a real client leaves in ParamArea.
    std::memset(control_, 0, sizeof *control_);
    std::memset(ParamArea(), kLeftoverByte, size - sizeof *control_);
    std::memcpy(control_->reserved, kControlMarker, sizeof kControlMarker);
    control_->iAlive = 1;
    control_->dwClientPid = GetCurrentProcessId();
    control_->hWndHost = 0;
    return true;
}

bool HostClient::CreateFrame(const std::string& name, uint64_t size, const char* marker, Frame* frame)
{
    frame->mapping
        = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size >> 32),
                             static_cast<DWORD>(size), name.c_str());
    if (frame->mapping == nullptr)
        return false;
    frame->view = static_cast<uint8_t*>(MapViewOfFile(frame->mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (frame->view == nullptr)
        return false;
    if (size >= 8)
        std::memcpy(frame->view, marker, 8);
    return true;
}

void HostClient::CloseFrame(Frame* frame)
{
    if (frame->view != nullptr)
        UnmapViewOfFile(frame->view);
    if (frame->mapping != nullptr)
        CloseHandle(frame->mapping);
    *frame = Frame();
}

bool HostClient::CreateFrames(uint64_t inputSize, uint64_t outputSize)
{
    CloseFrames();
    if (inputSize != 0 && !CreateFrame(name_ + kFrameInSuffix, inputSize, kFrameInMarker, &frameIn_))
        return false;
    return outputSize == 0 || CreateFrame(name_ + kFrameOutSuffix, outputSize, kFrameOutMarker, &frameOut_);
}

void HostClient::CloseFrames()
{
    CloseFrame(&frameIn_);
    CloseFrame(&frameOut_);
}

bool HostClient::Start(const std::string& slot)
{
    return host_.Start(BinPath("Tandrel64.exe"), "/name:" + slot + " /map:" + name_);
}

bool HostClient::WaitForWindow(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    volatile uint32_t* window = &control_->hWndHost;
    while (*window == 0) {
        if (GetTickCount() - start >= timeoutMs || host_.WaitForExit(0))
            return false;
        Sleep(1);
    }
    return true;
}

bool HostClient::Launch(const std::string& slot)
{
    return Start(slot) && WaitForWindow();
}

HWND HostClient::Window() const
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(control_->hWndHost));
}

int32_t HostClient::Send(UINT request, WPARAM wParam, LPARAM lParam)
{
    // The host's 32-bit result arrives sign-extended; its low half is it.
    return static_cast<int32_t>(SendMessageA(Window(), request, wParam, lParam));
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
    std::memcpy(&header, reinterpret_cast<const uint8_t*>(control_) + sizeof(HostControlBlock) + offset,
                sizeof header);
    return header;
}

uint32_t HostClient::DwordAt(uint32_t offset) const
{
    uint32_t value;
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(control_) + sizeof(HostControlBlock) + offset,
                sizeof value);
    return value;
}

bool AssignSlot(const char* slot, uint32_t fcc)
{
    CreateRealSettingsDirectory();
    return ProfileWriteHex(RealSettingsFile().c_str(), slot, "dwFcc", &fcc);
}
