// How the host starts and ends: the three ways a client ends it, a client
// already gone, and the failures at start-up with their message boxes.

#include <cstring>

#include "host_test_fixture.h"
#include "message_box_probe.h"
#include "settings_files.h"

namespace {

// Milliseconds on a monotonic clock.
double Now()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Generous for a loaded machine; the check interval is 1000 ms.
const DWORD kEndTimeout = 6000;

class HostLifetimeTest : public HostTest {
protected:
    // Waits for the host's end; the exit code must be 0 in every case.
    void ExpectHostEnds(DWORD timeoutMs) { EXPECT_EQ(0u, HostExitCode(timeoutMs)); }
};

}

TEST_F(HostLifetimeTest, DriverCloseEndsTheHostAtOnce)
{
    Launch();
    Sleep(1200); // idle past the first check
    double sent = Now();
    EXPECT_EQ(0, client.Send(kRequestDrvClose, 1, 1));
    ExpectHostEnds(kEndTimeout);
    EXPECT_LT(Now() - sent, 900.0) << "no wait for the next check";
    EXPECT_EQ(1u, script->closeCount) << "the codec is closed by the host's release";
    EXPECT_FALSE(IsWindow(client.Window())) << "no request is answered any more";
}

TEST_F(HostLifetimeTest, EndedClientEndsTheHostAtACheck)
{
    TestProcess exiting;
    std::string name = client.Name() + "_exiting";
    ASSERT_TRUE(exiting.Start(BinPath("exiting_client64.exe"), std::string(kSlot) + " " + name));
    DWORD exitCode = 1;
    ASSERT_TRUE(exiting.WaitForExit(20000, &exitCode));
    ASSERT_EQ(0u, exitCode);
    double left = Now();

    // The host keeps the control mapping alive; it tells where the host is.
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    ASSERT_NE(nullptr, mapping);
    const HostControlBlock* control
        = static_cast<const HostControlBlock*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(1, control->iAlive) << "it never said goodbye";
    DWORD hostId = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<uintptr_t>(control->hWndHost)), &hostId);
    HANDLE host = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, hostId);
    ASSERT_NE(nullptr, host);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(host, kEndTimeout));
    EXPECT_LT(Now() - left, 2500.0);
    GetExitCodeProcess(host, &exitCode);
    EXPECT_EQ(0u, exitCode);
    CloseHandle(host);
    UnmapViewOfFile(control);
    CloseHandle(mapping);
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
        double published = Now();
        if (clearFlag)
            letting.Control()->iAlive = 0;
        DWORD exitCode = 1;
        EXPECT_TRUE(letting.Host().WaitForExit(kEndTimeout, &exitCode));
        EXPECT_EQ(0u, exitCode);
        double lived = Now() - published;
        EXPECT_GE(lived, 900.0) << clearFlag;
        EXPECT_LT(lived, 2500.0) << clearFlag;
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
    struct {
        UINT request;
        int32_t result;
    } noCodec[] = {
        {kRequestGetState, 0},
        {kRequestSetState, 0},
        {kRequestConfigure, -1},
        {kRequestAbout, -1},
        {kRequestGetDefaultQuality, -1},
        {kRequestCompressGetFormat, kHostCannotServe},
        {kRequestCompressGetSize, kHostCannotServe},
        {kRequestCompressQuery, kHostCannotServe},
        {kRequestCompressBegin, kHostCannotServe},
        {kRequestCompress, kHostCannotServe},
        {kRequestCompressEnd, -1},
        {kRequestDecompressGetFormat, kHostCannotServe},
        {kRequestDecompressQuery, kHostCannotServe},
        {kRequestDecompressBegin, kHostCannotServe},
        {kRequestDecompress, kHostCannotServe},
        {kRequestDecompressEnd, -1},
        {kRequestDecompressGetPalette, kHostCannotServe},
        {kRequestDrvLoad, -1},
        {kRequestDrvEnable, -1},
        {kRequestDrvDisable, -1},
        {kRequestDrvFree, -1},
        {kRequestDrvConfigure, -1},
        {kRequestDrvQueryConfigure, -1},
        {kRequestDrvExitSession, -1},
        {kRequestDrvPower, -1},
    };
    for (const auto& row : noCodec)
        EXPECT_EQ(row.result, client.Send(row.request, 1, 1)) << std::hex << row.request;

    // The quit message ends the box's loop too.
    EXPECT_EQ(0, client.Send(kRequestDrvClose));
    ExpectHostEnds(kEndTimeout);
}

TEST_F(HostLifetimeTest, SlotWithoutCodecOpensNoneAndLeavesTheSettingsAlone)
{
    RemoveRealSettings();
    CreateRealSettingsDirectory();
    const std::string settings = "[MAIN]\r\nlanguage=1\r\n[tdl3]\r\niEnable=1\r\n";
    ASSERT_TRUE(WriteWholeFile(RealSettingsFile(), settings));
    ASSERT_TRUE(client.Launch(kSlot));
    ExpectBoxes({{"Not install  codec.", "error"}});
    ExpectHostEnds(kEndTimeout);
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
            MessageBoxSeen box = DismissNextMessageBox(broken.Host().Id(), 20000);
            EXPECT_EQ(text, box.text);
            EXPECT_EQ(text[0] == 'm' ? broken.Name() : "CMapping", box.caption);
            EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(broken.Host().WaitForExit(kEndTimeout, &exitCode));
        EXPECT_EQ(0u, exitCode);
        EXPECT_TRUE(size == 0 || broken.Control()->hWndHost == 0);
    }
    EXPECT_EQ(0u, script->openCount) << "no codec opened";
}

// A codec that faults during a request, or writes past a frame view, ends
// the host with its own exit code; the request is never answered, so the
// client cannot take it for a success.
struct CodecFault {
    UINT message;
    int32_t answer;
    const char* name;
};

void PrintTo(const CodecFault& fault, std::ostream* out)
{
    *out << fault.name;
}

class HostCodecFaultTest : public HostLifetimeTest, public ::testing::WithParamInterface<CodecFault> { };

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
        PutPair(0, 40, rgb, packed);
    }
    std::vector<uint8_t> input(client.FrameIn(), client.FrameIn() + (client.FrameIn() ? 4096 : 0));
    script.Answer(GetParam().message, GetParam().answer);
    int32_t result = 0;
    EXPECT_FALSE(client.SendWithin(10000, request, 1, lParam, &result)) << "answered " << result;
    EXPECT_EQ(kCodecFaultExitCode, HostExitCode());
    EXPECT_FALSE(IsWindow(client.Window())) << "a plain SendMessage would get 0: the window is gone";
    EXPECT_EQ(input, std::vector<uint8_t>(client.FrameIn(), client.FrameIn() + input.size()));
}

INSTANTIATE_TEST_SUITE_P(Faults, HostCodecFaultTest,
                         ::testing::Values(CodecFault {ICM_GETSTATE, kAnswerFault, "GetState"},
                                           CodecFault {ICM_COMPRESS_QUERY, kAnswerFault, "CompressQuery"},
                                           CodecFault {ICM_COMPRESS, kAnswerFault, "Compress"},
                                           CodecFault {ICM_COMPRESS, kAnswerOverrun, "CompressOverrun"},
                                           CodecFault {ICM_DECOMPRESS, kAnswerOverrun, "DecompressOverrun"}),
                         [](const ::testing::TestParamInfo<CodecFault>& info) { return info.param.name; });
