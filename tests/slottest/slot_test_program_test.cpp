// TandrelSlotTest.exe run as the configuration tool runs it, on a slot set
// up for each way a slot fails for real under Wine: from a folder of its own
// beside a copy of the driver and Tandrel64.exe, registered for that copy,
// its exit code and report read back.

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <string>

#include "catalogue/fourcc.h"
#include "decode_only_codec.h"
#include "drivers32_values.h"
#include "maint/slot_test_report.h"
#include "settings/profile.h"
#include "settings_files.h"
#include "test_codec_script.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

const int kSlot = 6;

enum class SlotSetup {
    Plain,
    NotRegistered,
    NoHostExe,
    DllGone, // the recording codec registered, then its DLL deleted
    RefusesOpen,
    FaultsInOpen,
    TakesNoInput, // and decompresses another format than its FourCC's
    DecodeOnly, // the decode-only codec, which refuses to open for compression
    FormatFromRgb32Only, // gives a decompressed format only for an output pre-filled as 32-bit RGB
    DecodesNothing, // refuses every decompressed format
};

struct SlotCase {
    const char* name;
    const char* codec; // a codec of Wine's, or nullptr for the recording codec
    int enable;
    SlotSetup setup;
    int exitCode;
    SlotTestCause cause;
    // The report's last line, written out here.
    const char* resultLine;
};

void PrintTo(const SlotCase& slotCase, std::ostream* out)
{
    *out << slotCase.name;
}

const SlotCase kCases[] = {
    {"WorkingMrle", "mrle", 1, SlotSetup::Plain, 0, SlotTestCause::Works, "result: 0 works"},
    {"Unticked", "mrle", 0, SlotSetup::Plain, 6, SlotTestCause::Unticked, "result: 6 unticked"},
    {"DriverNotRegistered", "mrle", 1, SlotSetup::NotRegistered, 5, SlotTestCause::NotRegistered, "result: 5 not-registered"},
    {"HostExeMissing", "mrle", 1, SlotSetup::NoHostExe, 6, SlotTestCause::HostExeMissing, "result: 6 host-exe-missing"},
    {"CodecDllGone", nullptr, 1, SlotSetup::DllGone, 7, SlotTestCause::CodecNotOpened, "result: 7 codec-not-opened"},
    {"CodecRefusesOpen", nullptr, 1, SlotSetup::RefusesOpen, 7, SlotTestCause::CodecNotOpened, "result: 7 codec-not-opened"},
    {"CodecFaultsInOpen", nullptr, 1, SlotSetup::FaultsInOpen, 7, SlotTestCause::HostEnded, "result: 7 host-ended"},
    {"DecompressOnlyCvid", "cvid", 1, SlotSetup::Plain, 0, SlotTestCause::WorksDecompressOnly, "result: 0 works-decompress-only"},
    {"CodecTakesNoInput", nullptr, 1, SlotSetup::TakesNoInput, 8, SlotTestCause::NoInputTaken, "result: 8 no-input-taken"},
    {"DecodeOnlyCodec", nullptr, 1, SlotSetup::DecodeOnly, 0, SlotTestCause::WorksDecompressOnly, "result: 0 works-decompress-only"},
    {"FormatFromRgb32Only", nullptr, 1, SlotSetup::FormatFromRgb32Only, 0, SlotTestCause::Works, "result: 0 works"},
    {"CodecDecodesNothing", nullptr, 1, SlotSetup::DecodesNothing, 0, SlotTestCause::WorksCompressOnly, "result: 0 works-compress-only"},
};

class SlotTestProgram : public ::testing::TestWithParam<SlotCase> {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        CreateRealSettingsDirectory();
        for (const char* file :
             {"Tandrel64.exe", "TandrelDrv64.dll", "TandrelSlotTest.exe", kTestCodecDllName})
            ASSERT_TRUE(folder.Add(file));
    }
    void TearDown() override
    {
        UnregisterTestCodec(fccText.c_str());
        RemoveRealSettings();
    }

    // The recording codec under a FourCC of this process, scripted for the
    // case; its DLL is the folder's copy where the case deletes it.
    void SetUpRecordingCodec(SlotSetup setup)
    {
        fccText = UniqueFccText('s');
        ASSERT_TRUE(script.Create(FourCCFromText(fccText.c_str())));
        std::string dll = setup == SlotSetup::DllGone  ? ShortPath(folder.PathOf(kTestCodecDllName))
            : setup == SlotSetup::DecodeOnly ? BinPath(kDecodeOnlyCodecDllName)
                                             : BinPath(kTestCodecDllName);
        ASSERT_TRUE(RegisterTestCodec(fccText.c_str(), dll.c_str()));
        if (setup == SlotSetup::DllGone) {
            ASSERT_TRUE(DeleteFileA(dll.c_str()));
        }
        if (setup == SlotSetup::RefusesOpen)
            script->refuseOpenModes = ~0u;
        if (setup == SlotSetup::FaultsInOpen)
            script.Answer(DRV_OPEN, kAnswerFault);
        if (setup == SlotSetup::TakesNoInput) {
            script->acceptedInputs = InputNoneOfThese;
            script->outputFcc = mmioFOURCC('T', 'D', 'L', 'X');
        }
        script->formatFromRgb32Only = setup == SlotSetup::FormatFromRgb32Only;
        if (setup == SlotSetup::DecodesNothing)
            script.Answer(ICM_DECOMPRESS_GET_FORMAT, ICERR_BADFORMAT);
    }

    void AssignSlot(const char* codec, int enable)
    {
        std::string path = RealSettingsFile();
        std::string section = "tdl" + std::to_string(kSlot);
        uint32_t fcc = FourCCFromText(codec);
        ASSERT_TRUE(ProfileWriteInt(path.c_str(), section.c_str(), "iEnable", &enable));
        ASSERT_TRUE(ProfileWriteHex(path.c_str(), section.c_str(), "dwFcc", &fcc));
        ASSERT_TRUE(ProfileWriteString(path.c_str(), section.c_str(), "pcFcc", codec));
    }

    ToolFolder folder {"slot test"};
    SlotDriversSnapshot slotDrivers;
    TestCodecScript script;
    std::string fccText;
};

}

TEST_P(SlotTestProgram, ExitCodeAndReportNameTheCause)
{
    const SlotCase& slotCase = GetParam();
    if (slotCase.codec == nullptr)
        SetUpRecordingCodec(slotCase.setup);
    AssignSlot(slotCase.codec != nullptr ? slotCase.codec : fccText.c_str(), slotCase.enable);
    std::string driver = ShortPath(folder.PathOf("TandrelDrv64.dll"));
    bool registered
        = SetSlotDriverValue(kSlot, slotCase.setup == SlotSetup::NotRegistered ? kMissingValue : driver);
    EXPECT_TRUE(registered || slotCase.setup == SlotSetup::NotRegistered)
        << "nothing to remove is no failure";
    ASSERT_EQ(slotCase.setup == SlotSetup::NotRegistered, SlotDriverValue(kSlot) == kMissingValue);
    if (slotCase.setup == SlotSetup::NoHostExe) {
        ASSERT_TRUE(DeleteFileA(folder.PathOf("Tandrel64.exe").c_str()));
    }

    TempFile reportFile("slot report");
    const std::string& reportPath = reportFile.Path();
    int exitCode = RunToExit(folder.PathOf("TandrelSlotTest.exe"),
                             "/test:tdl" + std::to_string(kSlot) + " \"/out:" + reportPath + "\"");
    std::string report;
    ASSERT_TRUE(ReadWholeFile(reportPath, &report));
    SlotTestSummary summary;
    ASSERT_TRUE(ReadSlotTestReport(report, &summary)) << report;
    EXPECT_EQ(slotCase.exitCode, exitCode) << report;
    EXPECT_EQ(std::string(slotCase.resultLine) + "\n", report.substr(report.rfind("result: "))) << report;
    EXPECT_TRUE(slotCase.cause == summary.cause) << report;
    if (slotCase.exitCode == 0) {
        EXPECT_FALSE(summary.openTime.empty()) << report;
    }
    EXPECT_EQ(slotCase.cause == SlotTestCause::Works || slotCase.cause == SlotTestCause::WorksCompressOnly,
              !summary.frameTime.empty())
        << report;
    if (slotCase.cause == SlotTestCause::Works) {
        EXPECT_NE(std::string::npos, report.find("decompress: ok")) << report;
    }
}

INSTANTIATE_TEST_SUITE_P(RealCauses, SlotTestProgram, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SlotCase>& info) { return info.param.name; });

// Malformed command lines end with 1, as the manager tool's do, and test
// nothing.
TEST(SlotTestArguments, MalformedCommandLinesEndWithOne)
{
    for (const char* arguments : {"", "/test:tdl", "/test:tdl10", "/test:TDL1", "/test:tdl1 /test:tdl2",
                                  "/test:tdl1 /out:", "/out:x.txt", "/test:tdl1 extra"})
        EXPECT_EQ(1, RunToExit(BinPath("TandrelSlotTest.exe"), arguments)) << arguments;
}
