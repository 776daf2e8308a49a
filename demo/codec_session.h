#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>

#include "demo/clip.h"
#include "demo/transcript.h"

// One session with an open codec through the ordinary VfW calls, as any
// program makes them: its flags and versions, its default quality and state, whether it has
// configuration and About dialogs, the format and size queries, the clip
// compressed (key frames where the clip asks for them, changes only
// otherwise) and decompressed again. The same code runs in the 64-bit
// demo, through the bridge, and in the 32-bit reference program, on the
// codec itself; every answer goes into the transcript.

struct SessionFigures {
    int frames = 0;
    int keyFrames = 0;
    uint64_t rawBytes = 0;
    uint64_t compressedBytes = 0;
    double compressSeconds = 0;
    double decompressSeconds = 0;
};

// The one step of codec_reference.exe /info: ICGetInfo's result and the
// whole ICINFO.
const char kCodecInformationStep[] = "codec information";

void RunCodecSession(HIC codec, const ClipSpec& clip, Transcript* transcript, SessionFigures* figures);

// The figures travel as the transcript's last step, written by the
// reference program and taken off again before the transcripts are
// compared: TakeFiguresStep removes that step when it is there.
void AddFiguresStep(Transcript* transcript, const SessionFigures& figures);
bool TakeFiguresStep(Transcript* transcript, SessionFigures* figures);
