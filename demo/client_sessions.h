#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
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
//   codec-session CODEC WIDTH HEIGHT BITS FRAMES KEYINTERVAL
//   avi-write CODEC FILE BITS KEYEVERY BYTESPERSECOND (0: not asked for)
//   seq-compress CODEC FILE BITS KEYEVERY (the frames are also written to FILE)
//   delta-back CODEC BITS
//   avi-read CODEC FILE (the frame reader finds the codec itself)
//   decode-file CODEC FILE
//   player CODEC WIDTH HEIGHT
// False for an unknown session or malformed values.
bool RunClientSession(const std::vector<std::string>& arguments, Transcript* transcript);

// Steps that sessions share: ICOpen of the codec (recorded); the compressed
// format the codec chooses for an input format (recorded); the room a
// compressed frame of the two formats needs.
HIC OpenClientCodec(const std::string& codec, UINT mode, Transcript* transcript);
std::vector<uint8_t> CompressedFormat(HIC hic, std::vector<uint8_t>& input, Transcript* transcript);
size_t LargestCompressedFrame(HIC hic, std::vector<uint8_t>& input, std::vector<uint8_t>& format);

// The FourCC of a text of up to four characters.
DWORD CodecFourCC(const std::string& text);
