#pragma once

#include <windows.h>

// Where the per-user settings live, and the few file-system questions the
// settings code asks. Every buffer here holds MAX_PATH (260) characters.

// The directory of the running executable, without the trailing backslash.
bool GetModuleDirectory(char* directory);

// "<application data>\Tandrel64". False, with an empty buffer, when the
// application-data folder cannot be found or the path would not fit: the
// caller then runs on defaults and writes nothing.
bool GetSettingsDirectory(char* directory);

// "<settings directory>\Tandrel64.ini", built afresh on every call; false
// (and an empty buffer) under the same conditions as GetSettingsDirectory.
bool GetSettingsFilePath(char* path);

// True when something of that name exists; its attributes go to
// `attributes` when it is given.
bool FileExists(const char* path, DWORD* attributes = nullptr);

// True when `path` names a file, not a folder; no wildcards are matched.
bool IsExistingFile(const char* path);
