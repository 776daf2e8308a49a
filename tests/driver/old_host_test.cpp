// The client driver with a host of an older protocol: a copy of the driver
// beside tests/old_host's Tandrel64.exe, the real host whose window answers
// as a host that predates the handshake (the classic layouts) or as one of
// protocol 2 (the driver asks again for the whole-header layouts). A 64-bit
// program must get from it what it gets through the real host, which the
// driver in the build folder starts: the same sessions of the demo's real
// clients on the same codec, transcript against transcript.

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "demo/client_sessions.h"
#include "demo/codec_session.h"
#include "demo/demo_slot.h"
#include "demo/session_steps.h"
#include "drivers32_values.h"
#include "settings_files.h"
#include "test_codec_script.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

const char kProtocolVariable[] = "TANDREL_OLD_HOST_PROTOCOL";

// The codec's slots: one through the real host, one through the old host.
struct SlotPair {
    int real;
    int old;
};
const SlotPair kRecorderSlots = {4, 5};
const SlotPair kMrleSlots = {6, 7};

// What each start of the old host answered to the handshakes, as it records
// them ("LAYOUTS VERSION ANSWER"): the driver asks for the whole-record
// layouts, and from a host of protocol 2, whose answer keeps the classic
// layouts, for the whole-header layouts.
const char kPredatesHandshake[] = "2 4 0\n";
const char kProtocol2[] = "2 4 2\n1 4 10002\n";

struct Row {
    const SlotPair* slots;
    uint32_t receipts; // of the recording codec (see test_codec_control.h)
    std::vector<std::string> values; // the session, then its values after the codec; "FILE": a file
};

class OldHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        CreateRealSettingsDirectory();
        recorder = UniqueFccText('o');
        ASSERT_TRUE(RegisterTestCodec(recorder.c_str()));
        ASSERT_TRUE(script.Create(CodecFourCC(recorder)));
        script->infoFlags = VIDCF_TEMPORAL | VIDCF_QUALITY | VIDCF_CRUNCH;
        script->recording = 0;
        folder = std::make_unique<ToolFolder>("old host");
        ASSERT_TRUE(folder->Add("TandrelDrv64.dll"));
        ASSERT_TRUE(folder->Add("old_host\\Tandrel64.exe"));
        oldDriver = ShortPath(folder->PathOf("TandrelDrv64.dll"));
        // Both slots of a codec as the configuration tool describes it, asked once.
        for (const auto& [slots, codec] :
             {std::make_pair(kRecorderSlots, recorder), std::make_pair(kMrleSlots, std::string("mrle"))}) {
            ASSERT_TRUE(WriteSlotCodec(slots.real, codec.c_str()));
            std::vector<char> section(4096);
            std::string settings = RealSettingsFile();
            std::string real = "tdl" + std::to_string(slots.real);
            std::string old = "tdl" + std::to_string(slots.old);
            ASSERT_GT(GetPrivateProfileSectionA(real.c_str(), section.data(), 4096, settings.c_str()), 0u);
            ASSERT_TRUE(WritePrivateProfileSectionA(old.c_str(), section.data(), settings.c_str()));
            ASSERT_TRUE(drivers.Set(HKEY_LOCAL_MACHINE, "vidc." + real, BinPath("TandrelDrv64.dll"),
                                    KEY_WOW64_64KEY));
            ASSERT_TRUE(drivers.Set(HKEY_LOCAL_MACHINE, "vidc." + old, oldDriver, KEY_WOW64_64KEY));
        }
    }
    void TearDown() override
    {
        SetEnvironmentVariableA(kProtocolVariable, nullptr);
        DeleteFileA(file.c_str());
        UnregisterTestCodec(recorder.c_str());
        RemoveRealSettings();
        if (folder == nullptr)
            return;
        std::string path = folder->PathOf(".");
        folder.reset();
        EXPECT_FALSE(PathExists(path)) << "the old host's folder is left behind";
    }

    Transcript Run(const Row& row, int slot)
    {
        std::vector<std::string> arguments = {row.values[0], "tdl" + std::to_string(slot)};
        for (size_t i = 1; i < row.values.size(); ++i)
            arguments.push_back(row.values[i] == "FILE" ? file : row.values[i]);
        Transcript transcript;
        SessionFigures figures;
        EXPECT_TRUE(RunClientSession(arguments, &transcript));
        TakeFiguresStep(&transcript, &figures);
        return transcript;
    }

    // Each row through the real host and through the old host of
    // `protocol` ("1": it predates the handshake), which must start and
    // answer each handshake as `handshakes` says.
    void ExpectSameAsRealHost(const char* protocol, const std::string& handshakes,
                              std::initializer_list<Row> rows)
    {
        ASSERT_TRUE(SetEnvironmentVariableA(kProtocolVariable, protocol));
        for (const Row& row : rows) {
            std::string text;
            for (const std::string& value : row.values)
                text += value + " ";
            SCOPED_TRACE(text);
            script->receipts = row.receipts;
            Transcript real = Run(row, row.slots->real);
            Transcript old = Run(row, row.slots->old);
            ExpectHandshakes(handshakes);
            ASSERT_GT(real.size(), 2u);
            int at = FirstDifference(real, old);
            EXPECT_EQ(-1, at) << "step " << at << ": "
                              << (at >= 0 && static_cast<size_t>(at) < real.size() ? real[at].what : "none");
        }
    }

    // The old host's handshakes since the last call: `block` for each start, at least one.
    void ExpectHandshakes(const std::string& block)
    {
        std::string recorded;
        ASSERT_TRUE(ReadWholeFile(folder->PathOf("handshakes.txt"), &recorded))
            << "the old host never started";
        ASSERT_TRUE(DeleteFileA(folder->PathOf("handshakes.txt").c_str()));
        std::string expected;
        while (expected.size() < recorded.size())
            expected += block;
        EXPECT_EQ(expected, recorded);
    }

    std::string recorder;
    TestCodecScript script;
    Drivers32Values drivers;
    std::unique_ptr<ToolFolder> folder;
    std::string oldDriver;
    const std::string file = FreshTempPath("old-host.avi");
};

}

// The demo's codec session (formats, sizes, state, a clip compressed with
// key frames and changes and decompressed again), the sequence calls and a
// delta frame after going back, on the recording codec (24-bit frames, no
// colour table). Neither older layout carries the previous frame or the
// program's chunk id and index flags to the codec, so the recording codec
// folds what it received (receipts) only into the codec session, whose
// frames need neither.
TEST_F(OldHostTest, AHostThatPredatesTheHandshakeGivesWhatTheRealHostGives)
{
    ExpectSameAsRealHost("1", kPredatesHandshake,
                         {
                             {&kRecorderSlots, 1, {"codec-session", "48", "32", "24", "4", "2"}},
                             {&kRecorderSlots, 0, {"seq-compress", "FILE", "24", "4"}},
                             {&kRecorderSlots, 0, {"delta-back", "24"}},
                         });
}

// The driver asks a host of protocol 2 again, for the whole-header layouts,
// in which headers carry their colour tables: Wine's mrle reads the input's
// behind its header.
TEST_F(OldHostTest, AHostOfProtocol2GivesWhatTheRealHostGives)
{
    ExpectSameAsRealHost("2", kProtocol2,
                         {
                             {&kRecorderSlots, 1, {"codec-session", "48", "32", "24", "4", "2"}},
                             {&kMrleSlots, 0, {"codec-session", "64", "48", "8", "6", "3"}},
                             {&kMrleSlots, 0, {"seq-compress", "FILE", "8", "4"}},
                         });
}
