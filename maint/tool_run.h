#pragma once

// How a run of an outside tool went, and whether that did what was asked.
// The tools' exit codes are those of TandrelMng.exe and QelInstall32.exe.

enum class ToolRunKind {
    Ended, // the tool ran to its end; `code` is its exit code
    NotFound, // no program of that name
    Declined, // the user declined the tool's request for administrator rights
    NotStarted, // the shell could not start it otherwise; `code` is the system's error
    Refused, // not run: the request does not fit the tool's command line
};

struct ToolRun {
    ToolRunKind kind = ToolRunKind::NotStarted;
    unsigned long code = 0;
};

enum class ToolTask {
    ApplySlots, // the manager tool over the ten slots
    RegisterCodec, // the installer tool with "/regf:"
    UnregisterCodec, // the installer tool with "/unreg:"
    TestSlot, // the slot test with "/test:"
};

// A failed start as the shell reports it: its hInstApp (32 or less) and the
// thread's last error right after the call.
ToolRun ShellStartFailure(long instApp, unsigned long lastError);

// True when the run did the task: the tool ended with 0, or, for an
// unregistration, with "nothing to remove" or without running because no
// such FourCC can have been registered through the installer; for the slot
// test, with any verdict on the slot.
bool IsToolTaskDone(ToolTask task, const ToolRun& run);
