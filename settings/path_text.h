#pragma once

// Path text operations on MAX_PATH (260-character) buffers, free of any
// system call so that they can be tested on their own.

// Copies the part of `path` before its last backslash into `directory`.
// False when the path is empty or holds no backslash.
bool DirectoryOfPath(const char* path, char* directory);

// `directory` + "\" + `name` into `out`; false, with `out` empty, when the
// result would not fit 259 characters.
bool JoinPath(const char* directory, const char* name, char* out);
