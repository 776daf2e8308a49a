#include "driver/slot_config.h"

#include <windows.h>
#include <vfw.h>

#include <cstdio>

#include "catalogue/fourcc.h"
#include "settings/profile.h"
#include "settings/settings_paths.h"

int SlotFromFourCC(uint32_t fcc)
{
    char digit = static_cast<char>(fcc >> 24);
    if (digit < '0' || digit > '9' || !FourCCEqualNoCase(fcc, SlotFourCC(digit - '0')))
        return kNoSlot;
    return digit - '0';
}

uint32_t SlotFourCC(int slot)
{
    return mmioFOURCC('t', 'd', 'l', '0' + slot);
}

void ReadSlotSettings(int slot, SlotSettings* settings)
{
    *settings = SlotSettings();
    char path[MAX_PATH];
    char section[8];
    GetSettingsFilePath(path);
    std::snprintf(section, sizeof section, "tdl%d", slot);
    ProfileReadInt(path, section, "iEnable", &settings->iEnable);
    ProfileReadHex(path, section, "dwFcc", &settings->dwFcc);
    ProfileReadString(path, section, "pcFcc", settings->pcFcc, kTextCapacity);
    ProfileReadString(path, section, "pcName", settings->pcName, kTextCapacity);
    ProfileReadString(path, section, "pcVersion", settings->pcVersion, kTextCapacity);
    ProfileReadString(path, section, "pcDesc", settings->pcDesc, kTextCapacity);
    ProfileReadHex(path, section, "dwFlags", &settings->dwFlags);
    ProfileReadHex(path, section, "dwVersionICM", &settings->dwVersionICM);
}

int ReadTimeoutSetting()
{
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    int seconds = 1;
    ProfileReadInt(path, "GENERAL", "iTimeout", &seconds);
    return seconds;
}

bool SlotServes(int slot)
{
    char path[MAX_PATH];
    char section[8];
    GetSettingsFilePath(path);
    std::snprintf(section, sizeof section, "tdl%d", slot);
    int enable = 0;
    uint32_t fcc = 0;
    ProfileReadInt(path, section, "iEnable", &enable);
    ProfileReadHex(path, section, "dwFcc", &fcc);
    return enable != 0 && fcc != 0;
}
