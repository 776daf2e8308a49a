#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo/clip.h"
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

// A DirectShow encoder, as capture and encoding programs are built: the
// clip's frames (every keyInterval-th a sync point), `rate` a second,
// pushed by a source of their own through the AVI Compressor that the
// system device enumerator's video compressor category gives for `codec`
// (which compresses every frame without a BEGIN), into a Sample Grabber
// that takes any video and a Null Renderer. Records whether the category
// gave the compressor, the compressor's output media type, every sample
// it gave (bytes, length and sync point) and how the graph ended.
void EncodeThroughGraph(const std::string& codec, const ClipSpec& clip, DWORD rate, Transcript* transcript);
