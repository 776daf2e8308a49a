#pragma once

#include <string>
#include <vector>

#include "maint/tool_run.h"

// The codecs an uninstall of all could not remove: their FourCC texts (their
// sections stay) and how the first of their runs went.
struct CodecsLeft {
    std::vector<std::string> fccTexts;
    ToolRun firstFailure;
};

// What uninstall mode could not undo: the manager tool's run over the ten
// slots and the codecs that stay registered.
struct UninstallLeft {
    ToolRun slots;
    CodecsLeft codecs;
};

// Tells the user in `language` what stays registered and why.
using UninstallFailureReport = void (*)(const UninstallLeft& left, int language);

// Uninstall mode: unregisters the ten slots and every codec installed
// through this program. When all of it went, asks whether to delete the
// settings file; else `report` tells the user, and the file stays, since it
// records what is still registered. With `silent` non-zero nothing is shown
// and the file stays. Each step runs whatever the one before did. Returns 1.
int RunUninstall(int language, int silent, UninstallFailureReport report);

// Runs the installer tool to unregister each codec listed by a "CODEC32."
// section of the settings file; each section goes when its codec is
// unregistered. 0 when the section list did not fit (a message in
// `language` said so and nothing was unregistered), else 1. What stays goes
// to `left` when given.
int UnregisterAllCodecs(int language, CodecsLeft* left = nullptr);
