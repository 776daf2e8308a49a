#include <gtest/gtest.h>

#include "settings/profile.h"
#include "settings/profile_encoding.h"
#include "settings_files.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { path = FreshTempPath("profile.ini"); }
    void TearDown() override { DeleteFileA(path.c_str()); }

    void Put(const char* section, const char* key, const char* value)
    {
        WritePrivateProfileStringA(section, key, value, path.c_str());
    }

    std::string path;
};

}

// Integers are written right-aligned, hex with its prefix; a read takes only
// the leading number, and a text without one leaves the value alone.
TEST(ProfileEncodingTest, NumbersAreWrittenPaddedAndReadUpToTheirFirstOtherCharacter)
{
    char text[kProfileNumberCapacity];
    for (auto written :
         {std::make_pair(1, "       1"), {-42, "     -42"}, {-2147483647 - 1, "-2147483648"}}) {
        FormatProfileInt(written.first, text);
        EXPECT_STREQ(written.second, text);
    }
    FormatProfileHex(0xabcdef, text);
    EXPECT_STREQ("0x00ABCDEF", text);

    const struct {
        const char* text;
        bool intParses;
        int intValue;
        bool hexParses;
        uint32_t hexValue;
    } cases[] = {
        {"       7", true, 7, true, 7},
        {"-12abc", true, -12, true, 0u - 0x12abc},
        {"+5", true, 5, true, 5},
        {"abc", false, 99, true, 0xabc},
        {"-", false, 99, false, 99},
        {"", false, 99, false, 99},
        {"xyz", false, 99, false, 99},
        {" 0xffffffff", true, 0, true, 0xFFFFFFFF},
        {"32595559", true, 32595559, true, 0x32595559},
        {"0x", true, 0, true, 0},
        {"-0x10", true, 0, true, 0xFFFFFFF0},
        {"+1A", true, 1, true, 0x1A},
    };
    for (const auto& c : cases) {
        int number = 99;
        uint32_t hex = 99;
        EXPECT_EQ(c.intParses, ParseProfileInt(c.text, &number)) << c.text;
        EXPECT_EQ(c.intValue, number) << c.text;
        EXPECT_EQ(c.hexParses, ParseProfileHex(c.text, &hex)) << c.text;
        EXPECT_EQ(c.hexValue, hex) << c.text;
    }
}

// A missing or empty value is not found and leaves the field; a present
// value that does not parse counts as found and leaves it too. (Read-or-
// create and writing are the settings file's tests: ConfigSettingsTest.)
TEST_F(ProfileTest, ReadsLeaveTheFieldWhenNothingParses)
{
    int number = 5;
    uint32_t fcc = 6;
    char text[MAX_PATH] = "keep";
    RECT rect = {1, 2, 3, 4};
    Put("S", "i", "");
    EXPECT_FALSE(ProfileReadInt(path.c_str(), "S", "i", &number));
    EXPECT_FALSE(ProfileReadInt(path.c_str(), "S", "absent", &number));
    EXPECT_FALSE(ProfileReadHex(path.c_str(), "S", "dw", &fcc));
    EXPECT_FALSE(ProfileReadString(path.c_str(), "S", "pc", text, MAX_PATH));
    EXPECT_FALSE(ProfileReadRect(path.c_str(), "S", "rc", &rect));
    EXPECT_EQ(5, number);
    EXPECT_EQ(6u, fcc);
    EXPECT_STREQ("keep", text);
    EXPECT_EQ(2, rect.top);

    RECT written = {100, 100, 500, 700};
    ASSERT_TRUE(ProfileWriteRect(path.c_str(), "W", "rcWnd", &written));
    Put("W", "rcWnd.rcRight", "wide");
    EXPECT_TRUE(ProfileReadRect(path.c_str(), "W", "rcWnd", &rect));
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(3, rect.right);
    EXPECT_EQ(700, rect.bottom);

    Put("S", "pc", std::string(300, 'x').c_str());
    EXPECT_TRUE(ProfileReadString(path.c_str(), "S", "pc", text, MAX_PATH));
    EXPECT_EQ(std::string(259, 'x'), text);
    char small[8] = "";
    EXPECT_TRUE(ProfileReadString(path.c_str(), "S", "pc", small, sizeof small));
    EXPECT_STREQ("xxxxxxx", small);
}

TEST(ProfileWithoutLocationTest, EmptyPathReadsNothingAndWritesNowhere)
{
    char windowsIni[MAX_PATH];
    GetWindowsDirectoryA(windowsIni, MAX_PATH);
    lstrcatA(windowsIni, "\\.ini");
    DeleteFileA(windowsIni);

    int number = 4;
    EXPECT_FALSE(ProfileExchangeInt(0, "", "S", "i", &number));
    EXPECT_FALSE(ProfileWriteString("", "S", "pc", "x"));
    EXPECT_EQ(4, number);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(windowsIni));
}
