#pragma once

#include <windows.h>

#include <string>

// Sets up slots of the bridge through the real files, as the configuration
// tool and the manager tool leave them.

// The slot's section of the settings file: switched on, running the 32-bit
// codec `fcc`, listed under `name` and `description`.
bool WriteSlotSettings(int slot, const char* fcc, const char* name, const char* description);

// The slot's section for the 32-bit codec `fcc`, switched on and described
// by the codec itself as the configuration tool records it (name, version,
// description, driver, flags and ICM version), asked in a 32-bit process by
// codec_reference.exe. False when the codec gave no information.
bool WriteSlotCodec(int slot, const char* fcc);

// vidc.tdlN in the 64-bit view of HKEY_LOCAL_MACHINE's Drivers32 key names
// the client driver beside this program.
bool RegisterSlotDriver(int slot);

// Slot tdl0 for Wine's 32-bit mrle codec, described by the codec.
bool AssignDemoSlot();

// One value of HKEY_LOCAL_MACHINE's Drivers32 key in the view `view`
// (KEY_WOW64_32KEY, where 32-bit codecs are found, or KEY_WOW64_64KEY):
// read (false when it is missing), written, or deleted.
bool ReadDriverValue(const char* name, REGSAM view, std::string* data);
bool WriteDriverValue(const char* name, const char* data, REGSAM view);
bool DeleteDriverValue(const char* name, REGSAM view);
