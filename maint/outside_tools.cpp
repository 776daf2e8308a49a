#include "maint/outside_tools.h"

#include <windows.h>

#include "maint/run_program.h"
#include "maint/tool_parameters.h"
#include "settings/codec32_sections.h"
#include "settings/path_text.h"
#include "settings/settings_paths.h"

namespace {

ToolRun RunToolAndWait(const char* toolName, const char* parameters)
{
    char tool[MAX_PATH];
    if (!GetToolPath(toolName, tool))
        return {ToolRunKind::NotStarted, GetLastError()};
    return RunAndWait(tool, parameters);
}

}

bool GetToolPath(const char* toolName, char* path)
{
    char directory[MAX_PATH];
    return GetModuleDirectory(directory) && JoinPath(directory, toolName, path);
}

ToolRun ApplySlots(const SlotSettings* slots)
{
    char parameters[kManagerParametersCapacity];
    FormatApplySlotsParameters(slots, parameters);
    return RunToolAndWait(kManagerToolName, parameters);
}

ToolRun UnregisterAllSlots()
{
    char parameters[kManagerParametersCapacity];
    FormatUnregisterAllSlotsParameters(parameters);
    return RunToolAndWait(kManagerToolName, parameters);
}

ToolRun RunSlotTest(int slot, const char* reportPath)
{
    char parameters[kSlotTestParametersCapacity];
    if (!FormatSlotTestParameters(slot, reportPath, parameters))
        return {ToolRunKind::Refused, 0};
    return RunToolAndWait(kSlotTestToolName, parameters);
}

ToolRun RegisterCodec(const char* settingsPath, const char* fccText, const char* dllPath)
{
    char parameters[kInstallerParametersCapacity];
    if (!FormatRegisterCodecParameters(fccText, dllPath, parameters))
        return {ToolRunKind::Refused, 0};
    ToolRun run = RunToolAndWait(kInstallerToolName, parameters);
    if (IsToolTaskDone(ToolTask::RegisterCodec, run))
        WriteCodec32Section(settingsPath, fccText, dllPath);
    return run;
}

ToolRun UnregisterCodec(const char* settingsPath, const char* fccText)
{
    char parameters[kInstallerParametersCapacity];
    ToolRun run = {ToolRunKind::Refused, 0};
    if (FormatUnregisterCodecParameters(fccText, parameters))
        run = RunToolAndWait(kInstallerToolName, parameters);
    if (IsToolTaskDone(ToolTask::UnregisterCodec, run))
        DeleteCodec32Section(settingsPath, fccText);
    return run;
}
