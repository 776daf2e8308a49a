// The whole-record layouts, driven by a 64-bit client against the recording
// test codec: the requests only they carry, frames at their places in the
// views a client announces for each series kind, pointers that stay none
// where the record says so, both series at once, and views that grow in the
// middle of a series.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "host/frame_size.h"
#include "host_test_fixture.h"
#include "packbits.h"

namespace {

const int kWidth = 64;
const int kHeight = 48;
const uint32_t kStride = 12288; // two RGB24 frames of 64 x 48, one page apart

class HostRecordsTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        packed = MakeHeader(kWidth, kHeight, 24, fcc, 5000);
        if (!HasFatalFailure())
            Launch();
    }

    // Whole-record views for a kind and the BEGIN of its series.
    void BeginWith(uint32_t kind, uint64_t inputSize, uint64_t outputSize, UINT begin,
                   const BITMAPINFOHEADER& input, const BITMAPINFOHEADER& output)
    {
        ASSERT_EQ(ICERR_OK, client.AnnounceViews(kind, inputSize, outputSize));
        PutPair(0, sizeof input, input, output);
        ASSERT_EQ(ICERR_OK, client.Send(begin));
    }

    // A compression record whose pointers are the given places, the two
    // headers, the slots and, when given, the previous frame's header.
    void PutWholeCompress(const IcCompress32& record, const BITMAPINFOHEADER* previous = nullptr)
    {
        std::memcpy(client.ParamArea(), &record, sizeof record);
        PutPair(sizeof record, sizeof rgb, rgb, packed);
        uint32_t slots = sizeof record + 2 * sizeof rgb;
        std::memset(client.ParamArea() + slots, 0, 8);
        if (previous != nullptr)
            client.PutHeader(slots + 8, *previous);
    }

    void PutWholeDecompress(const IcDecompress32& record, const BITMAPINFOHEADER& input)
    {
        std::memcpy(client.ParamArea(), &record, sizeof record);
        PutPair(sizeof record, sizeof input, input, rgb);
    }

    IcCompress32 CompressRecord(uint32_t inputOffset) const
    {
        IcCompress32 record = {};
        record.lpbiInput = record.lpbiOutput = record.lpdwFlags = kItemGiven;
        record.lpInput = FramePlace(inputOffset);
        record.lpOutput = FramePlace(0);
        return record;
    }

    const BITMAPINFOHEADER rgb = MakeHeader(kWidth, kHeight, 24);
    BITMAPINFOHEADER packed = {};
    const uint64_t compressedMaximum = PackBitsWorstCase(kWidth * 3 * kHeight);
};

}

TEST_F(HostRecordsTest, TheNewRequestsAreAnsweredOnlyInTheWholeRecordLayouts)
{
    const struct {
        UINT request;
        uint32_t message;
    } values[] = {{kRequestGetQuality, ICM_GETQUALITY},
                  {kRequestGetBuffersWanted, ICM_GETBUFFERSWANTED},
                  {kRequestGetDefaultKeyFrameRate, ICM_GETDEFAULTKEYFRAMERATE}};
    for (UINT request : {values[0].request, values[1].request, values[2].request, kRequestFrameViews,
                         kRequestGetInfo})
        ExpectRefusedAsUnknown(request);
    AskForWholeRecords();
    TestCodecArg copy = CopyStart();
    for (const auto& value : values) {
        script.Answer(value.message, 5);
        EXPECT_EQ(5, client.Send(value.request, 1, 4));
        TestCodecCall call = LastCall(value.message);
        EXPECT_TRUE(InCopy(call.dw1, copy)) << "the value goes to the copy";
        EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 4));
        client.Send(value.request, 0, 0);
        EXPECT_TRUE(ArgIs(LastCall(value.message).dw1, RegionNull));
    }
    ClearAnswers();
    uint32_t quality = 6000;
    std::memcpy(client.ParamArea(), &quality, sizeof quality);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestSetQuality, 1, 0));
    EXPECT_TRUE(InCopy(LastCall(ICM_SETQUALITY).dw1, copy)) << "passed through a pointer";
    EXPECT_EQ(ICERR_OK, client.Send(kRequestSetQuality, 0, 0));
    EXPECT_TRUE(ArgIs(LastCall(ICM_SETQUALITY).dw1, RegionOther, 6000)) << "passed as the value";
    EXPECT_EQ(ICERR_OK, client.Send(kRequestGetQuality, 1, 0));
    EXPECT_EQ(6000u, client.DwordAt(0));
    script.Answer(ICM_DECOMPRESS_SET_PALETTE, ICERR_OK);
    client.Send(kRequestDecompressSetPalette, 0, 0);
    EXPECT_TRUE(ArgIs(LastCall(ICM_DECOMPRESS_SET_PALETTE).dw1, RegionNull));
    client.PutHeader(0, MakeHeader(8, 8, 8, BI_RGB, 0, 256));
    client.Send(kRequestDecompressSetPalette, 1, 0);
    TestCodecCall palette = LastCall(ICM_DECOMPRESS_SET_PALETTE);
    EXPECT_TRUE(InCopy(palette.dw1, copy));

    // The codec's own information, which a slot without it in its settings asks for.
    script->infoFlags = 0xA8;
    std::memset(client.ParamArea(), kLeftoverByte, sizeof(ICINFO));
    EXPECT_EQ(int32_t(sizeof(ICINFO)), client.Send(kRequestGetInfo, 0, sizeof(ICINFO)));
    TestCodecCall info = LastCall(ICM_GETINFO);
    EXPECT_TRUE(InCopy(info.dw1, copy));
    EXPECT_TRUE(ArgIs(info.dw2, RegionOther, sizeof(ICINFO)));
    const ICINFO* filled = reinterpret_cast<const ICINFO*>(client.ParamArea());
    EXPECT_EQ(
        (std::vector<DWORD> {sizeof(ICINFO), fcc, 0xA8, ICVERSION}),
        (std::vector<DWORD> {filled->dwSize, filled->fccHandler, filled->dwFlags, filled->dwVersionICM}));
    uint32_t calls = CallCount();
    EXPECT_EQ(0, client.Send(kRequestGetInfo, 0, kParamAreaSize + 1)) << "past ParamArea";
    EXPECT_EQ(calls, CallCount());
}

TEST_F(HostRecordsTest, FramesLieAtTheirPlacesAndWhatTheRecordLeavesOutStaysOut)
{
    AskForWholeRecords();
    BeginWith(kSeriesCompress, 2 * kStride, compressedMaximum, kRequestCompressBegin, rgb, packed);
    PutWholeCompress(CompressRecord(kStride));
    ASSERT_EQ(ICERR_OK, client.Send(kRequestCompress, 0, sizeof(IcCompress32)));
    TestCodecCall call = LastCall(ICM_COMPRESS);
    EXPECT_TRUE(ArgIs(call.lpInput, RegionFrameIn, kStride));
    EXPECT_TRUE(ArgIs(call.lpOutput, RegionFrameOut, 0));
    EXPECT_TRUE(ArgIs(call.lpckid, RegionNull)) << "the program passed no chunk id";
    EXPECT_TRUE(InCopy(call.lpdwFlags, call.lpbiInput, 2 * sizeof rgb + 4));
    uint32_t slots = sizeof(IcCompress32) + 2 * sizeof rgb;
    EXPECT_EQ(0u, client.DwordAt(slots)) << "nobody wrote the chunk id";
    EXPECT_EQ(uint32_t(AVIIF_KEYFRAME), client.DwordAt(slots + 4)) << "the flags came back";
    std::vector<uint8_t> packedFrame(compressedMaximum);
    packedFrame.resize(PackBitsEncode(client.SeriesIn(kSeriesCompress) + kStride, kWidth * 3 * kHeight,
                                      packedFrame.data()));
    EXPECT_EQ(packedFrame.size(), client.HeaderAt(sizeof(IcCompress32) + sizeof rgb).biSizeImage)
        << "the output header came back";
    EXPECT_TRUE(std::equal(packedFrame.begin(), packedFrame.end(), client.Channel().SeriesOut(kSeriesCompress)));

    BITMAPINFOHEADER narrow = MakeHeader(kWidth / 2, kHeight, 24);
    IcCompress32 previous = CompressRecord(0);
    previous.lpbiPrev = kItemGiven;
    previous.lpPrev = FramePlace(kStride);
    IcCompress32 crowded = CompressRecord(0);
    crowded.lpOutput = FramePlace(uint32_t(compressedMaximum) - 5000);
    const struct {
        IcCompress32 record;
        const BITMAPINFOHEADER* previous;
        uint32_t reason;
        const char* why;
    } refused[] = {
        {CompressRecord(2 * kStride - 100), nullptr, kRefusalFrameRoom, "the input runs past its view"},
        {CompressRecord(3 * kStride), nullptr, kRefusalFrameRoom, "the input lies beyond its view"},
        {crowded, nullptr, kRefusalFrameRoom,
         "the output header's frame fits there, the codec's largest frame does not"},
        {[&] {
             IcCompress32 r = previous;
             r.lpPrev = FramePlace(2 * kStride - 5000);
             return r;
         }(),
         &narrow, kRefusalFrameRoom, "a narrower previous frame still gets the room of the input"},
        {[&] {
             IcCompress32 r = CompressRecord(kStride);
             r.lpbiOutput = kNoPlace;
             return r;
         }(),
         nullptr, kRefusalRecordGaps, "a frame record without its output header"},
    };
    for (const auto& c : refused) {
        PutWholeCompress(c.record, c.previous);
        ExpectRefused(kRequestCompress, 0, sizeof(IcCompress32), c.why, c.reason);
    }
    for (const BITMAPINFOHEADER& header : {rgb, narrow}) {
        PutWholeCompress(previous, &header);
        EXPECT_EQ(ICERR_OK, client.Send(kRequestCompress, 0, sizeof(IcCompress32))) << "of any format";
    }
}

// An extended decompression names its headers and places its frames as a
// decompression does, its rectangles pass unchanged, and without a series
// its frame is still the codec's to answer. Refused before the codec: a
// header left out, a frame its view cannot hold, a record past ParamArea.
TEST_F(HostRecordsTest, ExtendedDecompressionsLieAtTheirPlaces)
{
    AskForWholeRecords();
    TestCodecArg copy = CopyStart();
    ASSERT_EQ(ICERR_OK, client.AnnounceViews(kSeriesDecompressEx, 2 * kStride, 2 * kStride));
    IcDecompressEx32 record = {0, kItemGiven, FramePlace(kStride), kItemGiven, FramePlace(kStride),
                               1, 2, 3, 4, 5, 6, 7, 8};
    auto put = [&](const IcDecompressEx32& written) {
        std::memcpy(client.ParamArea(), &written, sizeof written);
        PutPair(sizeof written, sizeof packed, packed, rgb);
    };
    put(record);
    ASSERT_EQ(ICERR_OK, client.Send(kRequestDecompressExBegin, 0, sizeof record));
    TestCodecCall call = LastCall(ICM_DECOMPRESSEX_BEGIN);
    EXPECT_TRUE(InCopy(call.dw1, copy));
    EXPECT_TRUE(InCopy(call.lpbiInput, copy, sizeof record));
    EXPECT_TRUE(InCopy(call.lpbiOutput, copy, sizeof record + sizeof packed));
    EXPECT_TRUE(ArgIs(call.lpInput, RegionNull) && ArgIs(call.lpOutput, RegionNull)) << "no frames yet";

    script.Answer(ICM_DECOMPRESSEX, 33);
    for (bool begun : {true, false}) {
        SCOPED_TRACE(begun ? "in its series" : "after its END");
        put(record);
        EXPECT_EQ(33, client.Send(kRequestDecompressEx, 0, sizeof record));
        call = LastCall(ICM_DECOMPRESSEX);
        EXPECT_TRUE(InCopy(call.lpbiInput, copy, sizeof record));
        EXPECT_TRUE(InCopy(call.lpbiOutput, copy, sizeof record + sizeof packed));
        EXPECT_TRUE(ArgIs(call.lpInput, RegionFrameIn, kStride));
        EXPECT_TRUE(ArgIs(call.lpOutput, RegionFrameOut, kStride));
        IcDecompressEx32 back;
        std::memcpy(&back, client.ParamArea(), sizeof back);
        EXPECT_EQ(0, std::memcmp(&back.xDst, &record.xDst, 8 * sizeof(int32_t))) << "the rectangles";
        client.Send(kRequestDecompressExEnd);
    }

    const uint32_t kSourceRoom = 2 * kStride - packed.biSizeImage;
    const uint32_t kDestinationRoom = 2 * kStride - kWidth * 3 * kHeight;
    const struct {
        const char* why;
        uint32_t field;
        uint32_t value;
        uint32_t size;
        uint32_t reason;
    } refusals[] = {
        {"no source header", offsetof(IcDecompressEx32, lpbiSrc), kNoPlace, sizeof record, kRefusalRecordGaps},
        {"no destination header", offsetof(IcDecompressEx32, lpbiDst), kNoPlace, sizeof record,
         kRefusalRecordGaps},
        {"source one byte past its view", offsetof(IcDecompressEx32, lpSrc), FramePlace(kSourceRoom + 1),
         sizeof record, kRefusalFrameRoom},
        {"destination one byte past its view", offsetof(IcDecompressEx32, lpDst),
         FramePlace(kDestinationRoom + 1), sizeof record, kRefusalFrameRoom},
        {"a record past ParamArea", offsetof(IcDecompressEx32, dwFlags), 0, kParamAreaSize + 1, kRefusalLayout},
    };
    ASSERT_EQ(ICERR_OK, client.Send(kRequestDecompressExBegin, 0, sizeof record));
    for (const auto& refusal : refusals) {
        IcDecompressEx32 broken = record;
        std::memcpy(reinterpret_cast<uint8_t*>(&broken) + refusal.field, &refusal.value, 4);
        put(broken);
        ExpectRefused(kRequestDecompressEx, 0, refusal.size, refusal.why, refusal.reason);
    }
    IcDecompressEx32 fits = record;
    fits.lpSrc = FramePlace(kSourceRoom);
    fits.lpDst = FramePlace(kDestinationRoom);
    put(fits);
    EXPECT_EQ(33, client.Send(kRequestDecompressEx, 0, sizeof fits)) << "at the very end of the views";
}

// Frames need no series: after an END, and without a BEGIN, they reach the
// codec in the views of their kind, with the room of their own headers.
TEST_F(HostRecordsTest, BothSeriesRunAtOnceEachOnItsOwnViews)
{
    AskForWholeRecords();
    BeginWith(kSeriesCompress, 2 * kStride, compressedMaximum, kRequestCompressBegin, rgb, packed);
    ASSERT_EQ(ICERR_OK, client.AnnounceViews(kSeriesDecompress, 8192, kStride));
    script.Answer(ICM_DECOMPRESS, ICERR_OK);
    IcDecompress32 decompress = {0, kItemGiven, FramePlace(16), kItemGiven, FramePlace(0), 0};
    PutWholeDecompress(decompress, packed);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32))) << "without a BEGIN";
    PutWholeDecompress({0, kItemGiven, FramePlace(8192 - 5000 + 1), kItemGiven, FramePlace(0), 0}, packed);
    ExpectRefused(kRequestDecompress, 0, sizeof(IcDecompress32), "past its own room", kRefusalFrameRoom);
    BeginWith(kSeriesDecompress, 8192, kStride, kRequestDecompressBegin, packed, rgb);
    for (int round = 0; round < 2; ++round) {
        PutWholeCompress(CompressRecord(kStride));
        EXPECT_EQ(ICERR_OK, client.Send(kRequestCompress, 0, sizeof(IcCompress32))) << "round " << round;
        PutWholeDecompress(decompress, packed);
        EXPECT_EQ(ICERR_OK, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32))) << "round " << round;
        EXPECT_TRUE(ArgIs(LastCall(ICM_DECOMPRESS).lpInput, RegionFrameIn, 16));
        EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressEnd)) << "ends the compression series only";
    }
    decompress.lpInput = kNoPlace;
    PutWholeDecompress(decompress, packed);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestDecompress, 0, sizeof(IcDecompress32)));
    EXPECT_TRUE(ArgIs(LastCall(ICM_DECOMPRESS).lpInput, RegionNull)) << "a frame the program did not pass";
}

TEST_F(HostRecordsTest, ViewsGrowInTheMiddleOfASeries)
{
    AskForWholeRecords();
    BeginWith(kSeriesDecompress, 8192, kStride, kRequestDecompressBegin, packed, rgb);
    script.Answer(ICM_DECOMPRESS, ICERR_OK);
    IcDecompress32 record = {0, kItemGiven, FramePlace(0), kItemGiven, FramePlace(0), 0};
    BITMAPINFOHEADER larger = MakeHeader(kWidth, kHeight, 24, fcc, 20000);
    PutWholeDecompress(record, larger);
    ExpectRefused(kRequestDecompress, 0, sizeof record, "a frame larger than the view", kRefusalFrameRoom);
    ASSERT_EQ(ICERR_OK, client.AnnounceViews(kSeriesDecompress, 20000, kStride));
    PutWholeDecompress(record, larger);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestDecompress, 0, sizeof record)) << "served from the new views";
    EXPECT_EQ(kHostCannotServe, client.AnnounceViews(kSeriesDecompress, 4096, 4096))
        << "views smaller than the series needs";
    PutWholeDecompress(record, packed);
    ExpectRefused(kRequestDecompress, 0, sizeof record, "the series has no views left", kRefusalFrameRoom);
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestFrameViews, kSeriesKinds, 1)) << "no such kind";
}
