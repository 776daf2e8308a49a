#pragma once

#include "maint/tool_run.h"

// Starting outside programs through the shell. `program` is a full path or a
// name the shell can find; `parameters` is passed on as it is (the shell
// keeps a trailing blank).

// Starts the program and waits for its end without time limit. Meanwhile
// the thread's messages are handled, so that its windows keep painting;
// keeping the user's input from them is the caller's part. The shell shows
// no error of its own: the result says how the run went.
ToolRun RunAndWait(const char* program, const char* parameters);

// Starts the program and returns at once: 1 when it started, else 0. A
// failure is shown by the shell.
int RunNoWait(const char* program, const char* parameters);
