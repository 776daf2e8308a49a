#pragma once

#include <windows.h>

// The question of uninstall mode whether to delete the settings file, in
// the user-interface language, followed by the file's full path. Kept wide
// so that the Japanese text shows right whatever the ANSI code page.

const int kSettingsFileQuestionCapacity = 320;

// `question` followed by `subject` (ANSI: a path, a FourCC) converted; `text`
// holds kSettingsFileQuestionCapacity characters.
void FormatQuestion(const WCHAR* question, const char* subject, WCHAR* text);

// The question text of `language` (0 Japanese, anything else English) and
// the ANSI path; `text` holds kSettingsFileQuestionCapacity characters.
void FormatSettingsFileQuestion(int language, const char* settingsPath, WCHAR* text);
