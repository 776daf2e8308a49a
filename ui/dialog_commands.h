#pragma once

#include <windows.h>

// A dialog's commands while an outside tool runs. The wait for a tool
// handles the thread's messages so that the dialog keeps painting; a posted
// command or WM_CLOSE can then arrive in the middle of another command.
// Such a command is dropped, and a close is held until the command ends, so
// that nothing acts on a dialog whose step is still running.
class CDialogCommands {
public:
    // False while another command is carried out: drop this one.
    bool Begin();
    // Ends the command; true when a close came meanwhile and is due now.
    bool End();
    // False while a command is carried out: the close waits for its end.
    bool MayClose();

private:
    int busy = 0;
    int closeHeld = 0;
};
