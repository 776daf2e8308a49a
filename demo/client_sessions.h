#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "demo/transcript.h"

// Sessions of real video programs with one codec, each as such a program
// makes its calls: Wine's AVIFile writer and frame reader, the sequence
// compression calls, a player decoding a file. The same code runs in a
// 64-bit program, where the codec is a slot of the bridge, and in a 32-bit
// one, where it is the codec itself; every answer goes into the transcript,
// so that the two compare byte for byte.
//
// `arguments`: the session's name, the FourCC text of the codec to open
// ("tdl0", or "mrle" directly), then the session's own values:
//   codec-session CODEC WIDTH HEIGHT BITS FRAMES KEYINTERVAL (its timing
//     figures follow as the last step: see AddFiguresStep)
//   info CODEC (the codec's own ICINFO, then the modes it opens in)
//   avi-write CODEC FILE BITS KEYEVERY BYTESPERSECOND (0: not asked for)
//   seq-compress CODEC FILE BITS KEYEVERY (the frames are also written to FILE)
//   delta-back CODEC BITS
//   avi-read CODEC FILE (the frame reader finds the codec itself)
//   decode-file CODEC FILE
//   graph-play CODEC FILE (a DirectShow graph finds the codec itself)
//   graph-encode CODEC BITS KEYEVERY (a DirectShow graph with the video
//     compressor category's filter for CODEC)
//   player CODEC WIDTH HEIGHT
// and the sessions of demo/message_sessions.h and demo/codec_lists.h. False for an unknown session
// or malformed values.
bool RunClientSession(const std::vector<std::string>& arguments, Transcript* transcript);
