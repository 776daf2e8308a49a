// Compression and decompression series through the frame mappings: how the
// views are sized and released, the failures shown when they cannot be
// opened, and the frames and previous-frame pointers a series refuses. Real
// frames through the views are the bridge test's, which compares them with
// the codec called directly.

#include <cstring>
#include <vector>

#include "host_test_fixture.h"
#include "packbits.h"

namespace {

const int kWidth = 64;
const int kHeight = 48;
const uint32_t kRgbFrameSize = kWidth * 3 * kHeight;
const uint32_t kRecordSize = sizeof(IcCompress32);

class HostFramesTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        packed = MakeHeader(kWidth, kHeight, 24, fcc, 5000);
        if (!HasFatalFailure())
            Launch();
    }

    std::string FrameInName() { return client.Name() + kFrameInSuffix; }

    // Creates frame mappings of these sizes (0: none) and expects the
    // compression BEGIN refused, with the boxes for the mapping that cannot
    // be opened (sent from another thread, answered here).
    void ExpectBeginFails(uint64_t inputSize, uint64_t outputSize, bool inputFails, DWORD sizeImage = 0)
    {
        ASSERT_TRUE(client.CreateFrames(inputSize, outputSize));
        std::future<int32_t> result = client.SendInBackground(kRequestCompressBegin);
        ExpectBoxes(
            {{(inputFails ? inputSize : outputSize) == 0 ? "OpenFileMapping" : "MapViewOfFile", "CMapping"}});
        if (inputFails)
            ExpectBoxes({{"lpbiIn->biSizeImage=" + std::to_string(sizeImage), FrameInName()}});
        ExpectBoxes({{inputFails ? "mcMapFrameIn.Open" : "mcMapFrameOut.Open", "Tandrel64.exe"}});
        EXPECT_EQ(kHostCannotServe, result.get());
    }

    void ExpectMappingsReleased()
    {
        client.CloseFrames();
        EXPECT_FALSE(MappingExists(FrameInName()));
        EXPECT_FALSE(MappingExists(client.Name() + kFrameOutSuffix));
    }

    const BITMAPINFOHEADER rgb = MakeHeader(kWidth, kHeight, 24);
    BITMAPINFOHEADER packed = {};
};

}

// Each view is as large as the frames can be: the classic view size, the
// bitmap of formats sized by their dimensions, and for compression the
// codec's own maximum (the sizes of each format are the unit tests'). One
// page less in a mapping fails the BEGIN.
TEST_F(HostFramesTest, ViewsHoldWhatTheFormatAndTheCodecSay)
{
    const struct {
        BITMAPINFOHEADER input;
        BITMAPINFOHEADER output;
        int32_t codecMaximum;
        uint64_t inputView;
        uint64_t outputView;
    } cases[] = {
        {MakeHeader(320, 240, 24), MakeHeader(320, 240, 24, fcc, 100000), 0, 307200, 100000},
        {MakeHeader(320, 240, 24, BI_RGB, 100), MakeHeader(320, 240, 24, fcc, 100000), 0, 230400, 100000},
        {MakeHeader(320, 240, 24, BI_RGB, 230400), MakeHeader(320, 240, 24, fcc, 100000), 250000, 230400,
         250000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inputView);
        script.Answer(ICM_COMPRESS_GET_SIZE, c.codecMaximum);
        script.Answer(ICM_COMPRESS_BEGIN, ICERR_OK);
        PutPair(0, 40, c.input, c.output);
        ExpectBeginFails(c.inputView, c.outputView - 4096, false);
        ExpectBeginFails(c.inputView - 4096, c.outputView, true, c.input.biSizeImage);
        ASSERT_TRUE(client.CreateFrames(c.inputView, c.outputView));
        EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressBegin));
        // The host lets go of the mappings, so that the next ones are new.
        EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));
    }
    ExpectMappingsReleased();
}

TEST_F(HostFramesTest, MissingOrHugeMappingsAreShownAndTheRequestRefused)
{
    script.Answer(ICM_COMPRESS_GET_SIZE, 0);
    script.Answer(ICM_COMPRESS_BEGIN, ICERR_OK);
    BITMAPINFOHEADER output = MakeHeader(320, 240, 24, fcc, 100000);
    PutPair(0, 40, MakeHeader(320, 240, 24, BI_RGB, 230400), output);
    ExpectBeginFails(0, 100000, true, 230400);
    PutPair(0, 40, MakeHeader(0x10000, 0x10000, 32), output);
    ExpectBeginFails(4096, 100000, true); // 16 GB cannot be mapped
    client.CloseFrames();
    EXPECT_FALSE(MappingExists(FrameInName())) << "the failed view's mapping handle is closed at once";

    PutPair(0, 40, MakeHeader(320, 240, 24), output);
    ExpectBeginFails(307200, 0, false);
    EXPECT_TRUE(script.CallsOf(ICM_COMPRESS_BEGIN).empty()) << "the codec never saw a failed BEGIN";
    PutCompress(MakeHeader(320, 240, 24), output);
    ExpectRefused(kRequestCompress, 0, kRecordSize, "half a series is no series");
    ASSERT_TRUE(client.CreateFrames(307200, 100000));
    PutPair(0, 40, MakeHeader(320, 240, 24), output);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << "the host goes on serving";
}

// A frame request belongs to an open series of its kind, whose BEGIN the
// codec accepted. Its headers are the codec's business; the views must hold
// what the frame and its BEGIN may take, for a compression also the
// codec's largest frame for the frame's own headers.
TEST_F(HostFramesTest, FramesBelongToTheirSeriesWhateverTheirHeaders)
{
    script.Answer(ICM_COMPRESS, 31);
    script.Answer(ICM_DECOMPRESS, 32);
    PutCompress(rgb, packed);
    ExpectRefused(kRequestCompress, 0, kRecordSize, "no BEGIN yet");

    ASSERT_EQ(ICERR_OK, Begin(kRequestCompressBegin, rgb, packed));
    const struct {
        BITMAPINFOHEADER input;
        BITMAPINFOHEADER output;
        int32_t result;
        const char* why;
    } frames[] = {
        {MakeHeader(kWidth, kHeight, 8, BI_RLE8, 1000), packed, 31, "RLE input after a BEGIN for RGB"},
        {rgb, MakeHeader(kWidth, kHeight, 24, mmioFOURCC('x', 'v', 'i', 'd'), 4000), 31,
         "another output format"},
        {MakeHeader(kWidth, kHeight * 2, 24), packed, kHostCannotServe, "input taller than its view"},
        {MakeHeader(kWidth, kHeight, 32), packed, kHostCannotServe, "the codec's largest frame of 32 bits"},
        {rgb, MakeHeader(kWidth, kHeight, 24, fcc, 100000), kHostCannotServe, "output larger than its view"},
    };
    for (const auto& frame : frames) {
        PutCompress(frame.input, frame.output);
        EXPECT_EQ(frame.result, client.Send(kRequestCompress, 0, kRecordSize)) << frame.why;
    }
    PutDecompress(packed, rgb);
    ExpectRefused(kRequestDecompress, 0, sizeof(IcDecompress32), "a decompression in a compression series");
    PutCompress(rgb, packed);
    EXPECT_EQ(31, client.Send(kRequestCompress, 0, kRecordSize));
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));
    ExpectRefused(kRequestCompress, 0, kRecordSize, "after END");

    // A player may begin with an output header that names the compressed
    // format and send every frame with RGB. A BEGIN the codec refuses, or
    // one that fails a check, ends the series before it and leaves no views
    // open.
    ASSERT_EQ(ICERR_OK, Begin(kRequestDecompressBegin, packed, MakeHeader(kWidth, kHeight, 24, fcc)));
    PutDecompress(packed, rgb);
    EXPECT_EQ(32, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)));
    PutPair(0, 40, packed, MakeHeader(0, kHeight, 24));
    ExpectRefused(kRequestDecompressBegin, 0, 0, "zero width");
    PutDecompress(packed, rgb);
    ExpectRefused(kRequestDecompress, 0, sizeof(IcDecompress32), "the series ended with the failed BEGIN");
    script.Answer(ICM_COMPRESS_BEGIN, ICERR_BADFORMAT);
    EXPECT_EQ(ICERR_BADFORMAT, Begin(kRequestCompressBegin, rgb, packed));
    PutCompress(rgb, packed);
    ExpectRefused(kRequestCompress, 0, kRecordSize, "the codec refused the BEGIN");
    ExpectMappingsReleased();
}

// lpbiPrev and lpPrev reach the codec only as 0 or as places in the host's
// own views; the client learns them from the record of an earlier frame.
TEST_F(HostFramesTest, PreviousFramesMustLieInTheHostsViews)
{
    script.Answer(ICM_COMPRESS, 33);
    ASSERT_EQ(ICERR_OK, Begin(kRequestCompressBegin, rgb, packed));
    PutCompress(rgb, packed);
    ASSERT_EQ(33, client.Send(kRequestCompress, 0, kRecordSize));
    IcCompress32 host;
    std::memcpy(&host, client.ParamArea(), sizeof host);

    // The mappings Begin made: four bytes a pixel for an RGB header without
    // a size, and the codec's largest frame.
    const uint32_t inputSize = kWidth * kHeight * 4;
    const uint32_t outputSize = static_cast<uint32_t>(PackBitsWorstCase(kRgbFrameSize));
    const struct {
        uint32_t lpbiPrev;
        uint32_t lpPrev;
        int32_t result;
    } cases[] = {
        {host.lpbiInput, host.lpInput, 33},
        {0, host.lpOutput, 33},
        {host.lpbiInput, 0, 33},
        {0x12345678, 0, kHostCannotServe},
        {0, 0x12345678, kHostCannotServe},
        {host.lpbiOutput, host.lpInput, 33}, // a header of another format
        {host.lpbiInput - 48 + kParamAreaSize - 20, 0, kHostCannotServe},
        {0, host.lpOutput + outputSize - kRgbFrameSize + 1, kHostCannotServe},
        {0, host.lpInput + inputSize - kRgbFrameSize + 1, kHostCannotServe},
    };
    for (const auto& c : cases) {
        PutCompress(rgb, packed);
        reinterpret_cast<IcCompress32*>(client.ParamArea())->lpbiPrev = c.lpbiPrev;
        reinterpret_cast<IcCompress32*>(client.ParamArea())->lpPrev = c.lpPrev;
        EXPECT_EQ(c.result, client.Send(kRequestCompress, 0, kRecordSize))
            << std::hex << c.lpbiPrev << " " << c.lpPrev;
    }
}

TEST_F(HostFramesTest, ManyBeginEndCyclesLeaveNothingBehind)
{
    script->recording = 0;
    BITMAPINFOHEADER big = MakeHeader(1024, 1024, 32);
    ASSERT_EQ(ICERR_OK, Begin(kRequestCompressBegin, big, MakeHeader(1024, 1024, 32, fcc, 4 << 20)));
    // 8 MB of views and more each time, 16 GB in all: leaked views would fill
    // the 2 GB address space within a few hundred BEGINs. Every other BEGIN
    // replaces an open series.
    for (int cycle = 0; cycle < 2000; ++cycle) {
        ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressBegin)) << cycle;
        if (cycle % 2 == 0) {
            ASSERT_EQ(ICERR_OK, client.Send(kRequestCompressEnd)) << cycle;
        }
    }
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd));
    ExpectMappingsReleased();
}
