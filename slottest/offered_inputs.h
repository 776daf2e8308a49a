#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The inputs programs commonly offer a compressor, in the order a slot is
// tried with them, at 320x240, each with one generated frame: 24-bit RGB,
// 32-bit RGB, YUY2, and 8 bits with a grey palette (whose 256 entries the
// header counts, as palettized codecs need).

const int kTestFrameWidth = 320;
const int kTestFrameHeight = 240;

struct OfferedInput {
    const char* name; // "rgb24", "rgb32", "yuy2", "grey8"
    std::vector<uint8_t> format; // the header, then the colour table for grey8
    std::vector<uint8_t> frame;

    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(format.data()); }
};

std::vector<OfferedInput> MakeOfferedInputs();

// A frame of `fcc` at the test size, 24 bits, as a file of that format
// would describe its stream: what a codec that only decompresses is asked
// about.
BITMAPINFOHEADER CompressedHeader(uint32_t fcc);

// The output headers a decompressor's format is asked with, in the order
// players ask: pre-filled as 24-bit and as 32-bit RGB at the test size (a
// codec may check the header it is given first), then zeroed for the
// codec's own suggestion.
struct OfferedOutput {
    const char* name; // "rgb24", "rgb32", "suggested"
    BITMAPINFOHEADER header;
};

std::vector<OfferedOutput> MakeOfferedOutputs();
