#pragma once

#include <windows.h>

// A dialog's commands while an outside tool runs. The wait for a tool
// handles the thread's messages so that the dialog keeps painting; a posted
// command or WM_CLOSE can then arrive in the middle of another command.
// Such a command is dropped, and a close is held until the command ends, so
// that nothing acts on a dialog whose step is still running.
class CDialogCommands {
public:
    // Carries out `command` unless another one is under way; a close that
    // came meanwhile follows it.
    template <typename Dialog>
    void Run(Dialog* dialog, void (Dialog::*command)(HWND, WPARAM), HWND window, WPARAM wParam)
    {
        if (busy)
            return;
        busy = 1;
        (dialog->*command)(window, wParam);
        busy = 0;
        if (closeHeld) {
            closeHeld = 0;
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
    }

    // False while a command is carried out: the close waits for its end.
    bool MayClose()
    {
        if (busy)
            closeHeld = 1;
        return !busy;
    }

private:
    int busy = 0;
    int closeHeld = 0;
};
