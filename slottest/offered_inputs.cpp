#include "slottest/offered_inputs.h"

#include <cstring>

namespace {

const uint32_t kYuy2 = MAKEFOURCC('Y', 'U', 'Y', '2');

BITMAPINFOHEADER Header(int bitCount, uint32_t compression)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = kTestFrameWidth;
    header.biHeight = kTestFrameHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = compression;
    header.biSizeImage = static_cast<DWORD>((kTestFrameWidth * bitCount + 31) / 32 * 4 * kTestFrameHeight);
    return header;
}

// Tiles of 16 by 16 pixels in steps of brightness: something to compress
// that is neither flat nor noise, with runs a run-length codec can use.
uint8_t Tile(int x, int y, int channel)
{
    return static_cast<uint8_t>((x / 16) * 7 + (y / 16) * 13 + channel * 50);
}

OfferedInput MakeInput(const char* name, int bitCount, uint32_t compression)
{
    OfferedInput input;
    input.name = name;
    BITMAPINFOHEADER header = Header(bitCount, compression);
    size_t colours = bitCount == 8 ? 256 : 0;
    header.biClrUsed = static_cast<DWORD>(colours);
    input.format.resize(sizeof header + colours * sizeof(RGBQUAD));
    std::memcpy(input.format.data(), &header, sizeof header);
    RGBQUAD* palette = reinterpret_cast<RGBQUAD*>(input.format.data() + sizeof header);
    for (size_t i = 0; i < colours; ++i)
        palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    input.frame.resize(header.biSizeImage);
    size_t stride = header.biSizeImage / kTestFrameHeight;
    int bytesPerPixel = bitCount / 8;
    for (int y = 0; y < kTestFrameHeight; ++y) {
        uint8_t* row = input.frame.data() + stride * y;
        for (int x = 0; x < kTestFrameWidth; ++x) {
            for (int byte = 0; byte < bytesPerPixel; ++byte)
                row[x * bytesPerPixel + byte] = Tile(x, y, byte);
        }
    }
    return input;
}

}

std::vector<OfferedInput> MakeOfferedInputs()
{
    std::vector<OfferedInput> inputs;
    inputs.push_back(MakeInput("rgb24", 24, BI_RGB));
    inputs.push_back(MakeInput("rgb32", 32, BI_RGB));
    inputs.push_back(MakeInput("yuy2", 16, kYuy2));
    inputs.push_back(MakeInput("grey8", 8, BI_RGB));
    return inputs;
}

BITMAPINFOHEADER CompressedHeader(uint32_t fcc)
{
    BITMAPINFOHEADER header = Header(24, fcc);
    header.biSizeImage = 0;
    return header;
}

std::vector<OfferedOutput> MakeOfferedOutputs()
{
    return {{"rgb24", Header(24, BI_RGB)}, {"rgb32", Header(32, BI_RGB)}, {"suggested", BITMAPINFOHEADER {}}};
}
