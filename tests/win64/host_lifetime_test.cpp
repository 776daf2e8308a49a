// How the host starts and ends: the ways a client ends it, and the failures
// at start-up with their message boxes.

#include "host_test_fixture.h"
#include "message_box_probe.h"
#include "settings_files.h"

using HostLifetimeTest = HostTest;

TEST_F(HostLifetimeTest, DriverCloseEndsTheHostAtOnce)
{
    Launch();
    // Idle just past the first check: the next one is most of an interval
    // away, and with the client alive no check would end the host anyway.
    Sleep(kHostCheckIntervalMs + kHostCheckIntervalMs / 20);
    DWORD sent = GetTickCount();
    EXPECT_EQ(0, client.Send(kRequestDrvClose, 1, 1));
    EXPECT_EQ(0u, HostExitCode(client));
    EXPECT_LT(GetTickCount() - sent, kHostCheckIntervalMs * 9 / 10) << "no wait for the next check";
    EXPECT_EQ(1u, script->closeCount) << "the codec is closed by the host's release";
    EXPECT_FALSE(IsWindow(client.Window())) << "no request is answered any more";
}

// At a once-a-second check, never before the first 1000 ms of the loop:
// the client cleared its alive flag, or the client named is gone already
// (its flag still set).
TEST_F(HostLifetimeTest, HostEndsAtACheckWhenTheClientLetsGo)
{
    DWORD goneId = 0;
    {
        TestProcess gone;
        ASSERT_TRUE(gone.Start(BinPath("exiting_client64.exe"), ""));
        ASSERT_TRUE(gone.WaitForExit(20000));
        goneId = gone.Id();
    }
    // Wine keeps an ended process openable for a moment.
    HANDLE stale;
    for (int i = 0; i < 500 && (stale = OpenProcess(SYNCHRONIZE, FALSE, goneId)) != nullptr; ++i, Sleep(10))
        CloseHandle(stale);
    for (bool clearFlag : {true, false}) {
        HostClient letting;
        ASSERT_TRUE(letting.CreateControl());
        if (!clearFlag)
            letting.Control()->dwClientPid = goneId;
        ASSERT_TRUE(letting.Launch(kSlot));
        DWORD published = GetTickCount();
        if (clearFlag)
            letting.Control()->iAlive = 0;
        EXPECT_EQ(0u, HostExitCode(letting));
        DWORD lived = GetTickCount() - published;
        // The window is published a moment before the loop starts its clock.
        EXPECT_GE(lived, kHostCheckIntervalMs * 9 / 10) << clearFlag;
        EXPECT_LT(lived, kHostCheckIntervalMs * 5 / 2)
            << "at the first check, not a later one: " << clearFlag;
    }
    EXPECT_EQ(2u, script->closeCount);
}

TEST_F(HostLifetimeTest, MissingCodecIsNamedAndRequestsGetTheNoCodecResults)
{
    RemoveRealSettings();
    ASSERT_TRUE(AssignSlot(kSlot, mmioFOURCC('a', 'b', 'c', 'd')));
    ASSERT_TRUE(client.Launch(kSlot));
    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(client.Host().Id(), 20000, &box));
    EXPECT_EQ("Not install abcd codec.", box.text);
    EXPECT_EQ("error", box.caption);
    EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);

    // The window is published before the codec is opened; the box's own
    // loop answers requests.
    const struct {
        int32_t result;
        std::initializer_list<UINT> requests;
    } noCodec[] = {
        {0, {kRequestGetState, kRequestSetState}},
        {-1,
         {kRequestConfigure, kRequestAbout, kRequestGetDefaultQuality, kRequestCompressEnd,
          kRequestDecompressEnd, kRequestDrvLoad, kRequestDrvEnable, kRequestDrvDisable, kRequestDrvFree,
          kRequestDrvConfigure, kRequestDrvQueryConfigure, kRequestDrvExitSession, kRequestDrvPower}},
        {kHostCannotServe,
         {kRequestCompressGetFormat, kRequestCompressGetSize, kRequestCompressQuery, kRequestCompressBegin,
          kRequestCompress, kRequestDecompressGetFormat, kRequestDecompressQuery, kRequestDecompressBegin,
          kRequestDecompress, kRequestDecompressGetPalette}},
    };
    for (const auto& row : noCodec) {
        for (UINT request : row.requests)
            EXPECT_EQ(row.result, client.Send(request, 1, 1)) << std::hex << request;
    }

    // The quit message ends the box's loop too.
    EXPECT_EQ(0, client.Send(kRequestDrvClose));
    EXPECT_EQ(0u, HostExitCode(client));
}

// The same box for a codec that refuses the host's open, after which the
// host ends.
TEST_F(HostLifetimeTest, CodecThatRefusesTheOpenIsNamed)
{
    script->refuseOpenModes = ~0u;
    ASSERT_TRUE(client.Launch(kSlot));
    ExpectBoxes({{"Not install " + fccText + " codec.", "error"}});
    EXPECT_EQ(0u, HostExitCode(client));
    EXPECT_EQ(0u, script->openCount);
}

TEST_F(HostLifetimeTest, SlotWithoutCodecOpensNoneAndLeavesTheSettingsAlone)
{
    RemoveRealSettings();
    CreateRealSettingsDirectory();
    const std::string settings = "[MAIN]\r\nlanguage=1\r\n[tdl3]\r\niEnable=1\r\n";
    ASSERT_TRUE(WriteWholeFile(RealSettingsFile(), settings));
    ASSERT_TRUE(client.Launch(kSlot));
    ExpectBoxes({{"Not install  codec.", "error"}});
    EXPECT_EQ(0u, HostExitCode(client));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(RealSettingsFile(), &contents));
    EXPECT_EQ(settings, contents);
}

TEST_F(HostLifetimeTest, ControlMappingMissingOrTooSmallIsReportedAndNothingIsPublished)
{
    for (uint32_t size : {0u, 4096u}) {
        HostClient broken;
        ASSERT_TRUE(size == 0 || broken.CreateControl(size));
        ASSERT_TRUE(broken.Start(kSlot));
        for (const char* text : {size == 0 ? "OpenFileMapping" : "MapViewOfFile", "mcMap.Open"}) {
            MessageBoxSeen box = AnswerNextBox(broken.Host().Id(), IDOK);
            EXPECT_EQ(text, box.text);
            EXPECT_EQ(text[0] == 'm' ? broken.Name() : "CMapping", box.caption);
            EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
        }
        EXPECT_EQ(0u, HostExitCode(broken));
        EXPECT_TRUE(size == 0 || broken.Control()->hWndHost == 0);
    }
    EXPECT_EQ(0u, script->openCount) << "no codec opened";
}

// A codec that faults during a request, on any of its threads, or writes
// past a frame view, ends the host with its own exit code; the request is
// never answered, so the client cannot take it for a success.
struct CodecFault {
    UINT message;
    int32_t answer;
    const char* name;
};

void PrintTo(const CodecFault& fault, std::ostream* out)
{
    *out << fault.name;
}

class HostCodecFaultTest : public HostTest, public ::testing::WithParamInterface<CodecFault> { };

TEST_P(HostCodecFaultTest, EndsTheHostWithoutAnAnswer)
{
    Launch();
    BITMAPINFOHEADER rgb = MakeHeader(64, 48, 24);
    BITMAPINFOHEADER packed = MakeHeader(64, 48, 24, fcc, 5000);
    UINT request = HostRequestNumber(GetParam().message);
    LPARAM lParam = 0;
    if (GetParam().message == ICM_COMPRESS) {
        ASSERT_EQ(ICERR_OK, Begin(kRequestCompressBegin, rgb, packed));
        PutCompress(rgb, packed);
        lParam = sizeof(IcCompress32);
    } else if (GetParam().message == ICM_DECOMPRESS) {
        ASSERT_EQ(ICERR_OK, Begin(kRequestDecompressBegin, packed, rgb));
        PutDecompress(packed, rgb);
        lParam = sizeof(IcDecompress32);
    } else {
        // With both headers: after the call the host returns the output one.
        PutPair(0, 40, rgb, packed);
        lParam = 1;
    }
    std::vector<uint8_t> input(client.FrameIn(), client.FrameIn() + (client.FrameIn() ? 4096 : 0));
    script.Answer(GetParam().message, GetParam().answer);
    int32_t result = 0;
    EXPECT_FALSE(client.SendWithin(10000, request, 1, lParam, &result)) << "answered " << result;
    EXPECT_EQ(kCodecFaultExitCode, HostExitCode(client));
    EXPECT_FALSE(IsWindow(client.Window())) << "a plain SendMessage would get 0: the window is gone";
    EXPECT_EQ(input, std::vector<uint8_t>(client.FrameIn(), client.FrameIn() + input.size()));
}

INSTANTIATE_TEST_SUITE_P(Faults, HostCodecFaultTest,
                         ::testing::Values(CodecFault {ICM_GETSTATE, kAnswerFault, "GetState"},
                                           CodecFault {ICM_COMPRESS_QUERY, kAnswerFault, "CompressQuery"},
                                           CodecFault {ICM_COMPRESS, kAnswerFault, "Compress"},
                                           CodecFault {ICM_COMPRESS, kAnswerOverrun, "CompressOverrun"},
                                           CodecFault {ICM_DECOMPRESS, kAnswerOverrun, "DecompressOverrun"},
                                           CodecFault {ICM_COMPRESS_QUERY, kAnswerThreadFault,
                                                       "WorkerThread"},
                                           CodecFault {ICM_COMPRESS_QUERY, kAnswerSpoil, "HostCodeAfterTheCall"}),
                         [](const ::testing::TestParamInfo<CodecFault>& info) { return info.param.name; });
