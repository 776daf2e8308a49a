#include <gtest/gtest.h>

#include "host/liveness_deadline.h"

// Compared by the signed difference: a plain unsigned comparison would end
// the host at once when the millisecond count is about to wrap.
TEST(LivenessDeadlineTest, PassesOnlyAfterTheDeadlineAlsoAcrossTheWrap)
{
    const struct {
        DWORD now;
        DWORD deadline;
        bool passed;
        DWORD wait;
    } cases[] = {
        {999, 1000, false, 2},       {1000, 1000, false, 1},           {1001, 1000, true, 0},
        {0, 1000, false, 1001},      {0xFFFFFF00, 0x2E8, false, 1001}, {0xFFFFFFFF, 0x2E8, false, 0x2E9 + 1},
        {0, 0x2E8, false, 0x2E9},    {0x2E8, 0x2E8, false, 1},         {0x2E9, 0x2E8, true, 0},
        {0x10, 0xFFFFFFF0, true, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.passed, DeadlinePassed(c.now, c.deadline)) << std::hex << c.now << " " << c.deadline;
        EXPECT_EQ(c.wait, TimeToDeadline(c.now, c.deadline)) << std::hex << c.now << " " << c.deadline;
    }
}
