#pragma once

#include <string>

// The command line of TandrelSlotTest.exe: "/test:tdlN" (N one digit) once,
// and "/out:PATH" (the report's file) at most once, in either order.

struct SlotTestArguments {
    int slot = 0;
    std::wstring reportPath; // empty: the report goes to the standard output
};

// The arguments as CommandLineToArgvW splits the command line, the program
// first. False for anything else, with `arguments` untouched.
bool ParseSlotTestArguments(int argc, const wchar_t* const* argv, SlotTestArguments* arguments);
