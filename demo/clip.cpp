#include "demo/clip.h"

#include <cstdlib>
#include <cstring>

namespace {

const int kPaletteSize = 256;

RGBQUAD PaletteColour(int index)
{
    return RGBQUAD {static_cast<BYTE>(255 - index), static_cast<BYTE>(index * 3), static_cast<BYTE>(index),
                    0};
}

uint8_t PixelIndex(const ClipSpec& clip, int index, int x, int y)
{
    int square = clip.width / 6;
    int squareX = (index * 5) % (clip.width - square);
    int squareY = clip.height / 4 + (index * 2) % (clip.height / 2);
    if (x >= squareX && x < squareX + square && y >= squareY && y < squareY + square)
        return static_cast<uint8_t>(200 + index % 40);
    int dx = x - (clip.width - 1 - (index * 3) % clip.width);
    int dy = y - clip.height / 3;
    if (dx * dx + dy * dy < square * square / 4)
        return 250;
    return static_cast<uint8_t>(16 + (x * 8 / clip.width) * 20 + (y * 4 / clip.height) * 3);
}

}

uint32_t ClipFrameSize(const ClipSpec& clip)
{
    return static_cast<uint32_t>((clip.width * clip.bitCount + 31) / 32 * 4 * clip.height);
}

std::vector<uint8_t> ClipFormat(const ClipSpec& clip)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = clip.width;
    header.biHeight = clip.height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(clip.bitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = ClipFrameSize(clip);
    header.biClrUsed = clip.bitCount == 8 ? kPaletteSize : 0;
    std::vector<uint8_t> format(sizeof header + header.biClrUsed * sizeof(RGBQUAD));
    std::memcpy(format.data(), &header, sizeof header);
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        RGBQUAD colour = PaletteColour(static_cast<int>(i));
        std::memcpy(format.data() + sizeof header + i * sizeof colour, &colour, sizeof colour);
    }
    return format;
}

std::vector<uint8_t> ClipFrame(const ClipSpec& clip, int index)
{
    std::vector<uint8_t> frame(ClipFrameSize(clip));
    uint32_t stride = ClipFrameSize(clip) / clip.height;
    for (int y = 0; y < clip.height; ++y) {
        uint8_t* row = frame.data() + y * stride;
        for (int x = 0; x < clip.width; ++x) {
            uint8_t pixel = PixelIndex(clip, index, x, y);
            if (clip.bitCount == 8) {
                row[x] = pixel;
            } else {
                RGBQUAD colour = PaletteColour(pixel);
                row[3 * x] = colour.rgbBlue;
                row[3 * x + 1] = colour.rgbGreen;
                row[3 * x + 2] = colour.rgbRed;
            }
        }
    }
    return frame;
}

std::string ClipArguments(const ClipSpec& clip)
{
    return std::to_string(clip.width) + " " + std::to_string(clip.height) + " "
        + std::to_string(clip.bitCount) + " " + std::to_string(clip.frames) + " "
        + std::to_string(clip.keyInterval);
}

bool ParseClipArguments(char** arguments, ClipSpec* clip)
{
    int values[5];
    for (int i = 0; i < 5; ++i) {
        char* end = nullptr;
        values[i] = static_cast<int>(std::strtol(arguments[i], &end, 10));
        if (end == arguments[i] || *end != '\0' || values[i] < 1 || values[i] > 8192)
            return false;
    }
    *clip = ClipSpec {values[0], values[1], values[2], values[3], values[4]};
    return (clip->bitCount == 8 || clip->bitCount == 24) && clip->width >= 8 && clip->height >= 8;
}
