#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "demo/transcript.h"

// Runs `exeName`, a program beside this one, with `arguments` and the path
// of a transcript file behind them, and reads back the transcript it
// wrote. False when it could not run, did not finish within `timeoutMs` or
// ended with an exit code other than 0.
bool RunTranscriptProgram(const char* exeName, const std::vector<std::string>& arguments, DWORD timeoutMs,
                          Transcript* transcript);

// The same with codec_reference.exe, the 32-bit program that runs a
// client session (demo/client_sessions.h) on a codec called directly.
bool RunReference(const std::vector<std::string>& arguments, DWORD timeoutMs, Transcript* transcript);
