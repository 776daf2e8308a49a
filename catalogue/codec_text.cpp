#include "catalogue/codec_text.h"

namespace {

int WideLength(const WCHAR* wide, int capacity)
{
    int length = 0;
    while (length < capacity && wide[length] != 0)
        ++length;
    return length;
}

bool IsHighSurrogate(WCHAR c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(WCHAR c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

}

void CodecTextToAnsi(UINT codePage, const WCHAR* wide, int wideCapacity, char* text)
{
    text[0] = '\0';
    int length = WideLength(wide, wideCapacity);
    if (length == 0)
        return;
    int whole = WideCharToMultiByte(codePage, 0, wide, length, text, kCodecTextBytes - 1, nullptr, nullptr);
    if (whole > 0) {
        text[whole] = '\0';
        return;
    }
    // Whole characters are measured one by one until the next would not fit.
    int taken = 0;
    int bytes = 0;
    while (taken < length) {
        int units
            = IsHighSurrogate(wide[taken]) && taken + 1 < length && IsLowSurrogate(wide[taken + 1]) ? 2 : 1;
        int size = WideCharToMultiByte(codePage, 0, wide + taken, units, nullptr, 0, nullptr, nullptr);
        if (size <= 0 || bytes + size > kCodecTextBytes - 1)
            break;
        bytes += size;
        taken += units;
    }
    text[0] = '\0'; // the failed attempt may have left part of the text
    if (taken == 0)
        return;
    int written = WideCharToMultiByte(codePage, 0, wide, taken, text, kCodecTextBytes - 1, nullptr, nullptr);
    text[written > 0 ? written : 0] = '\0';
}
