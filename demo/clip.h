#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The clip the demo compresses: bands of colour with two shapes moving
// across them, so that most of a frame repeats the one before. Frames are
// 8-bit palettized (a 256-colour palette) or 24-bit RGB showing the same
// picture.
struct ClipSpec {
    int width;
    int height;
    int bitCount; // 8 or 24
    int frames;
    int keyInterval; // every keyInterval-th frame is asked to be a key frame
};

// The input format: a BITMAPINFOHEADER, and for 8 bits the palette behind it.
std::vector<uint8_t> ClipFormat(const ClipSpec& clip);
std::vector<uint8_t> ClipFrame(const ClipSpec& clip, int index);
uint32_t ClipFrameSize(const ClipSpec& clip);

// The clip as command-line arguments ("WIDTH HEIGHT BITS FRAMES KEYINTERVAL")
// and back; false for anything else.
std::string ClipArguments(const ClipSpec& clip);
bool ParseClipArguments(char** arguments, ClipSpec* clip);
