#include <gtest/gtest.h>

#include "host/liveness_deadline.h"

TEST(LivenessDeadlineTest, PassesOnlyAfterTheDeadline)
{
    EXPECT_FALSE(DeadlinePassed(999, 1000));
    EXPECT_FALSE(DeadlinePassed(1000, 1000));
    EXPECT_TRUE(DeadlinePassed(1001, 1000));
    EXPECT_EQ(1001u, TimeToDeadline(0, 1000));
    EXPECT_EQ(1u, TimeToDeadline(1000, 1000));
    EXPECT_EQ(0u, TimeToDeadline(1001, 1000));
}

TEST(LivenessDeadlineTest, SurvivesTheMillisecondCountWrapping)
{
    DWORD start = 0xFFFFFF00;
    DWORD deadline = start + 1000; // wraps to 0x2E8
    EXPECT_FALSE(DeadlinePassed(start, deadline)) << "a plain unsigned comparison would end the host at once";
    EXPECT_FALSE(DeadlinePassed(0xFFFFFFFF, deadline));
    EXPECT_FALSE(DeadlinePassed(0x2E8, deadline));
    EXPECT_TRUE(DeadlinePassed(0x2E9, deadline));
    EXPECT_EQ(1001u, TimeToDeadline(start, deadline));
    EXPECT_EQ(0x2E9u, TimeToDeadline(0, deadline));

    // Just before the wrap, a deadline that has not wrapped yet.
    EXPECT_TRUE(DeadlinePassed(0x10, 0xFFFFFFF0));
}
