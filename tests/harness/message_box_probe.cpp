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
    MessageBoxSeen* seen = reinterpret_cast<MessageBoxSeen*>(param);
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") != 0)
        return TRUE;
    seen->buttons.push_back(GetDlgCtrlID(child));
    if ((GetWindowLongA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
        seen->defaultButton = seen->buttons.back();
    return TRUE;
}

}

std::string Utf8(const WCHAR* text)
{
    char converted[4 * 4096] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted, sizeof converted, nullptr, nullptr);
    return converted;
}

std::string TextOf(HWND window)
{
    WCHAR text[4096] = L"";
    SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(10)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
    return true;
}

HWND WaitForDialog(DWORD processId, std::initializer_list<int> ids, DWORD timeoutMs)
{
    DialogSearch search = {processId, ids, nullptr};
    PollUntil(timeoutMs, [&] {
        EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
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
    seen->caption = TextOf(box);
    HWND label = GetDlgItem(box, 0xFFFF);
    seen->text = label ? TextOf(label) : std::string();
    seen->buttons.clear();
    seen->defaultButton = 0;
    EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(seen));
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
    return PollUntil(timeoutMs, [&] { return !IsWindow(window); });
}

MessageBoxSeen AnswerNextBox(DWORD processId, int buttonId, DWORD timeoutMs)
{
    MessageBoxSeen seen;
    if (WaitForMessageBox(processId, timeoutMs, &seen) && !seen.buttons.empty()) {
        AnswerMessageBox(seen.window, buttonId != 0 ? buttonId : seen.buttons.front());
        WaitUntilClosed(seen.window, timeoutMs);
    }
    return seen;
}

MessageBoxSeen AnswerMessageBoxDuring(const std::function<void()>& action, DWORD timeoutMs)
{
    MessageBoxSeen seen;
    std::thread prober([&] { seen = AnswerNextBox(GetCurrentProcessId(), 0, timeoutMs); });
    action();
    prober.join();
    return seen;
}
