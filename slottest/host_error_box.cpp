#include "slottest/host_error_box.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "driver/child_process.h"

namespace {

// The text of a message box: its static control has this id.
const int kMessageBoxTextId = 0xFFFF;

struct BoxSearch {
    std::vector<DWORD> hosts;
    std::wstring text;
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM lParam)
{
    BoxSearch* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (std::find(search->hosts.begin(), search->hosts.end(), process) == search->hosts.end()
        || lstrcmpW(className, L"#32770") != 0)
        return TRUE;
    wchar_t text[512] = L"";
    GetDlgItemTextW(window, kMessageBoxTextId, text, 512);
    search->text = text[0] != L'\0' ? text : L"?";
    return FALSE;
}

}

std::wstring HostErrorBoxText()
{
    BoxSearch search;
    search.hosts = RunningChildrenNamed("Tandrel64.exe");
    if (!search.hosts.empty())
        EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&search));
    return search.text;
}
