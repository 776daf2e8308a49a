#include "catalogue/fourcc.h"

#include <cstring>

namespace {

// Only A to Z: the comparison must not depend on the locale.
char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}

uint32_t FourCCFromText(const char* text)
{
    uint32_t fcc = 0;
    for (int i = 0; i < 4 && text[i] != '\0'; ++i)
        fcc |= static_cast<uint32_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    return fcc;
}

void FourCCToText(uint32_t fcc, char* text)
{
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((fcc >> (8 * i)) & 0xFF);
    text[4] = '\0';
}

bool StrEqual(const char* a, const char* b)
{
    size_t length = std::strlen(a);
    return length == std::strlen(b) && std::memcmp(a, b, length) == 0;
}

bool FourCCEqualNoCase(uint32_t a, uint32_t b)
{
    char textA[kFourCCTextCapacity];
    char textB[kFourCCTextCapacity];
    FourCCToText(a, textA);
    FourCCToText(b, textB);
    return FourCCTextEqualNoCase(textA, textB);
}

bool FourCCTextEqualNoCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}
