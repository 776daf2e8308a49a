#pragma once

#include <cstdint>

// Questions put to one installed codec through the installable-compressor
// interface. Each opens the codec, asks, and closes it again.

// The codec's short name, version (decimal), description and driver name;
// each output is a 260-character buffer, or null when not wanted. The texts
// hold at most 128 bytes. `flags` and `versionICM` get the codec's own ICINFO
// dwFlags and dwVersionICM when given. False, with every requested output
// empty or 0, when the codec cannot be opened for decompression; a codec that
// opens but gives no information yields empty texts, the version "0" and 0.
bool GetCodecInfo(uint32_t fcc, char* name, char* version, char* description, char* driver,
                  uint32_t* flags = nullptr, uint32_t* versionICM = nullptr);

// The biCompression of the format the codec produces, found by offering 32-
// and 24-bit RGB and YUY2 input of 320 by 240 in that order; the codec's own
// FourCC when it refuses all three. False, with 0, when it cannot be opened
// for compression.
bool ProbeOutputFourCC(uint32_t fcc, uint32_t* outputFcc);

// True when the codec opens for compression; one that only decompresses
// does not count.
bool IsCodecInstalled(uint32_t fcc);
