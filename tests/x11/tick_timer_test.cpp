// The tick's deadlines: due at the period, late ticks keep the grid, missed ticks run as one.
#include <gtest/gtest.h>

#include "host/x11/tick_driver.h"

namespace {

constexpr std::int64_t kMs = 1000000;

TEST(TickTimer, DueAtEachDeadlineAndNotBefore) {
    CTickTimer timer;
    timer.Start(10, 5000);
    EXPECT_FALSE(timer.TakeDue(5000 + 10 * kMs - 1));
    timespec left = timer.Remaining(5000 + 2 * kMs + kMs / 2);
    EXPECT_EQ(left.tv_sec, 0);
    EXPECT_EQ(left.tv_nsec, 7 * kMs + kMs / 2);
    EXPECT_TRUE(timer.TakeDue(5000 + 10 * kMs));
    EXPECT_FALSE(timer.TakeDue(5000 + 10 * kMs));
    EXPECT_EQ(timer.Remaining(5000 + 10 * kMs).tv_nsec, 10 * kMs);
}

TEST(TickTimer, ALateTickDoesNotShiftTheNextDeadline) {
    CTickTimer timer;
    timer.Start(10, 0);
    EXPECT_TRUE(timer.TakeDue(10 * kMs + 700000));
    EXPECT_EQ(timer.Remaining(10 * kMs + 700000).tv_nsec, 9 * kMs + 300000);
    EXPECT_TRUE(timer.TakeDue(20 * kMs));
}

TEST(TickTimer, MissedTicksRunAsOne) {
    CTickTimer timer;
    timer.Start(10, 0);
    EXPECT_TRUE(timer.TakeDue(55 * kMs));
    EXPECT_FALSE(timer.TakeDue(60 * kMs - 1));
    EXPECT_TRUE(timer.TakeDue(60 * kMs));
    timespec none = timer.Remaining(95 * kMs);
    EXPECT_EQ(none.tv_sec, 0);
    EXPECT_EQ(none.tv_nsec, 0);
}

TEST(TickTimer, LongWaitsAndTinyPeriods) {
    CTickTimer timer;
    timer.Start(10, 2000 * kMs);
    timespec left = timer.Remaining(0);
    EXPECT_EQ(left.tv_sec, 2);
    EXPECT_EQ(left.tv_nsec, 10 * kMs);
    timer.Start(0, 0);
    EXPECT_EQ(timer.Remaining(0).tv_nsec, kMs);
}

TEST(TickTimer, NowMsIsTheMonotonicClockInMilliseconds) {
    std::int64_t before = MonotonicNs();
    std::uint32_t now = NowMs();
    std::int64_t after = MonotonicNs();
    EXPECT_GE(now, static_cast<std::uint32_t>(before / kMs));
    EXPECT_LE(now, static_cast<std::uint32_t>(after / kMs));
}

}  // namespace
