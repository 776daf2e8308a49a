#include "demo/transcript.h"

#include <cstdio>

namespace {

// No step of a session is larger than a frame of the largest clip.
const uint32_t kLargestStep = 256u << 20;

}

void AddStep(Transcript* transcript, const std::string& what, int32_t result, const void* data, size_t size)
{
    SessionStep step;
    step.what = what;
    step.result = result;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (size != 0)
        step.data.assign(bytes, bytes + size);
    transcript->push_back(step);
}

void AddDigestStep(Transcript* transcript, const std::string& what, int32_t result, const void* data,
                   size_t size)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint64_t digest[2] = {size, 14695981039346656037ull};
    for (size_t i = 0; i < size; ++i)
        digest[1] = (digest[1] ^ bytes[i]) * 1099511628211ull;
    AddStep(transcript, what, result, digest, sizeof digest);
}

bool WriteTranscript(const std::string& path, const Transcript& transcript)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    for (const SessionStep& step : transcript) {
        uint32_t sizes[2]
            = {static_cast<uint32_t>(step.what.size()), static_cast<uint32_t>(step.data.size())};
        std::fwrite(sizes, sizeof sizes, 1, file);
        std::fwrite(&step.result, sizeof step.result, 1, file);
        std::fwrite(step.what.data(), 1, step.what.size(), file);
        std::fwrite(step.data.data(), 1, step.data.size(), file);
    }
    return std::fclose(file) == 0;
}

bool ReadTranscript(const std::string& path, Transcript* transcript)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    transcript->clear();
    uint32_t sizes[2];
    bool whole = true;
    while (whole && std::fread(sizes, sizeof sizes, 1, file) == 1) {
        whole = sizes[0] <= kLargestStep && sizes[1] <= kLargestStep;
        if (!whole)
            break;
        SessionStep step;
        step.what.resize(sizes[0]);
        step.data.resize(sizes[1]);
        whole = std::fread(&step.result, sizeof step.result, 1, file) == 1
            && std::fread(&step.what[0], 1, sizes[0], file) == sizes[0]
            && std::fread(step.data.data(), 1, sizes[1], file) == sizes[1];
        if (whole)
            transcript->push_back(step);
    }
    std::fclose(file);
    return whole;
}

int FirstDifference(const Transcript& a, const Transcript& b)
{
    size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        if (a[i].what != b[i].what || a[i].result != b[i].result || a[i].data != b[i].data)
            return static_cast<int>(i);
    }
    return a.size() == b.size() ? -1 : static_cast<int>(common);
}
