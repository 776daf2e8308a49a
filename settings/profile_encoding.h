#pragma once

#include <cstdint>

// The text forms of settings values. Integers are written "%8d" (right-aligned
// in eight characters), 32-bit values "0x%08X". A read uses the leading number
// of the text and ignores what follows it; text without one does not parse.

const int kProfileNumberCapacity = 16;

void FormatProfileInt(int value, char* text);
void FormatProfileHex(uint32_t value, char* text);

// True and the value when the text starts (after blanks) with a decimal number.
bool ParseProfileInt(const char* text, int* value);

// True and the value when the text starts (after blanks) with hexadecimal
// digits, with or without a sign and "0x", as "%X" reads them.
bool ParseProfileHex(const char* text, uint32_t* value);

// "<stem>.rcLeft", ".rcTop", ".rcRight", ".rcBottom" for index 0 to 3; false
// when the key would not fit `capacity`.
bool RectKeyName(const char* stem, int index, char* key, int capacity);
