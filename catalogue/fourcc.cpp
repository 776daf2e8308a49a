#include "catalogue/fourcc.h"

void FourCCToText(uint32_t fcc, char* text)
{
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((fcc >> (8 * i)) & 0xFF);
    text[4] = '\0';
}
