#include "message_box_probe.h"

#include <thread>

namespace {

struct DialogSearch {
    DWORD processId;
    std::initializer_list<int> ids;
    HWND found;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM param)
{
    DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || !IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0)
        return TRUE;
    for (int id : search->ids) {
        if (GetDlgItem(window, id) != nullptr) {
            search->found = window;
            return FALSE;
        }
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

int DefaultButtonOf(HWND box, const std::vector<int>& buttons)
{
    for (int id : buttons) {
        if ((GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            return id;
    }
    return 0;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

}

HWND WaitForDialog(DWORD processId, std::initializer_list<int> ids, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search = {processId, ids, nullptr};
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount() - start >= timeoutMs)
            return search.found;
        Sleep(10);
    }
}

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxSeen* seen)
{
    // The process's own dialogs are of the same class; a box has a button
    // of the standard answers.
    HWND box = WaitForDialog(processId, {IDOK, IDYES}, timeoutMs);
    if (box == nullptr)
        return false;
    seen->window = box;
    seen->owner = GetWindow(box, GW_OWNER);
    seen->caption = WindowText(box);
    HWND label = GetDlgItem(box, 0xFFFF);
    seen->text = label ? WindowText(label) : std::string();
    seen->buttons.clear();
    EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&seen->buttons));
    seen->defaultButton = DefaultButtonOf(box, seen->buttons);
    return true;
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
