#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/config_settings.h"

// What the driver reads of the settings file, at each use and never
// writing: a slot's own section ("tdl0" to "tdl9") and GENERAL's iTimeout
// and log settings.
// Missing values keep their defaults. Each value is what the profile
// functions give, kept while the file's bytes stay the same (ProfileMemo).

const int kNoSlot = -1;

// The slot a FourCC names: "tdl0" to "tdl9", the letters in either case;
// kNoSlot for any other.
int SlotFromFourCC(uint32_t fcc);
uint32_t SlotFourCC(int slot);

// The slot's section; fields that are not stored stay zero or empty.
void ReadSlotSettings(int slot, SlotSettings* settings);

// iTimeout in seconds, 1 when it is missing or does not parse.
int ReadTimeoutSetting();

// What an open needs, without the rest of the section, read once for the
// instance's life.
struct SlotOpenSettings {
    // The codec the slot serves: its dwFcc when it is switched on, 0 when it
    // is off or names none.
    uint32_t codec;
    // The ICOpen modes the codec takes, as the configuration tool recorded
    // them (catalogue/open_modes.h); 0 when it did not.
    uint32_t openModes;
    // iTimeout as ReadTimeoutSetting reads it.
    int timeoutSetting;
    // GENERAL's pcLogPath when iLog is 1; empty when the log is off.
    char logPath[MAX_PATH];
};
void ReadSlotOpenSettings(int slot, SlotOpenSettings* settings);
