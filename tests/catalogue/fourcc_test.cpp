#include <gtest/gtest.h>

#include <windows.h>
#include <vfw.h>

#include "catalogue/fourcc.h"

TEST(FourCCTest, TextIsTheBytesLowestFirst)
{
    char text[5] = "????";
    FourCCToText(mmioFOURCC('a', 'b', 'c', 'd'), text);
    EXPECT_STREQ("abcd", text);
    FourCCToText(0, text);
    EXPECT_STREQ("", text);
    FourCCToText(mmioFOURCC('m', 'r', 0, 'x'), text);
    EXPECT_STREQ("mr", text);
}
