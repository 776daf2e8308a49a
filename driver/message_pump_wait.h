#pragma once

#include <windows.h>

// Waits for another process that keep this thread's windows alive.

// A send to another process's window that may take as long as a user needs
// (a codec's dialog owned by the program's window): the send runs on a
// helper thread while the calling thread keeps handling its messages, so
// that the program's windows repaint and the dialog can disable and enable
// its owner. A WM_QUIT taken meanwhile is posted again afterwards.
//
// The answer is SendMessage's: 0 also when the window's thread went away
// before it answered. False only when no helper thread could be had.
bool SendKeepingMessagesFlowing(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer);

// Waits for `event` and meanwhile handles only the messages other threads
// send to this thread's windows, which a thread that waits for this one may
// be sending.
void WaitHandlingSentMessages(HANDLE event);

// Returns once the thread of `window` has handled every message sent to it
// before this call, from this process or another: those of a process that
// has ended meanwhile are still handled, later than that process's end.
void WaitForMessagesSentTo(HWND window);
