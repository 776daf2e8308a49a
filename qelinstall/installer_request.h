#pragma once

#include <string>

// What the codec installer is asked to do, read from its one argument:
// "/regf:FCC:PATH" registers the codec DLL at PATH under FCC,
// "/unreg:FCC" removes the registration. FCC is the text between the
// option and the next colon; PATH is everything after that colon (it holds
// the drive's colon).

enum class InstallerAction {
    Register,
    Unregister,
};

struct InstallerRequest {
    InstallerAction action = InstallerAction::Register;
    std::wstring fccText;
    std::wstring dllPath; // Register only
};

// The arguments as CommandLineToArgvW splits the command line, the program
// first. Exactly one argument after the program is accepted, with the
// option in lower case as above, an installable FourCC text
// (IsInstallableFourCCText) and a non-empty path. False for anything else.
bool ParseInstallerArguments(int argc, const wchar_t* const* argv, InstallerRequest* request);
