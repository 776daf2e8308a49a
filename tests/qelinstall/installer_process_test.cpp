#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <string>

#include "catalogue/fourcc.h"
#include "drivers32_values.h"
#include "qelinstall/drivers32_registration.h"
#include "test_codec_script.h"
#include "test_process.h"
#include "tool_folder.h"

namespace {

int RunInstallerTool(const std::string& arguments)
{
    return RunToExit(BinPath("QelInstall32.exe"), arguments);
}

bool Opens(const char* fccText, DWORD mode)
{
    HIC codec = ICOpen(ICTYPE_VIDEO, FourCCFromText(fccText), mode);
    if (codec == nullptr)
        return false;
    ICClose(codec);
    return true;
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
    EXPECT_EQ(codecPath, MachineDrivers32Value("vidc.tqi1"));
    EXPECT_TRUE(Opens("tqi1", ICMODE_COMPRESS));
    EXPECT_TRUE(Opens("tqi1", ICMODE_DECOMPRESS));
    EXPECT_EQ(2u, script->openCount);

    EXPECT_EQ(kInstallerDone, RunInstallerTool("\"/unreg:tqi1\""));
    EXPECT_EQ(kMissingValue, MachineDrivers32Value("vidc.tqi1"));
    EXPECT_FALSE(Opens("tqi1", ICMODE_COMPRESS));
    EXPECT_EQ(kInstallerNotRegistered, RunInstallerTool("\"/unreg:tqi1\""));
}

TEST_F(InstallerProcessTest, RefusedRequestsChangeNothing)
{
    Drivers32Values values;
    ASSERT_TRUE(values.Set(HKEY_LOCAL_MACHINE, "vidc.tqi2", "keep.dll"));
    // The arguments as the tool's command line splits them; what each one
    // may hold is the request tests'.
    for (const char* arguments : {"", "\"/unreg:tqi2\" extra", "/regf:tqi2:C:\\Program Files\\x.dll"})
        EXPECT_EQ(kInstallerBadArguments, RunInstallerTool(arguments)) << arguments;
    EXPECT_EQ(kInstallerNoSuchFile, RunInstallerTool("\"/regf:tqi2:C:\\tandrel-missing\\codec.dll\""));
    EXPECT_EQ(kInstallerNoSuchFile, RunInstallerTool("\"/regf:tqi2:" + TestBinDirectory() + "\""));
    EXPECT_EQ("keep.dll", MachineDrivers32Value("vidc.tqi2"));

    // A path with a blank is cut there when the codec is loaded: the short
    // form is registered, and the codec opens from it.
    TestCodecScript script;
    ASSERT_TRUE(script.Create(FourCCFromText("tqi2")));
    ToolFolder folder("installer");
    ASSERT_TRUE(folder.Add(kTestCodecDllName));
    EXPECT_EQ(kInstallerDone, RunInstallerTool("\"/regf:tqi2:" + folder.PathOf(kTestCodecDllName) + "\""));
    EXPECT_EQ(ShortPath(folder.PathOf(kTestCodecDllName)), MachineDrivers32Value("vidc.tqi2"));
    EXPECT_TRUE(Opens("tqi2", ICMODE_COMPRESS));
}
