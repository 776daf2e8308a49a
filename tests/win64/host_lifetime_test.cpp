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
    void ExpectHostEnds(DWORD timeoutMs)
    {
        DWORD exitCode = 1;
        ASSERT_TRUE(client.Host().WaitForExit(timeoutMs, &exitCode)) << "the host is still running";
        EXPECT_EQ(0u, exitCode);
    }
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

TEST_F(HostLifetimeTest, ClearedAliveFlagEndsTheHostAtACheck)
{
    ASSERT_TRUE(client.Launch(kSlot));
    double published = Now();
    client.Control()->iAlive = 0;
    ExpectHostEnds(kEndTimeout);
    double lived = Now() - published;
    EXPECT_GE(lived, 900.0) << "never before the first 1000 ms of the loop";
    EXPECT_LT(lived, 2500.0);
    EXPECT_EQ(1u, script->closeCount);
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

TEST_F(HostLifetimeTest, ClientGoneBeforeTheHostLooksEndsItAtTheFirstCheck)
{
    DWORD goneId = 0;
    {
        TestProcess gone;
        ASSERT_TRUE(gone.Start(BinPath("exiting_client64.exe"), ""));
        ASSERT_TRUE(gone.WaitForExit(20000));
        goneId = gone.Id();
    }
    // Wine keeps an ended process openable for a moment.
    for (int i = 0; i < 500; ++i) {
        HANDLE stale = OpenProcess(SYNCHRONIZE, FALSE, goneId);
        if (stale == nullptr)
            break;
        CloseHandle(stale);
        Sleep(10);
    }
    ASSERT_EQ(nullptr, OpenProcess(SYNCHRONIZE, FALSE, goneId)) << "no such process any more";
    client.Control()->dwClientPid = goneId;
    ASSERT_TRUE(client.Launch(kSlot));
    double published = Now();
    ExpectHostEnds(kEndTimeout);
    double lived = Now() - published;
    EXPECT_GE(lived, 900.0);
    EXPECT_LT(lived, 2500.0) << "iAlive is still set: only the missing client can end it";
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

TEST_F(HostLifetimeTest, MissingControlMappingIsReported)
{
    HostClient absent;
    ASSERT_TRUE(absent.Start(kSlot));
    MessageBoxSeen first = DismissNextMessageBox(absent.Host().Id(), 20000);
    EXPECT_EQ("OpenFileMapping", first.text);
    EXPECT_EQ("CMapping", first.caption);
    MessageBoxSeen second = DismissNextMessageBox(absent.Host().Id(), 20000);
    EXPECT_EQ("mcMap.Open", second.text);
    EXPECT_EQ(absent.Name(), second.caption);
    EXPECT_EQ(std::vector<int> {IDOK}, second.buttons);
    DWORD exitCode = 1;
    ASSERT_TRUE(absent.Host().WaitForExit(kEndTimeout, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

TEST_F(HostLifetimeTest, ControlMappingTooSmallIsReportedAndNothingIsPublished)
{
    HostClient small;
    ASSERT_TRUE(small.CreateControl(4096));
    ASSERT_TRUE(small.Start(kSlot));
    MessageBoxSeen first = DismissNextMessageBox(small.Host().Id(), 20000);
    EXPECT_EQ("MapViewOfFile", first.text);
    EXPECT_EQ("CMapping", first.caption);
    MessageBoxSeen second = DismissNextMessageBox(small.Host().Id(), 20000);
    EXPECT_EQ("mcMap.Open", second.text);
    EXPECT_EQ(small.Name(), second.caption);
    DWORD exitCode = 1;
    ASSERT_TRUE(small.Host().WaitForExit(kEndTimeout, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(0u, small.Control()->hWndHost);
    EXPECT_EQ(0u, script->openCount) << "no codec opened";
}
