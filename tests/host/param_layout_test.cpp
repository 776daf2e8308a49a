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
    EXPECT_EQ(40u, HeaderWholeSpan(Header(40, 24)));
    EXPECT_EQ(40u, HeaderWholeSpan(Header(12, 32))) << "a codec reads a whole BITMAPINFOHEADER";
    EXPECT_EQ(60u, HeaderWholeSpan(Header(60, 24)));
    EXPECT_EQ(40u + 256 * 4, HeaderWholeSpan(Header(40, 8)));
    EXPECT_EQ(40u + 16 * 4, HeaderWholeSpan(Header(40, 4)));
    EXPECT_EQ(40u + 20 * 4, HeaderWholeSpan(Header(40, 8, 20)));
    EXPECT_EQ(40u + 12, HeaderWholeSpan(Header(40, 32, 0, BI_BITFIELDS)));
    EXPECT_EQ(108u, HeaderWholeSpan(Header(108, 16, 0, BI_BITFIELDS))) << "a V4 header holds its masks";
    EXPECT_EQ(0xFFFFFFFFull + 4ull * 0xFFFFFFFF, HeaderWholeSpan(Header(0xFFFFFFFF, 8, 0xFFFFFFFF)));
}

TEST_F(ParamLayoutTest, HeaderPairPutsTheOutputBehindTheInputsBiSize)
{
    Put(0, Header(40, 24));
    Put(40, Header(40, 24));
    ASSERT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places));
    EXPECT_EQ(0u, places.input);
    EXPECT_EQ(40u, places.output);

    Put(0, Header(52, 24));
    Put(52, Header(40, 24));
    ASSERT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, false, 0, &places));
    EXPECT_EQ(52u, places.output) << "known even when the output header is not passed";

    ASSERT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, false, true, 0, &places));
    EXPECT_EQ(0u, places.output) << "without an input header the output header is at 0";

    std::memset(area.data(), 0xFF, 8);
    EXPECT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, false, false, 0, &places)) << "nothing passed, nothing to check";
}

TEST_F(ParamLayoutTest, HeaderPairRefusesHeadersOutsideTheArea)
{
    Put(0, Header(0xFFFFFFF0, 24));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, false, 0, &places));

    Put(0, Header(kParamAreaSize - 40, 24));
    Put(kParamAreaSize - 40, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places));
    Put(kParamAreaSize - 40, Header(41, 24));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places));
    Put(0, Header(kParamAreaSize - 39, 24));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places)) << "output header cut off";

    Put(0, Header(40, 8)); // its colour table is the output header and what follows
    Put(40, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places));
    Put(0, Header(40, 8, 0x4000)); // 64 KB of colours
    EXPECT_FALSE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places));
}

TEST_F(ParamLayoutTest, OutputThatTheCodecFillsNeedsRoomForAFormat)
{
    uint32_t last = kParamAreaSize - kFormatRoom;
    Put(0, Header(last, 24));
    Put(last, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, kFormatRoom, &places));
    Put(0, Header(last + 1, 24));
    Put(last + 1, Header(40, 24));
    EXPECT_TRUE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, 0, &places));
    EXPECT_FALSE(PlaceHeaderPair(area.data(), kLayoutsClassic, true, true, kFormatRoom, &places));
}

TEST_F(ParamLayoutTest, CompressPlacesHeadersAndResultSlots)
{
    Put(48, Header(40, 24));
    Put(88, Header(40, 24));
    ASSERT_TRUE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places));
    EXPECT_EQ(48u, places.input);
    EXPECT_EQ(88u, places.output);
    EXPECT_EQ(128u, places.chunkId);
    EXPECT_EQ(132u, places.flags);

    Put(48, Header(44, 24));
    Put(92, Header(56, 24));
    ASSERT_TRUE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places));
    EXPECT_EQ(92u, places.output);
    EXPECT_EQ(92u + 56, places.chunkId);

    EXPECT_TRUE(PlaceCompress(area.data(), kLayoutsClassic, kParamAreaSize, &places));
    EXPECT_FALSE(PlaceCompress(area.data(), kLayoutsClassic, kParamAreaSize + 1, &places)) << "record size beyond the area";
}

TEST_F(ParamLayoutTest, CompressRefusesSlotsAndHeadersOutsideTheArea)
{
    Put(48, Header(40, 24));
    uint32_t fitting = kParamAreaSize - 88 - 8;
    Put(88, Header(fitting, 24));
    EXPECT_TRUE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places));
    EXPECT_EQ(kParamAreaSize - 8, places.chunkId);
    Put(88, Header(fitting + 1, 24));
    EXPECT_FALSE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places)) << "flag slot cut off";
    Put(88, Header(0xFFFFFFF8, 24));
    EXPECT_FALSE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places)) << "slot offset wraps in 32 bits";
    Put(48, Header(0xFFFFFFD8, 24));
    EXPECT_FALSE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places)) << "48 + B wraps in 32 bits";
}

TEST_F(ParamLayoutTest, DecompressPlacesBothHeadersBehindTheRecord)
{
    Put(24, Header(40, 8, 256, BI_RLE8));
    Put(64, Header(40, 8, 256));
    ASSERT_TRUE(PlaceDecompress(area.data(), kLayoutsClassic, 24, &places));
    EXPECT_EQ(24u, places.input);
    EXPECT_EQ(64u, places.output);
    EXPECT_FALSE(PlaceDecompress(area.data(), kLayoutsClassic, 0x80000000u, &places));
    Put(24, Header(0xFFFFFFE8, 24));
    EXPECT_FALSE(PlaceDecompress(area.data(), kLayoutsClassic, 24, &places));
}

// In the whole-header layouts every item behind a header skips its colour
// table or masks too; the classic places are the ones above.
TEST_F(ParamLayoutTest, WholeHeaderLayoutsSkipColourTablesAndMasks)
{
    struct Case {
        BITMAPINFOHEADER input;
        BITMAPINFOHEADER output;
        uint32_t outputBehindInput;
        uint32_t slotsBehindOutput;
    } cases[] = {
        {Header(40, 8), Header(40, 8, 0, BI_RLE8), 40 + 1024, 40 + 1024},
        {Header(40, 8, 20), Header(40, 8, 7, BI_RLE8), 40 + 80, 40 + 28},
        {Header(40, 4), Header(44, 24), 40 + 64, 44},
        {Header(40, 16, 0, BI_BITFIELDS), Header(40, 24), 52, 40},
        {Header(40, 24), Header(40, 32, 0, BI_BITFIELDS), 40, 52},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outputBehindInput);
        area.assign(area.size(), 0xEE);
        Put(0, c.input);
        Put(c.outputBehindInput, c.output);
        ASSERT_TRUE(PlaceHeaderPair(area.data(), kLayoutsWholeHeaders, true, true, kFormatRoom, &places));
        EXPECT_EQ(c.outputBehindInput, places.output);

        Put(48, c.input);
        Put(48 + c.outputBehindInput, c.output);
        ASSERT_TRUE(PlaceCompress(area.data(), kLayoutsWholeHeaders, 48, &places));
        EXPECT_EQ(48 + c.outputBehindInput, places.output);
        EXPECT_EQ(places.output + c.slotsBehindOutput, places.chunkId);
        EXPECT_EQ(places.chunkId + 4, places.flags);

        Put(24, c.input);
        Put(24 + c.outputBehindInput, c.output);
        ASSERT_TRUE(PlaceDecompress(area.data(), kLayoutsWholeHeaders, 24, &places));
        EXPECT_EQ(24 + c.outputBehindInput, places.output);
    }
    Put(48, Header(40, 24));
    Put(88, Header(kParamAreaSize - 88 - 8, 8, 2));
    EXPECT_FALSE(PlaceCompress(area.data(), kLayoutsWholeHeaders, 48, &places))
        << "the slots behind the output's colours fall outside the area";
    EXPECT_TRUE(PlaceCompress(area.data(), kLayoutsClassic, 48, &places));
}
