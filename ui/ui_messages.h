#pragma once

#include <windows.h>

#include "maint/settings_file_question.h"

// The configuration tool's message boxes whose texts follow the UI language.
// Kept wide so that Japanese shows right whatever the ANSI code page; every
// one carries the caption "Tandrel64".

enum class UiMessage {
    RestartNotice,
    AlreadyInstalled,
    InstallFailed,
    UninstallAllQuestion,
    FourCCRefused,
    DllNotFound,
    InstalledDecompressOnly,
    InstalledNotOpening,
    NoSlotTicked,
};

const int kUiMessageCapacity = kSettingsFileQuestionCapacity;

// The text of `message` in `language` (0 Japanese, anything else English).
const WCHAR* UiMessageText(UiMessage message, int language);

// The question before one codec is uninstalled, naming its FourCC text
// (ANSI); `text` holds kUiMessageCapacity characters.
void FormatUninstallQuestion(int language, const char* fccText, WCHAR* text);

// Shows `text` with the caption "Tandrel64"; returns the button pressed.
int ShowUiMessage(HWND owner, const WCHAR* text, UINT style);
