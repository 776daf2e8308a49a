#include <gtest/gtest.h>

#include "catalogue/fourcc.h"

namespace {

std::string Text(uint32_t fcc)
{
    char text[kFourCCTextCapacity];
    FourCCToText(fcc, text);
    return text;
}

}

TEST(FourCCTest, TextPacksFirstCharacterLowestAndFillsWithZero)
{
    EXPECT_EQ(0x32595559u, FourCCFromText("YUY2"));
    EXPECT_EQ(0u, FourCCFromText(""));
    EXPECT_EQ(0x00006261u, FourCCFromText("ab"));
    EXPECT_EQ(FourCCFromText("abcd"), FourCCFromText("abcdef"));
    EXPECT_EQ(0x000000E9u, FourCCFromText("\xE9"));
}

TEST(FourCCTest, ValueGivesItsBytesUpToTheFirstZero)
{
    EXPECT_EQ("YUY2", Text(0x32595559u));
    EXPECT_EQ("", Text(0));
    EXPECT_EQ("ba", Text(0x61006162u));
    EXPECT_EQ("\xE9\xFF"
              "a",
              Text(0x0061FFE9u));
}

TEST(FourCCTest, StrEqualIsExactAndCaseSensitive)
{
    EXPECT_TRUE(StrEqual("DIB ", "DIB "));
    EXPECT_FALSE(StrEqual("DIB", "DIB "));
    EXPECT_FALSE(StrEqual("dib ", "DIB "));
}

TEST(FourCCTest, NoCaseComparesLowerOnlyAsciiLetters)
{
    EXPECT_TRUE(FourCCEqualNoCase(FourCCFromText("MJPG"), FourCCFromText("mjpg")));
    EXPECT_FALSE(FourCCEqualNoCase(FourCCFromText("mjpg"), FourCCFromText("mjpe")));
    EXPECT_FALSE(FourCCEqualNoCase(FourCCFromText("ab"), FourCCFromText("ab ")));
    // Neighbours of the letter ranges and letters outside ASCII stay as they are.
    EXPECT_FALSE(FourCCEqualNoCase(FourCCFromText("[@"), FourCCFromText("{`")));
    EXPECT_FALSE(FourCCEqualNoCase(FourCCFromText("\xC9"), FourCCFromText("\xE9")));

    EXPECT_TRUE(FourCCTextEqualNoCase("ZRB3", "zrb3"));
    EXPECT_FALSE(FourCCTextEqualNoCase("zrb", "zrb3"));
    EXPECT_FALSE(FourCCTextEqualNoCase("zrb3", "zrb"));
    EXPECT_FALSE(FourCCTextEqualNoCase("]", "}"));
    EXPECT_FALSE(FourCCTextEqualNoCase("\xC9", "\xE9"));
}
