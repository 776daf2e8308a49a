#include "message_box_probe.h"

#include <thread>

namespace {

struct BoxSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBoxOfProcess(HWND window, LPARAM param)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM param)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0)
        reinterpret_cast<std::vector<int>*>(param)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxSeen* seen)
{
    DWORD start = GetTickCount();
    for (;;) {
        BoxSearch search = {processId, nullptr};
        EnumWindows(FindBoxOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            seen->window = search.found;
            seen->owner = GetWindow(search.found, GW_OWNER);
            seen->caption = WindowText(search.found);
            HWND label = GetDlgItem(search.found, 0xFFFF);
            seen->text = label ? WindowText(label) : std::string();
            seen->buttons.clear();
            EnumChildWindows(search.found, CollectButton, reinterpret_cast<LPARAM>(&seen->buttons));
            return true;
        }
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(10);
    }
}

bool AnswerMessageBox(HWND box, int buttonId)
{
    HWND button = GetDlgItem(box, buttonId);
    if (button == nullptr)
        return false;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

MessageBoxSeen DismissNextMessageBox(DWORD processId, DWORD timeoutMs)
{
    MessageBoxSeen seen;
    if (WaitForMessageBox(processId, timeoutMs, &seen) && !seen.buttons.empty()) {
        AnswerMessageBox(seen.window, seen.buttons.front());
        WaitUntilClosed(seen.window, timeoutMs);
    }
    return seen;
}

MessageBoxSeen AnswerMessageBoxDuring(const std::function<void()>& action, DWORD timeoutMs)
{
    MessageBoxSeen seen;
    std::thread prober([&] { seen = DismissNextMessageBox(GetCurrentProcessId(), timeoutMs); });
    action();
    prober.join();
    return seen;
}
