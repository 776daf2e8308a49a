#pragma once

#include <string>

#include "qelinstall/installer_request.h"

// The installer's work on the installed-drivers key of HKEY_LOCAL_MACHINE
// in its 32-bit view, where 32-bit programs look for their codecs: the value
// "vidc.<FCC>" names the codec's DLL.

enum InstallerExitCode {
    kInstallerDone = 0,
    kInstallerBadArguments = 1,
    kInstallerNoSuchFile = 2, // the DLL to register is not a file
    kInstallerRegistryFailed = 3, // the key could not be opened or changed
    kInstallerNotRegistered = 4, // nothing to remove
    kInstallerBlankInPath = 5, // the DLL's path holds a blank even in its short form
};

// Writes "vidc.<fcc>" = the DLL's full path (its short form when it holds a
// blank), replacing an earlier value.
int RegisterCodecDriver(const std::wstring& fccText, const std::wstring& dllPath);

// Removes "vidc.<fcc>".
int UnregisterCodecDriver(const std::wstring& fccText);

// The whole run for a command line: parse, then act. Malformed arguments
// change nothing.
int RunInstaller(const wchar_t* commandLine);
