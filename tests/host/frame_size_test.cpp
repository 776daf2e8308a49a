#include <gtest/gtest.h>

#include "host/frame_size.h"

namespace {

BITMAPINFOHEADER Frame(LONG width, LONG height, WORD bitCount, DWORD sizeImage = 0,
                       DWORD compression = BI_RGB)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    header.biSizeImage = sizeImage;
    return header;
}

}

TEST(FrameSizeTest, ViewSizeFollowsBiSizeImageElseFourBytesAPixel)
{
    EXPECT_EQ(307200u, FrameViewSize(Frame(320, 240, 24)));
    EXPECT_EQ(307200u, FrameViewSize(Frame(320, -240, 24))) << "top-down bitmaps are normal";
    EXPECT_EQ(100000u, FrameViewSize(Frame(320, 240, 24, 100000)));
    EXPECT_EQ(100000u, FrameViewSize(Frame(-5, 240, 24, 100000)));
    EXPECT_EQ(kNoFrameSize, FrameViewSize(Frame(-320, 240, 24)));
    EXPECT_EQ(0u, FrameViewSize(Frame(0, 240, 24)));
}

TEST(FrameSizeTest, LargeHeadersDoNotWrapAndCannotBeMapped)
{
    uint64_t big = FrameViewSize(Frame(0x10000, 0x10000, 32));
    EXPECT_EQ(uint64_t(1) << 34, big);
    EXPECT_FALSE(IsMappableViewSize(big));
    EXPECT_EQ(uint64_t(0x7FFFFFFF) * 0x80000000u * 4, FrameViewSize(Frame(0x7FFFFFFF, LONG(0x80000000), 32)));
    EXPECT_TRUE(IsMappableViewSize(0xFFFFFFFFu));
    EXPECT_FALSE(IsMappableViewSize(kNoFrameSize));
}

TEST(FrameSizeTest, ExtentIsTheWholeBitmapForUncompressedFormats)
{
    EXPECT_EQ(100u * 17, FrameExtent(Frame(33, 17, 24))) << "rows padded to 4 bytes";
    EXPECT_EQ(100u * 17, FrameExtent(Frame(33, -17, 24)));
    EXPECT_EQ(5000u, FrameExtent(Frame(33, 17, 24, 5000)));
    EXPECT_EQ(100u * 17, FrameExtent(Frame(33, 17, 24, 1000))) << "a short biSizeImage does not shrink it";
    EXPECT_EQ(64u * 4 * 10, FrameExtent(Frame(64, 10, 32, 0, BI_BITFIELDS)));
    EXPECT_EQ(777u, FrameExtent(Frame(64, 48, 8, 777, BI_RLE8))) << "compressed data: biSizeImage";
    EXPECT_EQ(0u, FrameExtent(Frame(64, 48, 8, 0, BI_RLE8)));
    EXPECT_EQ(kNoFrameSize, FrameExtent(Frame(-1, 10, 24)));
    EXPECT_EQ((uint64_t(0x7FFFFFFF) * 32 + 31) / 32 * 4 * 0x7FFFFFFF,
              FrameExtent(Frame(0x7FFFFFFF, 0x7FFFFFFF, 32)));
}
