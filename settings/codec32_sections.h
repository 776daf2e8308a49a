#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The "CODEC32.<FourCC>" sections that record each codec installed through
// this program. Only their names are ever read back.

const int kSectionNamesCapacity = 8192;

// The FourCC texts of all "CODEC32." sections of the settings file at
// `path`, in the order of the file. When the name list does not fit its
// buffer, says so in a message box in `language` (owned by `owner`) and
// fails without delivering any name.
bool EnumCodec32Sections(HWND owner, int language, const char* path, std::vector<std::string>* fccTexts);

// Picks the FourCC texts out of a section-name list as the profile function
// returns it (`length` characters). False when the list was cut off.
bool ParseCodec32SectionNames(const char* names, DWORD length, DWORD capacity,
                              std::vector<std::string>* fccTexts);

// "CODEC32.<fccText>" into a 260-character buffer; false when it would not fit.
bool FormatCodec32Section(const char* fccText, char* section);

// Records an installed codec: pcFcc and pcDllPath in its section.
bool WriteCodec32Section(const char* path, const char* fccText, const char* dllPath);

// Removes the codec's section with all its keys.
bool DeleteCodec32Section(const char* path, const char* fccText);
