#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/codec_info.h"
#include "catalogue/fourcc.h"
#include "drivers32_values.h"
#include "test_codec_script.h"

namespace {

class CodecInfoTest : public ::testing::Test {
protected:
    // Registers the test codec under `fccText` and scripts it.
    void Install(const char* fccText, TestCodecScript* script)
    {
        ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, std::string("vidc.") + fccText));
        ASSERT_TRUE(script->Create(FourCCFromText(fccText)));
    }

    Drivers32Values values;
};

struct Info {
    bool found;
    char name[MAX_PATH];
    char version[MAX_PATH];
    char description[MAX_PATH];
    char driver[MAX_PATH];
};

Info InfoOf(const char* fccText)
{
    Info info;
    for (char* text : {info.name, info.version, info.description, info.driver})
        std::strcpy(text, "old");
    info.found
        = GetCodecInfo(FourCCFromText(fccText), info.name, info.version, info.description, info.driver);
    return info;
}

}

TEST_F(CodecInfoTest, DescribesTheCodecFromItsOwnInformation)
{
    TestCodecScript script;
    Install("tci1", &script);
    script->version = 0x80000001;
    SetScriptText(script->name, 16, "FifteenCharName");
    std::string longDescription(127, 'd');
    SetScriptText(script->description, 128, longDescription.c_str());
    SetScriptText(script->driver, 128, "tandrel_test_codec.dll");

    Info info = InfoOf("tci1");
    EXPECT_TRUE(info.found);
    EXPECT_STREQ("FifteenCharName", info.name);
    EXPECT_STREQ("-2147483647", info.version);
    EXPECT_EQ(longDescription, info.description);
    EXPECT_STREQ("tandrel_test_codec.dll", info.driver);
    ASSERT_EQ(1u, script.CallsOf(ICM_GETINFO).size());
    EXPECT_EQ(sizeof(ICINFO), script.CallsOf(ICM_GETINFO)[0].dw2.raw);
    EXPECT_EQ(1u, script->openCount);
    EXPECT_EQ(1u, script->closeCount);

    // Only the wanted outputs are touched.
    char name[MAX_PATH] = "old";
    EXPECT_TRUE(GetCodecInfo(FourCCFromText("tci1"), name, nullptr, nullptr, nullptr));
    EXPECT_STREQ("FifteenCharName", name);
}

TEST_F(CodecInfoTest, CodecThatCannotDecompressOrInformLeavesTextsEmpty)
{
    TestCodecScript refusing;
    Install("tci2", &refusing);
    refusing->refuseOpenModes = 1u << ICMODE_DECOMPRESS;
    Info info = InfoOf("tci2");
    EXPECT_FALSE(info.found);
    for (const char* text : {info.name, info.version, info.description, info.driver})
        EXPECT_STREQ("", text);

    TestCodecScript silent;
    Install("tci3", &silent);
    silent->version = 7;
    silent.Answer(ICM_GETINFO, 0);
    info = InfoOf("tci3");
    EXPECT_TRUE(info.found);
    EXPECT_STREQ("", info.name);
    EXPECT_STREQ("", info.description);
    EXPECT_STREQ("0", info.version);
}

TEST_F(CodecInfoTest, ProbeTakesTheFirstInputTheCodecAccepts)
{
    struct Case {
        const char* fccText;
        uint32_t acceptedInputs;
        size_t formatCalls; // a size question per refused input, two for the accepted one
    };
    const Case cases[] = {
        {"tcp1", 0, 2},
        {"tcp2", InputRgb24, 3},
        {"tcp3", InputRgb24 | InputYuy2, 3},
        {"tcp4", InputYuy2, 4},
    };
    for (const Case& c : cases) {
        TestCodecScript script;
        Install(c.fccText, &script);
        script->acceptedInputs = c.acceptedInputs;
        script->outputFcc = FourCCFromText("OUTP");
        uint32_t output = 0;
        EXPECT_TRUE(ProbeOutputFourCC(FourCCFromText(c.fccText), &output)) << c.fccText;
        EXPECT_EQ(FourCCFromText("OUTP"), output) << c.fccText;
        std::vector<TestCodecCall> calls = script.CallsOf(ICM_COMPRESS_GET_FORMAT);
        ASSERT_EQ(c.formatCalls, calls.size()) << c.fccText;
        EXPECT_EQ(RegionNull, calls[calls.size() - 2].dw2.region) << c.fccText;
        EXPECT_NE(RegionNull, calls.back().dw2.region) << c.fccText;
        EXPECT_EQ(script->openCount, script->closeCount);
    }
}

TEST_F(CodecInfoTest, ProbeFallsBackToTheCodecsOwnFourCCOrZero)
{
    TestCodecScript noFormat;
    Install("tcp5", &noFormat);
    noFormat.Answer(ICM_COMPRESS_GET_FORMAT, 0);
    uint32_t output = 1;
    EXPECT_TRUE(ProbeOutputFourCC(FourCCFromText("tcp5"), &output));
    EXPECT_EQ(FourCCFromText("tcp5"), output);
    EXPECT_EQ(3u, noFormat.CallsOf(ICM_COMPRESS_GET_FORMAT).size());

    TestCodecScript decompressOnly;
    Install("tcp7", &decompressOnly);
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;
    output = 1;
    EXPECT_FALSE(ProbeOutputFourCC(FourCCFromText("tcp7"), &output));
    EXPECT_EQ(0u, output);
    EXPECT_TRUE(decompressOnly.CallsOf(ICM_COMPRESS_GET_FORMAT).empty());
}

TEST_F(CodecInfoTest, InstalledMeansOpensForCompression)
{
    TestCodecScript both;
    Install("tcn1", &both);
    TestCodecScript decompressOnly;
    Install("tcn2", &decompressOnly);
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;

    EXPECT_TRUE(IsCodecInstalled(FourCCFromText("tcn1")));
    EXPECT_EQ(1u, both->closeCount);
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tcn2")));
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tcn3")));
}
