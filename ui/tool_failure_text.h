#pragma once

#include <string>

#include "maint/tool_run.h"

// What the configuration tool tells the user when an outside tool did not do
// what it was asked: what failed, why (from how the run went, the tool's
// exit code among it), and what to do; in `language` (0 Japanese, anything
// else English). `toolPath` is the tool's full path, named when the tool is
// missing or could not be started. Empty when the run did the task.
std::wstring ToolFailureText(ToolTask task, const ToolRun& run, const char* toolPath, int language);
