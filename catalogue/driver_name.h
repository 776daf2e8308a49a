#pragma once

#include <string>
#include <vector>

#include "catalogue/codec_catalogue.h"

// The decisions of the catalogue walk, free of registry and codec calls.

// What a value name of the installed-drivers key means for the catalogue.
enum class DriverNameVerdict {
    NotACodec, // does not begin with "vidc." (ASCII letter case ignored)
    Duplicate, // a FourCC already listed, ignoring ASCII letter case
    CatalogueFull, // a new FourCC, but all entries are taken
    NewCodec,
};

// For a name beginning with "vidc.": the next characters, at most four,
// zero-filled and terminated (5 characters), and true.
bool FourCCTextFromDriverName(const char* valueName, char* fccText);

// Index of the entry whose FourCC equals `fcc` ignoring ASCII letter case,
// or -1.
int FindCodecEntryNoCase(const CodecCatalogue& catalogue, uint32_t fcc);

// Judges a value name; the FourCC text goes to `fccText` (5 characters)
// whenever the name is a codec's.
DriverNameVerdict JudgeDriverName(const CodecCatalogue& catalogue, const char* valueName, char* fccText);

// The key names of a profile section as GetPrivateProfileStringA gives them
// for a null key: each terminated, the list ended by an empty name, and
// `length` the call's result. When the list was cut off (`length` is
// `capacity` - 2) its last name may be cut too, and is left out.
std::vector<std::string> ProfileKeyNames(const char* list, size_t length, size_t capacity);
