// The settings values the driver keeps stand only for the exact bytes of
// the file they were read from.

#include <gtest/gtest.h>

#include <string>

#include "driver/profile_memo.h"

TEST(ProfileMemoTest, AValueIsKeptOnlyForTheBytesItWasReadFrom)
{
    // Each step begins a use with `bytes`, looks for the value (reading it
    // as "<bytes> value" when it is not kept) and ends with `after`.
    const struct {
        const char* what;
        bool readable;
        std::string bytes;
        std::string after;
        const char* kept;
    } steps[] = {
        {"first use", true, "iEnable=0", "iEnable=0", nullptr},
        {"the same bytes", true, "iEnable=0", "iEnable=0", "iEnable=0 value"},
        {"a save of the same size", true, "iEnable=1", "iEnable=1", nullptr},
        {"saved between the reads", true, "iEnable=0", "iEnable=0 ", nullptr},
        {"the bytes before that save again", true, "iEnable=0", "iEnable=0", nullptr},
        {"a file that cannot be read", false, "", "", nullptr},
        {"readable again", true, "iEnable=0", "iEnable=0", nullptr},
        {"kept", true, "iEnable=0", "iEnable=0", "iEnable=0 value"},
    };
    ProfileMemo memo;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        memo.Begin(step.readable, step.bytes);
        const std::string* kept = memo.Find("tdl0", "iEnable", 260);
        EXPECT_EQ(step.kept != nullptr ? step.kept : "none", kept != nullptr ? *kept : "none");
        if (kept == nullptr)
            memo.Note("tdl0", "iEnable", 260, step.bytes + " value");
        EXPECT_EQ(nullptr, memo.Find("tdl0", "iEnable", 16)) << "read into another capacity";
        memo.End(step.readable, step.after);
    }
}
