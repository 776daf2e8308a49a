#pragma once

#include <vector>

// What the manager tool is asked to do, read from its arguments: each one is
// "/reg:tdlN" (register the client driver as slot N) or "/unreg:tdlN"
// (remove that registration), N being one digit. The configuration tool
// sends one item for each of the ten slots, each ended by a blank.

const int kManagerSlotCount = 10;

enum class SlotAction {
    Register,
    Unregister,
};

struct SlotRequest {
    int slot = 0;
    SlotAction action = SlotAction::Register;
};

// The arguments as CommandLineToArgvW splits the command line, the program
// first. Accepts one or more items, options in lower case as above, each
// slot named at most once, nothing else; the items go to `requests` in the
// order given. False for anything else, with `requests` untouched.
bool ParseManagerArguments(int argc, const wchar_t* const* argv, std::vector<SlotRequest>* requests);
