#pragma once

class CConfigDlg;

// The smaller commands of the main dialog's menu.

// Makes `language` the dialog's and the stored language, moves the check
// mark and asks, in the new language, for a restart: the open dialog keeps
// its texts, everything opened later follows the new language. Also when
// that language was active already.
void SwitchLanguage(CConfigDlg* dialog, int language);

// The help page of the language, beside the executable, through the shell.
void OpenHelpPage(int language);

// The settings file in Notepad, its path in double quotes. Whether Notepad
// started is not reported; the file need not exist.
void OpenSettingsInEditor();
