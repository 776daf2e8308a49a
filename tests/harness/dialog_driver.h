#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "message_box_probe.h"

// Drives the dialogs of another process as a user would, through window
// messages. Texts are UTF-8, the encoding of the tests' own sources.

std::string ItemText(HWND dialog, int id);

// The items of a combo box or a list box.
std::vector<std::string> ComboItems(HWND dialog, int id);
std::vector<std::string> ListItems(HWND dialog, int id);

// Selects the combo item with that text and tells the dialog, as a user's
// choice does; false when there is no such item.
bool ChooseComboItem(HWND dialog, int id, const std::string& text);

// Presses a button and returns when the dialog has handled it.
void Click(HWND dialog, int id);
// Sends the command without waiting, for commands that open modal windows.
void PostCommand(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);

// Posts a new selection to `edit`, which holds text, and waits until the
// edit shows it. A thread handles its posted messages in order, so what was
// posted to the edit's thread before has then been handled. False when the
// edit is gone or the time-out came first.
bool WaitUntilPostedAreHandled(HWND edit, DWORD timeoutMs = 20000);

// The slot row of the main dialog whose enable box reads "Tandrel &<index>".
HWND SlotRow(HWND mainDialog, int index);

// Drops files on a window of the process, as the shell does: the drop
// block is written into that process.
bool DropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths);
// Whether 32-bit programs run under qemu's user-mode emulator (the scripts
// say so in TANDREL_I386_EMULATED): their memory then lies at other
// addresses than they see, and DropFiles' block cannot be written into them.
bool ThirtyTwoBitEmulated();
