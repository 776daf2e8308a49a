#include "host/frame_size.h"

namespace {

uint64_t Magnitude(LONG value)
{
    return value < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(value)) : static_cast<uint64_t>(value);
}

bool IsUncompressed(const BITMAPINFOHEADER& header)
{
    return header.biCompression == BI_RGB || header.biCompression == BI_BITFIELDS;
}

}

uint64_t FrameViewSize(const BITMAPINFOHEADER& header)
{
    if (header.biSizeImage != 0)
        return header.biSizeImage;
    if (header.biWidth < 0)
        return kNoFrameSize;
    return static_cast<uint64_t>(header.biWidth) * Magnitude(header.biHeight) * 4;
}

bool IsMappableViewSize(uint64_t size)
{
    return size <= SIZE_MAX;
}

uint64_t FrameExtent(const BITMAPINFOHEADER& header)
{
    uint64_t extent = header.biSizeImage;
    if (IsUncompressed(header)) {
        if (header.biWidth < 0)
            return kNoFrameSize;
        uint64_t rowBits = static_cast<uint64_t>(header.biWidth) * header.biBitCount;
        uint64_t bitmap = (rowBits + 31) / 32 * 4 * Magnitude(header.biHeight);
        if (bitmap > extent)
            extent = bitmap;
    }
    return extent;
}
