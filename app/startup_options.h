#pragma once

#include <windows.h>

// What the command line asks for, gathered before a mode is chosen.
struct StartupOptions {
    int language;
    int install;
    int uninstall;
    // With /install or /uninstall: no window and no question.
    int silent;
    char slotName[MAX_PATH];
    char mappingName[MAX_PATH];
};

enum class StartupMode { Host, Uninstall, Configuration };

// True when `text` begins with `option`, byte for byte.
bool HasPrefix(const char* text, const char* option);

// Applies one argument: "/install", "/uninstall", "/silent", "/name:<slot>"
// and "/map:<mapping>" (a later value replaces an earlier one); anything
// else is ignored. A value that does not fit its buffer, or a mapping name
// longer than the shared-memory channel allows, counts as not given:
// cutting it would name a different slot or mapping.
void ApplyStartupArgument(const char* argument, StartupOptions* options);

// Splits the whole wide command line and applies every element, the
// program's own path included, in the ANSI code page: a character that the
// code page lacks becomes '?'.
void ApplyCommandLine(const wchar_t* commandLine, StartupOptions* options);

// Host mode needs both names; /uninstall comes next; configuration otherwise.
StartupMode ChooseStartupMode(const StartupOptions& options);
