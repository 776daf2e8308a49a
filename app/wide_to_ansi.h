#pragma once

#include <memory>

// The text in the thread's ANSI code page, or null when it cannot be
// converted or no memory is left.
std::unique_ptr<char[]> WideToAnsi(const wchar_t* text);
