#include "ui/dialog_helpers.h"

#include "ui/resource_ids.h"

namespace {

// The control, or null when the dialog has none of that id.
HWND ExistingControl(int direction, HWND dialog, int id)
{
    if (direction != 0 && direction != 1)
        return nullptr;
    HWND control = GetDlgItem(dialog, id);
    return IsWindow(control) ? control : nullptr;
}

}

void DlgExchangeInt(int direction, HWND dialog, int id, int* value)
{
    if (ExistingControl(direction, dialog, id) == nullptr)
        return;
    if (direction == 0)
        *value = static_cast<int>(GetDlgItemInt(dialog, id, nullptr, TRUE));
    else
        SetDlgItemInt(dialog, id, static_cast<UINT>(*value), TRUE);
}

void DlgExchangeCheck(int direction, HWND dialog, int id, int* value)
{
    HWND control = ExistingControl(direction, dialog, id);
    if (control == nullptr)
        return;
    if (direction == 0)
        *value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(*value), 0);
}

void DlgExchangeComboText(int direction, HWND dialog, int id, char* text)
{
    HWND control = ExistingControl(direction, dialog, id);
    if (control == nullptr)
        return;
    if (direction == 1) {
        if (text[0] != '\0')
            SendMessageA(control, CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(text));
        return;
    }
    LRESULT index = SendMessageA(control, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR || SendMessageA(control, CB_GETLBTEXTLEN, index, 0) >= MAX_PATH)
        return;
    SendMessageA(control, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
}

int GetComboSel(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr)
        return -1;
    LRESULT index = SendMessageW(control, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void SetComboSel(HWND dialog, int id, int index)
{
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int AddComboString(HWND dialog, int id, const char* text)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

LPARAM GetComboItemData(HWND dialog, int id, int index)
{
    return SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void SetComboItemData(HWND dialog, int id, int index, LPARAM data)
{
    SendDlgItemMessageW(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

void SetCheck(HWND dialog, int id, int state)
{
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void FitDroppedWidthToItems(HWND dialog, int id)
{
    HWND combo = GetDlgItem(dialog, id);
    HDC dc = GetDC(combo);
    if (dc == nullptr)
        return;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR text[MAX_PATH];
        LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        SIZE size = {};
        if (length < 0 || length >= MAX_PATH
            || SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text)) < 0
            || !GetTextExtentPoint32W(dc, text, static_cast<int>(length), &size))
            continue;
        if (size.cx > widest)
            widest = size.cx;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(combo, dc);
    // Beside the text: the list's scroll bar, its border and the item margins.
    int width = widest + GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
    RECT rect;
    if (GetWindowRect(combo, &rect) && width > rect.right - rect.left)
        SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

void SendCommand(HWND window, int id)
{
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void MoveWindowTo(HWND window, int x, int y)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    MoveWindow(window, x, y, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void MoveWindowToRect(HWND window, const RECT& rect)
{
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void KeepNormalWindowRect(HWND window, RECT* rect)
{
    if (!IsIconic(window) && !IsZoomed(window))
        GetWindowRect(window, rect);
}

void SetSmallIcon(HWND window, HINSTANCE instance)
{
    // Shared: the icon lives as long as the module, whatever opens it again.
    HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_TANDREL64), IMAGE_ICON, 16, 16,
                             LR_DEFAULTCOLOR | LR_SHARED);
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}
