#pragma once

#include "settings/config_settings.h"

// The parameter texts of the two outside tools, built without running
// anything. The manager tool takes one item per slot, each ended by a blank;
// the installer tool takes one word in double quotes.

const int kManagerParametersCapacity = 520;
const int kInstallerParametersCapacity = 260;

extern const char kManagerToolName[]; // "TandrelMng.exe"
extern const char kInstallerToolName[]; // "QelInstall32.exe"
extern const char kSlotTestToolName[]; // "TandrelSlotTest.exe"

// "/reg:tdlN " for a slot whose iEnable is 1, "/unreg:tdlN " otherwise, for
// the ten slots in order.
void FormatApplySlotsParameters(const SlotSettings* slots, char* parameters);

// "/unreg:tdlN " for the ten slots in order.
void FormatUnregisterAllSlotsParameters(char* parameters);

// "\"/regf:<fcc>:<path>\"". False, with an empty text, when the FourCC text
// is not installable (IsInstallableFourCCText), the path holds a double quote, or the text would
// exceed 259 characters.
bool FormatRegisterCodecParameters(const char* fccText, const char* dllPath, char* parameters);

// "/test:tdlN \"/out:<path>\"": the slot test of slot N, its report written
// to `reportPath`, which the capacity holds whenever it fits MAX_PATH. False,
// with an empty text, when the text would not fit.
const int kSlotTestParametersCapacity = 300;
bool FormatSlotTestParameters(int slot, const char* reportPath, char* parameters);

// "\"/unreg:<fcc>\"". False, with an empty text, under the same FourCC rule.
bool FormatUnregisterCodecParameters(const char* fccText, char* parameters);
