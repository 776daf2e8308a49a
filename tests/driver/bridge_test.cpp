// End to end: the 64-bit VfW API, TandrelDrv64.dll, the host and a 32-bit
// codec: the slots' information, how many may be open, the codec's
// dialogs, and how hosts end and fail. What the codec gives programs
// through a slot is the client tests' (tests/clients).

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "driver/slot_config.h"
#include "driver/wait_limits.h"
#include "host/liveness_deadline.h"
#include "drivers32_values.h"
#include "host_test_fixture.h"
#include "message_box_probe.h"
#include "process_use.h"
#include "settings/profile.h"
#include "settings_files.h"

namespace {

// A host notices an ended client at its next check.
const DWORD kHostEndMs = 6 * kHostCheckIntervalMs;
// What ending a failed host may take on a loaded machine, beyond the
// request's own limit.
const DWORD kHostEndAllowanceMs = 3000;

// A visible window of this program that counts its paints.
std::atomic<int> g_paints {0};

HWND CreateCountingWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        g_paints += message == WM_PAINT;
        return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TandrelBridgeTestWindow";
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, windowClass.lpszClassName, L"Program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                           300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
}

// Polls while handling this thread's messages, as a program's window thread does.
bool PumpUntil(DWORD timeoutMs, const std::function<bool()>& done)
{
    MSG message;
    return PollUntil(timeoutMs, [&] {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        return done();
    });
}

// Slots registered for the driver in the 64-bit view and described in the
// real settings file; the recording test codec under a FourCC of this
// process. Everything goes again after each test.
class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        CreateRealSettingsDirectory();
        fccText = UniqueFccText('b');
        fcc = mmioFOURCC(fccText[0], fccText[1], fccText[2], fccText[3]);
        ASSERT_TRUE(RegisterTestCodec(fccText.c_str()));
        ASSERT_TRUE(script.Create(fcc));
    }
    void TearDown() override
    {
        UnregisterTestCodec(fccText.c_str());
        RemoveRealSettings();
    }

    // Recorded as taking every mode, as the configuration tool records the
    // test codec, unless `openModes` says otherwise (null: no record).
    void AssignSlot(int slot, uint32_t codec, int enable = 1,
                    const std::string& driver = BinPath("TandrelDrv64.dll"),
                    const char* openModes = "0x8000003E")
    {
        std::string section = "tdl" + std::to_string(slot);
        ASSERT_TRUE(drivers.Set(HKEY_LOCAL_MACHINE, "vidc." + section, driver, KEY_WOW64_64KEY));
        ASSERT_TRUE(ProfileWriteInt(settings.c_str(), section.c_str(), "iEnable", &enable));
        ASSERT_TRUE(ProfileWriteHex(settings.c_str(), section.c_str(), "dwFcc", &codec));
        ASSERT_TRUE(WritePrivateProfileStringA(section.c_str(), "dwOpenModes", openModes, settings.c_str()));
    }

    // The test codec's answer to a query of 24-bit input: starts the host.
    LRESULT Query(HIC codec)
    {
        BITMAPINFOHEADER rgb = MakeHeader(32, 16, 24);
        return ICCompressQuery(codec, &rgb, nullptr);
    }
    // Opens the slot, asks a query of it, which needs the host, and closes
    // it: the query's result, and the host that answered it.
    LRESULT OpenQueryClose(int slot, DWORD* host)
    {
        HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot), ICMODE_COMPRESS);
        LRESULT result = Query(codec);
        *host = script->openProcess;
        ICClose(codec);
        return result;
    }

    std::string fccText;
    uint32_t fcc = 0;
    TestCodecScript script;
    Drivers32Values drivers;
    const std::string settings = RealSettingsFile();
};

}

// The codec's flags and ICM version come from the settings without a host;
// a slot whose settings lack them (missing, as an older version or another
// tool leaves them, or 0, as a load of the configuration tool then writes
// them) asks its codec, and keeps the settings' values when the codec tells
// nothing.
TEST_F(BridgeTest, SlotInfoComesFromTheSettingsOrTheCodecAndOnlyServingSlotsOpen)
{
    AssignSlot(3, fcc);
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "tdl3", "pcName", "Recorder"));
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "tdl3", "pcDesc", "Recording codec"));
    script->infoFlags = VIDCF_TEMPORAL | VIDCF_CRUNCH;
    const struct {
        const char* flags; // null: no such key
        const char* versionICM;
        bool codecTells;
        DWORD flagsSeen;
        DWORD versionICMSeen;
        uint32_t hosts;
    } infos[] = {
        {nullptr, nullptr, true, VIDCF_TEMPORAL | VIDCF_CRUNCH, ICVERSION, 1},
        {"0x00000000", "0x00000000", true, VIDCF_TEMPORAL | VIDCF_CRUNCH, ICVERSION, 1},
        {nullptr, nullptr, false, 0, ICVERSION, 1},
        {"0x000000A8", "0x00000105", true, 0xA8, 0x105, 0},
    };
    for (const auto& expected : infos) {
        SCOPED_TRACE(expected.flags != nullptr ? expected.flags : "no keys");
        ASSERT_TRUE(WritePrivateProfileStringA("tdl3", "dwFlags", expected.flags, settings.c_str()));
        ASSERT_TRUE(
            WritePrivateProfileStringA("tdl3", "dwVersionICM", expected.versionICM, settings.c_str()));
        script->answers[0] = expected.codecTells ? TestCodecAnswer() : TestCodecAnswer {ICM_GETINFO, 0};
        uint32_t opened = script->openCount;
        HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(3), ICMODE_QUERY);
        ASSERT_NE(nullptr, codec);
        ICINFO info = {};
        EXPECT_EQ(sizeof info, ICGetInfo(codec, &info, sizeof info));
        ICClose(codec);
        EXPECT_EQ(SlotFourCC(3), info.fccHandler);
        EXPECT_EQ(static_cast<DWORD>(ICTYPE_VIDEO), info.fccType);
        EXPECT_EQ(expected.flagsSeen, info.dwFlags);
        EXPECT_EQ(expected.versionICMSeen, info.dwVersionICM);
        EXPECT_STREQ(L"Recorder", info.szName);
        std::wstring fccWide(fccText.begin(), fccText.end());
        EXPECT_EQ(L"Recording codec (32-bit " + fccWide + L", Tandrel64 tdl3)",
                  std::wstring(info.szDescription));
        EXPECT_EQ(opened + expected.hosts, script->openCount) << "hosts started";
    }
    script->answers[0] = TestCodecAnswer();

    std::string lonelyDriver = BinPath("lonely\\TandrelDrv64.dll");
    struct {
        int enable;
        uint32_t codec;
        const char* timeout;
        std::string driver;
        bool opens;
        uint32_t openDelayMs;
    } slots[] = {
        {0, fcc, "1", BinPath("TandrelDrv64.dll"), false, 0},
        {1, 0, "1", BinPath("TandrelDrv64.dll"), false, 0},
        {1, fcc, "1", lonelyDriver, false, 0}, // no Tandrel64.exe beside it
        {1, fcc, "soon", BinPath("TandrelDrv64.dll"), true, 0}, // an iTimeout that does not parse means 1 s
        {1, fcc, "-7", BinPath("TandrelDrv64.dll"), true, 0},
        // The codec's open gets the floor of the host's start, not iTimeout.
        {1, fcc, "1", BinPath("TandrelDrv64.dll"), true, 2 * 1000 + 500},
    };
    for (const auto& slot : slots) {
        SCOPED_TRACE(slot.timeout);
        script->openDelayMs = slot.openDelayMs;
        AssignSlot(5, slot.codec, slot.enable, slot.driver);
        ASSERT_TRUE(ProfileWriteString(settings.c_str(), "GENERAL", "iTimeout", slot.timeout));
        HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(5), ICMODE_COMPRESS);
        EXPECT_EQ(slot.opens, codec != nullptr);
        if (codec != nullptr) {
            EXPECT_EQ(ICERR_OK, Query(codec));
            ICClose(codec);
        }
    }
}

// The codec opens in the program's mode, in a host started for the
// instance or handed it. A codec that only decodes: the slot refuses the
// modes it refuses, without a host where the settings record its modes;
// without that record the open asks a host, which serves the instance when
// the codec took it. The draw mode is refused by the slot itself.
TEST_F(BridgeTest, OpensTakeTheProgramsModeAndTheSlotRefusesWhatTheCodecRefuses)
{
    script->refuseOpenModes = (1u << ICMODE_COMPRESS) | (1u << ICMODE_FASTCOMPRESS);
    const UINT modes[] = {ICMODE_COMPRESS, ICMODE_DECOMPRESS,  ICMODE_FASTDECOMPRESS,
                          ICMODE_QUERY,    ICMODE_FASTCOMPRESS, ICMODE_DRAW};
    for (const char* record : {"0x8000001C", static_cast<const char*>(nullptr)}) {
        AssignSlot(3, fcc, 1, BinPath("TandrelDrv64.dll"), record);
        for (UINT mode : modes) {
            SCOPED_TRACE(std::string(record != nullptr ? record : "no record") + ", mode "
                         + std::to_string(mode));
            bool takes = mode != ICMODE_DRAW && (script->refuseOpenModes & (1u << mode)) == 0;
            uint32_t opened = script->openCount;
            uint32_t refused = script->refusedOpenCount;
            HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(3), mode);
            ASSERT_EQ(takes, codec != nullptr);
            if (!takes) {
                // A host that waits may be asked first, and ends when it
                // cannot serve the instance.
                bool asked = record == nullptr && mode != ICMODE_DRAW;
                EXPECT_EQ(asked, script->refusedOpenCount > refused) << "a host asked the codec";
                continue;
            }
            EXPECT_EQ(record == nullptr ? opened + 1 : opened, script->openCount) << "a host at the open";
            EXPECT_EQ(ICERR_OK, Query(codec));
            EXPECT_EQ(opened + 1, script->openCount);
            ICClose(codec);
        }
    }
}

TEST_F(BridgeTest, TenSlotsServeAtOnceAndEachHostEndsWithItsCodec)
{
    HIC codecs[kSlotCount];
    for (int slot = 0; slot < kSlotCount; ++slot) {
        AssignSlot(slot, fcc);
        codecs[slot] = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot), ICMODE_COMPRESS);
        ASSERT_NE(nullptr, codecs[slot]);
        EXPECT_EQ(ICERR_OK, Query(codecs[slot]));
    }
    EXPECT_EQ(static_cast<uint32_t>(kSlotCount), script->openCount) << "one host and codec each";
    for (int slot = 0; slot < kSlotCount; ++slot) {
        ICClose(codecs[slot]);
        EXPECT_EQ(static_cast<uint32_t>(slot + 1), script->closeCount) << "at once";
    }
}

// A host that serves the program, and one that waits for its next instance,
// end at a check once the program is gone, the waiting one long before its
// idle time is up. None of them is the host this program let go.
TEST_F(BridgeTest, TheHostEndsWhenTheProgramExitsOrIsKilled)
{
    AssignSlot(6, fcc);
    DWORD ours = 0;
    ASSERT_EQ(ICERR_OK, OpenQueryClose(6, &ours));
    for (std::string end : {"closed-exit", "closed-wait", "exit", "wait"}) {
        bool closes = end[0] == 'c';
        uint32_t opened = script->openCount;
        std::string goName = "TandrelGo" + std::to_string(GetCurrentProcessId()) + end;
        HANDLE go = CreateEventA(nullptr, TRUE, FALSE, goName.c_str());
        TestProcess program;
        ASSERT_TRUE(program.Start(BinPath("exiting_client64.exe"), "/driver tdl6 " + end + " " + goName));
        ASSERT_TRUE(PollUntil(20000, [&] { return script->openCount > opened; }));
        EXPECT_NE(ours, script->openProcess) << "the other program starts a host of its own";
        WatchedProcess host;
        EXPECT_TRUE(host.Watch(script->openProcess));
        SetEvent(go);
        CloseHandle(go);
        ASSERT_TRUE(PollUntil(20000, [&] { return script->closeCount >= opened + closes; }));
        program.Terminate();
        DWORD gone = GetTickCount();
        EXPECT_TRUE(host.EndsWithin(kHostEndMs)) << end;
        EXPECT_TRUE(!closes || GetTickCount() - gone < 4 * kHostCheckIntervalMs) << end;
    }
}

TEST_F(BridgeTest, FaultsAndHangsFailWithinTheirLimitAndTheSlotOpensAgain)
{
    struct {
        const char* what;
        uint32_t message;
        int32_t answer;
        std::function<LRESULT(HIC)> call;
    } failures[] = {
        {"crash", ICM_COMPRESS_QUERY, kAnswerFault, [this](HIC codec) { return Query(codec); }},
        {"hang", ICM_COMPRESS_QUERY, kAnswerHang, [this](HIC codec) { return Query(codec); }},
        {"crash in a dialog", ICM_ABOUT, kAnswerFault,
         [](HIC codec) { return ICAbout(codec, GetDesktopWindow()); }},
        {"crash on a frame without a BEGIN", ICM_COMPRESS, kAnswerFault,
         [this](HIC codec) {
             BITMAPINFOHEADER rgb = MakeHeader(32, 16, 24);
             BITMAPINFOHEADER packed = MakeHeader(32, 16, 24, fcc, 2000);
             std::vector<uint8_t> frame(4096);
             DWORD flags = 0;
             return ICCompress(codec, 0, &packed, frame.data(), &rgb, frame.data(), nullptr, &flags, 0, 0, 0,
                               nullptr, nullptr);
         }},
    };
    AssignSlot(7, fcc);
    TempFile logFile("driver.log");
    const std::string& log = logFile.Path();
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "GENERAL", "iLog", "1"));
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "GENERAL", "pcLogPath", log.c_str()));
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.what);
        script.Answer(failure.message, failure.answer);
        HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(7), ICMODE_COMPRESS);
        ASSERT_NE(nullptr, codec);
        // The host starts at the first request: the limits are the
        // failing request's, not the start's.
        DWORD quality = 0;
        ICSendMessage(codec, ICM_GETDEFAULTQUALITY, reinterpret_cast<DWORD_PTR>(&quality), sizeof quality);
        DWORD start = GetTickCount();
        EXPECT_NE(ICERR_OK, failure.call(codec));
        DWORD failedHost = script->openProcess;
        // A crash ends the request at once, a hang at the query's limit.
        DWORD limitMs
            = failure.answer == kAnswerHang ? RequestWaitMs(kRequestCompressQuery, 0, TimeoutSeconds(1)) : 0;
        EXPECT_LT(GetTickCount() - start, limitMs + kHostEndAllowanceMs);
        EXPECT_EQ(kHostCannotServe, Query(codec)) << "every later call fails";
        ICClose(codec);

        script->answers[0] = TestCodecAnswer();
        codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(7), ICMODE_COMPRESS);
        EXPECT_EQ(ICERR_OK, Query(codec)) << "the slot serves again";
        EXPECT_NE(failedHost, script->openProcess) << "on a new host";
        ICClose(codec);
    }
    std::string logged;
    ASSERT_TRUE(ReadWholeFile(log, &logged));
    EXPECT_NE(std::string::npos,
              logged.find(" tdl7 request 0x46A: the host ended with exit code 207 (its codec faulted)"))
        << logged;
    EXPECT_NE(std::string::npos, logged.find(" tdl7 request 0x46A: no answer in time, the host was ended"));
    EXPECT_NE(std::string::npos, logged.find(" tdl7 request 0x40B: the host ended with exit code 207"));
}

// A request refused without the codec's answer leaves one line with why,
// whether the driver or the host refused it; the codec's own errors leave
// none.
TEST_F(BridgeTest, EveryRefusedRequestIsLoggedInOneLineWithItsReason)
{
    AssignSlot(5, fcc, 0);
    AssignSlot(6, fcc);
    TempFile logFile("refusals.log");
    const std::string& log = logFile.Path();
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "GENERAL", "iLog", "1"));
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "GENERAL", "pcLogPath", log.c_str()));
    EXPECT_EQ(nullptr, ICOpen(ICTYPE_VIDEO, SlotFourCC(5), ICMODE_DECOMPRESS));
    HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(6), ICMODE_DECOMPRESS);
    ASSERT_NE(nullptr, codec);
    BITMAPINFOHEADER packed = MakeHeader(32, 16, 24, fcc, 100);
    BITMAPINFOHEADER rgb = MakeHeader(32, 16, 24);
    BITMAPINFOHEADER crowded = MakeHeader(32, 16, 8, BI_RGB, 0, 20000);
    BITMAPINFOHEADER flat = MakeHeader(0, 16, 24);
    std::vector<uint8_t> frame(4096);
    ICINFO info;
    script.Answer(ICM_COMPRESS_QUERY, ICERR_ERROR);
    script.Answer(ICM_DECOMPRESS, 17);
    const struct {
        std::function<LRESULT()> call;
        int32_t result;
        const char* line;
    } requests[] = {
        {[&] { return ICDecompress(codec, 0, &packed, frame.data(), &rgb, frame.data()); }, 17, nullptr},
        {[&] { return ICDecompress(codec, 0, &packed, nullptr, &flat, nullptr); }, kHostCannotServe,
         "tdl6 message 0x400D refused by the host: a record or header does not fit ParamArea, or a header is "
         "none a bitmap can have"},
        {[&] { return ICDecompressQuery(codec, &crowded, &rgb); }, kHostCannotServe,
         "tdl6 message 0x400B refused by the driver: the headers do not fit ParamArea"},
        {[&] { return ICSendMessage(codec, ICM_DRAW_QUERY, 0, 0); }, ICERR_UNSUPPORTED,
         "tdl6 message 0x401F refused by the driver: no message the bridge carries"},
        {[&] { return ICSendMessage(codec, ICM_GETINFO, reinterpret_cast<DWORD_PTR>(&info), 8); }, 0,
         "tdl6 message 0x5002 refused by the driver: no room for ICINFO"},
        {[&] { return ICCompressQuery(codec, &rgb, nullptr); }, ICERR_ERROR, nullptr},
    };
    std::vector<std::string> expected = {"tdl5 ICOpen refused by the driver: the slot is switched off"};
    for (const auto& request : requests) {
        EXPECT_EQ(request.result, static_cast<int32_t>(request.call()));
        if (request.line != nullptr)
            expected.push_back(request.line);
    }
    ICClose(codec);
    std::string logged;
    ASSERT_TRUE(ReadWholeFile(log, &logged));
    for (const std::string& line : expected) {
        size_t at = logged.find(line);
        EXPECT_NE(std::string::npos, at) << line << " in\n" << logged;
        logged.erase(0, logged.find('\n', at) + 1);
    }
    EXPECT_EQ("", logged) << "no other lines";
}

// The program's window owns the codec's dialog, which disables it (modal)
// and comes in front; the window keeps painting while the dialog is up, and
// the call gives the codec's answer once the dialog is closed.
TEST_F(BridgeTest, CodecDialogIsModalToTheProgramsWindowWhichKeepsPainting)
{
    AssignSlot(8, fcc);
    script->showDialogs = 1;
    HWND window = CreateCountingWindow();
    HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(8), ICMODE_COMPRESS);
    ASSERT_NE(nullptr, codec);
    ASSERT_EQ(ICERR_OK, Query(codec));
    DWORD host = script->openProcess;
    for (bool about : {false, true}) {
        SCOPED_TRACE(about ? "About" : "Configure");
        // Owner, owner disabled, in front, repainted.
        auto user = std::async(std::launch::async, [&] {
            MessageBoxSeen shown;
            std::vector<uintptr_t> seen;
            // The recording codec's message box, shown by this instance's host.
            if (!WaitForMessageBox(host, 20000, &shown) || shown.caption != "Test codec")
                return seen;
            HWND box = shown.window;
            seen.push_back(reinterpret_cast<uintptr_t>(GetWindow(box, GW_OWNER)));
            seen.push_back(!IsWindowEnabled(window));
            seen.push_back(PollUntil(2000, [&] { return GetForegroundWindow() == box; }));
            int paints = g_paints;
            InvalidateRect(window, nullptr, TRUE);
            seen.push_back(PollUntil(5000, [&] { return g_paints > paints; }));
            AnswerMessageBox(box, IDOK);
            return seen;
        });
        EXPECT_EQ(ICERR_OK, about ? ICAbout(codec, window) : ICConfigure(codec, window));
        EXPECT_EQ((std::vector<uintptr_t> {reinterpret_cast<uintptr_t>(window), 1, 1, 1}), user.get());
        EXPECT_TRUE(IsWindowEnabled(window));
    }
    ICClose(codec);
    DestroyWindow(window);
}

// A close while another thread waits in the instance ends the host, fails
// the waiting call at once and returns when that call has left; a dialog
// owned by the closing thread's window gives the window back.
TEST_F(BridgeTest, CloseWhileAnotherThreadWaitsFailsThatCallAndReturns)
{
    AssignSlot(9, fcc);
    ASSERT_TRUE(ProfileWriteString(settings.c_str(), "GENERAL", "iTimeout", "60"));
    HWND window = CreateCountingWindow();
    script->showDialogs = 1;
    script.Answer(ICM_COMPRESS_QUERY, kAnswerHang);
    struct {
        UINT message;
        std::function<LRESULT(HIC)> call;
    } waits[] = {
        {ICM_CONFIGURE, [&](HIC codec) { return ICConfigure(codec, window); }},
        {ICM_COMPRESS_QUERY, [this](HIC codec) { return Query(codec); }},
    };
    for (const auto& wait : waits) {
        SCOPED_TRACE(wait.message);
        HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(9), ICMODE_COMPRESS);
        script.ClearCalls();
        auto waiting = std::async(std::launch::async, [&] { return wait.call(codec); });
        ASSERT_TRUE(PumpUntil(20000, [&] { return !script.CallsOf(wait.message).empty(); }));
        WatchedProcess host;
        EXPECT_TRUE(host.Watch(script->openProcess));
        DWORD start = GetTickCount();
        ICClose(codec);
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_TRUE(host.EndsWithin(0)) << "ended, not kept for the next instance";
        ASSERT_EQ(std::future_status::ready, waiting.wait_for(std::chrono::seconds(5)));
        EXPECT_NE(ICERR_OK, waiting.get());
        EXPECT_TRUE(IsWindowEnabled(window));
    }
    DestroyWindow(window);
}

// After ICClose the host serves the program's next open of any slot: the
// new slot's codec answers, opened in the same process after the one before
// was closed, freed and unloaded, as in a program that opens codecs itself.
TEST_F(BridgeTest, AClosedInstancesHostServesTheNextOpenOfAnySlot)
{
    std::string otherText = UniqueFccText('o');
    uint32_t otherFcc = mmioFOURCC(otherText[0], otherText[1], otherText[2], otherText[3]);
    TestCodecScript other;
    ASSERT_TRUE(RegisterTestCodec(otherText.c_str()) && other.Create(otherFcc));
    other.Answer(ICM_COMPRESS_QUERY, ICERR_BADFORMAT);
    AssignSlot(1, fcc);
    AssignSlot(2, otherFcc);
    const struct {
        int slot;
        TestCodecScript& codec;
        LRESULT answer;
    } steps[] = {{1, script, ICERR_OK}, {2, other, ICERR_BADFORMAT}, {1, script, ICERR_OK}};
    DWORD first = 0;
    for (const auto& step : steps) {
        uint32_t closed = step.codec->closeCount;
        DWORD host = 0;
        EXPECT_EQ(step.answer, OpenQueryClose(step.slot, &host)) << step.slot;
        EXPECT_EQ(closed + 1, step.codec->closeCount) << "closed by ICClose";
        EXPECT_EQ(1u, step.codec->moduleOpens) << "the codec before was unloaded";
        first = first != 0 ? first : host;
        EXPECT_EQ(first, host) << "one host";
    }
    UnregisterTestCodec(otherText.c_str());
}

// Two hosts wait at the most; one ended while it waits is not taken; each
// ends once it has waited kHostIdleMs unused.
TEST_F(BridgeTest, AtMostTwoHostsWaitEachUntilItsIdleTimeIsUp)
{
    HIC codecs[3];
    DWORD hosts[3];
    WatchedProcess watched[3];
    for (int slot = 0; slot < 3; ++slot) {
        AssignSlot(slot, fcc);
        codecs[slot] = ICOpen(ICTYPE_VIDEO, SlotFourCC(slot), ICMODE_COMPRESS);
        ASSERT_EQ(ICERR_OK, Query(codecs[slot]));
        hosts[slot] = script->openProcess;
        ASSERT_TRUE(watched[slot].Watch(hosts[slot]));
    }
    for (HIC codec : codecs)
        ICClose(codec);
    EXPECT_EQ((std::vector<bool> {false, false, true}),
              (std::vector<bool> {watched[0].EndsWithin(0), watched[1].EndsWithin(0),
                                  watched[2].EndsWithin(0)}));
    watched[1].EndsWithin(INFINITE, true);
    DWORD host = 0;
    EXPECT_EQ(ICERR_OK, OpenQueryClose(2, &host));
    EXPECT_EQ(hosts[0], host);
    DWORD closed = GetTickCount();
    EXPECT_TRUE(watched[0].EndsWithin(kHostIdleMs + kHostEndMs));
    EXPECT_GE(GetTickCount() - closed, kHostIdleMs * 9 / 10) << "not before its idle time";
}

// Open, query and close, over and over: one host serves it all, and neither
// this program nor the host holds more handles or memory at the end than
// after the first few cycles. Wine's mrle, which, unlike the recording
// codec's runtime, leaves nothing behind when it is unloaded.
TEST_F(BridgeTest, ThreeHundredOpensAndClosesLeaveNothingBehind)
{
    AssignSlot(5, mmioFOURCC('m', 'r', 'l', 'e'));
    DWORD host = 0;
    WatchedProcess watched;
    ProcessUse used[2][2];
    for (int cycle = 0; cycle < 300; ++cycle) {
        HIC codec = ICOpen(ICTYPE_VIDEO, SlotFourCC(5), ICMODE_COMPRESS);
        ASSERT_EQ(ICERR_UNSUPPORTED, Query(codec)) << "mrle's own answer to 24-bit input";
        ICClose(codec);
        std::vector<DWORD> waiting = RunningChildrenNamed("Tandrel64.exe");
        ASSERT_EQ(1u, waiting.size());
        if (host == 0) {
            host = waiting[0];
            ASSERT_TRUE(watched.Watch(host));
        }
        ASSERT_EQ(host, waiting[0]) << "one host serves it all";
        if (cycle == 20 || cycle == 299) {
            ASSERT_TRUE(ReadProcessUse(GetCurrentProcessId(), &used[cycle == 299][0])
                        && ReadProcessUse(host, &used[cycle == 299][1]));
        }
    }
    for (int process : {0, 1}) {
        EXPECT_LE(used[1][process].handles, used[0][process].handles + 8) << process;
        EXPECT_LE(used[1][process].privateBytes, used[0][process].privateBytes + (1 << 20)) << process;
    }
    EXPECT_TRUE(watched.EndsWithin(kHostIdleMs + kHostEndMs)) << "no host stays";
}
