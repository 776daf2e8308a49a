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

// The shared area as a client left it, and the host's copy of it.
class ParamLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(copy.Start(area.data())); }

    void Put(uint32_t offset, const BITMAPINFOHEADER& header)
    {
        std::memcpy(area.data() + offset, &header, sizeof header);
    }

    bool Pair(uint32_t layouts = kLayoutsClassic, bool withInput = true, bool withOutput = true)
    {
        copy.Start(area.data());
        return PlaceHeaderPair(copy, layouts, withInput, withOutput, &places);
    }
    bool Compress(uint32_t layouts = kLayoutsClassic, uint32_t recordSize = 48)
    {
        copy.Start(area.data());
        return PlaceCompress(copy, layouts, recordSize, &places);
    }
    bool Decompress(uint32_t layouts = kLayoutsClassic, uint32_t recordSize = 24)
    {
        copy.Start(area.data());
        return PlaceDecompress(copy, layouts, recordSize, &places);
    }

    std::vector<uint8_t> area = std::vector<uint8_t>(kParamAreaSize, 0xA5);
    ParamCopy copy;
    ParamPlaces places = {};
};

}

TEST(HeaderSpanTest, CoversHeaderAndDeclaredColoursWithoutWrapping)
{
    const struct {
        BITMAPINFOHEADER header;
        uint64_t span;
    } cases[] = {
        {Header(40, 24), 40},
        {Header(12, 32), 40},
        {Header(60, 24), 60},
        {Header(40, 8), 40 + 256 * 4},
        {Header(40, 4), 40 + 16 * 4},
        {Header(40, 8, 20), 40 + 20 * 4},
        {Header(40, 32, 0, BI_BITFIELDS), 40 + 12},
        {Header(108, 16, 0, BI_BITFIELDS), 108},
        {Header(0xFFFFFFFF, 8, 0xFFFFFFFF), 0xFFFFFFFFull + 4ull * 0xFFFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.span, HeaderWholeSpan(c.header)) << c.span;
}

TEST_F(ParamLayoutTest, CopyTakesEachSharedByteOnceAndOnlyUpToTheArea)
{
    area[10] = 1;
    ASSERT_TRUE(copy.Take(20));
    area[10] = 2;
    area[30] = 3;
    ASSERT_TRUE(copy.Take(40));
    EXPECT_EQ(1, copy.At(0)[10]) << "a byte once taken is never read again";
    EXPECT_EQ(3, copy.At(0)[30]);
    EXPECT_TRUE(copy.Take(kParamAreaSize));
    EXPECT_FALSE(copy.Take(kParamAreaSize + 1));
    copy.At(0)[5] = 7;
    copy.Return(5, 1);
    EXPECT_EQ(7, area[5]);
    EXPECT_EQ(0xA5, area[6]);
}

TEST_F(ParamLayoutTest, HeaderPairPlacesTheOutputBehindTheInputsBiSize)
{
    Put(0, Header(52, 24));
    Put(52, Header(40, 24));
    ASSERT_TRUE(Pair());
    EXPECT_EQ(0u, places.input);
    EXPECT_EQ(52u, places.output);
    ASSERT_TRUE(Pair(kLayoutsClassic, true, false));
    EXPECT_EQ(52u, places.output) << "known even when the output header is not passed";
    ASSERT_TRUE(Pair(kLayoutsClassic, false, true));
    EXPECT_EQ(0u, places.output) << "without an input header the output header is at 0";
    EXPECT_TRUE(Pair(kLayoutsClassic, false, false)) << "nothing passed, nothing to check";

    Put(0, Header(40, 8)); // its colour table is the output header and what follows
    Put(40, Header(40, 24));
    EXPECT_TRUE(Pair());
}

TEST_F(ParamLayoutTest, HeadersOutsideTheAreaOrUnlikeABitmapAreRefused)
{
    const struct {
        BITMAPINFOHEADER input;
        uint32_t outputAt;
        BITMAPINFOHEADER output;
        bool fits;
    } cases[] = {
        {Header(kParamAreaSize - 40, 24), kParamAreaSize - 40, Header(40, 24), true},
        {Header(kParamAreaSize - 40, 24), kParamAreaSize - 40, Header(41, 24), false},
        {Header(kParamAreaSize - 39, 24), 0, Header(40, 24), false},
        {Header(0xFFFFFFF0, 24), 0, Header(40, 24), false},
        {Header(40, 8, 0x4000), 40, Header(40, 24), false},
        {Header(40, 8, 257), 40, Header(40, 24), false},
        {Header(40, 24), 40, Header(40, 8, 0, BI_BITFIELDS), false},
    };
    for (const auto& c : cases) {
        area.assign(area.size(), 0xA5);
        Put(0, c.input);
        if (c.outputAt != 0)
            Put(c.outputAt, c.output);
        EXPECT_EQ(c.fits, Pair()) << c.input.biSize << " " << c.output.biSize;
    }
}

TEST_F(ParamLayoutTest, RecordLayoutsPlaceHeadersAndResultSlots)
{
    Put(48, Header(44, 24));
    Put(92, Header(56, 24));
    ASSERT_TRUE(Compress());
    EXPECT_EQ(48u, places.input);
    EXPECT_EQ(92u, places.output);
    EXPECT_EQ(92u + 56, places.chunkId);
    EXPECT_EQ(92u + 60, places.flags);
    EXPECT_TRUE(Compress(kLayoutsClassic, kParamAreaSize));
    EXPECT_FALSE(Compress(kLayoutsClassic, kParamAreaSize + 1)) << "record size beyond the area";

    uint32_t fitting = kParamAreaSize - 92 - 8;
    Put(92, Header(fitting, 24));
    EXPECT_TRUE(Compress());
    Put(92, Header(fitting + 1, 24));
    EXPECT_FALSE(Compress()) << "flag slot cut off";
    Put(92, Header(0xFFFFFFF8, 24));
    EXPECT_FALSE(Compress()) << "slot offset wraps in 32 bits";
    Put(48, Header(0xFFFFFFD8, 24));
    EXPECT_FALSE(Compress()) << "48 + B wraps in 32 bits";

    Put(24, Header(40, 8, 256, BI_RLE8));
    Put(64, Header(40, 8, 256));
    ASSERT_TRUE(Decompress());
    EXPECT_EQ(24u, places.input);
    EXPECT_EQ(64u, places.output);
    EXPECT_FALSE(Decompress(kLayoutsClassic, 0x80000000u));
    Put(24, Header(0xFFFFFFE8, 24));
    EXPECT_FALSE(Decompress());
}

// In the whole-header layouts every item behind a header skips its colour
// table or masks too.
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
        for (uint32_t record : {0u, 24u, 48u}) {
            area.assign(area.size(), 0xA5);
            Put(record, c.input);
            Put(record + c.outputBehindInput, c.output);
            ASSERT_TRUE(record == 0        ? Pair(kLayoutsWholeHeaders)
                            : record == 48 ? Compress(kLayoutsWholeHeaders)
                                           : Decompress(kLayoutsWholeHeaders));
            EXPECT_EQ(record + c.outputBehindInput, places.output);
        }
        EXPECT_EQ(places.output + c.slotsBehindOutput, places.chunkId);
    }
    area.assign(area.size(), 0xA5);
    Put(48, Header(40, 24));
    Put(88, Header(kParamAreaSize - 88 - 8, 8, 2));
    EXPECT_FALSE(Compress(kLayoutsWholeHeaders))
        << "the slots behind the output's colours fall outside the area";
    EXPECT_TRUE(Compress(kLayoutsClassic));
}
