#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <vector>

#include "packbits.h"
#include "test_codec_script.h"

namespace {

const uint32_t kFcc = mmioFOURCC('t', 'c', 'd', '1');

std::vector<uint8_t> Frame(size_t size, int seed)
{
    std::vector<uint8_t> frame(size);
    for (size_t i = 0; i < size; ++i)
        frame[i] = static_cast<uint8_t>((i / 7 % 3 == 0) ? seed : (i * 31 + seed) >> (i % 5));
    return frame;
}

class TestCodecTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterTestCodec("tcd1"));
        ASSERT_TRUE(script.Create(kFcc));
    }
    void TearDown() override { UnregisterTestCodec("tcd1"); }

    TestCodecScript script;
};

}

TEST(PackBitsTest, RoundTripsRunsLiteralsAndEdges)
{
    for (size_t size : {0u, 1u, 2u, 3u, 127u, 128u, 129u, 300u, 5000u}) {
        for (int seed : {0, 1, 2}) {
            std::vector<uint8_t> input = seed == 0 ? std::vector<uint8_t>(size, 9) : Frame(size, seed);
            std::vector<uint8_t> packed(PackBitsWorstCase(size));
            size_t packedSize = PackBitsEncode(input.data(), size, packed.data());
            ASSERT_LE(packedSize, packed.size());
            std::vector<uint8_t> output(size + 1);
            ASSERT_EQ(size, PackBitsDecode(packed.data(), packedSize, output.data(), size)) << size;
            output.resize(size);
            EXPECT_EQ(input, output);
        }
    }
    const uint8_t broken[] = {5, 1, 2};
    uint8_t out[16];
    EXPECT_EQ(SIZE_MAX, PackBitsDecode(broken, sizeof broken, out, sizeof out));
}

TEST_F(TestCodecTest, CompressesAndDecompressesLosslesslyAndRecords)
{
    HIC codec = ICOpen(ICTYPE_VIDEO, kFcc, ICMODE_COMPRESS);
    ASSERT_NE(nullptr, codec);
    BITMAPINFOHEADER in = {sizeof in, 33, -17, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPINFOHEADER out = {};
    ASSERT_EQ(ICERR_OK, ICCompressGetFormat(codec, &in, &out));
    EXPECT_EQ(kFcc, out.biCompression);
    size_t frameSize = (33 * 3 + 3) / 4 * 4 * 17;
    std::vector<uint8_t> source = Frame(frameSize, 5);
    std::vector<uint8_t> packed(out.biSizeImage);
    DWORD ckid = 0;
    DWORD flags = 0;
    ASSERT_EQ(ICERR_OK, ICCompressBegin(codec, &in, &out));
    ASSERT_EQ(ICERR_OK,
              ICCompress(codec, 0, &out, packed.data(), &in, source.data(), &ckid, &flags, 0, 0, 0, nullptr,
                         nullptr));
    EXPECT_EQ(static_cast<DWORD>(AVIIF_KEYFRAME), flags);
    EXPECT_EQ(mmioFOURCC('0', '0', 'd', 'c'), ckid);
    ICCompressEnd(codec);

    std::vector<uint8_t> decoded(frameSize);
    BITMAPINFOHEADER rgb = in;
    ASSERT_EQ(ICERR_OK, ICDecompressBegin(codec, &out, &rgb));
    ASSERT_EQ(ICERR_OK, ICDecompress(codec, 0, &out, packed.data(), &rgb, decoded.data()));
    EXPECT_EQ(source, decoded);
    ICClose(codec);

    EXPECT_EQ(1u, script->openCount);
    EXPECT_EQ(1u, script->closeCount);
    ASSERT_EQ(1u, script.CallsOf(ICM_COMPRESS).size());
    EXPECT_EQ(RegionOther, script.CallsOf(ICM_COMPRESS)[0].lpbiInput.region);
}

TEST_F(TestCodecTest, FollowsItsScript)
{
    script->refuseOpenModes = 1u << ICMODE_DECOMPRESS;
    script->acceptedInputs = InputRgb24;
    script->outputFcc = mmioFOURCC('O', 'U', 'T', '1');
    script->version = 42;
    SetScriptText(script->name, 16, "Scripted");
    script.Answer(ICM_GETSTATE, 65505);

    EXPECT_EQ(nullptr, ICOpen(ICTYPE_VIDEO, kFcc, ICMODE_DECOMPRESS));
    HIC codec = ICOpen(ICTYPE_VIDEO, kFcc, ICMODE_COMPRESS);
    ASSERT_NE(nullptr, codec);
    ICINFO info = {};
    ASSERT_EQ(static_cast<LRESULT>(sizeof info), ICGetInfo(codec, &info, sizeof info));
    EXPECT_EQ(42u, info.dwVersion);
    EXPECT_STREQ(L"Scripted", info.szName);
    EXPECT_EQ(65505, ICSendMessage(codec, ICM_GETSTATE, 0, 0));

    BITMAPINFOHEADER rgb32 = {sizeof rgb32, 320, 240, 1, 32, BI_RGB, 307200, 0, 0, 0, 0};
    BITMAPINFOHEADER rgb24 = {sizeof rgb24, 320, 240, 1, 24, BI_RGB, 230400, 0, 0, 0, 0};
    BITMAPINFOHEADER out = {};
    EXPECT_EQ(ICERR_BADFORMAT, ICCompressGetFormat(codec, &rgb32, &out));
    EXPECT_EQ(ICERR_OK, ICCompressGetFormat(codec, &rgb24, &out));
    EXPECT_EQ(mmioFOURCC('O', 'U', 'T', '1'), out.biCompression);
    ICClose(codec);
}
