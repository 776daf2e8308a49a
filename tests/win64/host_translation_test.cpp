// The request table, driven by a 64-bit client against the recording test
// codec: which codec message each request becomes, where its pointers point
// (the host's private copy of ParamArea, never ParamArea itself), what comes
// back, and the headers and sizes the host refuses before the codec sees
// them.

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

    bool Untouched(uint32_t from, uint32_t to)
    {
        for (uint32_t i = from; i < to; ++i) {
            if (client.ParamArea()[i] != kLeftoverByte)
                return false;
        }
        return true;
    }
};

BITMAPINFOHEADER Sized(BITMAPINFOHEADER header, DWORD size)
{
    header.biSize = size;
    return header;
}

}

TEST_F(HostTranslationTest, StateTravelsThroughTheCopyWithinItsSize)
{
    TestCodecArg copy = CopyStart();
    EXPECT_EQ(4, client.Send(kRequestGetState, 1, 300));
    EXPECT_EQ(0, std::memcmp(client.ParamArea(), "STAT", 4)) << "the codec's state lands at offset 0";
    EXPECT_TRUE(Untouched(4, 400)) << "the rest of the room comes back as it was";
    TestCodecCall call = LastCall(ICM_GETSTATE);
    EXPECT_TRUE(InCopy(call.dw1, copy));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 300));

    ExpectResults(ICM_GETSTATE, kRequestGetState, 0, 9, {{65504, 65504}, {65505, 0}, {ICERR_BADFORMAT, 0}});
    EXPECT_TRUE(ArgIs(LastCall(ICM_GETSTATE).dw1, RegionNull));
    EXPECT_EQ(ICERR_BADFORMAT, client.Send(kRequestGetState, 1, 65504)) << "passed on unchanged";
    ExpectRefused(kRequestGetState, 1, 65505, "no room for that much state");

    EXPECT_EQ(65504, client.Send(kRequestSetState, 0, 65504));
    call = LastCall(ICM_SETSTATE);
    EXPECT_TRUE(InCopy(call.dw1, copy));
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 65504));
    uint32_t calls = CallCount();
    EXPECT_EQ(0, client.Send(kRequestSetState, 1, 65505));
    EXPECT_EQ(calls, CallCount()) << "the codec is not called";
}

TEST_F(HostTranslationTest, HeaderPairFlagsChooseInputAndOutputPointers)
{
    PutPair(0, 44, MakeHeader(32, 16, 24), MakeHeader(32, 16, 24, fcc));
    int32_t answer = 100;
    for (UINT message :
         {ICM_COMPRESS_GET_SIZE, ICM_COMPRESS_QUERY, ICM_DECOMPRESS_QUERY, ICM_DECOMPRESS_GET_PALETTE}) {
        SCOPED_TRACE(message);
        script.Answer(message, ++answer);
        UINT request = HostRequestNumber(message);
        struct {
            WPARAM wParam;
            LPARAM lParam;
            uint32_t input;
            uint32_t output;
        } flags[] = {{1, 0, RegionOther, RegionNull},
                     {0, 1, RegionNull, RegionOther},
                     {7, 9, RegionOther, RegionOther},
                     {0, 0, RegionNull, RegionNull}};
        for (const auto& flag : flags) {
            EXPECT_EQ(answer, client.Send(request, flag.wParam, flag.lParam));
            TestCodecCall call = LastCall(message);
            EXPECT_EQ(flag.input, call.dw1.region) << flag.wParam;
            EXPECT_EQ(flag.output, call.dw2.region) << flag.lParam;
        }
        client.Send(request, 1, 1);
        EXPECT_TRUE(InCopy(LastCall(message).dw2, LastCall(message).dw1, 44)) << "behind the input's biSize";
    }

    // Unscripted, the codec judges the headers it was given.
    ClearAnswers();
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressQuery, 1, 1));
    PutPair(0, 44, MakeHeader(32, 16, 8), MakeHeader(32, 16, 24, fcc));
    EXPECT_EQ(ICERR_BADFORMAT, client.Send(kRequestCompressQuery, 1, 0));
}

// Each kind of header check once (the checks themselves are the unit
// tests'), against every request that reads headers.
TEST_F(HostTranslationTest, HeadersNoBitmapCanHaveAreRefused)
{
    BITMAPINFOHEADER rgb = MakeHeader(32, 16, 24);
    const struct {
        BITMAPINFOHEADER header;
        const char* why;
    } cases[] = {
        {MakeHeader(32, 16, 8, BI_RGB, 0, 257), "more colours than 8 bits index"},
        {Sized(rgb, 39), "shorter than a BITMAPINFOHEADER"},
        {Sized(rgb, 0xFFFFFFF0), "B wraps"},
        {MakeHeader(32, 16, 24, BI_RGB, 0, 100000), "colour table beyond the area"},
    };
    for (const auto& bad : cases) {
        client.PutHeader(0, bad.header);
        client.PutHeader(40, rgb);
        for (UINT request : {kRequestCompressQuery, kRequestDecompressQuery, kRequestCompressGetSize,
                             kRequestCompressGetFormat, kRequestDecompressGetFormat,
                             kRequestDecompressGetPalette, kRequestCompressBegin, kRequestDecompressBegin})
            ExpectRefused(request, 1, 1, bad.why);
        client.PutHeader(0, rgb);
        client.PutHeader(40, bad.header);
        ExpectRefused(kRequestCompressQuery, 1, 1, bad.why);
    }
}

TEST_F(HostTranslationTest, FormatGetsTheRoomItsSizeAnswerGives)
{
    TestCodecArg copy = CopyStart();
    PutPair(0, 40, MakeHeader(32, 16, 24), BITMAPINFOHEADER());
    for (UINT message : {ICM_COMPRESS_GET_FORMAT, ICM_DECOMPRESS_GET_FORMAT}) {
        SCOPED_TRACE(message);
        UINT request = HostRequestNumber(message);
        ExpectResults(message, request, 1, 0,
                      {{1064, 1064}, {65464, 65464}, {65465, 0}, {ICERR_BADFORMAT, ICERR_BADFORMAT}, {ICERR_ERROR, 0}});
        TestCodecCall call = LastCall(message);
        EXPECT_TRUE(InCopy(call.dw1, copy)) << "wParam does not matter";
        EXPECT_TRUE(ArgIs(call.dw2, RegionNull));

        // The size comes first: a format that does not fit is never asked for.
        script.Answer(message, 65465);
        uint32_t calls = CallCount();
        EXPECT_EQ(kHostCannotServe, client.Send(request, 0, 1));
        EXPECT_EQ(calls + 1, CallCount());
        script.Answer(message, 1064);
        client.PutHeader(0, Sized(MakeHeader(32, 16, 24), 48));
        EXPECT_EQ(1064, client.Send(request, 0, 1));
        call = LastCall(message);
        EXPECT_TRUE(InCopy(call.dw2, call.dw1, 48));
        client.PutHeader(0, MakeHeader(32, 16, 24));

        // A room the client states (its own size query's) is not asked again, and must fit the area.
        calls = CallCount();
        EXPECT_EQ(1064, client.Send(request, 1064, 1));
        EXPECT_EQ(calls + 1, CallCount());
        EXPECT_EQ(kHostCannotServe, client.Send(request, 65465, 1));
    }

    // The codec itself writes the format there.
    ClearAnswers();
    EXPECT_EQ(40, client.Send(kRequestCompressGetFormat, 0, 0));
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressGetFormat, 0, 1));
    EXPECT_EQ(fcc, client.HeaderAt(40).biCompression);
    EXPECT_TRUE(Untouched(80, 200)) << "only the format's 40 bytes come back";

    // Behind an 8-bit header lies its colour table, where the format goes:
    // those bytes are the codec's to write, never a header to judge.
    client.PutHeader(0, MakeHeader(32, 16, 8, BI_RGB, 0, 256));
    for (uint32_t i = 0; i < 256; ++i)
        std::memset(client.ParamArea() + 40 + 4 * i, static_cast<int>(i), 3);
    script.Answer(ICM_COMPRESS_GET_FORMAT, ICERR_OK);
    EXPECT_EQ(ICERR_OK, client.Send(kRequestCompressGetFormat, 0, 1));

    // A palette may be as long as the longer header and a full table.
    PutPair(0, 40, MakeHeader(32, 16, 8, BI_RLE8), Sized(MakeHeader(32, 16, 24), kParamAreaSize - 540));
    ExpectRefused(kRequestDecompressGetPalette, 1, 1, "no room for the palette");
    EXPECT_EQ(ICERR_UNSUPPORTED, client.Send(kRequestDecompressGetPalette, 1, 0)) << "nothing to write into";
}

TEST_F(HostTranslationTest, DialogsQualityAndDriverMessages)
{
    TestCodecArg copy = CopyStart();
    HWND window
        = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const uint32_t windowValue = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    for (UINT message : {ICM_CONFIGURE, ICM_ABOUT, DRV_CONFIGURE}) {
        script.Answer(message, 55);
        if (message != DRV_CONFIGURE) {
            EXPECT_EQ(55, client.Send(HostRequestNumber(message), static_cast<WPARAM>(-1), 3));
            TestCodecCall call = LastCall(message);
            EXPECT_TRUE(ArgIs(call.dw1, RegionOther, 0xFFFFFFFF)) << "the query whether the dialog exists";
            EXPECT_TRUE(ArgIs(call.dw2, RegionNull));
        }
        EXPECT_EQ(55, client.Send(HostRequestNumber(message), windowValue, 3));
        EXPECT_TRUE(ArgIs(LastCall(message).dw1, RegionOther, windowValue)) << "the program's window owns it";
        EXPECT_TRUE(ArgIs(LastCall(message).dw2, RegionNull));
        client.Send(HostRequestNumber(message), kSomeWindow, 3);
        EXPECT_TRUE(ArgIs(LastCall(message).dw1, RegionNull)) << "no window, no owner";
    }
    DestroyWindow(window);

    EXPECT_EQ(ICERR_OK, client.Send(kRequestGetDefaultQuality, 0x12345678, 77));
    TestCodecCall call = LastCall(ICM_GETDEFAULTQUALITY);
    EXPECT_TRUE(InCopy(call.dw1, copy)) << "never the client's address";
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, 77));
    EXPECT_EQ(7500u, client.DwordAt(0)) << "the quality lands where the client reads it";
    script.Answer(ICM_GETDEFAULTQUALITY, ICERR_UNSUPPORTED);
    EXPECT_EQ(ICERR_UNSUPPORTED, client.Send(kRequestGetDefaultQuality, 0, 0));
    EXPECT_TRUE(ArgIs(LastCall(ICM_GETDEFAULTQUALITY).dw1, RegionNull));

    int32_t answer = 200;
    for (UINT message : {DRV_LOAD, DRV_ENABLE, DRV_DISABLE, DRV_FREE, DRV_EXITSESSION, DRV_POWER}) {
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

    uint32_t calls = CallCount();
    for (UINT request :
         {HostRequestNumber(ICM_GETINFO), HostRequestNumber(DRV_OPEN), HostRequestNumber(DRV_INSTALL),
          HostRequestNumber(DRV_REMOVE), HostRequestNumber(ICM_DECOMPRESS_SET_PALETTE),
          HostRequestNumber(ICM_GETQUALITY), HostRequestNumber(ICM_SETQUALITY),
          HostRequestNumber(ICM_DRAW_BEGIN), UINT(WM_USER + 50)})
        EXPECT_EQ(0, client.Send(request, 1, 1)) << "untranslated: " << std::hex << request;
    EXPECT_EQ(calls, CallCount());
}

TEST_F(HostTranslationTest, RecordsPointIntoTheCopyAndTheViews)
{
    BITMAPINFOHEADER input = Sized(MakeHeader(33, 17, 24), 44);
    BITMAPINFOHEADER output = MakeHeader(33, 17, 24, fcc, 4000);
    script.Answer(ICM_COMPRESS_BEGIN, ICERR_OK);
    ASSERT_EQ(ICERR_OK, Begin(kRequestCompressBegin, input, output));
    TestCodecCall call = LastCall(ICM_COMPRESS_BEGIN);
    EXPECT_TRUE(InCopy(call.dw2, call.dw1, 44));

    PutCompress(input, output, 7);
    script.Answer(ICM_COMPRESS, 12);
    EXPECT_EQ(12, client.Send(kRequestCompress, 3, sizeof(IcCompress32)));
    call = LastCall(ICM_COMPRESS);
    EXPECT_TRUE(ArgIs(call.dw2, RegionOther, sizeof(IcCompress32)));
    EXPECT_TRUE(InCopy(call.lpbiInput, call.dw1, 48));
    EXPECT_TRUE(InCopy(call.lpbiOutput, call.dw1, 48 + 44));
    EXPECT_TRUE(InCopy(call.lpckid, call.dw1, 48 + 44 + 40));
    EXPECT_TRUE(InCopy(call.lpdwFlags, call.dw1, 48 + 44 + 40 + 4));
    EXPECT_TRUE(ArgIs(call.lpInput, RegionFrameIn, 0));
    EXPECT_TRUE(ArgIs(call.lpOutput, RegionFrameOut, 0));
    IcCompress32 after;
    std::memcpy(&after, client.ParamArea(), sizeof after);
    EXPECT_EQ(7, after.lFrameNum);
    EXPECT_EQ(call.lpInput.raw, after.lpInput) << "the record gets the host's own addresses";
    EXPECT_EQ(44u, after.lpbiOutput - after.lpbiInput);
    EXPECT_TRUE(Untouched(48 + 44 + 40 + 8, 400)) << "nothing comes back behind the two slots";

    script.Answer(ICM_COMPRESS_END, 13);
    EXPECT_EQ(13, client.Send(kRequestCompressEnd, 4, 5));
    EXPECT_TRUE(ArgIs(LastCall(ICM_COMPRESS_END).dw1, RegionNull));
    EXPECT_EQ(13, client.Send(kRequestCompressEnd)) << "an END without a series still reaches the codec";

    BITMAPINFOHEADER packed = MakeHeader(20, 10, 24, fcc, 900);
    BITMAPINFOHEADER rgb = Sized(MakeHeader(20, 10, 24), 52);
    script.Answer(ICM_DECOMPRESS_BEGIN, ICERR_OK);
    ASSERT_EQ(ICERR_OK, Begin(kRequestDecompressBegin, packed, rgb));
    IcDecompress32 record = {ICDECOMPRESS_HURRYUP, 0, 0, 0, 0, mmioFOURCC('0', '0', 'd', 'c')};
    std::memcpy(client.ParamArea(), &record, sizeof record);
    PutPair(24, 40, packed, rgb);
    script.Answer(ICM_DECOMPRESS, 22);
    EXPECT_EQ(22, client.Send(kRequestDecompress, 9, sizeof record));
    call = LastCall(ICM_DECOMPRESS);
    EXPECT_TRUE(InCopy(call.lpbiInput, call.dw1, 24));
    EXPECT_TRUE(InCopy(call.lpbiOutput, call.dw1, 24 + 40));
    EXPECT_TRUE(ArgIs(call.lpInput, RegionFrameIn, 0));
    EXPECT_TRUE(ArgIs(call.lpOutput, RegionFrameOut, 0));
}

TEST_F(HostTranslationTest, HandshakeChoosesWholeHeaderLayouts)
{
    client.PutHeader(0, MakeHeader(32, 16, 8, BI_RGB, 0, 256));
    client.PutHeader(40, MakeHeader(32, 16, 8, BI_RLE8));
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
        EXPECT_TRUE(
            InCopy(LastCall(ICM_COMPRESS_QUERY).dw2, LastCall(ICM_COMPRESS_QUERY).dw1, step.outputOffset));
    }
    EXPECT_EQ(calls + 4, CallCount()) << "the handshake itself never reaches the codec";
}
