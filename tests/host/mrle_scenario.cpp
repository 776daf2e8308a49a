#include "mrle_scenario.h"

#include "bitmap_header.h"

#include <cstdio>
#include <cstring>

std::vector<uint8_t> MrleFrame(int index)
{
    std::vector<uint8_t> frame(kMrleFrameSize);
    for (int y = 0; y < kMrleHeight; ++y) {
        for (int x = 0; x < kMrleWidth; ++x) {
            bool square
                = x >= 6 + index * 7 && x < 26 + index * 7 && y >= 4 + index * 5 && y < 20 + index * 5;
            uint8_t band = static_cast<uint8_t>(16 + (x / 12) * 20 + (y / 16) * 3);
            frame[y * kMrleRowBytes + x] = square ? static_cast<uint8_t>(200 + index) : band;
        }
    }
    return frame;
}

BITMAPINFOHEADER MrleInputHeader()
{
    return MakeHeader(kMrleWidth, kMrleHeight, 8, BI_RGB, kMrleFrameSize, 256);
}

void PutFormatWithPalette(uint8_t* at, const BITMAPINFOHEADER& header)
{
    std::memcpy(at, &header, sizeof header);
    RGBQUAD* palette = reinterpret_cast<RGBQUAD*>(at + sizeof header);
    for (int i = 0; i < 256; ++i) {
        BYTE grey = static_cast<BYTE>(i);
        palette[i] = RGBQUAD {grey, grey, grey, 0};
    }
}

DWORD MrleCompressFlags(int index)
{
    return index % 3 == 0 ? ICCOMPRESS_KEYFRAME : 0;
}

void AddStep(MrleTranscript* transcript, const std::string& what, int32_t result, const void* data,
             size_t size)
{
    MrleStep step;
    step.what = what;
    step.result = result;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (size != 0)
        step.data.assign(bytes, bytes + size);
    transcript->push_back(step);
}

bool WriteTranscript(const std::string& path, const MrleTranscript& transcript)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    for (const MrleStep& step : transcript) {
        uint32_t sizes[2]
            = {static_cast<uint32_t>(step.what.size()), static_cast<uint32_t>(step.data.size())};
        std::fwrite(sizes, sizeof sizes, 1, file);
        std::fwrite(&step.result, sizeof step.result, 1, file);
        std::fwrite(step.what.data(), 1, step.what.size(), file);
        std::fwrite(step.data.data(), 1, step.data.size(), file);
    }
    return std::fclose(file) == 0;
}

bool ReadTranscript(const std::string& path, MrleTranscript* transcript)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    transcript->clear();
    uint32_t sizes[2];
    bool whole = true;
    while (std::fread(sizes, sizeof sizes, 1, file) == 1) {
        MrleStep step;
        step.what.resize(sizes[0]);
        step.data.resize(sizes[1]);
        whole = std::fread(&step.result, sizeof step.result, 1, file) == 1
            && std::fread(&step.what[0], 1, sizes[0], file) == sizes[0]
            && std::fread(step.data.data(), 1, sizes[1], file) == sizes[1];
        if (!whole)
            break;
        transcript->push_back(step);
    }
    std::fclose(file);
    return whole;
}
