#include "settings/config_settings.h"

#include <cstdio>
#include <cstring>

#include "settings/profile.h"
#include "settings/settings_paths.h"

namespace {

const RECT kDefaultWindowRect = {100, 100, 500, 700};
const int kWriteMode = 1;
const int kReadOrCreateMode = 0;

void ExchangeSlot(int mode, const char* path, int index, SlotSettings* slot)
{
    char section[16];
    std::snprintf(section, sizeof section, "tdl%d", index);
    ProfileExchangeInt(mode, path, section, "iEnable", &slot->iEnable);
    ProfileExchangeString(mode, path, section, "pcFccName", slot->pcFccName, kTextCapacity);
    ProfileExchangeHex(mode, path, section, "dwFcc", &slot->dwFcc);
    ProfileExchangeHex(mode, path, section, "dwbiFcc", &slot->dwbiFcc);
    ProfileExchangeString(mode, path, section, "pcFcc", slot->pcFcc, kTextCapacity);
    ProfileExchangeString(mode, path, section, "pcName", slot->pcName, kTextCapacity);
    ProfileExchangeString(mode, path, section, "pcVersion", slot->pcVersion, kTextCapacity);
    ProfileExchangeString(mode, path, section, "pcDesc", slot->pcDesc, kTextCapacity);
    ProfileExchangeString(mode, path, section, "pcDriver", slot->pcDriver, kTextCapacity);
    ProfileExchangeHex(mode, path, section, "dwFlags", &slot->dwFlags);
    ProfileExchangeHex(mode, path, section, "dwVersionICM", &slot->dwVersionICM);
    ProfileExchangeHex(mode, path, section, "dwOpenModes", &slot->dwOpenModes);
    // The slot is shown as a check box and chooses between register and
    // unregister: anything stored but 0 means switched on.
    if (slot->iEnable != 0)
        slot->iEnable = 1;
}

int LoadMode(const char* path)
{
    return FileExists(path) ? kReadOrCreateMode : kWriteMode;
}

}

void ExchangeConfigSettingsFile(const char* path, ConfigSettings* settings, int save)
{
    int mode = kWriteMode;
    if (save != 1) {
        settings->rcWnd = kDefaultWindowRect;
        std::memset(settings->slots, 0, sizeof settings->slots);
        settings->iTimeout = 1;
        mode = LoadMode(path);
    }
    ProfileExchangeRect(mode, path, "CDLG_MAIN", "rcWnd", &settings->rcWnd);
    ProfileExchangeInt(mode, path, "GENERAL", "iTimeout", &settings->iTimeout);
    if (mode == kReadOrCreateMode) {
        ProfileExchangeInt(mode, path, "GENERAL", "iLog", &settings->iLog);
        ProfileExchangeString(mode, path, "GENERAL", "pcLogPath", settings->pcLogPath, kTextCapacity);
    }
    for (int i = 0; i < kSlotCount; ++i)
        ExchangeSlot(mode, path, i, &settings->slots[i]);
}

void ExchangeConfigSettings(ConfigSettings* settings, int save)
{
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    ExchangeConfigSettingsFile(path, settings, save);
}

void ExchangeInstallDlgRectFile(const char* path, RECT* rect, int save)
{
    int mode = kWriteMode;
    if (save != 1) {
        *rect = kDefaultWindowRect;
        mode = LoadMode(path);
    }
    ProfileExchangeRect(mode, path, "CDLG_INSTALL", "rcWnd", rect);
}

void ExchangeInstallDlgRect(RECT* rect, int save)
{
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    ExchangeInstallDlgRectFile(path, rect, save);
}
