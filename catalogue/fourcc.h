#pragma once

#include <cstdint>

// A FourCC packs four 8-bit characters into a 32-bit value, the first
// character in the lowest byte.

// The value's four bytes, lowest first, and a terminator; a zero byte ends
// the text early. `text` holds 5 characters.
void FourCCToText(uint32_t fcc, char* text);
