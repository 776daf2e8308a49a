#include "catalogue/codec_catalogue.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "catalogue/codec_info.h"
#include "catalogue/driver_name.h"
#include "catalogue/fourcc.h"

CodecCatalogue* g_codecCatalogue = nullptr;

namespace {

const char kDrivers32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const char kSystemIni[] = "system.ini";
const char kDrivers32Section[] = "drivers32";

void FillEntry(CodecEntry* entry, const char* fccText)
{
    std::strcpy(entry->pcFcc, fccText);
    entry->dwFcc = FourCCFromText(fccText);
    GetCodecInfo(entry->dwFcc, entry->pcName, entry->pcVersion, entry->pcDesc, entry->pcDriver,
                 &entry->dwFlags, &entry->dwVersionICM);
    ProbeOutputFourCC(entry->dwFcc, &entry->dwbiFcc);
}

// Lists the codec a driver name stands for, unless it is listed already.
// False when a new codec finds the catalogue full.
bool AddDriverName(CodecCatalogue* catalogue, const char* name)
{
    char fccText[kFourCCTextCapacity];
    DriverNameVerdict verdict = JudgeDriverName(*catalogue, name, fccText);
    if (verdict == DriverNameVerdict::NewCodec) {
        FillEntry(&catalogue->entries[catalogue->count], fccText);
        ++catalogue->count;
    }
    return verdict != DriverNameVerdict::CatalogueFull;
}

// The key names of system.ini's [drivers32] section; the buffer grows until
// the list fits or reaches kIniNamesLimit.
std::vector<std::string> SystemIniDriverNames()
{
    const size_t kIniNamesLimit = 1 << 20;
    std::vector<char> list(16384);
    for (;;) {
        DWORD length = GetPrivateProfileStringA(kDrivers32Section, nullptr, "", list.data(),
                                                static_cast<DWORD>(list.size()), kSystemIni);
        if (length + 2 != list.size() || list.size() >= kIniNamesLimit)
            return ProfileKeyNames(list.data(), length, list.size());
        list.resize(list.size() * 2);
    }
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
    // Windows often has no user key at all: system.ini is read either way.
    bool user = EnumDrivers32(HKEY_CURRENT_USER);
    return EnumSystemIniDrivers32() && user;
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
        if (!AddDriverName(catalogue, name)) {
            complete = false;
            break;
        }
    }
    RegCloseKey(key);
    return complete;
}

bool EnumSystemIniDrivers32()
{
    if (g_codecCatalogue == nullptr)
        return false;
    for (const std::string& name : SystemIniDriverNames()) {
        if (!AddDriverName(g_codecCatalogue, name.c_str()))
            return false;
    }
    return true;
}

void FreeCodecCatalogue()
{
    delete g_codecCatalogue;
    g_codecCatalogue = nullptr;
}
