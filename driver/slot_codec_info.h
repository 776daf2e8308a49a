#pragma once

#include <windows.h>
#include <vfw.h>

#include "settings/config_settings.h"

// The ICINFO the driver answers for a slot from its settings alone, so that
// listing codecs starts no host: type vidc, the slot's FourCC as handler,
// the codec's own flags and versions as recorded when it was assigned, and a
// name and description that say which 32-bit codec the slot runs. A slot
// whose settings lack the flags and ICM version (RecordsCodecInfo) reads
// flags 0 and the ICM version of this interface, unless its codec tells them.
void FillSlotCodecInfo(int slot, const SlotSettings& settings, const wchar_t* driverPath, ICINFO* info);
