#include "demo/demo_slot.h"

#include <windows.h>
#include <vfw.h>

#include <cstdint>

#include "settings/path_text.h"
#include "settings/profile.h"
#include "settings/settings_paths.h"

namespace {

const char kDrivers32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

bool RegisterDriver()
{
    char folder[MAX_PATH];
    char driver[MAX_PATH];
    if (!GetModuleDirectory(folder) || !JoinPath(folder, "TandrelDrv64.dll", driver))
        return false;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                        nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, "vidc.tdl0", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver),
                                 static_cast<DWORD>(lstrlenA(driver) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool WriteSlotSettings()
{
    char directory[MAX_PATH];
    char path[MAX_PATH];
    if (!GetSettingsDirectory(directory) || !GetSettingsFilePath(path))
        return false;
    CreateDirectoryA(directory, nullptr);
    const int enable = 1;
    const uint32_t fcc = mmioFOURCC('m', 'r', 'l', 'e');
    return ProfileWriteInt(path, "tdl0", "iEnable", &enable) && ProfileWriteHex(path, "tdl0", "dwFcc", &fcc)
        && ProfileWriteString(path, "tdl0", "pcFcc", "mrle")
        && ProfileWriteString(path, "tdl0", "pcName", "MRLE")
        && ProfileWriteString(path, "tdl0", "pcDesc", "Run-length codec of Wine (msrle32)");
}

}

bool AssignDemoSlot()
{
    return WriteSlotSettings() && RegisterDriver();
}
