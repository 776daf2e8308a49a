#include "host/frame_size.h"

#include <algorithm>

namespace {

// Raw formats whose bitmaps are sized by their dimensions; planar ones carry
// two quarter-size chroma planes behind the luma plane.
struct RawFormat {
    DWORD fourcc;
    WORD bitsPerPixel;
    bool planar420;
};

const RawFormat kRawFormats[] = {
    {MAKEFOURCC('Y', 'U', 'Y', '2'), 16, false}, {MAKEFOURCC('Y', 'U', 'Y', 'V'), 16, false},
    {MAKEFOURCC('Y', 'U', 'N', 'V'), 16, false}, {MAKEFOURCC('U', 'Y', 'V', 'Y'), 16, false},
    {MAKEFOURCC('U', 'Y', 'N', 'V'), 16, false}, {MAKEFOURCC('Y', '4', '2', '2'), 16, false},
    {MAKEFOURCC('Y', 'V', 'Y', 'U'), 16, false}, {MAKEFOURCC('H', 'D', 'Y', 'C'), 16, false},
    {MAKEFOURCC('Y', '8', '0', '0'), 8, false},  {MAKEFOURCC('Y', '8', ' ', ' '), 8, false},
    {MAKEFOURCC('G', 'R', 'E', 'Y'), 8, false},  {MAKEFOURCC('Y', 'V', '1', '2'), 12, true},
    {MAKEFOURCC('I', '4', '2', '0'), 12, true},  {MAKEFOURCC('I', 'Y', 'U', 'V'), 12, true},
    {MAKEFOURCC('N', 'V', '1', '2'), 12, true},  {MAKEFOURCC('N', 'V', '2', '1'), 12, true},
};

const RawFormat* FindRawFormat(DWORD compression)
{
    for (const RawFormat& format : kRawFormats) {
        if (format.fourcc == compression)
            return &format;
    }
    return nullptr;
}

uint64_t Multiply(uint64_t a, uint64_t b)
{
    return b != 0 && a > kNoFrameSize / b ? kNoFrameSize : a * b;
}

uint64_t Add(uint64_t a, uint64_t b)
{
    return a > kNoFrameSize - b ? kNoFrameSize : a + b;
}

uint64_t Magnitude(LONG value)
{
    return value < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(value)) : static_cast<uint64_t>(value);
}

// Bytes of `rows` rows of `width` pixels at `bits` each, padded to 4 bytes.
uint64_t PaddedRows(uint64_t width, uint64_t bits, uint64_t rows)
{
    uint64_t rowBytes = Add(Multiply(width, bits), 31) / 32 * 4;
    return Multiply(rowBytes, rows);
}

}

uint64_t FrameViewSize(const BITMAPINFOHEADER& header)
{
    if (header.biSizeImage != 0)
        return header.biSizeImage;
    if (header.biWidth < 0)
        return kNoFrameSize;
    return Multiply(Multiply(static_cast<uint64_t>(header.biWidth), Magnitude(header.biHeight)), 4);
}

bool IsSizedByDimensions(const BITMAPINFOHEADER& header)
{
    return header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS
        || FindRawFormat(header.biCompression) != nullptr;
}

uint64_t FrameBitmapSize(const BITMAPINFOHEADER& header)
{
    if (header.biWidth < 0)
        return kNoFrameSize;
    uint64_t width = static_cast<uint64_t>(header.biWidth);
    uint64_t height = Magnitude(header.biHeight);
    const RawFormat* raw = FindRawFormat(header.biCompression);
    if (raw == nullptr)
        return PaddedRows(width, header.biBitCount, height);
    if (!raw->planar420)
        return PaddedRows(width, raw->bitsPerPixel, height);
    uint64_t chromaRows = PaddedRows((width + 1) / 2, 8, (height + 1) / 2);
    return Add(PaddedRows(width, 8, height), Multiply(chromaRows, 2));
}

uint64_t FrameExtent(const BITMAPINFOHEADER& header)
{
    if (!IsSizedByDimensions(header))
        return header.biSizeImage;
    return std::max<uint64_t>(FrameBitmapSize(header), header.biSizeImage);
}

uint64_t FrameMappingSize(const BITMAPINFOHEADER& header, uint64_t codecMaximum)
{
    return std::max({FrameViewSize(header), FrameExtent(header), codecMaximum});
}

bool IsMappableViewSize(uint64_t size)
{
    return size <= SIZE_MAX;
}
