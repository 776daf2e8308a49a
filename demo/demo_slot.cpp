#include "demo/demo_slot.h"

#include <vfw.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/codec_text.h"
#include "catalogue/fourcc.h"
#include "demo/reference_run.h"
#include "settings/path_text.h"
#include "settings/profile.h"
#include "settings/settings_paths.h"

namespace {

const char kDrivers32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const DWORD kReferenceInfoTimeoutMs = 60000;

HKEY OpenDrivers32(REGSAM access, REGSAM view)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, nullptr, 0, access | view, nullptr, &key,
                        nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}

bool WriteSlotSettings(int slot, const char* fcc, const char* name, const char* description)
{
    char directory[MAX_PATH];
    char path[MAX_PATH];
    if (!GetSettingsDirectory(directory) || !GetSettingsFilePath(path))
        return false;
    CreateDirectoryA(directory, nullptr);
    char section[8];
    std::snprintf(section, sizeof section, "tdl%d", slot);
    const int enable = 1;
    const uint32_t fccValue = FourCCFromText(fcc);
    // The configuration tool finds the slot's item in its codec list by the
    // item's start, "<fcc> - ".
    const std::string item = std::string(fcc) + " - ";
    return ProfileWriteInt(path, section, "iEnable", &enable)
        && ProfileWriteString(path, section, "pcFccName", item.c_str())
        && ProfileWriteHex(path, section, "dwFcc", &fccValue)
        && ProfileWriteString(path, section, "pcFcc", fcc)
        && ProfileWriteString(path, section, "pcName", name)
        && ProfileWriteString(path, section, "pcDesc", description);
}

bool WriteSlotCodec(int slot, const char* fcc)
{
    ICINFO info;
    uint32_t openModes = 0;
    char path[MAX_PATH];
    if (!RunReferenceInfo(fcc, kReferenceInfoTimeoutMs, &info, &openModes) || !GetSettingsFilePath(path))
        return false;
    char name[kCodecTextBytes];
    char description[kCodecTextBytes];
    char driver[kCodecTextBytes];
    CodecTextToAnsi(CP_ACP, info.szName, sizeof info.szName / sizeof(WCHAR), name);
    CodecTextToAnsi(CP_ACP, info.szDescription, sizeof info.szDescription / sizeof(WCHAR), description);
    CodecTextToAnsi(CP_ACP, info.szDriver, sizeof info.szDriver / sizeof(WCHAR), driver);
    char section[8];
    char version[16];
    std::snprintf(section, sizeof section, "tdl%d", slot);
    std::snprintf(version, sizeof version, "%d", static_cast<int>(info.dwVersion));
    const uint32_t flags = info.dwFlags;
    const uint32_t versionICM = info.dwVersionICM;
    return WriteSlotSettings(slot, fcc, name, description)
        && ProfileWriteString(path, section, "pcVersion", version)
        && ProfileWriteString(path, section, "pcDriver", driver)
        && ProfileWriteHex(path, section, "dwFlags", &flags)
        && ProfileWriteHex(path, section, "dwVersionICM", &versionICM)
        && ProfileWriteHex(path, section, "dwOpenModes", &openModes);
}

bool RegisterSlotDriver(int slot)
{
    char folder[MAX_PATH];
    char driver[MAX_PATH];
    char name[16];
    std::snprintf(name, sizeof name, "vidc.tdl%d", slot);
    return GetModuleDirectory(folder) && JoinPath(folder, "TandrelDrv64.dll", driver)
        && WriteDriverValue(name, driver, KEY_WOW64_64KEY);
}

bool AssignDemoSlot()
{
    return WriteSlotCodec(0, "mrle") && RegisterSlotDriver(0);
}

bool ReadDriverValue(const char* name, REGSAM view, std::string* data)
{
    HKEY key = OpenDrivers32(KEY_QUERY_VALUE, view);
    DWORD size = 0;
    bool found
        = key != nullptr && RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    std::vector<char> value(size + 1, '\0');
    found = found
        && RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size)
            == ERROR_SUCCESS;
    if (key != nullptr)
        RegCloseKey(key);
    if (found)
        data->assign(value.data());
    return found;
}

bool WriteDriverValue(const char* name, const char* data, REGSAM view)
{
    HKEY key = OpenDrivers32(KEY_SET_VALUE, view);
    if (key == nullptr)
        return false;
    LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                 static_cast<DWORD>(lstrlenA(data) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool DeleteDriverValue(const char* name, REGSAM view)
{
    HKEY key = OpenDrivers32(KEY_SET_VALUE, view);
    if (key == nullptr)
        return false;
    LONG result = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
