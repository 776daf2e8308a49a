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
    if (g_codecCatalogue == nullptr)
        return -1;
    for (int i = 0; i < g_codecCatalogue->count; ++i) {
        if (std::strcmp(g_codecCatalogue->entries[i].pcFcc, fccText) == 0)
            return i;
    }
    return -1;
}

const CodecEntry& EntryOf(const char* fccText)
{
    int index = IndexOf(fccText);
    EXPECT_GE(index, 0) << fccText;
    static CodecEntry none;
    return index < 0 ? none : g_codecCatalogue->entries[index];
}

class CodecCatalogueTest : public ::testing::Test {
protected:
    void TearDown() override { FreeCodecCatalogue(); }

    Drivers32Values values;
};

}

TEST_F(CodecCatalogueTest, ListsVidcValuesOfBothRootsOnceEachAndDescribesThem)
{
    TestCodecScript mjpg;
    ASSERT_TRUE(mjpg.Create(FourCCFromText("MJPG")));
    SetScriptText(mjpg->name, 16, "Motion");
    SetScriptText(mjpg->description, 128, "Motion test codec");
    SetScriptText(mjpg->driver, 128, "mjpg driver");
    mjpg->version = 42;
    mjpg->outputFcc = FourCCFromText("mjpc");
    TestCodecScript decompressOnly;
    ASSERT_TRUE(decompressOnly.Create(FourCCFromText("tcd9")));
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;
    SetScriptText(decompressOnly->name, 16, "Viewer");
    TestCodecScript pickyFirst;
    ASSERT_TRUE(pickyFirst.Create(FourCCFromText("tcr9")));
    pickyFirst->acceptedInputs = InputRgb24 | InputYuy2;
    pickyFirst->outputFcc = FourCCFromText("R24C");
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.MJPG"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.tcd9"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.tcr9"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "ViDc.t2"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.tc6abc"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "msacm.tcx1"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidcx.tcx2"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_CURRENT_USER, "vidc.mjpg"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_CURRENT_USER, "VIDC.Tcu1"));
    ASSERT_TRUE(values.SetTestCodec(HKEY_CURRENT_USER, "vids.tcx3"));

    EXPECT_TRUE(BuildCodecCatalogue());
    ASSERT_NE(nullptr, g_codecCatalogue);

    const CodecEntry& motion = EntryOf("MJPG");
    EXPECT_EQ(FourCCFromText("MJPG"), motion.dwFcc);
    EXPECT_EQ(FourCCFromText("mjpc"), motion.dwbiFcc);
    EXPECT_STREQ("Motion", motion.pcName);
    EXPECT_STREQ("42", motion.pcVersion);
    EXPECT_STREQ("Motion test codec", motion.pcDesc);
    EXPECT_STREQ("mjpg driver", motion.pcDriver);
    EXPECT_EQ(-1, IndexOf("mjpg"));
    EXPECT_STREQ("Viewer", EntryOf("tcd9").pcName);
    EXPECT_EQ(0u, EntryOf("tcd9").dwbiFcc);
    EXPECT_EQ(FourCCFromText("R24C"), EntryOf("tcr9").dwbiFcc);

    const CodecEntry& shortName = EntryOf("t2");
    EXPECT_EQ(0x00003274u, shortName.dwFcc);
    EXPECT_EQ(0x00003274u, shortName.dwbiFcc);
    EXPECT_STREQ("TestCodec", shortName.pcName); // the codec's own name when unscripted

    // Only four characters count; no codec opens under the shortened name.
    const CodecEntry& six = EntryOf("tc6a");
    EXPECT_EQ(FourCCFromText("tc6a"), six.dwFcc);
    EXPECT_EQ(0u, six.dwbiFcc);
    EXPECT_STREQ("", six.pcName);
    EXPECT_STREQ("", six.pcVersion);

    // The user's own key is listed after the machine's; codecs do not open
    // from there.
    const CodecEntry& user = EntryOf("Tcu1");
    EXPECT_EQ(0u, user.dwbiFcc);
    EXPECT_STREQ("", user.pcName);
    EXPECT_GT(IndexOf("Tcu1"), std::max({IndexOf("MJPG"), IndexOf("t2"), IndexOf("tc6a")}));

    for (const char* other : {"tcx1", "tcx2", "tcx3", "x.tc", ".tcx", "s.tc"})
        EXPECT_EQ(-1, IndexOf(other)) << other;

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
    const CodecEntry& last = g_codecCatalogue->entries[kCodecCatalogueCapacity - 1];
    EXPECT_EQ(FourCCFromText(last.pcFcc), last.dwFcc);
}
