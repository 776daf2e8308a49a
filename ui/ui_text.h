#pragma once

// Texts of the configuration dialogs, formatted without touching a window.
// `language` is a UiLanguage: 0 Japanese, any other value English.

#include <string>

const int kAboutTextCapacity = 1024;

extern const char kProductName[]; // "Tandrel64"
extern const char kProductVersion[]; // "1.00"

// "Tandrel64 Config Ve1.00" into a buffer of at least 64 characters.
void FormatConfigCaption(char* caption);

// The About box's text: an empty line, "Tandrel64 Ver1.00", "Build:<date>",
// an empty line, the rights notice, the contact address and the home page of
// the language, every line ended by "\r\n". kAboutTextCapacity characters.
void FormatAboutText(const char* buildDate, int language, char* text);

// A codec list item "<fcc> - <name>", cut to 259 characters.
void FormatCodecItem(const char* fccText, const char* name, char* item);

// `text`, in the system's ANSI code page, as wide characters, cut to
// MAX_PATH - 1: paths and codec texts.
std::wstring Widened(const char* text);

// "Tandrel &<index>", the label of a slot row's enable box: it shows
// "Tandrel <index>", the digit its mnemonic. 32 characters.
void FormatSlotLabel(int index, char* label);

// The web address of the project's home page in the language.
const char* HomePage(int language);

// The file name of the help page in the language, shipped beside the
// executable.
const char* HelpPageName(int language);
