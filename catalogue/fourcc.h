#pragma once

#include <cstdint>

// A FourCC packs four 8-bit characters into 32 bits, the first character in
// the lowest byte. Its text form stops at the first zero byte.

const int kFourCCTextCapacity = 5;

// Up to four characters of `text`, stopping at its terminator; the bytes not
// given are zero ("YUY2" gives 0x32595559, "" gives 0).
uint32_t FourCCFromText(const char* text);

// The four bytes, lowest first, and a terminator: 5 characters at most.
void FourCCToText(uint32_t fcc, char* text);

// Same length and same bytes, letter case counting.
bool StrEqual(const char* a, const char* b);

// The texts of both FourCCs compared with the ASCII letters A to Z lowered.
bool FourCCEqualNoCase(uint32_t a, uint32_t b);

// Two FourCC texts compared with the ASCII letters A to Z lowered; neither
// text is changed.
bool FourCCTextEqualNoCase(const char* a, const char* b);
