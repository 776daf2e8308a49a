// The request table, driven by a 64-bit client against the recording test
// codec: which codec message each request becomes, where its pointers point
// and what comes back.

#include <cstring>

#include "host_test_fixture.h"

namespace {

const WPARAM kSomeWindow = 0x10086;

class HostTranslationTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        if (!HasFatalFailure())
            Launch();
    }
};

}

TEST_F(HostTranslationTest, StateTravelsThroughParamAreaWithinItsSize)
{
    EXPECT_EQ(4, client.Send(kRequestGetState, 1, 300));
    EXPECT_EQ(0, std::memcmp(client.ParamArea(), "STAT", 4)) << "the codec's state lands at offset 0";
    TestCodecCall call = LastCall(ICM_GETSTATE);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 300));

    script.Answer(ICM_GETSTATE, 65504);
    EXPECT_EQ(65504, client.Send(kRequestGetState, 0, 9));
    call = LastCall(ICM_GETSTATE);
    EXPECT_TRUE(ArgIs(call.dw1, RegionNull));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 9));
    script.Answer(ICM_GETSTATE, 65505);
    EXPECT_EQ(0, client.Send(kRequestGetState, 0, 0)) << "a state larger than ParamArea";
    script.Answer(ICM_GETSTATE, ICERR_BADFORMAT);
    EXPECT_EQ(0, client.Send(kRequestGetState, 0, 0)) << "an error is no size";
    EXPECT_EQ(ICERR_BADFORMAT, client.Send(kRequestGetState, 1, 65504)) << "passed on unchanged";

    uint32_t calls = CallCount();
    EXPECT_EQ(kHostCannotServe, client.Send(kRequestGetState, 1, 65505)) << "no room for that much state";
    EXPECT_EQ(calls, CallCount());

    EXPECT_EQ(65504, client.Send(kRequestSetState, 0, 65504));
    call = LastCall(ICM_SETSTATE);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 65504));
    calls = CallCount();
    EXPECT_EQ(0, client.Send(kRequestSetState, 1, 65505));
    EXPECT_EQ(calls, CallCount()) << "the codec is not called";
}

TEST_F(HostTranslationTest, HeaderPairFlagsChooseInputAndOutputPointers)
{
    BITMAPINFOHEADER rgb = MakeHeader(32, 16, 24);
    PutPair(0, 44, rgb, MakeHeader(32, 16, 24, fcc));
    int32_t answer = 100;
    for (UINT message :
         {ICM_COMPRESS_GET_SIZE, ICM_COMPRESS_QUERY, ICM_DECOMPRESS_QUERY, ICM_DECOMPRESS_GET_PALETTE}) {
        SCOPED_TRACE(message);
        script.Answer(message, ++answer);
        UINT request = HostRequestNumber(message);

        EXPECT_EQ(answer, client.Send(request, 1, 0));
        TestCodecCall call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
        EXPECT_TRUE(ArgIs(call.dw2, RegionNull));

        EXPECT_EQ(answer, client.Send(request, 0, 1));
        call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionNull));
        EXPECT_TRUE(ArgIs(call.dw2, RegionParamArea, 0)) << "without input, the output header is at 0";

        EXPECT_EQ(answer, client.Send(request, 7, 9));
        call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
        EXPECT_TRUE(ArgIs(call.dw2, RegionParamArea, 44)) << "behind the input header's biSize";

        EXPECT_EQ(answer, client.Send(request, 0, 0));
        call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionNull));
        EXPECT_TRUE(ArgIs(call.dw2, RegionNull));
    }

    // Unscripted, the codec judges the headers it was given.
    ClearAnswers();
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressQuery, 1, 1));
    PutPair(0, 44, MakeHeader(32, 16, 8), MakeHeader(32, 16, 24, fcc));
    EXPECT_EQ(ICERR_BADFORMAT, client.Send(kRequestCompressQuery, 1, 0));
}

TEST_F(HostTranslationTest, FormatSizeMustFitBehindTheInputHeader)
{
    PutPair(0, 40, MakeHeader(32, 16, 24), BITMAPINFOHEADER());
    for (UINT message : {ICM_COMPRESS_GET_FORMAT, ICM_DECOMPRESS_GET_FORMAT}) {
        SCOPED_TRACE(message);
        UINT request = HostRequestNumber(message);
        struct {
            int32_t answer;
            int32_t result;
        } cases[] = {
            {1064, 1064}, {65464, 65464}, {65465, 0}, {ICERR_BADFORMAT, ICERR_BADFORMAT}, {ICERR_ERROR, 0}};
        for (const auto& sizeCase : cases) {
            script.Answer(message, sizeCase.answer);
            EXPECT_EQ(sizeCase.result, client.Send(request, 1, 0)) << "codec answer " << sizeCase.answer;
        }
        TestCodecCall call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0)) << "wParam does not matter";
        EXPECT_TRUE(ArgIs(call.dw2, RegionNull));

        client.PutHeader(0, [] {
            BITMAPINFOHEADER longer = MakeHeader(32, 16, 24);
            longer.biSize = 48;
            return longer;
        }());
        script.Answer(message, 0);
        EXPECT_EQ(0, client.Send(request, 0, 1));
        call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
        EXPECT_TRUE(ArgIs(call.dw2, RegionParamArea, 48));
        client.PutHeader(0, MakeHeader(32, 16, 24));
    }

    // The codec itself writes the format there.
    ClearAnswers();
    EXPECT_EQ(40, client.Send(kRequestCompressGetFormat, 0, 0));
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressGetFormat, 0, 1));
    EXPECT_EQ(fcc, client.HeaderAt(40).biCompression);
}

TEST_F(HostTranslationTest, DialogsQualityAndDriverMessages)
{
    for (UINT message : {ICM_CONFIGURE, ICM_ABOUT}) {
        script.Answer(message, 55);
        EXPECT_EQ(55, client.Send(HostRequestNumber(message), static_cast<WPARAM>(-1), 3));
        TestCodecCall call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionOther, 0xFFFFFFFF)) << "the query whether the dialog exists";
        EXPECT_TRUE(ArgIs(call.dw2, RegionNull));
        client.Send(HostRequestNumber(message), kSomeWindow, 3);
        EXPECT_TRUE(ArgIs(LastCall(message).dw1, RegionNull)) << "no owner from another process";
    }

    std::memset(client.ParamArea(), 0xAA, 4);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestGetDefaultQuality, 0x12345678, 77));
    TestCodecCall call = LastCall(ICM_GETDEFAULTQUALITY);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0)) << "never the client's address";
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 77));
    EXPECT_EQ(7500u, client.DwordAt(0)) << "the quality lands where the client reads it";
    script.Answer(ICM_GETDEFAULTQUALITY, ICERR_UNSUPPORTED);
    EXPECT_EQ(ICERR_UNSUPPORTED, client.Send(kRequestGetDefaultQuality, 0, 0));
    EXPECT_TRUE(ArgIs(LastCall(ICM_GETDEFAULTQUALITY).dw1, RegionNull));

    int32_t answer = 200;
    for (UINT message :
         {DRV_LOAD, DRV_ENABLE, DRV_DISABLE, DRV_FREE, DRV_CONFIGURE, DRV_EXITSESSION, DRV_POWER}) {
        SCOPED_TRACE(message);
        script.Answer(message, ++answer);
        EXPECT_EQ(answer, client.Send(HostRequestNumber(message), 5, 6));
        call = LastCall(message);
        EXPECT_TRUE(ArgIs(call.dw1, RegionNull)) << "whatever the client sent";
        EXPECT_TRUE(ArgIs(call.dw2, RegionNull));
    }
    script.Answer(DRV_QUERYCONFIGURE, 1);
    EXPECT_EQ(1, client.Send(kRequestDrvQueryConfigure, 5, 6));
    call = LastCall(DRV_QUERYCONFIGURE);
    EXPECT_TRUE(ArgIs(call.dw1, RegionOther, 5));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 6));
}

TEST_F(HostTranslationTest, UntranslatedRequestsAreAnsweredZeroWithoutTheCodec)
{
    uint32_t calls = CallCount();
    for (UINT request :
         {HostRequestNumber(ICM_GETINFO), HostRequestNumber(DRV_OPEN), HostRequestNumber(DRV_INSTALL),
          HostRequestNumber(DRV_REMOVE), HostRequestNumber(ICM_DECOMPRESS_SET_PALETTE),
          HostRequestNumber(ICM_GETQUALITY), HostRequestNumber(ICM_SETQUALITY),
          HostRequestNumber(ICM_DRAW_BEGIN), UINT(WM_USER + 50)}) {
        EXPECT_EQ(0, client.Send(request, 1, 1)) << std::hex << request;
    }
    EXPECT_EQ(calls, CallCount());
}

TEST_F(HostTranslationTest, CompressRecordPointsIntoParamAreaAndTheViews)
{
    BITMAPINFOHEADER input = MakeHeader(33, 17, 24);
    BITMAPINFOHEADER output = MakeHeader(33, 17, 24, fcc, 4000);
    PutPair(0, 44, input, output);
    ASSERT_TRUE(client.CreateFrames(33 * 17 * 4, 4000));
    script.Answer(ICM_COMPRESS_BEGIN, 11);
    EXPECT_EQ(11, client.Send(kRequestCompressBegin, 0, 0));
    TestCodecCall call = LastCall(ICM_COMPRESS_BEGIN);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
    EXPECT_TRUE(ArgIs(call.dw2, RegionParamArea, 44));

    IcCompress32 record;
    std::memset(&record, 0xEE, sizeof record);
    record.dwFlags = ICCOMPRESS_KEYFRAME;
    record.lFrameNum = 7;
    record.dwFrameSize = 1234;
    record.dwQuality = 8000;
    record.lpbiPrev = 0;
    record.lpPrev = 0;
    std::memcpy(client.ParamArea(), &record, sizeof record);
    PutPair(48, 44, input, output);
    script.Answer(ICM_COMPRESS, 12);
    EXPECT_EQ(12, client.Send(kRequestCompress, 3, sizeof record));
    call = LastCall(ICM_COMPRESS);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, sizeof record));
    EXPECT_TRUE(ArgIs(call.lpbiInput, RegionParamArea, 48));
    EXPECT_TRUE(ArgIs(call.lpbiOutput, RegionParamArea, 48 + 44));
    EXPECT_TRUE(ArgIs(call.lpckid, RegionParamArea, 48 + 44 + 40));
    EXPECT_TRUE(ArgIs(call.lpdwFlags, RegionParamArea, 48 + 44 + 40 + 4));
    EXPECT_TRUE(ArgIs(call.lpInput, RegionFrameIn, 0));
    EXPECT_TRUE(ArgIs(call.lpOutput, RegionFrameOut, 0));

    IcCompress32 after;
    std::memcpy(&after, client.ParamArea(), sizeof after);
    EXPECT_EQ(record.dwFlags, after.dwFlags);
    EXPECT_EQ(7, after.lFrameNum);
    EXPECT_EQ(1234u, after.dwFrameSize);
    EXPECT_EQ(8000u, after.dwQuality);
    EXPECT_EQ(0u, after.lpbiPrev);
    EXPECT_EQ(0u, after.lpPrev);
    EXPECT_EQ(call.lpInput.raw, after.lpInput) << "the host's own addresses";

    script.Answer(ICM_COMPRESS_END, 13);
    EXPECT_EQ(13, client.Send(kRequestCompressEnd, 4, 5));
    call = LastCall(ICM_COMPRESS_END);
    EXPECT_TRUE(ArgIs(call.dw1, RegionNull));
    EXPECT_TRUE(ArgIs(call.dw2, RegionNull));
    EXPECT_EQ(13, client.Send(kRequestCompressEnd)) << "an END without a series still reaches the codec";
    EXPECT_EQ(2u, script.CallsOf(ICM_COMPRESS_END).size());
}

TEST_F(HostTranslationTest, DecompressRecordPointsIntoParamAreaAndTheViews)
{
    BITMAPINFOHEADER input = MakeHeader(20, 10, 24, fcc, 900);
    BITMAPINFOHEADER output = MakeHeader(20, 10, 24);
    PutPair(0, 40, input, output);
    ASSERT_TRUE(client.CreateFrames(900, 20 * 10 * 4));
    script.Answer(ICM_DECOMPRESS_BEGIN, 21);
    EXPECT_EQ(21, client.Send(kRequestDecompressBegin, 1, 1));
    TestCodecCall call = LastCall(ICM_DECOMPRESS_BEGIN);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
    EXPECT_TRUE(ArgIs(call.dw2, RegionParamArea, 40));

    IcDecompress32 record;
    std::memset(&record, 0xEE, sizeof record);
    record.dwFlags = ICDECOMPRESS_HURRYUP;
    record.ckid = mmioFOURCC('0', '0', 'd', 'c');
    std::memcpy(client.ParamArea(), &record, sizeof record);
    PutPair(24, 52, input, output);
    script.Answer(ICM_DECOMPRESS, 22);
    EXPECT_EQ(22, client.Send(kRequestDecompress, 9, sizeof record));
    call = LastCall(ICM_DECOMPRESS);
    EXPECT_TRUE(ArgIs(call.dw1, RegionParamArea, 0));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, sizeof record));
    EXPECT_TRUE(ArgIs(call.lpbiInput, RegionParamArea, 24));
    EXPECT_TRUE(ArgIs(call.lpbiOutput, RegionParamArea, 24 + 52));
    EXPECT_TRUE(ArgIs(call.lpInput, RegionFrameIn, 0));
    EXPECT_TRUE(ArgIs(call.lpOutput, RegionFrameOut, 0));
    IcDecompress32 after;
    std::memcpy(&after, client.ParamArea(), sizeof after);
    EXPECT_EQ(static_cast<uint32_t>(ICDECOMPRESS_HURRYUP), after.dwFlags);
    EXPECT_EQ(record.ckid, after.ckid);

    script.Answer(ICM_DECOMPRESS_END, 23);
    EXPECT_EQ(23, client.Send(kRequestDecompressEnd));
    EXPECT_TRUE(ArgIs(LastCall(ICM_DECOMPRESS_END).dw1, RegionNull));
}

TEST_F(HostTranslationTest, HandshakeChoosesWholeHeaderLayouts)
{
    BITMAPINFOHEADER palettized = MakeHeader(32, 16, 8, BI_RGB, 0, 256);
    client.PutHeader(0, palettized);
    client.PutHeader(40 + 1024, MakeHeader(32, 16, 8, BI_RLE8));
    script.Answer(ICM_COMPRESS_QUERY, 5);
    struct {
        WPARAM asked;
        uint32_t inEffect;
        int32_t outputOffset;
    } steps[] = {{kLayoutsClassic, kLayoutsClassic, 40},
                 {kLayoutsWholeHeaders, kLayoutsWholeHeaders, 40 + 1024},
                 {7, kLayoutsWholeHeaders, 40 + 1024},
                 {kLayoutsClassic, kLayoutsClassic, 40}};
    uint32_t calls = CallCount();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.asked);
        EXPECT_EQ(int32_t(HandshakeResult(kHostProtocolVersion, step.inEffect)),
                  client.Send(kRequestHandshake, step.asked, kHostProtocolVersion));
        EXPECT_EQ(5, client.Send(kRequestCompressQuery, 1, 1));
        EXPECT_TRUE(ArgIs(LastCall(ICM_COMPRESS_QUERY).dw2, RegionParamArea, step.outputOffset));
    }
    EXPECT_EQ(calls + 4, CallCount()) << "the handshake itself never reaches the codec";
}
