#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/codec_catalogue.h"
#include "catalogue/fourcc.h"
#include "drivers32_values.h"
#include "test_codec_script.h"

namespace {

// Index of the entry with exactly that FourCC text, or -1. The prefix may
// hold codecs of its own, so tests look their entries up.
int IndexOf(const char* fccText)
{
    for (int i = 0; g_codecCatalogue != nullptr && i < g_codecCatalogue->count; ++i) {
        if (std::strcmp(g_codecCatalogue->entries[i].pcFcc, fccText) == 0)
            return i;
    }
    return -1;
}

// "<dwFcc>/<dwbiFcc>|name|version|description", the FourCCs as text; "-"
// when no entry has that FourCC text. (Wine fills in a driver name that the
// codec leaves empty.)
std::string Described(const char* fccText)
{
    int index = IndexOf(fccText);
    if (index < 0)
        return "-";
    const CodecEntry& entry = g_codecCatalogue->entries[index];
    char fcc[kFourCCTextCapacity];
    char output[kFourCCTextCapacity];
    FourCCToText(entry.dwFcc, fcc);
    FourCCToText(entry.dwbiFcc, output);
    return std::string(fcc) + "/" + output + "|" + entry.pcName + "|" + entry.pcVersion + "|" + entry.pcDesc;
}

class CodecCatalogueTest : public ::testing::Test {
protected:
    void TearDown() override { FreeCodecCatalogue(); }

    Drivers32Values values;
};

}

TEST_F(CodecCatalogueTest, ListsVidcCodecsOfBothRootsAndSystemIniOnceEachAndDescribesThem)
{
    TestCodecScript mjpg;
    ASSERT_TRUE(mjpg.Create(FourCCFromText("MJPG")));
    SetScriptText(mjpg->name, 16, "Motion");
    SetScriptText(mjpg->description, 128, "Motion test codec");
    SetScriptText(mjpg->driver, 128, "mjpg driver");
    mjpg->version = 42;
    mjpg->outputFcc = FourCCFromText("mjpc");
    for (const char* name : {"vidc.MJPG", "ViDc.t2", "vidc.tc6abc", "msacm.tcx1"})
        ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, name));
    // Also in Wine's system.ini, as "vidc.msvc".
    ASSERT_TRUE(values.Set(HKEY_LOCAL_MACHINE, "vidc.MSVC", "msvidc32.dll"));
    for (const char* name : {"vidc.mjpg", "VIDC.Tcu1"})
        ASSERT_TRUE(values.SetTestCodec(HKEY_CURRENT_USER, name));

    EXPECT_TRUE(BuildCodecCatalogue());
    ASSERT_NE(nullptr, g_codecCatalogue);
    EXPECT_EQ("MJPG/mjpc|Motion|42|Motion test codec", Described("MJPG"));
    EXPECT_STREQ("mjpg driver", g_codecCatalogue->entries[IndexOf("MJPG")].pcDriver);
    // The codec's own texts when unscripted.
    EXPECT_EQ("t2/t2|TestCodec|0|Tandrel64 recording test codec", Described("t2"));
    // Only four characters count; no codec opens under the shortened name.
    EXPECT_EQ("tc6a/|||", Described("tc6a"));
    // The user's own key is listed after the machine's; codecs do not open
    // from there.
    EXPECT_EQ("Tcu1/|||", Described("Tcu1"));
    EXPECT_GT(IndexOf("Tcu1"), std::max({IndexOf("MJPG"), IndexOf("t2"), IndexOf("tc6a")}));
    for (const char* other : {"mjpg", "msvc", "tcx1", ".tcx"})
        EXPECT_EQ(-1, IndexOf(other)) << other;
    // Wine keeps its own codecs in system.ini only: listed after both keys.
    EXPECT_LT(IndexOf("MSVC"), IndexOf("Tcu1"));
    for (const char* wine : {"mrle", "cvid"}) {
        EXPECT_GT(IndexOf(wine), IndexOf("Tcu1")) << wine;
        EXPECT_STRNE("", g_codecCatalogue->entries[std::max(0, IndexOf(wine))].pcDesc) << wine;
    }

    FreeCodecCatalogue();
    EXPECT_EQ(nullptr, g_codecCatalogue);
}

TEST_F(CodecCatalogueTest, OverlongValueNameDoesNotHideTheCodecsAfterIt)
{
    std::string longName(300, 'a');
    ASSERT_TRUE(values.Set(HKEY_LOCAL_MACHINE, longName, "x"));
    ASSERT_TRUE(values.Set(HKEY_LOCAL_MACHINE, "vidc.tcL1", "tandrel-missing.dll"));
    std::vector<std::string> names = Drivers32ValueNames(HKEY_LOCAL_MACHINE);
    auto longAt = std::find(names.begin(), names.end(), longName);
    ASSERT_LT(longAt, std::find(names.begin(), names.end(), "vidc.tcL1"));

    EXPECT_TRUE(BuildCodecCatalogue());
    EXPECT_GE(IndexOf("tcL1"), 0);
}

TEST_F(CodecCatalogueTest, StopsAtAThousandCodecsAndSkipsTheUsersKey)
{
    for (int i = 0; i <= kCodecCatalogueCapacity; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "vidc.%04d", i);
        ASSERT_TRUE(values.Set(HKEY_LOCAL_MACHINE, name, "tandrel-missing.dll"));
    }
    ASSERT_TRUE(values.Set(HKEY_CURRENT_USER, "vidc.tcu2", "tandrel-missing.dll"));

    EXPECT_FALSE(BuildCodecCatalogue());
    ASSERT_NE(nullptr, g_codecCatalogue);
    EXPECT_EQ(kCodecCatalogueCapacity, g_codecCatalogue->count);
    EXPECT_EQ(-1, IndexOf("tcu2"));
}
