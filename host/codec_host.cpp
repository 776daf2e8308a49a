#include "host/codec_host.h"

#include <cstdio>

#include "catalogue/fourcc.h"
#include "host/codec_guard.h"
#include "host/host_wnd_proc.h"
#include "host/liveness_deadline.h"
#include "settings/profile.h"
#include "settings/settings_paths.h"

CCodecHost g_codecHost;

namespace {

const char kHostClassName[] = "Tandrel64";

}

CCodecHost::CCodecHost()
    : window(nullptr)
    , controlBlock(nullptr)
    , paramArea(nullptr)
    , slotName()
    , mappingName()
    , dwFcc(0)
    , fccText()
    , codec(nullptr)
    , layouts(kLayoutsClassic)
    , clientPid(0)
    , reuse(false)
    , idle(false)
    , idleSince(0)
    , quitting(false)
    , requestDepth(0)
    , exitCode(0)
{
}

int CCodecHost::Run(HINSTANCE instance, const char* slot, const char* mapping)
{
    lstrcpynA(slotName, slot, sizeof slotName);
    lstrcpynA(mappingName, mapping, sizeof mappingName);
    EndOnUnhandledFaults();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kHostClassName;
    if (RegisterClassA(&windowClass) == 0)
        return 0;
    window = CreateWindowExA(0, kHostClassName, "Tandrel64", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);

    if (!mcMap.OpenBlock(kControlMappingSize, mappingName)) {
        MessageBoxA(nullptr, "mcMap.Open", mappingName, MB_OK);
        return 0;
    }
    controlBlock = static_cast<HostControlBlock*>(mcMap.GetView());
    paramArea = reinterpret_cast<uint8_t*>(controlBlock) + sizeof(HostControlBlock);
    uint32_t openMode = *static_cast<volatile uint32_t*>(&controlBlock->dwOpenMode);
    uint32_t fcc = ReadSlotCodec();

    // A client that states the program's mode learns of a refusal as the
    // program does from ICOpen: by no window, without a box.
    if ((openMode & kOpenModeStated) != 0) {
        if (!OpenCodec(fcc, openMode, false)) {
            exitCode = kCodecNotOpenedExitCode;
            return 0;
        }
        PublishWindow();
    } else {
        PublishWindow();
        if (!OpenCodec(fcc, openMode, true))
            return 0;
    }
    RunMessageLoop();
    return 1;
}

void CCodecHost::PublishWindow()
{
    controlBlock->hWndHost = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

uint32_t CCodecHost::ReadSlotCodec() const
{
    char settingsPath[MAX_PATH];
    GetSettingsFilePath(settingsPath);
    uint32_t fcc = 0;
    ProfileReadHex(settingsPath, slotName, "dwFcc", &fcc);
    return fcc;
}

int CCodecHost::OpenCodec(uint32_t fcc, uint32_t openMode, bool report)
{
    dwFcc = fcc;
    FourCCToText(dwFcc, fccText);
    UINT mode = OpenModeOf(openMode);
    // A slot without a codec has none: asked for FourCC 0, ICOpen may hand
    // out whichever codec it finds first. The host carries no drawing.
    codec = dwFcc != 0 && mode != ICMODE_DRAW ? GuardedOpen(ICTYPE_VIDEO, dwFcc, mode) : nullptr;
    if (codec == nullptr && report) {
        char text[64];
        std::snprintf(text, sizeof text, "Not install %s codec.", fccText);
        MessageBoxA(nullptr, text, "error", MB_ICONERROR | MB_OK);
    }
    return codec != nullptr;
}

// Serves requests the moment they arrive: the wait wakes for any input,
// sent messages included, and otherwise only for the next check.
void CCodecHost::RunMessageLoop()
{
    DWORD deadline = timeGetTime() + kHostCheckIntervalMs;
    // A client that has already gone cannot be opened; its id then names no
    // process, and the host would wait for it for ever.
    clientPid = *static_cast<volatile uint32_t*>(&controlBlock->dwClientPid);
    HANDLE client = OpenProcess(SYNCHRONIZE, FALSE, clientPid);
    bool clientMissing = client == nullptr && GetLastError() == ERROR_INVALID_PARAMETER;
    while (Pump()) {
        DWORD now = timeGetTime();
        if (DeadlinePassed(now, deadline)) {
            if (ClientIsDone(client, clientMissing) || IdleTimeIsUp(now))
                Quit();
            deadline = timeGetTime() + kHostCheckIntervalMs;
            continue;
        }
        // A wait that fails returns at once; sleeping keeps the loop from
        // spinning on it.
        if (MsgWaitForMultipleObjectsEx(0, nullptr, TimeToDeadline(now, deadline), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE)
            == WAIT_FAILED)
            Sleep(1);
    }
}

bool CCodecHost::ClientIsDone(HANDLE client, bool clientMissing) const
{
    if (clientMissing)
        return true;
    if (client != nullptr && WaitForSingleObject(client, 0) == WAIT_OBJECT_0)
        return true;
    return *static_cast<volatile int32_t*>(&controlBlock->iAlive) == 0;
}

bool CCodecHost::IdleTimeIsUp(DWORD now) const
{
    return idle && DeadlinePassed(now, idleSince + kHostIdleMs);
}

void CCodecHost::Quit()
{
    quitting = true;
    PostQuitMessage(0);
}

int CCodecHost::Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageA(&message, nullptr, 0, 0) == 0)
            return 0;
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return 1;
}

void CCodecHost::Release()
{
    if (codec != nullptr) {
        GuardedClose(codec);
        codec = nullptr;
    }
    mcMap.Close();
    for (FrameViews& kindViews : views)
        kindViews.Close();
    controlBlock = nullptr;
    paramArea = nullptr;
}
