#include "driver/host_channel.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "driver/message_pump_wait.h"
#include "driver/private_mapping.h"
#include "settings/path_text.h"
#include "settings/settings_paths.h"

namespace {

const char kHostExeName[] = "Tandrel64.exe";
// How long the close request may take when the channel goes.
const DWORD kCloseTimeoutMs = 1000;
// How long a failed request waits for a host that is ending to be gone.
const DWORD kEndSettleMs = 200;
// How often a drawn control name that exists already is drawn anew.
const int kNameDraws = 3;

// This code's own module: the driver DLL, or the program it is linked into.
HMODULE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

// A window handle travels as 32 bits; the system sign-extends it.
HWND WindowFromValue(uint32_t value)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value)));
}

}

bool FindHostExe(char* exePath)
{
    char modulePath[MAX_PATH];
    DWORD length = GetModuleFileNameA(ThisModule(), modulePath, MAX_PATH);
    return length != 0 && length < MAX_PATH && FindHostExeBeside(modulePath, exePath);
}

bool FindHostExeBeside(const char* modulePath, char* exePath)
{
    char folder[MAX_PATH];
    return DirectoryOfPath(modulePath, folder) && JoinPath(folder, kHostExeName, exePath)
        && IsExistingFile(exePath);
}

HostChannel::HostChannel(const char* name)
    : name_()
    , drawnName_(name == nullptr)
{
    if (name == nullptr)
        DrawName();
    else if (std::strlen(name) < sizeof name_)
        std::strcpy(name_, name);
}

HostChannel::~HostChannel()
{
    EndHost(kCloseTimeoutMs);
}

bool HostChannel::CreateControl(uint32_t size)
{
    if (size < sizeof(HostControlBlock))
        return false;
    bool created = name_[0] != '\0' && control_.Create(name_, size, true);
    for (int draw = 1; !created && drawnName_ && draw < kNameDraws; ++draw)
        created = DrawName() && control_.Create(name_, size, true);
    if (!created)
        return false;
    // A new mapping is all zeros but for these.
    HostControlBlock* control = Control();
    control->iAlive = 1;
    control->dwClientPid = GetCurrentProcessId();
    control->hWndHost = 0;
    control->dwOpenMode = openMode_;
    return true;
}

bool HostChannel::CreateFrames(uint64_t inputSize, uint64_t outputSize)
{
    CloseFrames();
    char name[sizeof name_ + sizeof kFrameOutSuffix];
    std::snprintf(name, sizeof name, "%s%s", name_, kFrameInSuffix);
    if (inputSize != 0 && !frameIn_.Create(name, inputSize, true))
        return false;
    std::snprintf(name, sizeof name, "%s%s", name_, kFrameOutSuffix);
    return outputSize == 0 || frameOut_.Create(name, outputSize, true);
}

void HostChannel::CloseFrames()
{
    frameIn_.Close();
    frameOut_.Close();
}

void HostChannel::CloseSeriesViews(uint32_t kind)
{
    if (kind >= kSeriesKinds)
        return;
    seriesIn_[kind].Close();
    seriesOut_[kind].Close();
}

uint32_t HostChannel::CreateSeriesViews(uint32_t kind, uint64_t inputSize, uint64_t outputSize)
{
    char inName[kMappingNameCapacity];
    char outName[kMappingNameCapacity];
    if (kind >= kSeriesKinds)
        return 0;
    uint32_t generation = ++generation_;
    CloseSeriesViews(kind);
    if (!FormatFrameViewName(inName, sizeof inName, name_, kind, generation, false)
        || !FormatFrameViewName(outName, sizeof outName, name_, kind, generation, true)
        || !seriesIn_[kind].Create(inName, inputSize, true)
        || !seriesOut_[kind].Create(outName, outputSize, true)) {
        CloseSeriesViews(kind);
        return 0;
    }
    return generation;
}

bool HostChannel::StartHost(const char* slot)
{
    char exePath[MAX_PATH];
    char commandLine[2 * MAX_PATH + sizeof name_];
    if (name_[0] == '\0' || !FindHostExe(exePath))
        return false;
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" /name:%s /map:%s", exePath, slot, name_);
    return process_.Start(exePath, commandLine);
}

bool HostChannel::WaitForWindow(DWORD timeoutMs)
{
    if (control_.View() == nullptr || process_.Handle() == nullptr)
        return false;
    const volatile uint32_t* published = &Control()->hWndHost;
    DWORD start = GetTickCount();
    uint32_t value;
    while ((value = *published) == 0) {
        if (WaitForSingleObject(process_.Handle(), 1) != WAIT_TIMEOUT
            || GetTickCount() - start >= timeoutMs) {
            Fail();
            return false;
        }
    }
    // Requests go only to a window of the process this channel started.
    HWND window = WindowFromValue(value);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != process_.Id()) {
        Fail();
        return false;
    }
    window_ = window;
    return true;
}

bool HostChannel::Send(UINT request, WPARAM wParam, LPARAM lParam, DWORD timeoutMs, int32_t* result)
{
    *result = 0;
    if (failed_ || window_ == nullptr)
        return false;
    DWORD_PTR answer = 0;
    bool answered;
    if (timeoutMs == kWaitForever) {
        // The system ends the send with 0 when the host's thread goes.
        answer = static_cast<DWORD_PTR>(SendMessageA(window_, request, wParam, lParam));
        answered = answer != 0 || process_.IsRunning();
    } else {
        answered
            = SendMessageTimeoutA(window_, request, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer) != 0;
    }
    if (!answered) {
        Fail();
        return false;
    }
    // The host's 32-bit result arrives sign-extended; its low half is it.
    *result = static_cast<int32_t>(answer);
    return true;
}

bool HostChannel::SendWithDialog(UINT request, WPARAM wParam, LPARAM lParam, int32_t* result)
{
    *result = 0;
    if (failed_ || window_ == nullptr)
        return false;
    AllowSetForegroundWindow(process_.Id());
    LRESULT answer = 0;
    if (!SendKeepingMessagesFlowing(window_, request, wParam, lParam, &answer))
        return Send(request, wParam, lParam, kWaitForever, result);
    if (answer == 0 && !process_.IsRunning()) {
        Fail();
        return false;
    }
    *result = static_cast<int32_t>(answer);
    return true;
}

bool HostChannel::LetWait(DWORD timeoutMs)
{
    int32_t answer = 0;
    if (!Send(kRequestIdle, 0, 0, timeoutMs, &answer) || answer != 1)
        return false;
    CloseFrames();
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind)
        CloseSeriesViews(kind);
    return true;
}

bool HostChannel::Handover(const char* slot, uint32_t codec, uint32_t layouts, DWORD timeoutMs,
                           int32_t* answer)
{
    *answer = 0;
    char waitingName[sizeof name_];
    std::memcpy(waitingName, name_, sizeof name_);
    SharedMapping waiting;
    waiting.Swap(control_);
    HostHandover next = {};
    if (waiting.View() == nullptr || std::strlen(slot) >= sizeof next.slotName || !drawnName_ || !DrawName()
        || !CreateControl()) {
        Fail();
        return false;
    }
    std::strcpy(next.slotName, slot);
    std::strcpy(next.mappingName, name_);
    next.dwFcc = codec;
    std::memcpy(waiting.View() + sizeof(HostControlBlock), &next, sizeof next);
    if (!Send(kRequestServe, layouts, kHostProtocolVersion, timeoutMs, answer))
        return false;
    if (*answer != 0)
        return true;
    // The host refused and waits on with the block it waited with.
    std::memcpy(name_, waitingName, sizeof name_);
    control_.Swap(waiting);
    return false;
}

void HostChannel::Swap(HostChannel& other)
{
    std::swap(name_, other.name_);
    std::swap(drawnName_, other.drawnName_);
    control_.Swap(other.control_);
    frameIn_.Swap(other.frameIn_);
    frameOut_.Swap(other.frameOut_);
    for (uint32_t kind = 0; kind < kSeriesKinds; ++kind) {
        seriesIn_[kind].Swap(other.seriesIn_[kind]);
        seriesOut_[kind].Swap(other.seriesOut_[kind]);
    }
    std::swap(generation_, other.generation_);
    std::swap(openMode_, other.openMode_);
    process_.Swap(other.process_);
    std::swap(window_, other.window_);
    std::swap(failed_, other.failed_);
    std::swap(hostExitCode_, other.hostExitCode_);
}

void HostChannel::EndHost(DWORD timeoutMs)
{
    if (window_ != nullptr && !failed_ && process_.IsRunning()) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(window_, kRequestDrvClose, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
    }
    if (control_.View() != nullptr)
        Control()->iAlive = 0;
    if (!failed_ && process_.IsRunning() && !process_.WaitForExit(timeoutMs))
        process_.Terminate();
    process_.Close();
    window_ = nullptr;
}

bool HostChannel::DrawName()
{
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "Tandrel64Client_%lu_", GetCurrentProcessId());
    if (DrawPrivateName(prefix, name_, sizeof name_))
        return true;
    name_[0] = '\0';
    return false;
}

void HostChannel::Fail()
{
    failed_ = true;
    window_ = nullptr;
    // A host that faulted may end a moment after its window went.
    if (!process_.WaitForExit(kEndSettleMs, &hostExitCode_))
        hostExitCode_ = STILL_ACTIVE;
    process_.Terminate();
}
