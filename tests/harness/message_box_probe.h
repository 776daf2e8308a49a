#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Texts are UTF-8, the encoding of the tests' own sources.
std::string Utf8(const WCHAR* text);
std::string TextOf(HWND window);

// A message box shown by another process, as a test sees it.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons; // control ids: IDOK, IDYES, IDNO...
    int defaultButton = 0;
    HWND owner = nullptr;
};

// Calls `done` every 10 ms until it holds; false when the time-out came first.
bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done);

// The first visible top-level dialog of the process that has a control of
// one of the `ids`, polled for until the time-out; null when none came.
HWND WaitForDialog(DWORD processId, std::initializer_list<int> ids, DWORD timeoutMs = 20000);

// Waits until the process shows a message box (a visible dialog-class
// window with an OK or Yes button) and reads it. False when none appears within the time-out.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxSeen* seen);

// Presses the button with that id (IDOK, IDYES, IDNO...).
bool AnswerMessageBox(HWND box, int buttonId);

// True once the window no longer exists (a pressed button closes its box a
// little later), false when it is still there after the time-out.
bool WaitUntilClosed(HWND window, DWORD timeoutMs);

// Waits for the next message box, checks nothing, presses the button (0:
// its first) and waits until the box has closed, so that the next wait
// finds the next box. Returns what was seen; an empty caption and text when
// none came.
MessageBoxSeen AnswerNextBox(DWORD processId, int buttonId, DWORD timeoutMs = 20000);

// Runs `action` on the calling thread while a second thread waits for the
// message box that it shows in this process, reads it and presses its first
// button. An empty caption and text when no box came within the time-out.
MessageBoxSeen AnswerMessageBoxDuring(const std::function<void()>& action, DWORD timeoutMs = 10000);
