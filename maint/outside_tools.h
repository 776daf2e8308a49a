#pragma once

#include "maint/tool_run.h"
#include "settings/config_settings.h"

// The outside tools, run from the executable's directory and waited for:
// the manager tool registers the ten slot drivers, the installer tool
// registers 32-bit codecs, the slot test tries a slot as a 64-bit program.
// Each operation says how the tool's run went.

// The full path of a tool beside the executable ("TandrelMng.exe",
// "QelInstall32.exe"); false when the executable's directory is not known.
bool GetToolPath(const char* toolName, char* path);

// The manager tool with "/reg:tdlN " or "/unreg:tdlN " for each of the ten
// slots by its iEnable.
ToolRun ApplySlots(const SlotSettings* slots);

// The manager tool with "/unreg:tdlN " for all ten slots.
ToolRun UnregisterAllSlots();

// The slot test for slot N, its report written to `reportPath`.
ToolRun RunSlotTest(int slot, const char* reportPath);

// The installer tool with "\"/regf:<fcc>:<path>\"". The codec's "CODEC32."
// section of the settings file at `settingsPath` is written only when the
// tool registered it. A request the installer's one quoted word cannot
// carry (see FormatRegisterCodecParameters) is refused: nothing runs.
ToolRun RegisterCodec(const char* settingsPath, const char* fccText, const char* dllPath);

// The installer tool with "\"/unreg:<fcc>\"". The codec's section is deleted
// when the tool removed the registration or found none; after any other
// outcome it stays, so that the codec can be uninstalled again. A FourCC
// text that is not installable is not passed to the tool (it refuses such a
// text, so no codec can have been registered under it) and its section is
// deleted.
ToolRun UnregisterCodec(const char* settingsPath, const char* fccText);
