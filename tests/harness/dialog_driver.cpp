#include "dialog_driver.h"

#include <shlobj.h>

#include <algorithm>

namespace {

std::vector<std::string> Items(HWND control, UINT count, UINT textMessage)
{
    std::vector<std::string> items;
    LRESULT total = SendMessageW(control, count, 0, 0);
    for (LRESULT i = 0; i < total; ++i) {
        WCHAR text[1024] = L"";
        SendMessageW(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(Utf8(text));
    }
    return items;
}

}

std::string ItemText(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

std::vector<std::string> ComboItems(HWND dialog, int id)
{
    return Items(GetDlgItem(dialog, id), CB_GETCOUNT, CB_GETLBTEXT);
}

std::vector<std::string> ListItems(HWND dialog, int id)
{
    return Items(GetDlgItem(dialog, id), LB_GETCOUNT, LB_GETTEXT);
}

bool ChooseComboItem(HWND dialog, int id, const std::string& text)
{
    std::vector<std::string> items = ComboItems(dialog, id);
    auto found = std::find(items.begin(), items.end(), text);
    if (found == items.end())
        return false;
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(found - items.begin()), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostCommand(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool IsChecked(HWND dialog, int id)
{
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool WaitUntilPostedAreHandled(HWND edit, DWORD timeoutMs)
{
    LRESULT length = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    LRESULT none = MAKELONG(0, 0);
    LRESULT all = MAKELONG(0, length);
    LRESULT wanted = SendMessageW(edit, EM_GETSEL, 0, 0) == none ? all : none;
    if (!IsWindow(edit) || length == 0 || !PostMessageW(edit, EM_SETSEL, 0, wanted == all ? -1 : 0))
        return false;
    return PollUntil(timeoutMs, [&] { return !IsWindow(edit) || SendMessageW(edit, EM_GETSEL, 0, 0) == wanted; })
        && IsWindow(edit);
}

HWND SlotRow(HWND mainDialog, int index)
{
    HWND list = GetDlgItem(mainDialog, 1079);
    std::string label = "Tandrel &" + std::to_string(index);
    for (HWND row = nullptr; (row = FindWindowExW(list, row, L"#32770", nullptr)) != nullptr;) {
        if (ItemText(row, 1004) == label)
            return row;
    }
    return nullptr;
}

bool ThirtyTwoBitEmulated()
{
    char value[8];
    return GetEnvironmentVariableA("TANDREL_I386_EMULATED", value, sizeof value) != 0;
}

bool DropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths)
{
    std::string block(sizeof(DROPFILES), '\0');
    reinterpret_cast<DROPFILES*>(&block[0])->pFiles = sizeof(DROPFILES);
    for (const std::string& path : paths)
        block += path + '\0';
    block += '\0';
    // A fixed memory block is its own handle, so the address serves as the
    // drop handle in that process.
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr || !WriteProcessMemory(process, remote, block.data(), block.size(), nullptr))
        return false;
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    return true;
}
