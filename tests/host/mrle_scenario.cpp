#include "mrle_scenario.h"

#include "bitmap_header.h"

#include <cstdio>
#include <cstring>

namespace {

// Frame `index`: bands with a square that moves right and down.
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

// `header` followed by a 256-entry grey ramp, the way a client passes a
// format with its palette. The ramp also makes the input colour table that
// the codec reads behind the input header meaningful.
void PutWithPalette(uint8_t* at, const BITMAPINFOHEADER& header)
{
    std::memcpy(at, &header, sizeof header);
    for (int i = 0; i < 256; ++i)
        std::memset(at + sizeof header + 4 * i, i, 3), at[sizeof header + 4 * i + 3] = 0;
}

void AddStep(MrleTranscript* transcript, const std::string& what, int32_t result, const void* data = nullptr,
             size_t size = 0)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    transcript->push_back(
        {what, result, size != 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>()});
}

}

MrleTranscript RunMrleScenario(MrleSide& side)
{
    MrleTranscript transcript;
    uint8_t* area = side.area;
    auto clear = [area] { std::memset(area, kMrleLeftover, 0xFFE0); };
    // mrle needs biClrUsed set on 8-bit input.
    BITMAPINFOHEADER input = MakeHeader(kMrleWidth, kMrleHeight, 8, BI_RGB, kMrleFrameSize, 256);

    clear();
    int32_t result = side.send(ICM_GETDEFAULTQUALITY, 1, 0);
    DWORD quality;
    std::memcpy(&quality, area, sizeof quality);
    AddStep(&transcript, "default quality", result, &quality, sizeof quality);

    clear();
    std::memcpy(area, &input, sizeof input);
    uint32_t formatSize = static_cast<uint32_t>(side.send(ICM_COMPRESS_GET_FORMAT, 0, 0));
    AddStep(&transcript, "format size", static_cast<int32_t>(formatSize));
    if (formatSize < sizeof input || formatSize > 2048)
        return transcript;
    AddStep(&transcript, "format", side.send(ICM_COMPRESS_GET_FORMAT, 0, 1), area + 40, formatSize);
    BITMAPINFOHEADER packed;
    std::memcpy(&packed, area + 40, sizeof packed);

    if (!side.frames(kMrleFrameSize, packed.biSizeImage))
        return transcript;
    clear();
    std::memcpy(area, &input, sizeof input);
    PutWithPalette(area + 40, packed);
    AddStep(&transcript, "compress begin", side.send(ICM_COMPRESS_BEGIN, 0, 0));
    std::vector<std::vector<uint8_t>> compressed;
    for (int index = 0; index < kMrleFrameCount; ++index) {
        std::vector<uint8_t> pixels = MrleFrame(index);
        std::memcpy(side.frameIn, pixels.data(), pixels.size());
        clear();
        // ICCOMPRESS as 32-bit code lays it out: the flags (key frames first
        // and every third), the frame number and the quality.
        DWORD flags = index % 3 == 0 ? ICCOMPRESS_KEYFRAME : 0;
        std::memset(area, 0, 48);
        std::memcpy(area, &flags, 4);
        std::memcpy(area + 28, &index, 4);
        std::memcpy(area + 36, &quality, 4);
        std::memcpy(area + 48, &input, sizeof input);
        PutWithPalette(area + 88, packed);
        result = side.send(ICM_COMPRESS, 0, 48);
        uint32_t size;
        std::memcpy(&size, area + 88 + 20, sizeof size);
        if (size > packed.biSizeImage)
            return transcript;
        AddStep(&transcript, "compressed frame", result, side.frameOut, size);
        AddStep(&transcript, "compressed header", 0, area + 88, sizeof(BITMAPINFOHEADER));
        AddStep(&transcript, "chunk id and flags", 0, area + 128, 8);
        compressed.emplace_back(side.frameOut, side.frameOut + size);
    }
    AddStep(&transcript, "compress end", side.send(ICM_COMPRESS_END, 0, 0));

    // The decompression series has frames sized for it; the output keeps
    // the previous picture for the frames that only carry changes.
    if (!side.frames(packed.biSizeImage, kMrleFrameSize))
        return transcript;
    clear();
    std::memcpy(area, &packed, sizeof packed);
    PutWithPalette(area + 40, input);
    AddStep(&transcript, "decompress begin", side.send(ICM_DECOMPRESS_BEGIN, 0, 0));
    for (const std::vector<uint8_t>& frame : compressed) {
        std::memcpy(side.frameIn, frame.data(), frame.size());
        clear();
        std::memset(area, 0, 24);
        BITMAPINFOHEADER frameHeader = packed;
        frameHeader.biSizeImage = static_cast<DWORD>(frame.size());
        std::memcpy(area + 24, &frameHeader, sizeof frameHeader);
        PutWithPalette(area + 64, input);
        result = side.send(ICM_DECOMPRESS, 0, 24);
        AddStep(&transcript, "decompressed frame", result, side.frameOut, kMrleFrameSize);
    }
    AddStep(&transcript, "decompress end", side.send(ICM_DECOMPRESS_END, 0, 0));
    return transcript;
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
    while (whole && std::fread(sizes, sizeof sizes, 1, file) == 1) {
        MrleStep step;
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
