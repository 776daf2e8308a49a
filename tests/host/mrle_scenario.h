#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <string>
#include <vector>

// The real-codec round trip shared by the 64-bit test, which runs it
// through the host, and mrle_reference.exe, which calls the same 32-bit
// codec directly with the same memory layout: the input header at the
// start of a parameter area, the output header right behind the input
// header's biSize bytes (so the codec reads the output header where it
// would look for an input colour table), everything else in the area
// kMrleLeftover before each call, as a real client leaves it. Both sides
// write down what they saw as a transcript.

const uint32_t kMrleFcc = mmioFOURCC('m', 'r', 'l', 'e');
const uint8_t kMrleLeftover = 0xA5;
const int kMrleWidth = 96;
const int kMrleHeight = 64;
const int kMrleFrameCount = 8;
const uint32_t kMrleRowBytes = (kMrleWidth + 3) / 4 * 4;
const uint32_t kMrleFrameSize = kMrleRowBytes * kMrleHeight;

// Frame `index`: index bands with a square that moves right and down.
std::vector<uint8_t> MrleFrame(int index);

// The 8-bit palettized input; mrle needs biClrUsed set.
BITMAPINFOHEADER MrleInputHeader();

// Writes `header` followed by a 256-entry grey ramp, the way a client
// passes an output format with its palette. The ramp also makes the input
// colour table that the codec reads behind the input header meaningful.
void PutFormatWithPalette(uint8_t* at, const BITMAPINFOHEADER& header);
const uint32_t kMrleFormatWithPalette = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);

// Key frames: the first and every third.
DWORD MrleCompressFlags(int index);

// One step of the round trip, as both sides record it.
struct MrleStep {
    std::string what;
    int32_t result = 0;
    std::vector<uint8_t> data;
};

using MrleTranscript = std::vector<MrleStep>;

void AddStep(MrleTranscript* transcript, const std::string& what, int32_t result, const void* data = nullptr,
             size_t size = 0);

bool WriteTranscript(const std::string& path, const MrleTranscript& transcript);
bool ReadTranscript(const std::string& path, MrleTranscript* transcript);
