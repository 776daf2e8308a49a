#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <string>

#include "demo/clip.h"
#include "demo/codec_session.h"
#include "demo/transcript.h"

// Runs codec_reference.exe, the 32-bit program beside this one, on the
// codec `fccText` and the clip, and reads back its transcript and, when
// `figures` is given, its timing figures. False when it could not run or
// did not finish within `timeoutMs`.
bool RunReference(const char* fccText, const ClipSpec& clip, DWORD timeoutMs, Transcript* transcript,
                  SessionFigures* figures = nullptr);

// The codec's own ICINFO, asked for by codec_reference.exe as the
// configuration tool asks; false when it could not run, the codec did not
// open or gave no information.
bool RunReferenceInfo(const char* fccText, DWORD timeoutMs, ICINFO* info);
