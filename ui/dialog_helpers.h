#pragma once

#include <windows.h>

// Small helpers on dialog controls, shared by the configuration dialogs.
//
// The exchange helpers take a direction: 0 reads the control into the
// variable, 1 writes the variable into the control, any other value does
// nothing. Each does nothing either when the control does not exist.

void DlgExchangeInt(int direction, HWND dialog, int id, int* value);
void DlgExchangeCheck(int direction, HWND dialog, int id, int* value);

// 0: the selected item's text into `text` (260 characters); without a
// selection `text` keeps its contents. 1: selects the first item after item 0
// that begins with `text`, ignoring case, wrapping round to item 0; nothing
// changes when no item matches or `text` is empty.
void DlgExchangeComboText(int direction, HWND dialog, int id, char* text);

// The selected item, or -1 when nothing is selected or there is no control.
int GetComboSel(HWND dialog, int id);
void SetComboSel(HWND dialog, int id, int index);
// The index at which the item landed in the (possibly sorted) list.
int AddComboString(HWND dialog, int id, const char* text);
LPARAM GetComboItemData(HWND dialog, int id, int index);
void SetComboItemData(HWND dialog, int id, int index, LPARAM data);
void SetCheck(HWND dialog, int id, int state);

// Widens the combo box's drop-down list, measured with its font, so that its
// longest item shows whole; never narrower than the combo box.
void FitDroppedWidthToItems(HWND dialog, int id);

// Sends WM_COMMAND with `id`, notification code 0 and no control handle.
void SendCommand(HWND window, int id);

// Moves the top-left corner, keeping the size; repaints.
void MoveWindowTo(HWND window, int x, int y);
void MoveWindowToRect(HWND window, const RECT& rect);

// The window rectangle into `rect`, unless the window is minimised or
// maximised: then `rect` keeps the last normal one.
void KeepNormalWindowRect(HWND window, RECT* rect);

// Icon 118 at 16 by 16 as the window's small icon.
void SetSmallIcon(HWND window, HINSTANCE instance);

// The procedure of every dialog here. The object comes as the creation
// parameter at WM_INITDIALOG and is kept in the window's user data; then
// WM_INITDIALOG, WM_COMMAND and WM_CLOSE go to OnInitDialog, OnCommand and
// OnClose, any other message to OnMessage, whose answer is the result.
template <typename Dialog>
INT_PTR CALLBACK ForwardingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    Dialog* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (dialog == nullptr)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        dialog->OnInitDialog(window);
        return FALSE;
    case WM_COMMAND:
        dialog->OnCommand(window, wParam);
        return FALSE;
    case WM_CLOSE:
        dialog->OnClose(window);
        return TRUE;
    }
    return dialog->OnMessage(message, wParam, lParam);
}

// Runs the dialog of template `templateId` modally with `dialog` as the
// creation parameter, and returns when it has ended.
template <typename Dialog>
void RunModalDialog(HINSTANCE instance, HWND parent, int templateId, Dialog* dialog)
{
    DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, ForwardingDialogProc<Dialog>,
                    reinterpret_cast<LPARAM>(dialog));
}
