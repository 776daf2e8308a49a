#pragma once

#include <windows.h>

#include "maint/tool_run.h"
#include "maint/uninstall.h"

// Keeps the user's input from a dialog while an outside tool runs: the
// dialog window is disabled, and with it its controls and its menu; at the
// end the focus goes back where it was.
class CToolRunScope {
public:
    explicit CToolRunScope(HWND dialog);
    ~CToolRunScope();
    CToolRunScope(const CToolRunScope&) = delete;
    CToolRunScope& operator=(const CToolRunScope&) = delete;

private:
    HWND dialog;
    HWND focus;
};

// Tells the user, in a message box owned by `dialog`, why the run did not do
// `task`. True, with nothing shown, when it did.
bool ReportToolFailure(HWND dialog, ToolTask task, const ToolRun& run, int language);

// Tells the user in a message box without owner what uninstall mode left
// registered (UninstallFailureText).
void ReportUninstallFailure(const UninstallLeft& left, int language);
