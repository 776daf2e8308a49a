#include "host/header_check.h"

#include <cstdint>
#include <initializer_list>

namespace {

// The colour-table entries a header declares; 0 when it has none.
uint64_t Colours(const BITMAPINFOHEADER& header)
{
    if (header.biClrUsed == 0 && header.biBitCount >= 1 && header.biBitCount <= 8)
        return uint64_t(1) << header.biBitCount;
    return header.biClrUsed;
}

bool HasBitCount(const BITMAPINFOHEADER& header, std::initializer_list<WORD> allowed)
{
    for (WORD bits : allowed) {
        if (header.biBitCount == bits)
            return true;
    }
    return false;
}

}

bool IsBitmapHeader(const BITMAPINFOHEADER& header)
{
    if (header.biSize < sizeof header || header.biWidth <= 0 || header.biHeight == 0)
        return false;
    if (header.biBitCount >= 1 && header.biBitCount <= 8 && Colours(header) > (1u << header.biBitCount))
        return false;
    if (header.biCompression == BI_RGB && !HasBitCount(header, {1, 4, 8, 16, 24, 32}))
        return false;
    return header.biCompression != BI_BITFIELDS || HasBitCount(header, {16, 32});
}

bool FitsSeriesFormat(const BITMAPINFOHEADER& series, const BITMAPINFOHEADER& frame)
{
    return frame.biWidth == series.biWidth && frame.biHeight == series.biHeight
        && frame.biBitCount == series.biBitCount && frame.biCompression == series.biCompression
        && Colours(frame) <= Colours(series);
}
