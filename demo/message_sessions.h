#pragma once

#include <string>
#include <vector>

#include "demo/transcript.h"

// Sessions of what programs send besides the frames themselves, as
// AVIFile, players and the system's decompressors send it, on the codec
// named as in demo/client_sessions.h; a 48×32 clip of BITS bits:
//   codec-info CODEC          ICGetInfo's flags and versions
//   frame-fields CODEC BITS   chunk ids and index flags a program sets before
//                             ICCompress; ICDecompress with a chunk id, no
//                             input, ICDECOMPRESS_NULLFRAME and _HURRYUP,
//                             and the output header the codec leaves
//   both-series CODEC BITS    a compression and a decompression series at
//                             once, as AVIFile runs them for a temporal codec
//   messages CODEC BITS       the decompressed format a program asks for in
//                             the header it fills in, the output header a
//                             decompression query leaves, quality, key-frame
//                             rate, buffers wanted,
//                             frames info, a decompression palette and the
//                             extended decompression calls
// False for another session or malformed values.
bool RunMessageSession(const std::vector<std::string>& arguments, Transcript* transcript);
