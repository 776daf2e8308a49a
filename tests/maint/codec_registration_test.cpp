#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "catalogue/codec_info.h"
#include "catalogue/fourcc.h"
#include "maint/outside_tools.h"
#include "settings_files.h"

// These run the real installer tool that the build puts beside the test
// program, through the shell, as the installation dialog does (whose test
// installs and uninstalls a codec through it).

namespace {

class CodecRegistrationTest : public ::testing::Test {
protected:
    void TearDown() override { DeleteFileA(settings.c_str()); }

    std::string settings = FreshTempPath("registration.ini");
};

}

TEST_F(CodecRegistrationTest, SectionFollowsEveryRunButNotARefusedRequest)
{
    // The installer fails on a DLL that does not exist; the section is
    // written all the same.
    EXPECT_EQ(1, RegisterCodec(settings.c_str(), "tqs1", "C:\\tandrel-missing\\codec.dll"));
    EXPECT_FALSE(IsCodecInstalled(FourCCFromText("tqs1")));
    EXPECT_EQ("tqs1|C:\\tandrel-missing\\codec.dll",
              StoredValues(settings, "CODEC32.tqs1", {"pcFcc", "pcDllPath"}));

    EXPECT_EQ(0, RegisterCodec(settings.c_str(), "tq:2", "C:\\x.dll"));
    EXPECT_EQ(0, RegisterCodec(settings.c_str(), "tqs3", ("C:\\" + std::string(250, 'p') + ".dll").c_str()));
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(settings, &contents));
    EXPECT_EQ(std::string::npos, contents.find("tq:2"));
    EXPECT_EQ(std::string::npos, contents.find("tqs3"));

    ASSERT_TRUE(WriteWholeFile(settings, contents + "[CODEC32.tq:5]\r\npcFcc=tq:5\r\n"));
    EXPECT_EQ(1, UnregisterCodec(settings.c_str(), "tqs1"));
    EXPECT_EQ(0, UnregisterCodec(settings.c_str(), "tq:5"));
    ASSERT_TRUE(ReadWholeFile(settings, &contents));
    EXPECT_EQ(std::string::npos, contents.find("CODEC32"));
}
