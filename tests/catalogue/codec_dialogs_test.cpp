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

// One box for each action, owned by the caller: a warning for the
// uncompressed format (whose codec is never opened), the codec's own dialog,
// or the error for a codec that does not open for compression.
TEST_F(CodecDialogsTest, EachActionShowsOneBoxOwnedByTheCaller)
{
    // Registered in lower case: an open of "DIB " would find it.
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.dib "));
    ASSERT_TRUE(values.SetTestCodec(HKEY_LOCAL_MACHINE, "vidc.tcv1"));
    TestCodecScript upper;
    TestCodecScript lower;
    TestCodecScript decompressOnly;
    ASSERT_TRUE(upper.Create(FourCCFromText("DIB ")));
    ASSERT_TRUE(lower.Create(FourCCFromText("dib ")));
    ASSERT_TRUE(decompressOnly.Create(FourCCFromText("tcv1")));
    lower->showDialogs = 1;
    decompressOnly->showDialogs = 1;
    decompressOnly->refuseOpenModes = 1u << ICMODE_COMPRESS;
    const struct {
        const char* text;
        const char* caption;
        std::string configure;
        std::string about;
        bool result;
    } cases[] = {
        {"DIB ", "warning", "Not support configuration.", "Not support configuration.", true},
        {"DIB", "warning", "Not support configuration.", "Not support configuration.", true},
        {"dib ", "Test codec", "Configure dib ", "About dib ", true},
        {"tcv1", "error", "Not install tcv1 codec.", "Not install tcv1 codec.", false},
    };
    for (const auto& c : cases) {
        for (bool configure : {true, false}) {
            bool result = !c.result;
            MessageBoxSeen box = AnswerMessageBoxDuring(
                [&] { result = configure ? ConfigureCodec(owner, c.text) : AboutCodec(owner, c.text); });
            ASSERT_NE(nullptr, box.window) << c.text;
            EXPECT_EQ(c.caption, box.caption);
            EXPECT_EQ(configure ? c.configure : c.about, box.text);
            EXPECT_EQ(std::vector<int> {IDOK}, box.buttons);
            EXPECT_EQ(owner, box.owner);
            EXPECT_EQ(c.result, result) << c.text;
        }
    }
    EXPECT_EQ(0u, upper->openCount);
    EXPECT_TRUE(decompressOnly.CallsOf(ICM_CONFIGURE).empty());
    std::vector<TestCodecCall> configure = lower.CallsOf(ICM_CONFIGURE);
    std::vector<TestCodecCall> about = lower.CallsOf(ICM_ABOUT);
    ASSERT_EQ(1u, configure.size());
    ASSERT_EQ(1u, about.size());
    EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner)), about[0].dw1.raw);
    EXPECT_EQ(configure[0].dw1.raw, about[0].dw1.raw);
    EXPECT_EQ(lower->openCount, lower->closeCount);
}
