#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo/transcript.h"

// What programs find of one codec before they use it: the modes it opens
// in, the decompressor ICLocate finds for a file, a chooser's list of
// compressors and DirectShow's video compressor category. CODEC is the
// FourCC text of the codec (a slot, or the codec directly).

// The ICOpen modes the codec takes, as the configuration tool records them
// (catalogue/open_modes.h).
uint32_t AskOpenModes(const std::string& codec);

//   open-modes CODEC: the record of AskOpenModes, in one step.
//   locate CODEC FILE: ICLocate for decompressing the file's video format,
//     and the 24-bit format the located codec then gives.
//   compressor-lists CODEC: whether the codec is installed, offered by a
//     chooser (ICInfo, then each opened for compression) and listed in the
//     video compressor category.
// False for another session or malformed values.
bool RunCodecListSession(const std::vector<std::string>& arguments, Transcript* transcript);
