// Compression and decompression series through the frame mappings: real
// frames through the recording codec, how the views are sized and released,
// the failures shown when they cannot be opened, and requests that do not
// fit ParamArea or the views.

#include <cstring>
#include <vector>

#include "host_test_fixture.h"

namespace {

const int kWidth = 64;
const int kHeight = 48;
const size_t kRgbFrameSize = kWidth * 3 * kHeight;

std::vector<uint8_t> MovingFrame(int index)
{
    std::vector<uint8_t> frame(kRgbFrameSize);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth * 3; ++x) {
            bool square = x / 3 >= index * 4 && x / 3 < index * 4 + 10 && y >= 10 && y < 20;
            frame[y * kWidth * 3 + x] = square ? 0xF0 : static_cast<uint8_t>(y * 4 + (x / 24) * 16);
        }
    }
    return frame;
}

class HostFramesTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        if (!HasFatalFailure())
            Launch();
    }

    std::string FrameInName() { return client.Name() + kFrameInSuffix; }
    std::string FrameOutName() { return client.Name() + kFrameOutSuffix; }

    // A BEGIN that shows message boxes: sent from another thread, answered
    // here; gives the request's result.
    int32_t BeginShowing(std::initializer_list<std::pair<std::string, std::string>> boxes)
    {
        std::future<int32_t> result = client.SendInBackground(kRequestCompressBegin);
        ExpectBoxes(boxes);
        return result.get();
    }

    void PutCompress(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output, uint32_t frame)
    {
        IcCompress32 record = {};
        record.dwFlags = ICCOMPRESS_KEYFRAME;
        record.lFrameNum = static_cast<int32_t>(frame);
        std::memcpy(client.ParamArea(), &record, sizeof record);
        PutPair(sizeof record, sizeof input, input, output);
    }

    void PutDecompress(const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output)
    {
        IcDecompress32 record = {};
        std::memcpy(client.ParamArea(), &record, sizeof record);
        PutPair(sizeof record, sizeof input, input, output);
    }
};

}

TEST_F(HostFramesTest, FramesRoundTripThroughTheViews)
{
    BITMAPINFOHEADER rgb = MakeHeader(kWidth, -kHeight, 24);
    client.PutHeader(0, rgb);
    ASSERT_EQ(40, client.Send(kRequestCompressGetFormat, 0, 0));
    ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressGetFormat, 0, 1));
    BITMAPINFOHEADER packed = client.HeaderAt(40);
    ASSERT_EQ(fcc, packed.biCompression);
    ASSERT_TRUE(client.CreateFrames(kWidth * kHeight * 4, packed.biSizeImage));
    ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressBegin));

    std::vector<std::vector<uint8_t>> compressed;
    for (uint32_t frame = 0; frame < 3; ++frame) {
        std::vector<uint8_t> pixels = MovingFrame(frame);
        std::memcpy(client.FrameIn(), pixels.data(), pixels.size());
        PutCompress(rgb, packed, frame);
        ASSERT_EQ(ICERR_OK, client.Send(kRequestCompress, 0, sizeof(IcCompress32)));
        BITMAPINFOHEADER written = client.HeaderAt(48 + 40);
        ASSERT_GT(written.biSizeImage, 0u);
        ASSERT_LT(written.biSizeImage, kRgbFrameSize) << "these frames pack well";
        EXPECT_EQ(mmioFOURCC('0', '0', 'd', 'c'), client.DwordAt(48 + 80)) << "chunk id slot";
        EXPECT_EQ(static_cast<uint32_t>(AVIIF_KEYFRAME), client.DwordAt(48 + 84)) << "flag slot";
        compressed.emplace_back(client.FrameOut(), client.FrameOut() + written.biSizeImage);
    }
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));

    ASSERT_TRUE(client.CreateFrames(packed.biSizeImage, kWidth * kHeight * 4));
    PutPair(0, 40, packed, rgb);
    ASSERT_EQ(ICERR_OK, client.Send(kRequestDecompressBegin));
    for (uint32_t frame = 0; frame < 3; ++frame) {
        std::memcpy(client.FrameIn(), compressed[frame].data(), compressed[frame].size());
        BITMAPINFOHEADER input = packed;
        input.biSizeImage = static_cast<DWORD>(compressed[frame].size());
        PutDecompress(input, rgb);
        ASSERT_EQ(ICERR_OK, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)));
        EXPECT_EQ(MovingFrame(frame),
                  std::vector<uint8_t>(client.FrameOut(), client.FrameOut() + kRgbFrameSize))
            << "frame " << frame;
    }
    EXPECT_EQ(ICERR_OK, client.Send(kRequestDecompressEnd));
}

TEST_F(HostFramesTest, ViewsAreSizedFromTheHeadersAndReleasedAtEnd)
{
    script.Answer(ICM_COMPRESS_BEGIN, ICERR_OK);
    BITMAPINFOHEADER output = MakeHeader(320, 240, 24, fcc, 100000);
    ASSERT_TRUE(client.CreateFrames(307200, 100000));
    for (LONG height : {240, -240}) {
        PutPair(0, 40, MakeHeader(320, height, 24), output);
        EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << "320 x |" << height << "| x 4 bytes";
    }
    PutPair(0, 40, MakeHeader(5000, 5000, 24, BI_RGB, 100000), output);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << "biSizeImage wins over the dimensions";
    EXPECT_EQ(3u, script.CallsOf(ICM_COMPRESS_BEGIN).size());

    // Three BEGINs and one END: once the client lets go, nothing of the
    // mappings may be left in the host.
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));
    client.CloseFrames();
    EXPECT_FALSE(MappingExists(FrameInName()));
    EXPECT_FALSE(MappingExists(FrameOutName()));
}

TEST_F(HostFramesTest, FrameMappingFailuresAreShownAndTheRequestRefused)
{
    script.Answer(ICM_COMPRESS_BEGIN, ICERR_OK);
    BITMAPINFOHEADER output = MakeHeader(320, 240, 24, fcc, 100000);
    PutPair(0, 40, MakeHeader(320, 240, 24, BI_RGB, 230400), output);
    ASSERT_TRUE(client.CreateFrames(0, 100000));
    EXPECT_EQ(kHostCannotServe,
              BeginShowing({{"OpenFileMapping", "CMapping"},
                            {"lpbiIn->biSizeImage=230400", FrameInName()},
                            {"mcMapFrameIn.Open", "Tandrel64.exe"}}));

    PutPair(0, 40, MakeHeader(320, 240, 24), output);
    ASSERT_TRUE(client.CreateFrames(307200 - 4096, 100000));
    EXPECT_EQ(kHostCannotServe,
              BeginShowing({{"MapViewOfFile", "CMapping"},
                            {"lpbiIn->biSizeImage=0", FrameInName()},
                            {"mcMapFrameIn.Open", "Tandrel64.exe"}}));
    client.CloseFrames();
    EXPECT_FALSE(MappingExists(FrameInName())) << "the failed view's mapping handle is closed at once";

    PutPair(0, 40, MakeHeader(0x10000, 0x10000, 32), output);
    ASSERT_TRUE(client.CreateFrames(4096, 100000));
    EXPECT_EQ(kHostCannotServe,
              BeginShowing({{"MapViewOfFile", "CMapping"},
                            {"lpbiIn->biSizeImage=0", FrameInName()},
                            {"mcMapFrameIn.Open", "Tandrel64.exe"}}))
        << "16 GB cannot be mapped";
    PutPair(0, 40, MakeHeader(320, 240, 24, BI_RGB, 0xFFFFFFFF), output);
    EXPECT_EQ(kHostCannotServe,
              BeginShowing({{"MapViewOfFile", "CMapping"},
                            {"lpbiIn->biSizeImage=-1", FrameInName()},
                            {"mcMapFrameIn.Open", "Tandrel64.exe"}}));

    PutPair(0, 40, MakeHeader(320, 240, 24), output);
    ASSERT_TRUE(client.CreateFrames(307200, 0));
    EXPECT_EQ(kHostCannotServe,
              BeginShowing({{"OpenFileMapping", "CMapping"}, {"mcMapFrameOut.Open", "Tandrel64.exe"}}));
    EXPECT_TRUE(script.CallsOf(ICM_COMPRESS_BEGIN).empty()) << "the codec never saw a failed BEGIN";
    script.Answer(ICM_COMPRESS, ICERR_OK);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof(IcCompress32)))
        << "half a series is no series";

    ASSERT_TRUE(client.CreateFrames(307200, 100000));
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << "the host goes on serving";
}

TEST_F(HostFramesTest, FrameRequestsNeedASeriesWhoseViewsHoldTheirFrames)
{
    script.Answer(ICM_COMPRESS, 31);
    script.Answer(ICM_DECOMPRESS, 32);
    BITMAPINFOHEADER rgb = MakeHeader(kWidth, kHeight, 24);
    BITMAPINFOHEADER packed = MakeHeader(kWidth, kHeight, 24, fcc, 5000);
    PutCompress(rgb, packed, 0);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof(IcCompress32))) << "no BEGIN yet";
    PutDecompress(packed, rgb);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)));
    EXPECT_EQ(0u, CallCount());

    ASSERT_TRUE(client.CreateFrames(kWidth * kHeight * 4, 5000));
    PutPair(0, 40, rgb, packed);
    ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressBegin));
    PutCompress(MakeHeader(kWidth, kHeight * 2, 24), packed, 0);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof(IcCompress32))) << "input too tall";
    PutCompress(rgb, MakeHeader(kWidth, kHeight, 24, fcc, 5001), 0);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof(IcCompress32))) << "output too large";
    EXPECT_TRUE(script.CallsOf(ICM_COMPRESS).empty());
    PutCompress(rgb, packed, 0);
    EXPECT_EQ(31, client.Send(kRequestCompress, 0, sizeof(IcCompress32)));
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof(IcCompress32))) << "after END";

    // A short biSizeImage gives a short view, but the codec reads the whole
    // bitmap.
    BITMAPINFOHEADER shortRgb = MakeHeader(kWidth, kHeight, 24, BI_RGB, 100);
    PutPair(0, 40, shortRgb, packed);
    ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressBegin));
    PutCompress(shortRgb, packed, 0);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof(IcCompress32)));
    EXPECT_EQ(1u, script.CallsOf(ICM_COMPRESS).size());
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));

    ASSERT_TRUE(client.CreateFrames(5000, kWidth * kHeight * 4));
    PutPair(0, 40, packed, rgb);
    ASSERT_EQ(ICERR_OK, client.Send(kRequestDecompressBegin));
    PutDecompress(MakeHeader(kWidth, kHeight, 24, fcc, 5001), rgb);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)))
        << "input too large";
    PutDecompress(packed, MakeHeader(kWidth * 2, kHeight, 32));
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)))
        << "output too large";
    PutDecompress(packed, rgb);
    EXPECT_EQ(32, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)));
    EXPECT_EQ(1u, script.CallsOf(ICM_DECOMPRESS).size());
}

TEST_F(HostFramesTest, MalformedLayoutsAreRefusedWithoutCallingTheCodec)
{
    ASSERT_TRUE(client.CreateFrames(1 << 20, 1 << 20));
    BITMAPINFOHEADER rgb = MakeHeader(kWidth, kHeight, 24);
    BITMAPINFOHEADER wrapping = rgb;
    wrapping.biSize = 0xFFFFFFF0;
    client.PutHeader(0, wrapping);
    for (UINT message :
         {ICM_COMPRESS_GET_FORMAT, ICM_COMPRESS_GET_SIZE, ICM_COMPRESS_QUERY, ICM_COMPRESS_BEGIN,
          ICM_DECOMPRESS_GET_FORMAT, ICM_DECOMPRESS_QUERY, ICM_DECOMPRESS_BEGIN, ICM_DECOMPRESS_GET_PALETTE})
        EXPECT_EQ(kHostCannotServe, client.Send(HostRequestNumber(message), 1, 1)) << "B wraps: " << message;

    wrapping.biSize = kParamAreaSize - 39;
    client.PutHeader(0, wrapping);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompressQuery, 1, 1)) << "output header cut off";
    PutPair(0, kParamAreaSize - 1000, rgb, rgb);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompressGetFormat, 0, 1)) << "no room for a format";
    PutPair(0, 40, MakeHeader(kWidth, kHeight, 8, BI_RGB, 0, 100000), rgb);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompressQuery, 1, 0)) << "colour table beyond the area";

    IcCompress32 compress = {};
    std::memcpy(client.ParamArea(), &compress, sizeof compress);
    PutPair(48, 40, rgb, MakeHeader(kWidth, kHeight, 24, fcc, 5000));
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, kParamAreaSize + 1)) << "record size";
    BITMAPINFOHEADER endless = MakeHeader(kWidth, kHeight, 24, fcc, 5000);
    endless.biSize = kParamAreaSize - 48 - 40 - 4;
    PutPair(48, 40, rgb, endless);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestCompress, 0, sizeof compress)) << "flag slot cut off";
    client.PutHeader(24, wrapping);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)));

    EXPECT_EQ(0u, CallCount());
    EXPECT_EQ(4, client.Send(kRequestGetState, 1, 16)) << "still serving";
}

TEST_F(HostFramesTest, ManyBeginEndCyclesLeaveNothingBehind)
{
    script->recording = 0;
    BITMAPINFOHEADER rgb = MakeHeader(1024, 1024, 32);
    BITMAPINFOHEADER packed = MakeHeader(1024, 1024, 32, fcc, 4 << 20);
    ASSERT_TRUE(client.CreateFrames(4 << 20, 4 << 20));
    PutPair(0, 40, rgb, packed);
    // 8 MB of views each time, 16 GB in all: leaked views would fill the
    // 2 GB address space within a few hundred BEGINs. Every other BEGIN
    // replaces an open series.
    for (int cycle = 0; cycle < 2000; ++cycle) {
        ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << cycle;
        if (cycle % 2 == 0) {
            ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressEnd)) << cycle;
        }
    }
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));
    client.CloseFrames();
    EXPECT_FALSE(MappingExists(FrameInName()));
    EXPECT_FALSE(MappingExists(FrameOutName()));
}
