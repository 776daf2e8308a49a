#pragma once

#include <windows.h>

#include <cstdint>

// Accessors of one value of the settings file, each one profile-function call
// by full path. Nothing is cached: the file itself is the state.
//
// Read: false, field untouched, when the value is missing (absent file,
// section or key, or an empty value). A present value that does not parse
// counts as found and leaves the field as it was.
// Write: formats the field and writes it; true unless there is no path.
// Exchange: `save` 1 writes; any other value reads, and when the read finds
// nothing writes the field's current value (the caller's default) and
// returns false.
//
// An empty path means the settings location is unknown: reads find nothing
// and writes do nothing, so the program runs on defaults.

bool ProfileWriteInt(const char* path, const char* section, const char* key, const int* field);
bool ProfileReadInt(const char* path, const char* section, const char* key, int* field);
bool ProfileExchangeInt(int save, const char* path, const char* section, const char* key, int* field);

bool ProfileWriteHex(const char* path, const char* section, const char* key, const uint32_t* field);
bool ProfileReadHex(const char* path, const char* section, const char* key, uint32_t* field);
bool ProfileExchangeHex(int save, const char* path, const char* section, const char* key, uint32_t* field);

bool ProfileWriteString(const char* path, const char* section, const char* key, const char* field);
bool ProfileReadString(const char* path, const char* section, const char* key, char* field, int capacity);
bool ProfileExchangeString(int save, const char* path, const char* section, const char* key, char* field,
                           int capacity);

// A rectangle is four integer keys named after `stem` (see RectKeyName).
// The read stores the rectangle only when all four keys are present.
bool ProfileWriteRect(const char* path, const char* section, const char* stem, const RECT* field);
bool ProfileReadRect(const char* path, const char* section, const char* stem, RECT* field);
bool ProfileExchangeRect(int save, const char* path, const char* section, const char* stem, RECT* field);
