#include "dialog_driver.h"

#include <shlobj.h>

#include <cstring>

namespace {

std::string Utf8(const WCHAR* text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    return result;
}

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

std::string TextOf(HWND window)
{
    WCHAR text[4096] = L"";
    SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

std::string ItemText(HWND dialog, int id)
{
    return TextOf(GetDlgItem(dialog, id));
}

void SetItemText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
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
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            HWND combo = GetDlgItem(dialog, id);
            SendMessageW(combo, CB_SETCURSEL, i, 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            return true;
        }
    }
    return false;
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

HWND SlotRow(HWND mainDialog, int index)
{
    HWND list = GetDlgItem(mainDialog, 1079);
    std::string label = "Tandrel " + std::to_string(index);
    for (HWND row = nullptr; (row = FindWindowExW(list, row, L"#32770", nullptr)) != nullptr;) {
        if (ItemText(row, 1004) == label)
            return row;
    }
    return nullptr;
}

MessageBoxSeen AnswerNextBox(DWORD processId, int button, DWORD timeoutMs)
{
    MessageBoxSeen seen;
    if (!WaitForMessageBox(processId, timeoutMs, &seen))
        return seen;
    seen.text = ItemText(seen.window, 0xFFFF);
    AnswerMessageBox(seen.window, button);
    WaitUntilClosed(seen.window, timeoutMs);
    return seen;
}

bool DropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths)
{
    std::string names;
    for (const std::string& path : paths)
        names += path + '\0';
    names += '\0';
    std::vector<char> block(sizeof(DROPFILES) + names.size());
    DROPFILES header = {};
    header.pFiles = sizeof header;
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, names.data(), names.size());
    // A fixed memory block is its own handle, so the address serves as the
    // drop handle in that process.
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr || !WriteProcessMemory(process, remote, block.data(), block.size(), nullptr))
        return false;
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    return true;
}
