#include "slottest/host_error_box.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

namespace {

// The text of a message box: its static control has this id.
const int kMessageBoxTextId = 0xFFFF;

std::vector<DWORD> HostChildren()
{
    std::vector<DWORD> hosts;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return hosts;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId()
            && lstrcmpiW(entry.szExeFile, L"Tandrel64.exe") == 0)
            hosts.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return hosts;
}

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
    search.hosts = HostChildren();
    if (!search.hosts.empty())
        EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&search));
    return search.text;
}
