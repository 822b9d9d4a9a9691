// The stacking decision without a window manager, over the model of the root's children that
// the root's events keep.
#include <gtest/gtest.h>

#include <string>

#include "host/x11/stacking.h"

namespace {

constexpr std::uint32_t kMascot = 1;
constexpr std::uint32_t kDesktop = 2;
constexpr std::uint32_t kWindow = 3;  // an ordinary window
constexpr std::uint32_t kPopup = 4;   // override-redirect: a menu or a screen locker
constexpr std::uint32_t kHidden = 5;  // an ordinary window, unmapped

// A stack, lowest first, from letters: M mascot, D desktop, W window, P popup, H hidden.
CStackModel Stack(const std::string& order) {
    CStackModel stack;
    for (char letter : order) {
        std::uint32_t window = std::string("?MDWPH").find(letter);
        stack.Add(window, letter == 'P', letter != 'H');
    }
    return stack;
}

struct CStackCase {
    const char* order;
    bool topmost;
    StackMode mode;
    std::uint32_t sibling;
};

}  // namespace

TEST(Stacking, RestacksOnlyWhenAnotherWindowIsOnTheWrongSide) {
    const CStackCase cases[] = {
        {"DWM", true, StackMode::Keep, 0},
        {"DMW", true, StackMode::AboveSibling, kWindow},
        {"DWMP", true, StackMode::Keep, 0},                // never over a menu or a locker
        {"DMWP", true, StackMode::AboveSibling, kWindow},  // over the window, under the popup
        {"DMH", true, StackMode::Keep, 0},                 // an unmapped window covers nothing
        {"DMW", false, StackMode::Keep, 0},
        {"DWM", false, StackMode::AboveSibling, kDesktop},
        {"MDW", false, StackMode::AboveSibling, kDesktop},  // above the wallpaper, always
        {"WDM", false, StackMode::AboveSibling, kDesktop},
        {"PDMW", false, StackMode::Keep, 0},
    };
    for (const CStackCase& c : cases) {
        CStackRequest request = DecideStacking(Stack(c.order), kMascot, c.topmost, kDesktop);
        EXPECT_EQ(c.mode, request.mode) << c.order << (c.topmost ? " in front" : " behind");
        EXPECT_EQ(c.sibling, request.sibling) << c.order;
    }
    EXPECT_EQ(StackMode::Bottom, DecideStacking(Stack("WM"), kMascot, false, 0).mode);
    EXPECT_EQ(StackMode::Keep, DecideStacking(Stack("PMW"), kMascot, false, 0).mode);
    EXPECT_EQ(StackMode::Keep, DecideStacking(Stack("DW"), kMascot, true, kDesktop).mode);
}

TEST(StackModel, FollowsTheRootsEvents) {
    CStackModel stack = Stack("DM");
    stack.Add(kWindow, false, false);  // created: on top, unmapped
    EXPECT_EQ(StackMode::Keep, DecideStacking(stack, kMascot, true, kDesktop).mode);
    stack.Map(kWindow, false);
    EXPECT_EQ(StackMode::AboveSibling, DecideStacking(stack, kMascot, true, kDesktop).mode);
    stack.PlaceAbove(kMascot, kWindow);
    EXPECT_EQ(StackMode::Keep, DecideStacking(stack, kMascot, true, kDesktop).mode);
    stack.PlaceOnTop(kWindow);
    stack.Unmap(kWindow);
    EXPECT_EQ(StackMode::Keep, DecideStacking(stack, kMascot, true, kDesktop).mode);
    stack.Map(kWindow, true);  // it came back as a popup
    EXPECT_EQ(StackMode::Keep, DecideStacking(stack, kMascot, true, kDesktop).mode);
    stack.PlaceAbove(kDesktop, 0);
    stack.PlaceAbove(kMascot, 0);  // to the bottom, under the desktop
    EXPECT_EQ(StackMode::AboveSibling, DecideStacking(stack, kMascot, false, kDesktop).mode);
    stack.Remove(kDesktop);
    EXPECT_EQ(StackMode::Keep, DecideStacking(stack, kMascot, false, kDesktop).mode);
    stack.Remove(kMascot);
    EXPECT_EQ(StackMode::Keep, DecideStacking(stack, kMascot, true, kDesktop).mode);
}
