#include "catalogue/driver_name.h"

#include <cstring>

#include "catalogue/fourcc.h"

namespace {
const char kCodecPrefix[] = "vidc.";
const int kCodecPrefixLength = sizeof kCodecPrefix - 1;
}

bool FourCCTextFromDriverName(const char* valueName, char* fccText)
{
    char prefix[kCodecPrefixLength + 1] = {};
    std::strncpy(prefix, valueName, kCodecPrefixLength);
    if (!FourCCTextEqualNoCase(prefix, kCodecPrefix))
        return false;
    std::memset(fccText, 0, kFourCCTextCapacity);
    std::strncpy(fccText, valueName + kCodecPrefixLength, kFourCCTextCapacity - 1);
    return true;
}

int FindCodecEntryNoCase(const CodecCatalogue& catalogue, uint32_t fcc)
{
    for (int i = 0; i < catalogue.count; ++i) {
        if (FourCCEqualNoCase(catalogue.entries[i].dwFcc, fcc))
            return i;
    }
    return -1;
}

DriverNameVerdict JudgeDriverName(const CodecCatalogue& catalogue, const char* valueName, char* fccText)
{
    if (!FourCCTextFromDriverName(valueName, fccText))
        return DriverNameVerdict::NotACodec;
    if (FindCodecEntryNoCase(catalogue, FourCCFromText(fccText)) >= 0)
        return DriverNameVerdict::Duplicate;
    if (catalogue.count >= kCodecCatalogueCapacity)
        return DriverNameVerdict::CatalogueFull;
    return DriverNameVerdict::NewCodec;
}
