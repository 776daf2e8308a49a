#include "catalogue/codec_open.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const WCHAR kDrivers32Section[] = L"Drivers32";
// "type.hndl" and the terminator.
const int kDriverNameCapacity = 10;

// The codecs open now, each with the driver instance that holds its module.
// Only the thread that serves the codecs opens and closes them.
std::vector<std::pair<HIC, HDRVR>> g_heldModules;

// The installed-driver name that ICOpen looks up: the type's four bytes, a
// dot and the handler's four bytes, each byte the character of that code (a
// zero byte ends the name). The look-up ignores letter case.
void CodecDriverName(uint32_t fccType, uint32_t fccHandler, WCHAR* name)
{
    for (int i = 0; i < 4; ++i) {
        name[i] = static_cast<WCHAR>((fccType >> (8 * i)) & 0xFF);
        name[5 + i] = static_cast<WCHAR>((fccHandler >> (8 * i)) & 0xFF);
    }
    name[4] = L'.';
    name[9] = L'\0';
}

}

HIC OpenCodecKeptLoaded(uint32_t fccType, uint32_t fccHandler, UINT mode)
{
    WCHAR name[kDriverNameCapacity];
    CodecDriverName(fccType, fccHandler, name);
    // Looked up where ICOpen looks. A codec that refuses this open refuses
    // ICOpen's own first one too, whose failure frees its record once.
    HDRVR holder = fccHandler != 0 ? OpenDriver(name, kDrivers32Section, 0) : nullptr;
    HIC codec = ICOpen(fccType, fccHandler, mode);
    if (codec != nullptr && holder != nullptr)
        g_heldModules.emplace_back(codec, holder);
    else if (holder != nullptr)
        CloseDriver(holder, 0, 0);
    return codec;
}

void CloseCodecKeptLoaded(HIC codec)
{
    ICClose(codec);
    auto held = std::find_if(g_heldModules.begin(), g_heldModules.end(),
                             [codec](const std::pair<HIC, HDRVR>& entry) { return entry.first == codec; });
    if (held == g_heldModules.end())
        return;
    CloseDriver(held->second, 0, 0);
    g_heldModules.erase(held);
}
