#pragma once

#include <windows.h>

// Reads the command line, settles the UI language, runs exactly one mode to
// its end. Returns the process exit code, 0 in every case.
int RunStartup(HINSTANCE instance, const char* commandTail);
