#include <gtest/gtest.h>

#include "bitmap_header.h"
#include "host/frame_size.h"

TEST(FrameSizeTest, ViewSizeFollowsBiSizeImageElseFourBytesAPixel)
{
    EXPECT_EQ(307200u, FrameViewSize(MakeHeader(320, 240, 24)));
    EXPECT_EQ(307200u, FrameViewSize(MakeHeader(320, -240, 24))) << "top-down bitmaps are normal";
    EXPECT_EQ(100000u, FrameViewSize(MakeHeader(320, 240, 24, BI_RGB, 100000)));
    EXPECT_EQ(100000u, FrameViewSize(MakeHeader(-5, 240, 24, BI_RGB, 100000)));
    EXPECT_EQ(kNoFrameSize, FrameViewSize(MakeHeader(-320, 240, 24)));
    EXPECT_EQ(0u, FrameViewSize(MakeHeader(0, 240, 24)));
}

TEST(FrameSizeTest, LargeHeadersDoNotWrapAndCannotBeMapped)
{
    uint64_t big = FrameViewSize(MakeHeader(0x10000, 0x10000, 32));
    EXPECT_EQ(uint64_t(1) << 34, big);
    EXPECT_FALSE(IsMappableViewSize(big));
    EXPECT_EQ(uint64_t(0x7FFFFFFF) * 0x80000000u * 4,
              FrameViewSize(MakeHeader(0x7FFFFFFF, LONG(0x80000000), 32)));
    EXPECT_TRUE(IsMappableViewSize(0xFFFFFFFFu));
    EXPECT_FALSE(IsMappableViewSize(kNoFrameSize));
}

TEST(FrameSizeTest, ExtentIsTheWholeBitmapForUncompressedFormats)
{
    EXPECT_EQ(100u * 17, FrameExtent(MakeHeader(33, 17, 24))) << "rows padded to 4 bytes";
    EXPECT_EQ(100u * 17, FrameExtent(MakeHeader(33, -17, 24)));
    EXPECT_EQ(5000u, FrameExtent(MakeHeader(33, 17, 24, BI_RGB, 5000)));
    EXPECT_EQ(100u * 17, FrameExtent(MakeHeader(33, 17, 24, BI_RGB, 1000)))
        << "a short biSizeImage does not shrink it";
    EXPECT_EQ(64u * 4 * 10, FrameExtent(MakeHeader(64, 10, 32, BI_BITFIELDS, 0)));
    EXPECT_EQ(777u, FrameExtent(MakeHeader(64, 48, 8, BI_RLE8, 777))) << "compressed data: biSizeImage";
    EXPECT_EQ(0u, FrameExtent(MakeHeader(64, 48, 8, BI_RLE8, 0)));
    EXPECT_EQ(kNoFrameSize, FrameExtent(MakeHeader(-1, 10, 24)));
    EXPECT_EQ((uint64_t(0x7FFFFFFF) * 32 + 31) / 32 * 4 * 0x7FFFFFFF,
              FrameExtent(MakeHeader(0x7FFFFFFF, 0x7FFFFFFF, 32)));
}
