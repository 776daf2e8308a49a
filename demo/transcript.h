#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a codec answered in one session, step by step, so that a session
// through the bridge and one with the codec called directly compare byte
// for byte. The reference program hands its transcript over in a file.
struct SessionStep {
    std::string what;
    int32_t result = 0;
    std::vector<uint8_t> data;
};

using Transcript = std::vector<SessionStep>;

void AddStep(Transcript* transcript, const std::string& what, int32_t result, const void* data = nullptr,
             size_t size = 0);

// A step whose data is the size of `data` and a 64-bit hash of it, for the
// frames of large pictures.
void AddDigestStep(Transcript* transcript, const std::string& what, int32_t result, const void* data,
                   size_t size);

bool WriteTranscript(const std::string& path, const Transcript& transcript);
bool ReadTranscript(const std::string& path, Transcript* transcript);

// The index of the first step in which the two differ (also in length);
// -1 when they are equal.
int FirstDifference(const Transcript& a, const Transcript& b);
