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

std::vector<std::string> ProfileKeyNames(const char* list, size_t length, size_t capacity)
{
    std::vector<std::string> names;
    bool cut = capacity >= 2 && length == capacity - 2;
    for (size_t at = 0; at < length && list[at] != '\0'; at += names.back().size() + 1)
        names.emplace_back(list + at, strnlen(list + at, length - at));
    if (cut && !names.empty())
        names.pop_back();
    return names;
}
