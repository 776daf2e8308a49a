#pragma once

#include <windows.h>

#include "settings/config_settings.h"

// One row of the main dialog's slot list: a child dialog inside the list
// box that edits one slot. It holds an enable box, a combo box choosing a
// catalogue codec or "Clear", and the chosen codec's driver, description and
// version. A change the user makes is reported through `changed`, which
// the main dialog hands down.
class CSlotRow {
public:
    // Creates the row's window (template 116) inside `listBox`, bound to
    // `slot`, which the row does not own. Any earlier window goes first.
    bool Create(HINSTANCE instance, HWND listBox, SlotSettings* slot, int index, void (*changed)());
    void Destroy();

    // Moves the row over its list-box item.
    void MoveToRect(const RECT& rect);

    // 1: the slot into the controls; 0: the controls into the slot.
    void ExchangeControls(int direction);

    void OnInitDialog(HWND window);
    void OnCommand(HWND window, WPARAM wParam);
    void OnClose(HWND) { Destroy(); }
    INT_PTR OnMessage(UINT message, WPARAM, LPARAM) { return message == WM_DESTROY ? TRUE : FALSE; }
    HWND Window() const { return hWnd; }

private:
    void ShowCodecTexts(const char* version, const char* description, const char* driver);
    void ShowSelectedCodec();
    void KeepOnlyTheStoredCodecSelected();
    void ScrollIntoView();

    HWND hWnd = nullptr;
    HWND hListBox = nullptr;
    HINSTANCE hInstance = nullptr;
    SlotSettings* pSlot = nullptr;
    int nIndex = 0;
    void (*onChange)() = nullptr;
};
