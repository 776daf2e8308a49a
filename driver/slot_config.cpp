#include "driver/slot_config.h"

#include <windows.h>
#include <vfw.h>

#include <cstdio>

#include "settings/profile.h"
#include "settings/settings_paths.h"

namespace {

char LowerAscii(uint32_t value)
{
    char letter = static_cast<char>(value & 0xFF);
    return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
}

}

int SlotFromFourCC(uint32_t fcc)
{
    char digit = static_cast<char>(fcc >> 24);
    if (LowerAscii(fcc) != 't' || LowerAscii(fcc >> 8) != 'd' || LowerAscii(fcc >> 16) != 'l' || digit < '0'
        || digit > '9')
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
}

int ReadTimeoutSetting()
{
    char path[MAX_PATH];
    GetSettingsFilePath(path);
    int seconds = 1;
    ProfileReadInt(path, "GENERAL", "iTimeout", &seconds);
    return seconds;
}

bool SlotServes(const SlotSettings& settings)
{
    return settings.iEnable != 0 && settings.dwFcc != 0;
}
