#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bitmap_header.h"
#include "host/frame_size.h"
#include "host/header_check.h"

namespace {

const DWORD kYuy2 = MAKEFOURCC('Y', 'U', 'Y', '2');
const DWORD kYv12 = MAKEFOURCC('Y', 'V', '1', '2');
const DWORD kNv12 = MAKEFOURCC('N', 'V', '1', '2');

BITMAPINFOHEADER WithPlanes(BITMAPINFOHEADER header, WORD planes)
{
    header.biPlanes = planes;
    return header;
}

}

TEST(FrameSizeTest, ViewExtentAndMappingFollowTheFormat)
{
    const struct {
        BITMAPINFOHEADER header;
        uint64_t view;
        uint64_t extent;
    } cases[] = {
        {MakeHeader(320, 240, 24), 307200, 230400},
        {MakeHeader(320, -240, 24), 307200, 230400},
        {MakeHeader(33, 17, 24), 33 * 17 * 4, 100 * 17},
        {MakeHeader(33, 17, 24, BI_RGB, 100), 100, 100 * 17},
        {MakeHeader(64, 10, 32, BI_BITFIELDS), 2560, 2560},
        {MakeHeader(320, 240, 24, BI_RGB, 100000), 100000, 230400},
        {MakeHeader(-5, 240, 24, BI_RGB, 100000), 100000, kNoFrameSize},
        {MakeHeader(-320, 240, 24), kNoFrameSize, kNoFrameSize},
        {MakeHeader(320, 240, 16, kYuy2, 100), 100, 153600},
        {MakeHeader(320, 240, 12, kYv12), 307200, 115200},
        {MakeHeader(33, 17, 12, kNv12), 33 * 17 * 4, 36 * 17 + 2 * 20 * 9},
        {MakeHeader(64, 48, 8, BI_RLE8, 777), 777, 777},
        {MakeHeader(64, 48, 24, MAKEFOURCC('M', 'J', 'P', 'G'), 0), 64 * 48 * 4, 0},
        {MakeHeader(0x10000, 0x10000, 32), uint64_t(1) << 34, uint64_t(1) << 34},
        {MakeHeader(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF), uint64_t(0x7FFFFFFF) * 0x7FFFFFFF * 4, kNoFrameSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.header.biWidth) + " x " + std::to_string(c.header.biHeight));
        EXPECT_EQ(c.view, FrameViewSize(c.header));
        EXPECT_EQ(c.extent, FrameExtent(c.header));
        EXPECT_EQ(std::max(c.view, c.extent), FrameMappingSize(c.header));
    }
    EXPECT_EQ(5000u, FrameMappingSize(MakeHeader(16, 16, 24, BI_RLE8, 300), 5000)) << "the codec's maximum";
    EXPECT_FALSE(IsMappableViewSize(uint64_t(1) << 34));
    EXPECT_TRUE(IsMappableViewSize(0xFFFFFFFFu));
}

TEST(HeaderCheckTest, OnlyHeadersABitmapCanHavePass)
{
    BITMAPINFOHEADER rgb = MakeHeader(32, 16, 24);
    const struct {
        BITMAPINFOHEADER header;
        bool bitmap;
    } cases[] = {
        {rgb, true},
        {MakeHeader(32, -16, 32, BI_BITFIELDS), true},
        {MakeHeader(32, 16, 8, BI_RGB, 0, 256), true},
        {MakeHeader(32, 16, 8, BI_RLE8, 100, 0), true},
        {MakeHeader(32, 16, 4, BI_RLE4, 0, 16), true},
        {MakeHeader(32, 16, 16, kYuy2, 1024), true},
        {MakeHeader(32, 16, 64, MAKEFOURCC('x', 'v', 'i', 'd'), 99999), true},
        {MakeHeader(32, 16, 24, BI_RGB, 32 * 3 * 16), true},
        {MakeHeader(32, 16, 8, BI_RGB, 0, 257), false},
        {MakeHeader(32, 16, 4, BI_RLE4, 0, 5000), false},
        {MakeHeader(32, 16, 1, BI_RGB, 0, 3), false},
        {MakeHeader(32, 16, 8, BI_BITFIELDS), false},
        {MakeHeader(32, 16, 24, BI_BITFIELDS), false},
        {MakeHeader(32, 16, 48), false},
        {MakeHeader(0, 16, 24), false},
        {MakeHeader(-1, 16, 24), false},
        {MakeHeader(32, 0, 24), false},
        {WithPlanes(rgb, 0), true},
        {WithPlanes(rgb, 2), true},
        {MakeHeader(32, 16, 24, BI_RGB, 32 * 3 * 16 + 1), true},
        {MakeHeader(32, 16, 16, kYuy2, 32 * 2 * 16 + 1), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bitmap, IsBitmapHeader(c.header))
            << c.header.biBitCount << " bits, compression " << std::hex << c.header.biCompression;
    }
    BITMAPINFOHEADER shortHeader = rgb;
    shortHeader.biSize = 39;
    EXPECT_FALSE(IsBitmapHeader(shortHeader));
}

TEST(HeaderCheckTest, FramesKeepTheFormatOfTheirSeries)
{
    BITMAPINFOHEADER series = MakeHeader(64, 48, 8, BI_RGB, 0, 0);
    EXPECT_TRUE(FitsSeriesFormat(series, series));
    EXPECT_TRUE(FitsSeriesFormat(series, MakeHeader(64, 48, 8, BI_RGB, 3072, 256)))
        << "256 colours either way";
    EXPECT_TRUE(FitsSeriesFormat(series, MakeHeader(64, 48, 8, BI_RGB, 0, 20)));
    EXPECT_FALSE(FitsSeriesFormat(MakeHeader(64, 48, 8, BI_RGB, 0, 20), series)) << "more colours";
    EXPECT_FALSE(FitsSeriesFormat(series, MakeHeader(64, 96, 8)));
    EXPECT_FALSE(FitsSeriesFormat(series, MakeHeader(64, -48, 8)));
    EXPECT_FALSE(FitsSeriesFormat(series, MakeHeader(65, 48, 8)));
    EXPECT_FALSE(FitsSeriesFormat(series, MakeHeader(64, 48, 4)));
    EXPECT_FALSE(FitsSeriesFormat(series, MakeHeader(64, 48, 8, BI_RLE8)));
}
