#include <gtest/gtest.h>

#include "message_box_probe.h"
#include "settings/ui_language.h"
#include "settings_files.h"
#include "test_process.h"

namespace {

// Runs the product with the arguments and expects it to end by itself with
// exit code 0 and without showing a message box.
void RunQuietly(const std::string& arguments)
{
    TestProcess process;
    ASSERT_TRUE(process.Start(BinPath("Tandrel64.exe"), arguments));
    DWORD exitCode = 1;
    bool ended = process.WaitForExit(20000, &exitCode);
    MessageBoxSeen box;
    EXPECT_FALSE(!ended && WaitForMessageBox(process.Id(), 0, &box)) << box.caption << ": " << box.text;
    ASSERT_TRUE(ended);
    EXPECT_EQ(0u, exitCode);
}

int LocaleLanguage()
{
    char country[MAX_PATH] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGCOUNTRY, country, MAX_PATH);
    return UiLanguageFromCountry(country);
}

class StartupProcessTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveRealSettings(); }
    void TearDown() override { RemoveRealSettings(); }
};

}

TEST_F(StartupProcessTest, FirstInstallStartCreatesTheDirectoryAfterTheLanguageStep)
{
    RunQuietly("/install");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RealSettingsDirectory().c_str()));
    // The language could not be stored: the directory did not exist yet.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RealSettingsFile().c_str()));
}

TEST_F(StartupProcessTest, StartWithDirectoryStoresTheLocaleLanguage)
{
    CreateRealSettingsDirectory();
    RunQuietly("");
    EXPECT_EQ(std::to_string(LocaleLanguage()), StoredValue(RealSettingsFile(), "MAIN", "language"));
}

TEST_F(StartupProcessTest, StoredLanguageIsKeptInEveryMode)
{
    CreateRealSettingsDirectory();
    ASSERT_TRUE(WriteWholeFile(RealSettingsFile(), "[MAIN]\r\nlanguage=0\r\n"));
    RunQuietly("/name:tdl0");
    RunQuietly("/map:x");
    EXPECT_EQ("0", StoredValue(RealSettingsFile(), "MAIN", "language"));
}

TEST_F(StartupProcessTest, NoSettingsDirectoryMeansNothingIsWritten)
{
    RunQuietly("/Install /name:tdl1");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(RealSettingsDirectory().c_str()));
}
