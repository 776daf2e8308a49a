#pragma once

#include <windows.h>

#include <cstdint>

const int kCodecCatalogueCapacity = 1000;
const int kCodecTextCapacity = MAX_PATH;

// One installed codec. The fields from dwFcc to dwVersionICM are copied as
// they are into a slot's settings.
struct CodecEntry {
    uint32_t dwFcc; // from the registry value name
    uint32_t dwbiFcc; // biCompression of the format the codec produces; 0 when unknown
    char pcFcc[kCodecTextCapacity]; // FourCC text as the value name spells it
    char pcName[kCodecTextCapacity];
    char pcVersion[kCodecTextCapacity];
    char pcDesc[kCodecTextCapacity];
    char pcDriver[kCodecTextCapacity];
    uint32_t dwFlags; // the codec's own ICINFO flags (VIDCF_*)
    uint32_t dwVersionICM; // the ICM version the codec states
};

// The installed codecs in order of discovery: HKEY_LOCAL_MACHINE, then the
// new ones of HKEY_CURRENT_USER, then the new ones of system.ini. No two
// FourCC texts are equal ignoring ASCII letter case. An entry's index is its
// identity for the slot rows.
struct CodecCatalogue {
    int32_t count;
    CodecEntry entries[kCodecCatalogueCapacity];
};

// The one catalogue of the process; null while none exists, which every user
// treats as an empty catalogue.
extern CodecCatalogue* g_codecCatalogue;

// Builds the catalogue from the installed-drivers key of both roots and the
// [drivers32] section of system.ini, where Windows and Wine list codecs
// beside the registry. False when it could not be allocated, when
// HKEY_LOCAL_MACHINE's key cannot be opened (nothing else is then visited),
// when a 1001st codec turns up, or when HKEY_CURRENT_USER's key cannot be
// opened; what was gathered stays usable. A catalogue built before is
// released first.
bool BuildCodecCatalogue();

// One pass over the "vidc." values of the installed-drivers key of `root`.
bool EnumDrivers32(HKEY root);

// One pass over the "vidc." keys of [drivers32] in the Windows directory's
// system.ini.
bool EnumSystemIniDrivers32();

// Releases the catalogue; the pointer is null afterwards.
void FreeCodecCatalogue();
