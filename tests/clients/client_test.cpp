// Real clients through the bridge: each session of client_scenarios64.exe,
// a 64-bit program on a slot, against the same session of
// codec_reference.exe, the same program built for 32 bits, on the codec
// itself, transcript against transcript, each run twice in one program with a session of another codec
// between. Slots tdl0 to tdl2 serve Wine's mrle, a Cinepak decoder that
// refuses to compress (the decode-only test codec, Wine's cvid behind it)
// and Wine's msvc, tdl3 the recording test codec as a temporal codec that
// shows what reached it.
// Wine's own 64-bit mrle, cvid and msvc are blocked in this prefix's 64-bit
// view, so that a 64-bit program that finds a decompressor by itself (the
// frame reader) can only find a slot. The Cinepak and MS Video 1 files are
// written by ffmpeg before these tests (make_client_files.sh). For the
// DirectShow player, Wine's own 64-bit Cinepak and MS Video 1 decoders are
// switched off for the 64-bit program alone, as a user does for one
// program: a DLL override in the program's application defaults.

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/session_steps.h"
#include "demo/demo_slot.h"
#include "demo/reference_run.h"
#include "drivers32_values.h"
#include "settings_files.h"
#include "test_codec_script.h"
#include "test_process.h"

namespace {

const DWORD kProgramTimeoutMs = 180000;
const char* const kWineCodecs[] = {"mrle", "cvid", "msvc"};
const int kDecoderSlot = 1;
const int kRecorderSlot = 3;
const char kProgramOverrides[] = "Software\\Wine\\AppDefaults\\client_scenarios64.exe\\DllOverrides";

// One session as both programs run it. CODEC stands for the slot's codec:
// the slot through the bridge, the codec itself directly. In the values,
// "@name" is a file of each program's own, "%name" the one the 32-bit
// program wrote, "!name" a file ffmpeg wrote.
struct Row {
    int slot;
    std::vector<std::string> values;
};

const char kClientFilePrefix[] = "tandrel-client-";

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        CreateRealSettingsDirectory();
        // A row reads only what a row of this test wrote.
        DeleteTempFiles(kClientFilePrefix);
        recorder = UniqueFccText('c');
        decoder = UniqueFccText('d');
        ASSERT_TRUE(RegisterTestCodec(recorder.c_str()) && RegisterDecodeOnlyCodec(decoder.c_str()));
        ASSERT_TRUE(script.Create(CodecFourCC(recorder)));
        script->infoFlags = VIDCF_TEMPORAL | VIDCF_QUALITY | VIDCF_CRUNCH | VIDCF_COMPRESSFRAMES;
        script->receipts = 1;
        const std::string codecs[] = {"mrle", decoder, "msvc", recorder};
        for (int slot = 0; slot < 4; ++slot) {
            std::string section = "tdl" + std::to_string(slot);
            // As the configuration tool assigns a codec: described by the codec itself.
            ASSERT_TRUE(WriteSlotCodec(slot, codecs[slot].c_str()));
            ASSERT_TRUE(drivers.Set(HKEY_LOCAL_MACHINE, "vidc." + section, BinPath("TandrelDrv64.dll"),
                                    KEY_WOW64_64KEY));
        }
        for (const char* codec : kWineCodecs) {
            ASSERT_TRUE(drivers.Set(HKEY_LOCAL_MACHINE, std::string("vidc.") + codec, "tandrel-blocked.dll",
                                    KEY_WOW64_64KEY));
            HIC builtin = ICOpen(ICTYPE_VIDEO, CodecFourCC(codec), ICMODE_DECOMPRESS);
            ASSERT_EQ(nullptr, builtin) << codec << ": a 64-bit program still finds Wine's own";
        }
        HKEY overrides = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, kProgramOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &overrides, nullptr));
        for (const char* dll : {"iccvid", "msvidc32"})
            EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(overrides, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1))
                << dll;
        RegCloseKey(overrides);
    }
    void TearDown() override
    {
        DeleteTempFiles(kClientFilePrefix);
        RegDeleteKeyA(HKEY_CURRENT_USER, kProgramOverrides);
        UnregisterTestCodec(recorder.c_str());
        UnregisterTestCodec(decoder.c_str());
        RemoveRealSettings();
    }

    std::string Codec(int slot, bool bridged) const
    {
        if (bridged)
            return "tdl" + std::to_string(slot);
        return slot == kRecorderSlot ? recorder : slot == kDecoderSlot ? decoder : kWineCodecs[slot];
    }

    static std::string File(const std::string& value, bool bridged)
    {
        char folder[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, folder);
        std::string name = value.substr(1);
        if (value[0] == '!')
            return TestBinDirectory() + "\\..\\client-files\\" + name;
        bool own = value[0] == '@' && bridged;
        return std::string(folder) + kClientFilePrefix + name + (own ? "-64" : "-32");
    }

    // The row, a session on another codec, and the row again, for one program: through the bridge the
    // second and third run on the hosts that the sessions before let go.
    std::vector<std::string> Arguments(const Row& row, bool bridged) const
    {
        const Row between = row.slot == kRecorderSlot ? Row {0, {"messages", "8"}}
                                                      : Row {kRecorderSlot, {"messages", "24"}};
        std::vector<std::string> arguments;
        for (const Row* session : {&row, &between, &row}) {
            if (!arguments.empty())
                arguments.push_back("then");
            arguments.push_back(session->values[0]);
            arguments.push_back(Codec(session->slot, bridged));
            for (size_t i = 1; i < session->values.size(); ++i) {
                const std::string& value = session->values[i];
                bool file = value[0] == '@' || value[0] == '%' || value[0] == '!';
                arguments.push_back(file ? File(value, bridged) : value);
            }
        }
        return arguments;
    }

    // Runs the row on both sides; a failed expectation names the first step
    // in which the bridge gave something else.
    void ExpectSameAsDirect(const Row& row)
    {
        std::string text = Codec(row.slot, false);
        for (const std::string& value : row.values)
            text += " " + value;
        SCOPED_TRACE(text);
        Transcript direct;
        Transcript bridged;
        script.ClearCalls();
        ASSERT_TRUE(
            RunTranscriptProgram("codec_reference.exe", Arguments(row, false), kProgramTimeoutMs, &direct));
        GetFormatCount directFormats = CountGetFormats();
        uint32_t opened = script->openCount;
        ASSERT_TRUE(RunTranscriptProgram("client_scenarios64.exe", Arguments(row, true), kProgramTimeoutMs,
                                         &bridged));
        // The bridge may ask the codec for a format's size before the format, but for nothing else.
        GetFormatCount bridgedFormats = CountGetFormats();
        EXPECT_EQ(directFormats.formats, bridgedFormats.formats);
        EXPECT_LE(bridgedFormats.all, directFormats.all + directFormats.formats);
        // Only the codec's information comes without a host.
        if (row.slot == kRecorderSlot && row.values[0] != "codec-info") {
            EXPECT_GT(script->openCount, opened) << "a host opened the codec for the 64-bit program";
        }
        int at = FirstDifference(direct, bridged);
        EXPECT_EQ(-1, at) << Difference(direct, bridged, at);
    }

    // The GET_FORMAT requests the recording codec saw since the last count:
    // all of them, and those that asked for the format rather than its size.
    struct GetFormatCount {
        size_t all = 0;
        size_t formats = 0;
    };
    GetFormatCount CountGetFormats()
    {
        GetFormatCount count;
        EXPECT_LE(script->callCount, kTestCodecMaxCalls) << "calls beyond the record";
        for (uint32_t message : {ICM_COMPRESS_GET_FORMAT, ICM_DECOMPRESS_GET_FORMAT}) {
            for (const TestCodecCall& call : script.CallsOf(message)) {
                ++count.all;
                count.formats += call.dw2.region != RegionNull;
            }
        }
        script.ClearCalls();
        return count;
    }

    static std::string Difference(const Transcript& direct, const Transcript& bridged, int at)
    {
        auto describe = [at](const Transcript& transcript, const Transcript& other) {
            if (static_cast<size_t>(at) >= transcript.size())
                return std::string("no such step");
            const SessionStep& step = transcript[at];
            size_t byte = 0;
            while (static_cast<size_t>(at) < other.size() && byte < step.data.size()
                   && byte < other[at].data.size() && step.data[byte] == other[at].data[byte])
                ++byte;
            return step.what + " " + std::to_string(step.result) + ", " + std::to_string(step.data.size())
                + " bytes, the same up to byte " + std::to_string(byte);
        };
        return "step " + std::to_string(at) + ": directly " + describe(direct, bridged)
            + "; through the slot " + describe(bridged, direct);
    }

    std::string recorder;
    std::string decoder;
    TestCodecScript script;
    Drivers32Values drivers;
};

}

// Wine's mrle through tdl0: the demo's session, AVIFile's writer with key
// frames every 4 and with a data rate, the sequence calls, a delta frame
// after going back, chunk ids and frame flags, both series at once (which mrle refuses), what programs
// send besides the frames, the frame
// reader on the file the 32-bit sequence wrote, and a player whose stream
// format states only the first, smallest frame.
TEST_F(ClientTest, WineCodecsThroughASlotAnswerAsCalledDirectly)
{
    const Row rows[] = {
        {0, {"codec-info"}},
        {0, {"codec-session", "320", "240", "8", "30", "10"}},
        {0, {"avi-write", "@written.avi", "8", "4", "0"}},
        {0, {"avi-write", "@written.avi", "8", "0", "60000"}},
        {0, {"seq-compress", "@sequence.avi", "8", "4"}},
        {0, {"delta-back", "8"}},
        {0, {"frame-fields", "8"}},
        {0, {"both-series", "8"}},
        {0, {"messages", "8"}},
        {0, {"avi-read", "%sequence.avi"}},
        {0, {"player", "640", "480"}},
        {0, {"player", "1920", "1080"}},
        {0, {"player", "3840", "2160"}},
    };
    for (const Row& row : rows)
        ExpectSameAsDirect(row);
}

// A player decoding each file itself, Wine's frame reader, and a DirectShow
// player whose AVI Decompressor finds the slot with ICLocate, begins its
// series with an output header in the stream's format and sends every frame
// with RGB.
TEST_F(ClientTest, FilesFfmpegWroteDecodeThroughSlotsAsDirectly)
{
    const Row rows[] = {
        {1, {"decode-file", "!cinepak.avi"}}, {2, {"decode-file", "!msvideo1.avi"}},
        {1, {"avi-read", "!cinepak.avi"}},    {2, {"avi-read", "!msvideo1.avi"}},
        {1, {"graph-play", "!cinepak.avi"}},  {2, {"graph-play", "!msvideo1-keys.avi"}},
    };
    for (const Row& row : rows)
        ExpectSameAsDirect(row);
}

// What programs find before they use a codec: the modes it opens in, the
// decompressor ICLocate finds for a file, and whether choosers and the
// video compressor category offer it. The decoder opens in every mode but
// those for compression, and is offered as a compressor only where it is
// directly.
TEST_F(ClientTest, ProgramsFindASlotWhereTheyFindItsCodec)
{
    const Row rows[] = {
        {kDecoderSlot, {"open-modes"}},       {0, {"open-modes"}},
        {kDecoderSlot, {"locate", "!cinepak.avi"}}, {0, {"locate", "!cinepak.avi"}},
        {kDecoderSlot, {"compressor-lists"}}, {0, {"compressor-lists"}},
    };
    for (const Row& row : rows)
        ExpectSameAsDirect(row);
}

// A DirectShow encoder takes the slot's compressor from the video compressor
// category: Wine's AVI Compressor, which compresses every frame without a
// BEGIN. Wine's mrle, and the recording codec.
TEST_F(ClientTest, ADirectShowEncoderCompressesWithoutABeginAsDirectly)
{
    for (const Row& row :
         {Row {0, {"graph-encode", "8", "4"}}, Row {kRecorderSlot, {"graph-encode", "24", "4"}}})
        ExpectSameAsDirect(row);
}

// The recording codec, a temporal codec that folds what it receives into
// what it gives back: the previous frame, chunk ids and index flags both
// ways, the output header after decompression, frames without input, both
// series at once, and the messages programs send besides the frames.
TEST_F(ClientTest, TheCodecReceivesWhatTheProgramSentAndItsAnswersComeBack)
{
    const Row rows[] = {
        {kRecorderSlot, {"codec-info"}},
        {kRecorderSlot, {"codec-session", "48", "32", "24", "4", "2"}},
        {kRecorderSlot, {"delta-back", "24"}},
        {kRecorderSlot, {"frame-fields", "24"}},
        {kRecorderSlot, {"both-series", "24"}},
        {kRecorderSlot, {"messages", "24"}},
        {kRecorderSlot, {"avi-write", "@recorded.avi", "24", "4", "0"}},
        {kRecorderSlot, {"avi-write", "@recorded.avi", "24", "4", "90000"}},
        {kRecorderSlot, {"seq-compress", "@recorded.avi", "24", "4"}},
    };
    for (const Row& row : rows)
        ExpectSameAsDirect(row);
}

// Slots whose sections lack the codec's flags and ICM version, as an older
// version or another tool writes them: AVIFile's writer, which decides on
// key frames, data rates and frame counts by those flags, gets the same
// files and answers as directly. Wine's mrle, and the recording codec
// scripted as a temporal codec and with the flags of an MPEG-4 codec (0xA8).
TEST_F(ClientTest, SlotsWithoutTheCodecsFlagsAnswerAsDirectly)
{
    for (const char* section : {"tdl0", "tdl3"}) {
        for (const char* key : {"dwFlags", "dwVersionICM"})
            ASSERT_TRUE(WritePrivateProfileStringA(section, key, nullptr, RealSettingsFile().c_str()));
    }
    const uint32_t temporal = script->infoFlags;
    const struct {
        int slot;
        uint32_t recorderFlags;
        const char* bits;
    } codecs[] = {{0, temporal, "8"}, {kRecorderSlot, temporal, "24"}, {kRecorderSlot, 0xA8, "24"}};
    for (const auto& codec : codecs) {
        script->infoFlags = codec.recorderFlags;
        const Row rows[] = {
            {codec.slot, {"codec-info"}},
            {codec.slot, {"avi-write", "@older.avi", codec.bits, "4", "0"}},
            {codec.slot, {"avi-write", "@older.avi", codec.bits, "0", "60000"}},
        };
        for (const Row& row : rows)
            ExpectSameAsDirect(row);
    }
}
