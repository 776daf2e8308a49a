#pragma once

#include <string>

// The manager tool's work on the installed-drivers key of HKEY_LOCAL_MACHINE
// in its 64-bit view, where 64-bit programs look for their codecs: the value
// "vidc.tdlN" names the client driver "TandrelDrv64.dll" that lies beside
// the tool, by its full path, in its short form when it holds a blank.

enum ManagerExitCode {
    kManagerDone = 0,
    kManagerBadArguments = 1, // nothing changed
    kManagerNoDriver = 2, // the driver is not beside the tool: register items refused, the others done
    kManagerRegistryFailed = 3, // the key or a value could not be changed; the other items done
    kManagerBlankInDriverPath = 4, // the driver's path has a blank even in short form: as kManagerNoDriver
};

// The client driver that slot N's value names in the 64-bit view, as the
// system loads it: the data up to its first blank (the rest would be the
// driver's arguments). Empty when the slot is not registered.
std::wstring RegisteredSlotDriver(int slot);

// The whole run for a command line: parse, then carry out every item in
// order. Malformed arguments change nothing; removing a registration that
// does not exist counts as done.
int RunManager(const wchar_t* commandLine);
