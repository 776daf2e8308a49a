#include <gtest/gtest.h>

#include "ui/ui_text.h"

TEST(UiTextTest, BuildDateHasSingleBlanksAndAnUnpaddedDay)
{
    const char* const cases[][2] = {
        {"Dec  7 2026", "Dec 7 2026"},
        {"Jan 01 2027", "Jan 1 2027"},
        {"Nov 23 2026", "Nov 23 2026"},
        {"garbage", "garbage"},
    };
    for (const auto& c : cases) {
        char date[16];
        FormatBuildDate(c[0], date);
        EXPECT_STREQ(c[1], date) << c[0];
    }
}
