#include "catalogue/codec_catalogue.h"

#include <cstring>
#include <new>

#include "catalogue/codec_info.h"
#include "catalogue/driver_name.h"
#include "catalogue/fourcc.h"

CodecCatalogue* g_codecCatalogue = nullptr;

namespace {

const char kDrivers32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

void FillEntry(CodecEntry* entry, const char* fccText)
{
    std::strcpy(entry->pcFcc, fccText);
    entry->dwFcc = FourCCFromText(fccText);
    GetCodecInfo(entry->dwFcc, entry->pcName, entry->pcVersion, entry->pcDesc, entry->pcDriver,
                 &entry->dwFlags, &entry->dwVersionICM);
    ProbeOutputFourCC(entry->dwFcc, &entry->dwbiFcc);
}

}

bool BuildCodecCatalogue()
{
    FreeCodecCatalogue();
    g_codecCatalogue = new (std::nothrow) CodecCatalogue();
    if (g_codecCatalogue == nullptr)
        return false;
    if (!EnumDrivers32(HKEY_LOCAL_MACHINE))
        return false;
    return EnumDrivers32(HKEY_CURRENT_USER);
}

bool EnumDrivers32(HKEY root)
{
    CodecCatalogue* catalogue = g_codecCatalogue;
    HKEY key = nullptr;
    if (catalogue == nullptr
        || RegOpenKeyExA(root, kDrivers32Key, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key)
            != ERROR_SUCCESS)
        return false;
    bool complete = true;
    for (DWORD index = 0;; ++index) {
        char name[MAX_PATH];
        DWORD nameLength = MAX_PATH;
        LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        // A name too long for the buffer is no driver of ours; the walk
        // goes on past it.
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            break;
        char fccText[kFourCCTextCapacity];
        DriverNameVerdict verdict = JudgeDriverName(*catalogue, name, fccText);
        if (verdict == DriverNameVerdict::CatalogueFull) {
            complete = false;
            break;
        }
        if (verdict == DriverNameVerdict::NewCodec) {
            FillEntry(&catalogue->entries[catalogue->count], fccText);
            ++catalogue->count;
        }
    }
    RegCloseKey(key);
    return complete;
}

void FreeCodecCatalogue()
{
    delete g_codecCatalogue;
    g_codecCatalogue = nullptr;
}
