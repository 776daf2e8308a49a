#pragma once

#include <cstdint>

#include "settings/config_settings.h"

// What the driver reads of the settings file, afresh at each open and
// never writing: a slot's own section ("tdl0" to "tdl9") and GENERAL's
// iTimeout. Missing values keep their defaults.

const int kNoSlot = -1;

// The slot a FourCC names: "tdl0" to "tdl9", the letters in either case;
// kNoSlot for any other.
int SlotFromFourCC(uint32_t fcc);
uint32_t SlotFourCC(int slot);

// The slot's section; fields that are not stored stay zero or empty.
void ReadSlotSettings(int slot, SlotSettings* settings);

// iTimeout in seconds, 1 when it is missing or does not parse.
int ReadTimeoutSetting();

// A slot serves only when it is switched on and names a codec: the two
// values an open needs, read without the rest of the section.
bool SlotServes(int slot);
