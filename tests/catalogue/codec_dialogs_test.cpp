#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include "catalogue/codec_dialogs.h"
#include "catalogue/fourcc.h"
#include "drivers32_values.h"
#include "message_box_probe.h"
#include "test_codec_script.h"

namespace {

class CodecDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override { DestroyWindow(owner); }

    HWND owner = nullptr;
    Drivers32Values values;
};

}

TEST_F(CodecDialogsTest, UncompressedFormatOnlyGetsAWarning)
{
    // Registered in lower case: an open of "DIB " would find it.
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.dib "));
    TestCodecScript upper;
    ASSERT_TRUE(upper.Create(FourCCFromText("DIB ")));
    for (const char* text : {"DIB ", "DIB"}) {
        for (auto action : {ConfigureCodec, AboutCodec}) {
            bool result = false;
            MessageBoxSeen box = AnswerMessageBoxDuring([&] { result = action(owner, text); });
            ASSERT_NE(nullptr, box.window) << text;
            EXPECT_EQ("warning", box.caption);
            EXPECT_EQ("Not support configuration.", box.text);
            EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
            EXPECT_EQ(owner, box.owner);
            EXPECT_TRUE(result);
        }
    }
    EXPECT_EQ(0u, upper->openCount);
}

TEST_F(CodecDialogsTest, CodecShowsItsOwnDialogOwnedByTheCaller)
{
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.dib "));
    TestCodecScript lower;
    ASSERT_TRUE(lower.Create(FourCCFromText("dib ")));
    lower->showDialogs = 1;

    bool result = false;
    MessageBoxSeen box = AnswerMessageBoxDuring([&] { result = ConfigureCodec(owner, "dib "); });
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ("Test codec", box.caption);
    EXPECT_EQ("Configure dib ", box.text);
    EXPECT_EQ(owner, box.owner);
    EXPECT_TRUE(result);

    box = AnswerMessageBoxDuring([&] { result = AboutCodec(owner, "dib "); });
    EXPECT_EQ("About dib ", box.text);
    EXPECT_TRUE(result);

    std::vector<TestCodecCall> configure = lower.CallsOf(ICM_CONFIGURE);
    std::vector<TestCodecCall> about = lower.CallsOf(ICM_ABOUT);
    ASSERT_EQ(1u, configure.size());
    ASSERT_EQ(1u, about.size());
    EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner)), configure[0].dw1.raw);
    EXPECT_EQ(RegionNull, configure[0].dw2.region);
    EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner)), about[0].dw1.raw);
    EXPECT_EQ(lower->openCount, lower->closeCount);
}

TEST_F(CodecDialogsTest, CodecThatDoesNotOpenForCompressionIsReported)
{
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.tcv1"));
    TestCodecScript decompressOnly;
    ASSERT_TRUE(decompressOnly.Create(FourCCFromText("tcv1")));
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;
    decompressOnly->showDialogs = 1;

    for (const char* text : {"tcv1", "tcv2"}) {
        for (auto action : {ConfigureCodec, AboutCodec}) {
            bool result = true;
            MessageBoxSeen box = AnswerMessageBoxDuring([&] { result = action(owner, text); });
            ASSERT_NE(nullptr, box.window) << text;
            EXPECT_EQ("error", box.caption);
            EXPECT_EQ(std::string("Not install ") + text + " codec.", box.text);
            EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
            EXPECT_EQ(owner, box.owner);
            EXPECT_FALSE(result);
        }
    }
    EXPECT_TRUE(decompressOnly.CallsOf(ICM_CONFIGURE).empty());
}
