#include <gtest/gtest.h>

#include "catalogue/fourcc.h"

TEST(FourCCTest, TextAndValueConvertLowestByteFirst)
{
    const struct {
        const char* text;
        uint32_t value;
        const char* back;
    } cases[] = {
        {"YUY2", 0x32595559u, "YUY2"}, {"", 0, ""},
        {"ab", 0x00006261u, "ab"},     {"abcdef", 0x64636261u, "abcd"},
        {"\xE9", 0xE9u, "\xE9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, FourCCFromText(c.text)) << c.text;
        char text[kFourCCTextCapacity];
        FourCCToText(c.value, text);
        EXPECT_STREQ(c.back, text);
    }
    char text[kFourCCTextCapacity];
    FourCCToText(0x61006162u, text);
    EXPECT_STREQ("ba", text) << "up to the first zero byte";
    FourCCToText(0x0061FFE9u, text);
    EXPECT_STREQ("\xE9\xFF"
                 "a",
                 text);
}

TEST(FourCCTest, ExactAndNoCaseComparisons)
{
    EXPECT_TRUE(StrEqual("DIB ", "DIB "));
    EXPECT_FALSE(StrEqual("DIB", "DIB "));
    EXPECT_FALSE(StrEqual("dib ", "DIB "));

    EXPECT_TRUE(FourCCEqualNoCase(FourCCFromText("MJPG"), FourCCFromText("mjpg")));
    EXPECT_FALSE(FourCCEqualNoCase(FourCCFromText("mjpg"), FourCCFromText("mjpe")));
    EXPECT_FALSE(FourCCEqualNoCase(FourCCFromText("ab"), FourCCFromText("ab ")));

    EXPECT_TRUE(FourCCTextEqualNoCase("ZRB3", "zrb3"));
    EXPECT_FALSE(FourCCTextEqualNoCase("zrb", "zrb3"));
    // Neighbours of the letter ranges and letters outside ASCII stay as they are.
    EXPECT_FALSE(FourCCTextEqualNoCase("[@", "{`"));
    EXPECT_FALSE(FourCCTextEqualNoCase("\xC9", "\xE9"));
}
