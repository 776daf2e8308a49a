#pragma once

#include <string>

// The system reads a driver's value in the installed-drivers key up to its
// first blank and passes the rest to the driver as arguments. A DLL path
// with a blank is therefore written in its short form.

// `path` when it holds no blank, else its short form; empty when that still
// holds a blank (short names switched off) or the path does not exist.
std::wstring LoadableDriverPath(const std::wstring& path);

// True when `path` names a file, not a folder.
bool IsExistingFile(const std::wstring& path);
