#include "settings/profile_encoding.h"

#include <cstdio>

namespace {

const char* SkipBlanks(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}

void FormatProfileInt(int value, char* text)
{
    std::snprintf(text, kProfileNumberCapacity, "%8d", value);
}

void FormatProfileHex(uint32_t value, char* text)
{
    std::snprintf(text, kProfileNumberCapacity, "0x%08X", static_cast<unsigned>(value));
}

bool ParseProfileInt(const char* text, int* value)
{
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    // Numbers beyond 32 bits wrap, as a C runtime's "%d" conversion does.
    uint32_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = magnitude * 10 + static_cast<uint32_t>(*p - '0');
    *value = static_cast<int>(negative ? 0u - magnitude : magnitude);
    return true;
}

bool ParseProfileHex(const char* text, uint32_t* value)
{
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0)
        p += 2;
    if (HexDigit(*p) < 0)
        return false;
    uint32_t result = 0;
    for (; HexDigit(*p) >= 0; ++p)
        result = (result << 4) | static_cast<uint32_t>(HexDigit(*p));
    // As "%X" does, a minus sign negates the value modulo 2^32.
    *value = negative ? 0u - result : result;
    return true;
}

bool RectKeyName(const char* stem, int index, char* key, int capacity)
{
    static const char* const kSuffixes[4] = {".rcLeft", ".rcTop", ".rcRight", ".rcBottom"};
    if (index < 0 || index > 3)
        return false;
    int length = std::snprintf(key, static_cast<size_t>(capacity), "%s%s", stem, kSuffixes[index]);
    return length >= 0 && length < capacity;
}
