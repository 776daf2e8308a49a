#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A message box shown by another process, as a test sees it.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons; // control ids: IDOK, IDYES, IDNO...
};

// Waits until the process shows a message box (a visible dialog-class
// window) and reads it. False when none appears within the time-out.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxSeen* seen);

// Presses the button with that id (IDOK, IDYES, IDNO...).
bool AnswerMessageBox(HWND box, int buttonId);

// Waits for the next message box, checks nothing, and presses its first
// button. Returns what was seen; an empty caption and text when none came.
MessageBoxSeen DismissNextMessageBox(DWORD processId, DWORD timeoutMs);
