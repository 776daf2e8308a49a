#pragma once

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <functional>
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

// One step of the round trip, as both sides record it.
struct MrleStep {
    std::string what;
    int32_t result = 0;
    std::vector<uint8_t> data;
};

using MrleTranscript = std::vector<MrleStep>;

// What differs between the two sides: how a codec message with its
// parameters in the area is sent, and where the frames lie. The area and
// the frames are the side's own; `frames` makes frame buffers of the given
// sizes.
struct MrleSide {
    uint8_t* area = nullptr;
    std::function<int32_t(UINT message, WPARAM wParam, LPARAM lParam)> send;
    std::function<bool(uint32_t inputSize, uint32_t outputSize)> frames;
    uint8_t* frameIn = nullptr;
    uint8_t* frameOut = nullptr;
};

// Runs the round trip: quality, format, a compression series of
// kMrleFrameCount moving frames (key frames and deltas), a decompression
// series of what came out.
MrleTranscript RunMrleScenario(MrleSide& side);

bool WriteTranscript(const std::string& path, const MrleTranscript& transcript);
bool ReadTranscript(const std::string& path, MrleTranscript* transcript);
