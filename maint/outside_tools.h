#pragma once

#include "settings/config_settings.h"

// The two outside tools, run from the executable's directory and waited
// for: the manager tool registers the ten slot drivers, the installer tool
// registers 32-bit codecs. A tool that cannot be found or started is treated
// like one that failed; the tools' exit codes are not read.

// The manager tool with "/reg:tdlN " or "/unreg:tdlN " for each of the ten
// slots by its iEnable. 1 when the tool ran, 0 when it could not be started.
int ApplySlots(const SlotSettings* slots);

// The manager tool with "/unreg:tdlN " for all ten slots. Returns 1.
int UnregisterAllSlots();

// The installer tool with "\"/regf:<fcc>:<path>\"", then the codec's
// "CODEC32." section of the settings file at `settingsPath` is written,
// whatever the tool did. A request the installer's one quoted word cannot
// carry (see FormatRegisterCodecParameters) is refused: nothing runs,
// nothing is written, and the result is 0. Otherwise 1.
int RegisterCodec(const char* settingsPath, const char* fccText, const char* dllPath);

// The installer tool with "\"/unreg:<fcc>\"", then the codec's section is
// deleted, whatever the tool did. A FourCC text the quoted word cannot carry
// is not passed to the tool, its section is still deleted, and the result is
// 0. Otherwise 1.
int UnregisterCodec(const char* settingsPath, const char* fccText);
