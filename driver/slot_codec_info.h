#pragma once

#include <windows.h>
#include <vfw.h>

#include "settings/config_settings.h"

// The ICINFO the driver answers for a slot from its settings alone, so that
// listing codecs starts no host: type vidc, the slot's FourCC as handler,
// and a name and description that say which 32-bit codec the slot runs.
// The codec's flags are not stored and read as 0.
void FillSlotCodecInfo(int slot, const SlotSettings& settings, const wchar_t* driverPath, ICINFO* info);
