// A host of an older protocol, for the client driver's tests: the real host
// (the library Tandrel64.exe is built from), whose window answers as a host
// that predates the handshake, or as a host of protocol 2 when the
// environment variable TANDREL_OLD_HOST_PROTOCOL is "2". Such a host answers
// every request it does not know with 0, as its default window procedure
// did: the handshake (protocol 2 knows it, but not the whole-record
// layouts), frame views, waiting and serving, and the requests that only the
// whole-record layouts carry. Every handshake and its answer is appended to
// "handshakes.txt" beside the program, one line each: "LAYOUTS VERSION
// ANSWER" in hexadecimal.
//
// Built as Tandrel64.exe into a folder of its own, so that a copy of the
// client driver beside it starts it.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "app/startup.h"
#include "host/host_protocol.h"

namespace {

WNDPROC g_hostProc = nullptr;
bool g_protocol2 = false;
uint32_t g_layouts = kLayoutsClassic;

bool UnknownToOldHosts(UINT message)
{
    for (UINT request : {kRequestFrameViews, kRequestIdle, kRequestServe, kRequestGetInfo, kRequestGetQuality,
                         kRequestSetQuality, kRequestGetBuffersWanted, kRequestGetDefaultKeyFrameRate,
                         kRequestDecompressSetPalette, kRequestDecompressExBegin, kRequestDecompressExQuery,
                         kRequestDecompressEx, kRequestDecompressExEnd, kRequestCompressFramesInfo}) {
        if (message == request)
            return true;
    }
    return false;
}

void RecordHandshake(WPARAM layouts, LPARAM version, LRESULT answer)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = length != 0 && length < MAX_PATH ? std::strrchr(path, '\\') : nullptr;
    if (slash == nullptr)
        return;
    std::strcpy(slash + 1, "handshakes.txt");
    FILE* file = std::fopen(path, "ab");
    if (file == nullptr)
        return;
    std::fprintf(file, "%X %X %X\n", static_cast<unsigned>(layouts), static_cast<unsigned>(version),
                 static_cast<unsigned>(answer));
    std::fclose(file);
}

// Protocol 2 knows the classic and the whole-header layouts and keeps the
// layouts in effect when asked for others; it never offers reuse.
LRESULT Protocol2Handshake(HWND window, WPARAM wParam)
{
    if (wParam == kLayoutsClassic || wParam == kLayoutsWholeHeaders)
        g_layouts = static_cast<uint32_t>(wParam);
    LRESULT real = CallWindowProcA(g_hostProc, window, kRequestHandshake, g_layouts, 2);
    return HandshakeResult(2, HandshakeLayouts(static_cast<uint32_t>(real)));
}

LRESULT CALLBACK OldHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRequestHandshake) {
        LRESULT answer = g_protocol2 ? Protocol2Handshake(window, wParam) : 0;
        RecordHandshake(wParam, lParam, answer);
        return answer;
    }
    if (UnknownToOldHosts(message))
        return 0;
    return CallWindowProcA(g_hostProc, window, message, wParam, lParam);
}

// Subclasses the host's window as it is created, before its WM_CREATE.
LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_hostProc == nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::strcmp(className, "Tandrel64") == 0)
            g_hostProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldHostProc)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int)
{
    const char* protocol = std::getenv("TANDREL_OLD_HOST_PROTOCOL");
    g_protocol2 = protocol != nullptr && std::strcmp(protocol, "2") == 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    int code = RunStartup(instance, commandTail);
    UnhookWindowsHookEx(hook);
    return code;
}
