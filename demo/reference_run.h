#pragma once

#include <windows.h>
#include <vfw.h>

#include <string>
#include <vector>

#include "demo/codec_session.h"
#include "demo/transcript.h"

// Runs `exeName`, a program beside this one, with `arguments` and the path
// of a transcript file behind them, and reads back the transcript it
// wrote, without the timing figures of a codec session, which go to
// `figures` when it is given. False when it could not run, did not finish
// within `timeoutMs` or ended with an exit code other than 0.
bool RunTranscriptProgram(const char* exeName, const std::vector<std::string>& arguments, DWORD timeoutMs,
                          Transcript* transcript, SessionFigures* figures = nullptr);

// The same with codec_reference.exe, the 32-bit program that runs a
// client session (demo/client_sessions.h) on a codec called directly.
bool RunReference(const std::vector<std::string>& arguments, DWORD timeoutMs, Transcript* transcript,
                  SessionFigures* figures = nullptr);

// The codec's own ICINFO and the modes it opens in, asked for by
// codec_reference.exe as the configuration tool asks; false when it could
// not run, the codec did not open or gave no information.
bool RunReferenceInfo(const char* fccText, DWORD timeoutMs, ICINFO* info, uint32_t* openModes);
