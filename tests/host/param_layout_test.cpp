#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bitmap_header.h"
#include "host/host_protocol.h"
#include "host/param_layout.h"

namespace {

BITMAPINFOHEADER Header(uint32_t size, WORD bitCount, uint32_t colours = 0, DWORD compression = BI_RGB)
{
    BITMAPINFOHEADER header = MakeHeader(16, 16, bitCount, compression, 0, colours);
    header.biSize = size;
    return header;
}

class ParamLayoutTest : public ::testing::Test {
protected:
    void Put(uint32_t offset, const BITMAPINFOHEADER& header)
    {
        std::memcpy(area.data() + offset, &header, sizeof header);
    }

    std::vector<uint8_t> area = std::vector<uint8_t>(kParamAreaSize);
    ParamPlaces places = {};
};

}

TEST(HeaderSpanTest, CoversHeaderAndDeclaredColoursWithoutWrapping)
{
    EXPECT_EQ(40u, HeaderSpan(Header(40, 24)));
    EXPECT_EQ(40u, HeaderSpan(Header(12, 32))) << "a codec reads a whole BITMAPINFOHEADER";
    EXPECT_EQ(60u, HeaderSpan(Header(60, 24)));
    EXPECT_EQ(40u + 256 * 4, HeaderSpan(Header(40, 8)));
    EXPECT_EQ(40u + 16 * 4, HeaderSpan(Header(40, 4)));
    EXPECT_EQ(40u + 20 * 4, HeaderSpan(Header(40, 8, 20)));
    EXPECT_EQ(40u + 12, HeaderSpan(Header(40, 32, 0, BI_BITFIELDS)));
    EXPECT_EQ(0xFFFFFFFFull + 4ull * 0xFFFFFFFF, HeaderSpan(Header(0xFFFFFFFF, 8, 0xFFFFFFFF)));
}

TEST_F(ParamLayoutTest, HeaderPairPutsTheOutputBehindTheInputsBiSize)
{
    Put(0, Header(40, 24));
    Put(40, Header(40, 24));
    ASSERT_TRUE(PlaceHeaderPair(area.data(), true, true, 0, &places));
    EXPECT_EQ(0u, places.input);
    EXPECT_EQ(40u, places.output);

    Put(0, Header(52, 24));
    Put(52, Header(40, 24));
    ASSERT_TRUE(PlaceHeaderPair(area.data(), true, false, 0, &places));
    EXPECT_EQ(52u, places.output) << "known even when the output header is not passed";

    ASSERT_TRUE(PlaceHeaderPair(area.data(), false, true, 0, &places));
    EXPECT_EQ(0u, places.output) << "without an input header the output header is at 0";

    std::memset(area.data(), 0xFF, 8);
    EXPECT_TRUE(PlaceHeaderPair(area.data(), false, false, 0, &places)) << "nothing passed, nothing to check";
}

TEST_F(ParamLayoutTest, HeaderPairRefusesHeadersOutsideTheArea)
{
    Put(0, Header(0xFFFFFFF0, 24));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), true, false, 0, &places));

    Put(0, Header(kParamAreaSize - 40, 24));
    Put(kParamAreaSize - 40, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), true, true, 0, &places));
    Put(kParamAreaSize - 40, Header(41, 24));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), true, true, 0, &places));
    Put(0, Header(kParamAreaSize - 39, 24));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), true, true, 0, &places)) << "output header cut off";

    Put(0, Header(40, 8)); // its colour table is the output header and what follows
    Put(40, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), true, true, 0, &places));
    Put(0, Header(40, 8, 0x4000)); // 64 KB of colours
    EXPECT_FALSE(PlaceHeaderPair(area.data(), true, true, 0, &places));
}

TEST_F(ParamLayoutTest, OutputThatTheCodecFillsNeedsRoomForAFormat)
{
    uint32_t last = kParamAreaSize - kFormatRoom;
    Put(0, Header(last, 24));
    Put(last, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), true, true, kFormatRoom, &places));
    Put(0, Header(last + 1, 24));
    Put(last + 1, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), true, true, 0, &places));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), true, true, kFormatRoom, &places));
}

TEST_F(ParamLayoutTest, CompressPlacesHeadersAndResultSlots)
{
    Put(48, Header(40, 24));
    Put(88, Header(40, 24));
    ASSERT_TRUE(PlaceCompress(area.data(), 48, &places));
    EXPECT_EQ(48u, places.input);
    EXPECT_EQ(88u, places.output);
    EXPECT_EQ(128u, places.chunkId);
    EXPECT_EQ(132u, places.flags);

    Put(48, Header(44, 24));
    Put(92, Header(56, 24));
    ASSERT_TRUE(PlaceCompress(area.data(), 48, &places));
    EXPECT_EQ(92u, places.output);
    EXPECT_EQ(92u + 56, places.chunkId);

    EXPECT_TRUE(PlaceCompress(area.data(), kParamAreaSize, &places));
    EXPECT_FALSE(PlaceCompress(area.data(), kParamAreaSize + 1, &places)) << "record size beyond the area";
}

TEST_F(ParamLayoutTest, CompressRefusesSlotsAndHeadersOutsideTheArea)
{
    Put(48, Header(40, 24));
    uint32_t fitting = kParamAreaSize - 88 - 8;
    Put(88, Header(fitting, 24));
    EXPECT_TRUE(PlaceCompress(area.data(), 48, &places));
    EXPECT_EQ(kParamAreaSize - 8, places.chunkId);
    Put(88, Header(fitting + 1, 24));
    EXPECT_FALSE(PlaceCompress(area.data(), 48, &places)) << "flag slot cut off";
    Put(88, Header(0xFFFFFFF8, 24));
    EXPECT_FALSE(PlaceCompress(area.data(), 48, &places)) << "slot offset wraps in 32 bits";
    Put(48, Header(0xFFFFFFD8, 24));
    EXPECT_FALSE(PlaceCompress(area.data(), 48, &places)) << "48 + B wraps in 32 bits";
}

TEST_F(ParamLayoutTest, DecompressPlacesBothHeadersBehindTheRecord)
{
    Put(24, Header(40, 8, 256, BI_RLE8));
    Put(64, Header(40, 8, 256));
    ASSERT_TRUE(PlaceDecompress(area.data(), 24, &places));
    EXPECT_EQ(24u, places.input);
    EXPECT_EQ(64u, places.output);
    EXPECT_FALSE(PlaceDecompress(area.data(), 0x80000000u, &places));
    Put(24, Header(0xFFFFFFE8, 24));
    EXPECT_FALSE(PlaceDecompress(area.data(), 24, &places));
}
