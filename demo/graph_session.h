#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "demo/transcript.h"

// A video stream's compressed frames as a file holds them.
struct CompressedStream {
    // The stream's format: a BITMAPINFOHEADER with what it carries.
    std::vector<uint8_t> format;
    std::vector<std::vector<uint8_t>> frames;
    std::vector<bool> keys;
    DWORD rate = 0;
    DWORD scale = 0;
};

// A DirectShow player: the frames, pushed by a source of their own, through
// the system's AVI Decompressor (which finds a decompressor with ICLocate)
// into a Sample Grabber that takes 24-bit RGB, and a Null Renderer, with no
// clock. Records how the graph was built, the grabber's format, every
// picture the grabber got and how the graph ended.
void PlayThroughGraph(const CompressedStream& stream, Transcript* transcript);
