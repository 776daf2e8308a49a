#pragma once

// The FourCC texts a codec can be installed under: one to four printable
// ASCII characters, none of them a colon (it separates the installer's DLL
// path), a double quote (it would end the installer's quoted word) or a
// backslash (one before the closing quote would escape it). The
// installation dialog and the installer tool both build from this one rule,
// so that the dialog never passes on a text the tool refuses. The ANSI text
// reaches the tool widened; a text of printable ASCII stays the same.
bool IsInstallableFourCCText(const char* text);
bool IsInstallableFourCCText(const wchar_t* text);
