#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "catalogue/codec_info.h"
#include "catalogue/fourcc.h"
#include "drivers32_values.h"
#include "test_codec_script.h"

namespace {

class CodecInfoTest : public ::testing::Test {
protected:
    // The test codec registered under `fccText` and scripted.
    TestCodecScript& Install(const char* fccText)
    {
        EXPECT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, std::string("vidc.") + fccText));
        scripts.emplace_back(new TestCodecScript());
        EXPECT_TRUE(scripts.back()->Create(FourCCFromText(fccText)));
        return *scripts.back();
    }

    Drivers32Values values;
    std::vector<std::unique_ptr<TestCodecScript>> scripts;
};

// "found" or "none", then the name, version, description, driver, flags and
// ICM version.
std::string InfoOf(const char* fccText)
{
    char texts[4][MAX_PATH] = {"old", "old", "old", "old"};
    uint32_t values[2] = {9, 9};
    bool found = GetCodecInfo(FourCCFromText(fccText), texts[0], texts[1], texts[2], texts[3], &values[0],
                              &values[1]);
    return std::string(found ? "found" : "none") + "|" + texts[0] + "|" + texts[1] + "|" + texts[2] + "|"
        + texts[3] + "|" + std::to_string(values[0]) + "|" + std::to_string(values[1]);
}

}

TEST_F(CodecInfoTest, DescribesTheCodecFromItsOwnInformation)
{
    TestCodecScript& script = Install("tci1");
    script->version = 0x80000001;
    SetScriptText(script->name, 16, "FifteenCharName");
    std::string longDescription(127, 'd');
    SetScriptText(script->description, 128, longDescription.c_str());
    SetScriptText(script->driver, 128, "tandrel_test_codec.dll");

    EXPECT_EQ("found|FifteenCharName|-2147483647|" + longDescription + "|tandrel_test_codec.dll|"
                  + std::to_string(VIDCF_QUALITY) + "|" + std::to_string(ICVERSION),
              InfoOf("tci1"));
    ASSERT_EQ(1u, script.CallsOf(ICM_GETINFO).size());
    EXPECT_EQ(sizeof(ICINFO), script.CallsOf(ICM_GETINFO)[0].dw2.raw);
    EXPECT_EQ(1u, script->openCount);
    EXPECT_EQ(1u, script->closeCount);
    // Installed means: opens for compression; the open is closed again.
    EXPECT_TRUE(IsCodecInstalled(FourCCFromText("tci1")));
    EXPECT_EQ(2u, script->closeCount);
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tci9")));

    Install("tci2")->refuseOpenModes = 1u << ICMODE_DECOMPRESS;
    EXPECT_EQ("none|||||0|0", InfoOf("tci2"));
    TestCodecScript& silent = Install("tci3");
    silent->version = 7;
    silent.Answer(ICM_GETINFO, 0);
    EXPECT_EQ("found||0|||0|0", InfoOf("tci3"));
}

// The first input the codec accepts gives the output FourCC (the codec's
// inputs are asked in order: 32-bit, 24-bit RGB, YUY2); a codec that gives
// no format for any, its own FourCC; one that does not open for
// compression, 0. Each open is closed again.
TEST_F(CodecInfoTest, ProbeTakesTheFirstInputTheCodecAccepts)
{
    struct Case {
        const char* fccText;
        uint32_t acceptedInputs;
        size_t formatCalls; // a size question per refused input, two for the accepted one
        const char* output;
    };
    const Case cases[] = {
        {"tcp1", 0, 2, "OUTP"},
        {"tcp3", InputRgb24 | InputYuy2, 3, "OUTP"},
        {"tcp4", InputYuy2, 4, "OUTP"},
        {"tcp5", 0, 3, "tcp5"},
    };
    for (const Case& c : cases) {
        TestCodecScript& script = Install(c.fccText);
        script->acceptedInputs = c.acceptedInputs;
        script->outputFcc = FourCCFromText("OUTP");
        if (c.output != std::string("OUTP"))
            script.Answer(ICM_COMPRESS_GET_FORMAT, 0);
        uint32_t output = 0;
        EXPECT_TRUE(ProbeOutputFourCC(FourCCFromText(c.fccText), &output)) << c.fccText;
        EXPECT_EQ(FourCCFromText(c.output), output) << c.fccText;
        std::vector<TestCodecCall> calls = script.CallsOf(ICM_COMPRESS_GET_FORMAT);
        ASSERT_EQ(c.formatCalls, calls.size()) << c.fccText;
        EXPECT_EQ(c.output == std::string("OUTP"), calls.back().dw2.region != RegionNull) << c.fccText;
        EXPECT_EQ(RegionNull, calls[c.formatCalls - 2].dw2.region) << c.fccText;
        EXPECT_EQ(script->openCount, script->closeCount);
    }

    TestCodecScript& decompressOnly = Install("tcp7");
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;
    uint32_t output = 1;
    EXPECT_FALSE(ProbeOutputFourCC(FourCCFromText("tcp7"), &output));
    EXPECT_EQ(0u, output);
    EXPECT_TRUE(decompressOnly.CallsOf(ICM_COMPRESS_GET_FORMAT).empty());
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tcp7")));
}
