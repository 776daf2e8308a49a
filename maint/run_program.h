#pragma once

// Starting outside programs through the shell. `program` is a full path or a
// name the shell can find; `parameters` is passed on as it is (the shell
// keeps a trailing blank). A program's exit code is never read.

// Starts the program and waits for its end without time limit. 1 when it
// started, 0 when the shell could not start it.
int RunAndWait(const char* program, const char* parameters);

// Starts the program and returns at once: 1 when it started, else 0.
int RunNoWait(const char* program, const char* parameters);
