#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <string>

#include "catalogue/fourcc.h"
#include "drivers32_values.h"
#include "qelinstall/drivers32_registration.h"
#include "test_codec_script.h"
#include "test_process.h"

namespace {

// Runs the installer of the build with one command-line tail; its exit
// code, or -1 when it did not end by itself.
int RunInstallerTool(const std::string& arguments)
{
    TestProcess installer;
    if (!installer.Start(BinPath("QelInstall32.exe"), arguments))
        return -1;
    DWORD exitCode = 0;
    if (!installer.WaitForExit(20000, &exitCode))
        return -1;
    return static_cast<int>(exitCode);
}

bool Opens(const char* fccText, DWORD mode)
{
    HIC codec = ICOpen(ICTYPE_VIDEO, FourCCFromText(fccText), mode);
    if (codec == nullptr)
        return false;
    ICClose(codec);
    return true;
}

std::string ValueOf(const char* name)
{
    std::string data;
    return ReadMachineDrivers32Value(name, &data) ? data : "<missing>";
}

class InstallerProcessTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        UnregisterTestCodec("tqi1");
        UnregisterTestCodec("tqi2");
    }

    std::string codecPath = BinPath(kTestCodecDllName);
};

}

TEST_F(InstallerProcessTest, RegisteredCodecOpensUntilItIsUnregistered)
{
    TestCodecScript script;
    ASSERT_TRUE(script.Create(FourCCFromText("tqi1")));
    ASSERT_FALSE(Opens("tqi1", ICMODE_COMPRESS));

    EXPECT_EQ(kInstallerDone, RunInstallerTool("\"/regf:tqi1:" + codecPath + "\""));
    EXPECT_EQ(codecPath, ValueOf("vidc.tqi1"));
    EXPECT_TRUE(Opens("tqi1", ICMODE_COMPRESS));
    EXPECT_TRUE(Opens("tqi1", ICMODE_DECOMPRESS));
    EXPECT_EQ(2u, script->openCount);

    EXPECT_EQ(kInstallerDone, RunInstallerTool("\"/unreg:tqi1\""));
    EXPECT_EQ("<missing>", ValueOf("vidc.tqi1"));
    EXPECT_FALSE(Opens("tqi1", ICMODE_COMPRESS));
    EXPECT_EQ(kInstallerNotRegistered, RunInstallerTool("\"/unreg:tqi1\""));
}

TEST_F(InstallerProcessTest, RefusedRequestsChangeNothing)
{
    Drivers32Values values;
    ASSERT_TRUE(values.Set(HKEY_LOCAL_MACHINE, "vidc.tqi2", "keep.dll"));
    const std::string refused[] = {
        "",
        "\"/regf:tqi2\"",
        "\"/regf:tqi2:\"",
        "\"/REGF:tqi2:" + codecPath + "\"",
        "\"/unreg:tqi2x\"",
        "\"/unreg:tqi2\" extra",
        "/regf:tqi2:C:\\Program Files\\x.dll",
    };
    for (const std::string& arguments : refused)
        EXPECT_EQ(kInstallerBadArguments, RunInstallerTool(arguments)) << arguments;
    EXPECT_EQ(kInstallerNoSuchFile, RunInstallerTool("\"/regf:tqi2:C:\\tandrel-missing\\codec.dll\""));
    EXPECT_EQ(kInstallerNoSuchFile, RunInstallerTool("\"/regf:tqi2:" + TestBinDirectory() + "\""));
    EXPECT_EQ("keep.dll", ValueOf("vidc.tqi2"));

    EXPECT_EQ(kInstallerDone, RunInstallerTool("\"/regf:tqi2:" + codecPath + "\""));
    EXPECT_EQ(codecPath, ValueOf("vidc.tqi2"));
}
