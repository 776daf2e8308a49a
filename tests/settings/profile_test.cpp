#include <gtest/gtest.h>

#include "settings/profile.h"
#include "settings/profile_encoding.h"
#include "settings_files.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { path = FreshTempPath("profile.ini"); }
    void TearDown() override { DeleteFileA(path.c_str()); }

    // The value as the profile functions give it back: without the blanks
    // that pad numbers on the left.
    std::string Raw(const char* section, const char* key) { return StoredValues(path, section, {key}); }
    void Put(const char* section, const char* key, const char* value)
    {
        WritePrivateProfileStringA(section, key, value, path.c_str());
    }

    std::string path;
};

}

TEST(ProfileEncodingTest, WritesIntegersRightAlignedAndHexWithPrefix)
{
    char text[kProfileNumberCapacity];
    FormatProfileInt(1, text);
    EXPECT_STREQ("       1", text);
    FormatProfileInt(-42, text);
    EXPECT_STREQ("     -42", text);
    FormatProfileInt(-2147483647 - 1, text);
    EXPECT_STREQ("-2147483648", text);
    FormatProfileHex(0x32595559, text);
    EXPECT_STREQ("0x32595559", text);
    FormatProfileHex(0xabcdef, text);
    EXPECT_STREQ("0x00ABCDEF", text);
}

TEST(ProfileEncodingTest, ReadsTheLeadingNumberOnly)
{
    int value = 99;
    EXPECT_TRUE(ParseProfileInt("       7", &value));
    EXPECT_EQ(7, value);
    EXPECT_TRUE(ParseProfileInt("-12abc", &value));
    EXPECT_EQ(-12, value);
    value = 99;
    EXPECT_FALSE(ParseProfileInt("abc", &value));
    EXPECT_FALSE(ParseProfileInt("-", &value));
    EXPECT_FALSE(ParseProfileInt("", &value));
    EXPECT_EQ(99, value);

    uint32_t fcc = 5;
    EXPECT_TRUE(ParseProfileHex("0x32595559", &fcc));
    EXPECT_EQ(0x32595559u, fcc);
    fcc = 5;
    EXPECT_TRUE(ParseProfileHex("32595559", &fcc));
    EXPECT_EQ(0x32595559u, fcc);
    EXPECT_TRUE(ParseProfileHex("0xffffffff", &fcc));
    EXPECT_EQ(0xFFFFFFFFu, fcc);
    EXPECT_TRUE(ParseProfileHex("0", &fcc));
    EXPECT_EQ(0u, fcc);
    fcc = 5;
    EXPECT_FALSE(ParseProfileHex("xyz", &fcc));
    EXPECT_EQ(5u, fcc);
    EXPECT_TRUE(ParseProfileHex("0x", &fcc));
    EXPECT_EQ(0u, fcc);
}

TEST_F(ProfileTest, ReadOfMissingValueLeavesFieldAndReportsFalse)
{
    int number = 5;
    uint32_t fcc = 6;
    char text[MAX_PATH] = "keep";
    RECT rect = {1, 2, 3, 4};
    EXPECT_FALSE(ProfileReadInt(path.c_str(), "S", "i", &number));
    EXPECT_FALSE(ProfileReadHex(path.c_str(), "S", "dw", &fcc));
    EXPECT_FALSE(ProfileReadString(path.c_str(), "S", "pc", text, MAX_PATH));
    EXPECT_FALSE(ProfileReadRect(path.c_str(), "S", "rc", &rect));
    Put("S", "i", "");
    EXPECT_FALSE(ProfileReadInt(path.c_str(), "S", "i", &number));
    EXPECT_EQ(5, number);
    EXPECT_EQ(6u, fcc);
    EXPECT_STREQ("keep", text);
    EXPECT_EQ(2, rect.top);
}

TEST_F(ProfileTest, ReadOrCreateWritesTheDefaultOnlyWhenMissing)
{
    int number = 3;
    EXPECT_FALSE(ProfileExchangeInt(0, path.c_str(), "S", "i", &number));
    EXPECT_EQ("3", Raw("S", "i"));

    Put("S", "i", "  41");
    number = 3;
    EXPECT_TRUE(ProfileExchangeInt(0, path.c_str(), "S", "i", &number));
    EXPECT_EQ(41, number);
    EXPECT_EQ("41", Raw("S", "i"));

    number = 8;
    EXPECT_TRUE(ProfileExchangeInt(1, path.c_str(), "S", "i", &number));
    EXPECT_EQ("8", Raw("S", "i"));
}

TEST_F(ProfileTest, PresentGarbageCountsAsFoundAndIsNotRepaired)
{
    Put("S", "i", "letters");
    Put("S", "dw", "nohex");
    int number = 1;
    uint32_t fcc = 2;
    EXPECT_TRUE(ProfileExchangeInt(0, path.c_str(), "S", "i", &number));
    EXPECT_TRUE(ProfileExchangeHex(0, path.c_str(), "S", "dw", &fcc));
    EXPECT_EQ(1, number);
    EXPECT_EQ(2u, fcc);
    EXPECT_EQ("letters", Raw("S", "i"));
    EXPECT_EQ("nohex", Raw("S", "dw"));
}

TEST_F(ProfileTest, StringsRoundTripAndLongValuesAreCut)
{
    char text[MAX_PATH] = "default";
    EXPECT_FALSE(ProfileExchangeString(0, path.c_str(), "S", "pc", text, MAX_PATH));
    EXPECT_EQ("default", Raw("S", "pc"));

    std::string longValue(300, 'x');
    Put("S", "pc", longValue.c_str());
    EXPECT_TRUE(ProfileReadString(path.c_str(), "S", "pc", text, MAX_PATH));
    EXPECT_EQ(std::string(259, 'x'), text);

    char small[8] = "";
    EXPECT_TRUE(ProfileReadString(path.c_str(), "S", "pc", small, sizeof small));
    EXPECT_STREQ("xxxxxxx", small);
}

TEST_F(ProfileTest, RectangleIsFoundOnlyWithAllFourKeys)
{
    RECT rect = {10, 20, 30, 40};
    EXPECT_TRUE(ProfileWriteRect(path.c_str(), "W", "rcWnd", &rect));
    EXPECT_EQ("10", Raw("W", "rcWnd.rcLeft"));
    EXPECT_EQ("40", Raw("W", "rcWnd.rcBottom"));

    Put("W", "rcWnd.rcTop", nullptr);
    Put("W", "rcWnd.rcLeft", "55");
    RECT fallback = {100, 100, 500, 700};
    EXPECT_FALSE(ProfileExchangeRect(0, path.c_str(), "W", "rcWnd", &fallback));
    EXPECT_EQ(100, fallback.left);
    EXPECT_EQ("100", Raw("W", "rcWnd.rcLeft"));
    EXPECT_EQ("100", Raw("W", "rcWnd.rcTop"));
    EXPECT_EQ("500", Raw("W", "rcWnd.rcRight"));

    Put("W", "rcWnd.rcRight", "wide");
    RECT read = {1, 2, 3, 4};
    EXPECT_TRUE(ProfileReadRect(path.c_str(), "W", "rcWnd", &read));
    EXPECT_EQ(100, read.left);
    EXPECT_EQ(3, read.right);
    EXPECT_EQ(700, read.bottom);
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
