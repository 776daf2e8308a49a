#pragma once

#include <windows.h>

// The smaller commands of the main dialog's menu.

// The check mark on "English" for language 1, on "Japanese" for 0.
void CheckLanguageMenu(HMENU menu, int language);

// Stores `language` as the dialog's new language, moves the check mark in
// its menu and asks, in that language, for a restart: the open dialog keeps
// its texts, everything opened later follows the new language. Also when
// that language was active already.
void SwitchLanguage(HWND dialog, int language);

// The help page of the language, beside the executable, through the shell.
void OpenHelpPage(int language);

// The settings file in Notepad, its path in double quotes. Whether Notepad
// started is not reported; the file need not exist.
void OpenSettingsInEditor();
