#include "maint/outside_tools.h"

#include <windows.h>

#include "maint/run_program.h"
#include "maint/tool_parameters.h"
#include "settings/codec32_sections.h"
#include "settings/path_text.h"
#include "settings/settings_paths.h"

namespace {

// Runs a tool that lies beside the executable and waits for its end.
int RunToolAndWait(const char* toolName, const char* parameters)
{
    char directory[MAX_PATH];
    char tool[MAX_PATH];
    if (!GetModuleDirectory(directory) || !JoinPath(directory, toolName, tool))
        return 0;
    return RunAndWait(tool, parameters);
}

}

int ApplySlots(const SlotSettings* slots)
{
    char parameters[kManagerParametersCapacity];
    FormatApplySlotsParameters(slots, parameters);
    return RunToolAndWait(kManagerToolName, parameters);
}

int UnregisterAllSlots()
{
    char parameters[kManagerParametersCapacity];
    FormatUnregisterAllSlotsParameters(parameters);
    RunToolAndWait(kManagerToolName, parameters);
    return 1;
}

int RegisterCodec(const char* settingsPath, const char* fccText, const char* dllPath)
{
    char parameters[kInstallerParametersCapacity];
    if (!FormatRegisterCodecParameters(fccText, dllPath, parameters))
        return 0;
    RunToolAndWait(kInstallerToolName, parameters);
    WriteCodec32Section(settingsPath, fccText, dllPath);
    return 1;
}

int UnregisterCodec(const char* settingsPath, const char* fccText)
{
    char parameters[kInstallerParametersCapacity];
    bool carried = FormatUnregisterCodecParameters(fccText, parameters);
    if (carried)
        RunToolAndWait(kInstallerToolName, parameters);
    DeleteCodec32Section(settingsPath, fccText);
    return carried ? 1 : 0;
}
