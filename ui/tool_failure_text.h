#pragma once

#include <string>

#include "maint/tool_run.h"
#include "maint/uninstall.h"

// What the configuration tool tells the user when an outside tool did not do
// what it was asked: what failed, why (from how the run went, the tool's
// exit code among it), and what to do; in `language` (0 Japanese, anything
// else English). `toolPath` is the tool's full path, named when the tool is
// missing or could not be started. Empty when the run did the task.
std::wstring ToolFailureText(ToolTask task, const ToolRun& run, const char* toolPath, int language);

// What uninstall mode tells the user when something stays registered: for
// the slots and for the codecs that failed, what and why, then that the
// settings file was kept. `managerPath` and `installerPath` are the tools'
// full paths. Empty when everything went.
std::wstring UninstallFailureText(const UninstallLeft& left, const char* managerPath, const char* installerPath,
                                  int language);
