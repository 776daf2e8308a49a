// Runs the mrle round trip of mrle_scenario.h with the codec called
// directly in this 32-bit process and writes the transcript to the file
// named by the first argument. Exit code 0 when the codec opened.

#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <cstring>

#include "host/host_protocol.h"
#include "mrle_scenario.h"

namespace {

// A parameter area laid out like the host's: 64 KB, the area 32 bytes in.
class Area {
public:
    Area()
        : base_(static_cast<uint8_t*>(
            VirtualAlloc(nullptr, kControlMappingSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~Area() { VirtualFree(base_, 0, MEM_RELEASE); }
    uint8_t* At(uint32_t offset) { return base_ + sizeof(HostControlBlock) + offset; }
    BITMAPINFOHEADER* Header(uint32_t offset) { return reinterpret_cast<BITMAPINFOHEADER*>(At(offset)); }
    void Clear() { std::memset(At(0), kMrleLeftover, kParamAreaSize); }

private:
    uint8_t* base_;
};

void Run(HIC codec, MrleTranscript* transcript)
{
    Area area;
    BITMAPINFOHEADER input = MrleInputHeader();
    std::vector<uint8_t> frameOut(kMrleFrameSize * 2 + 4096);

    area.Clear();
    DWORD quality = 0;
    int32_t result
        = static_cast<int32_t>(ICSendMessage(codec, ICM_GETDEFAULTQUALITY, (DWORD_PTR)area.At(0), 0));
    std::memcpy(&quality, area.At(0), sizeof quality);
    AddStep(transcript, "default quality", result, &quality, sizeof quality);

    area.Clear();
    *area.Header(0) = input;
    result = static_cast<int32_t>(ICSendMessage(codec, ICM_COMPRESS_GET_FORMAT, (DWORD_PTR)area.At(0), 0));
    AddStep(transcript, "format size", result);
    uint32_t formatSize = static_cast<uint32_t>(result);
    result = static_cast<int32_t>(
        ICSendMessage(codec, ICM_COMPRESS_GET_FORMAT, (DWORD_PTR)area.At(0), (DWORD_PTR)area.At(40)));
    std::vector<uint8_t> format(area.At(40), area.At(40) + formatSize);
    AddStep(transcript, "format", result, format.data(), format.size());
    BITMAPINFOHEADER packed;
    std::memcpy(&packed, format.data(), sizeof packed);

    area.Clear();
    *area.Header(0) = input;
    PutFormatWithPalette(area.At(40), packed);
    AddStep(transcript, "compress begin",
            static_cast<int32_t>(ICCompressBegin(codec, area.At(0), area.At(40))));
    std::vector<std::vector<uint8_t>> compressed;
    for (int index = 0; index < kMrleFrameCount; ++index) {
        std::vector<uint8_t> pixels = MrleFrame(index);
        area.Clear();
        *area.Header(48) = input;
        PutFormatWithPalette(area.At(88), packed);
        DWORD* ckid = reinterpret_cast<DWORD*>(area.At(128));
        DWORD* flags = reinterpret_cast<DWORD*>(area.At(132));
        result = static_cast<int32_t>(ICCompress(codec, MrleCompressFlags(index), area.Header(88),
                                                 frameOut.data(), area.Header(48), pixels.data(), ckid, flags,
                                                 index, 0, quality, nullptr, nullptr));
        uint32_t size = area.Header(88)->biSizeImage;
        AddStep(transcript, "compressed frame", result, frameOut.data(), size);
        AddStep(transcript, "compressed header", 0, area.At(88), sizeof(BITMAPINFOHEADER));
        AddStep(transcript, "chunk id and flags", 0, area.At(128), 8);
        compressed.emplace_back(frameOut.begin(), frameOut.begin() + size);
    }
    AddStep(transcript, "compress end", static_cast<int32_t>(ICCompressEnd(codec)));

    std::fill(frameOut.begin(), frameOut.end(), 0);
    area.Clear();
    *area.Header(0) = packed;
    PutFormatWithPalette(area.At(40), input);
    AddStep(transcript, "decompress begin",
            static_cast<int32_t>(ICDecompressBegin(codec, area.At(0), area.At(40))));
    for (int index = 0; index < kMrleFrameCount; ++index) {
        area.Clear();
        BITMAPINFOHEADER frameHeader = packed;
        frameHeader.biSizeImage = static_cast<DWORD>(compressed[index].size());
        *area.Header(24) = frameHeader;
        PutFormatWithPalette(area.At(64), input);
        result = static_cast<int32_t>(ICDecompress(codec, 0, area.Header(24), compressed[index].data(),
                                                   area.Header(64), frameOut.data()));
        AddStep(transcript, "decompressed frame", result, frameOut.data(), kMrleFrameSize);
    }
    AddStep(transcript, "decompress end", static_cast<int32_t>(ICDecompressEnd(codec)));
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HIC codec = ICOpen(ICTYPE_VIDEO, kMrleFcc, ICMODE_COMPRESS);
    if (codec == nullptr)
        return 1;
    MrleTranscript transcript;
    Run(codec, &transcript);
    ICClose(codec);
    return WriteTranscript(argv[1], transcript) ? 0 : 3;
}
