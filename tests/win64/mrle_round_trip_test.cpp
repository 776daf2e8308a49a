// Wine's own 32-bit "mrle" codec through the host, compared byte for byte
// with the same codec called directly in a 32-bit process with the same
// memory layout (mrle_reference.exe).

#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <cstring>

#include "host_client.h"
#include "mrle_scenario.h"
#include "settings_files.h"

namespace {

const char kSlot[] = "tdl5";

class MrleRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveRealSettings();
        ASSERT_TRUE(AssignSlot(kSlot, kMrleFcc));
        ASSERT_TRUE(client.CreateControl());
        ASSERT_TRUE(client.Launch(kSlot));
    }
    void TearDown() override { RemoveRealSettings(); }

    MrleTranscript RunThroughHost()
    {
        MrleSide side;
        side.area = client.ParamArea();
        side.send = [this](UINT message, WPARAM wParam, LPARAM lParam) {
            return client.Send(HostRequestNumber(message), wParam, lParam);
        };
        side.frames = [this, &side](uint32_t inputSize, uint32_t outputSize) {
            bool created = client.CreateFrames(inputSize, outputSize);
            side.frameIn = client.FrameIn();
            side.frameOut = client.FrameOut();
            return created;
        };
        return RunMrleScenario(side);
    }

    HostClient client;
};

}

TEST_F(MrleRoundTripTest, HostGivesTheBytesOfTheCodecCalledDirectly)
{
    std::string path = FreshTempPath("mrle-reference.bin");
    TestProcess reference;
    ASSERT_TRUE(reference.Start(BinPath("mrle_reference.exe"), "\"" + path + "\""));
    DWORD exitCode = 1;
    ASSERT_TRUE(reference.WaitForExit(30000, &exitCode));
    ASSERT_EQ(0u, exitCode);
    MrleTranscript expected;
    ASSERT_TRUE(ReadTranscript(path, &expected));
    DeleteFileA(path.c_str());

    MrleTranscript got = RunThroughHost();
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i) + ": " + got[i].what);
        EXPECT_EQ(expected[i].what, got[i].what);
        EXPECT_EQ(expected[i].result, got[i].result);
        EXPECT_EQ(expected[i].data, got[i].data);
    }

    // A round trip worth comparing: every call succeeded and moving content
    // gave different compressed frames.
    std::vector<std::vector<uint8_t>> frames;
    for (const MrleStep& step : got) {
        if (step.what != "format size") {
            EXPECT_EQ(ICERR_OK, step.result) << step.what;
        }
        if (step.what == "compressed frame")
            frames.push_back(step.data);
    }
    ASSERT_EQ(static_cast<size_t>(kMrleFrameCount), frames.size());
    EXPECT_NE(frames[1], frames[2]);
    EXPECT_EQ(0, client.Send(kRequestDrvClose));
}
