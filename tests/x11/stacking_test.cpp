// The stacking decision of a tick and when the desktop window is looked for.
#include <gtest/gtest.h>

#include "host/x11/stacking.h"

namespace {

constexpr std::uint32_t kDesktop = 0x400007;

}  // namespace

TEST(Stacking, FrontRaisesOnEveryTickExceptUnderTheOpenMenu) {
    EXPECT_EQ(StackMode::Top, DecideStacking(true, false, 0).mode);
    EXPECT_EQ(StackMode::Top, DecideStacking(true, false, kDesktop).mode);
    EXPECT_EQ(StackMode::Keep, DecideStacking(true, true, 0).mode);
    EXPECT_EQ(StackMode::Keep, DecideStacking(true, true, kDesktop).mode);
}

TEST(Stacking, BehindGoesJustAboveTheDesktopWindowOrToTheBottom) {
    CStackRequest above = DecideStacking(false, false, kDesktop);
    EXPECT_EQ(StackMode::AboveSibling, above.mode);
    EXPECT_EQ(kDesktop, above.sibling);
    EXPECT_EQ(StackMode::Bottom, DecideStacking(false, false, 0).mode);
    // Going down never covers the menu: the open menu does not hold it back.
    EXPECT_EQ(StackMode::AboveSibling, DecideStacking(false, true, kDesktop).mode);
    EXPECT_EQ(StackMode::Bottom, DecideStacking(false, true, 0).mode);
}

TEST(DesktopLookup, FirstTickBehindThenEveryHundredTicksNeverInFront) {
    CDesktopLookupSchedule schedule;
    EXPECT_FALSE(schedule.Due(false));
    EXPECT_TRUE(schedule.Due(true));
    int due = 0;
    for (int i = 1; i < CDesktopLookupSchedule::kLookupTicks; ++i) due += schedule.Due(true);
    EXPECT_EQ(0, due);
    EXPECT_TRUE(schedule.Due(true));  // the hundredth tick after the lookup
    EXPECT_FALSE(schedule.Due(false));
    EXPECT_TRUE(schedule.Due(true));  // behind again: at once
}

TEST(DesktopLookup, RefusedRequestMakesTheNextTickBehindLookAgain) {
    CDesktopLookupSchedule schedule;
    EXPECT_TRUE(schedule.Due(true));
    EXPECT_FALSE(schedule.Due(true));
    schedule.Forget();
    EXPECT_TRUE(schedule.Due(true));
    EXPECT_FALSE(schedule.Due(true));
}
