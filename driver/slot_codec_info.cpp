#include "driver/slot_codec_info.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "catalogue/fourcc.h"
#include "driver/slot_config.h"

namespace {

void CopyText(const char* text, WCHAR* field, int capacity)
{
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, field, capacity) == 0)
        field[capacity - 1] = L'\0';
}

}

void FillSlotCodecInfo(int slot, const SlotSettings& settings, const wchar_t* driverPath, ICINFO* info)
{
    std::memset(info, 0, sizeof *info);
    info->dwSize = sizeof *info;
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = SlotFourCC(slot);
    info->dwVersion = static_cast<DWORD>(std::strtoul(settings.pcVersion, nullptr, 10));
    info->dwFlags = settings.dwFlags;
    info->dwVersionICM = settings.dwVersionICM != 0 ? settings.dwVersionICM : ICVERSION;

    char fcc[kTextCapacity];
    if (settings.pcFcc[0] != '\0')
        std::snprintf(fcc, sizeof fcc, "%s", settings.pcFcc);
    else
        FourCCToText(settings.dwFcc, fcc);
    const char* name = settings.pcName[0] != '\0' ? settings.pcName : fcc;
    const char* description = settings.pcDesc[0] != '\0' ? settings.pcDesc : name;
    char text[sizeof info->szDescription / sizeof(WCHAR)];
    CopyText(name, info->szName, sizeof info->szName / sizeof(WCHAR));
    std::snprintf(text, sizeof text, "%s (32-bit %s, Tandrel64 tdl%d)", description, fcc, slot);
    CopyText(text, info->szDescription, sizeof info->szDescription / sizeof(WCHAR));
    std::wcsncpy(info->szDriver, driverPath, sizeof info->szDriver / sizeof(WCHAR) - 1);
}
