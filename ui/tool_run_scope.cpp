#include "ui/tool_run_scope.h"

#include "maint/outside_tools.h"
#include "maint/tool_parameters.h"
#include "ui/tool_failure_text.h"
#include "ui/ui_messages.h"

CToolRunScope::CToolRunScope(HWND window) : dialog(window), focus(GetFocus())
{
    EnableWindow(dialog, FALSE);
}

CToolRunScope::~CToolRunScope()
{
    EnableWindow(dialog, TRUE);
    if (focus != nullptr && IsWindow(focus))
        SetFocus(focus);
}

bool ReportToolFailure(HWND dialog, ToolTask task, const ToolRun& run, int language)
{
    char tool[MAX_PATH] = "";
    GetToolPath(task == ToolTask::ApplySlots ? kManagerToolName : kInstallerToolName, tool);
    std::wstring failure = ToolFailureText(task, run, tool, language);
    if (failure.empty())
        return true;
    ShowUiMessage(dialog, failure.c_str(), MB_OK | MB_ICONERROR);
    return false;
}

void ReportUninstallFailure(const UninstallLeft& left, int language)
{
    char manager[MAX_PATH] = "";
    char installer[MAX_PATH] = "";
    GetToolPath(kManagerToolName, manager);
    GetToolPath(kInstallerToolName, installer);
    std::wstring failure = UninstallFailureText(left, manager, installer, language);
    if (!failure.empty())
        ShowUiMessage(nullptr, failure.c_str(), MB_OK | MB_ICONERROR);
}
