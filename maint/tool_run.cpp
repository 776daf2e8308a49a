#include "maint/tool_run.h"

#include <windows.h>
#include <shellapi.h>

#include "maint/slot_test_report.h"
#include "qelinstall/drivers32_registration.h"

ToolRun ShellStartFailure(long instApp, unsigned long lastError)
{
    if (lastError == ERROR_CANCELLED)
        return {ToolRunKind::Declined, lastError};
    if (instApp == SE_ERR_FNF || instApp == SE_ERR_PNF || lastError == ERROR_FILE_NOT_FOUND
        || lastError == ERROR_PATH_NOT_FOUND)
        return {ToolRunKind::NotFound, lastError};
    return {ToolRunKind::NotStarted, lastError != 0 ? lastError : static_cast<unsigned long>(instApp)};
}

bool IsToolTaskDone(ToolTask task, const ToolRun& run)
{
    if (task == ToolTask::UnregisterCodec && run.kind == ToolRunKind::Refused)
        return true;
    if (run.kind != ToolRunKind::Ended)
        return false;
    if (task == ToolTask::TestSlot)
        return IsSlotTestVerdict(run.code);
    // Both tools end with 0 when done.
    return run.code == 0
        || (task == ToolTask::UnregisterCodec && run.code == kInstallerNotRegistered);
}
