#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The CPU use of idle processes, read from Linux's /proc (Wine's own
// process times do not report it): in percent of a core over `milliseconds`,
// for the processes whose command lines hold the tokens; -1 for one that is
// not found.
std::vector<double> IdlePercents(const std::vector<std::string>& tokens, DWORD milliseconds);
