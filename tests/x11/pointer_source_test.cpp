// The pointer's seam: the mailbox between Qt's thread and the tick, the tick's read while a
// source is live, and the source each session gets.
#include <gtest/gtest.h>

#include "host/x11/pointer_source.h"

namespace {

TEST(PointerSeam, TheNewestPushWhileLiveThenTheXServer) {
    const int cases[][4] = {// posted x, y; read x, y (X's coordinates are 16 bits)
                            {640, 260, 640, 260},
                            {-1, -300, -1, -300},
                            {40000, -40000, 32767, -32768}};
    CPointerMailbox mailbox;
    int x = 7, y = 8;
    EXPECT_FALSE(mailbox.Read(x, y) || mailbox.Live());  // no source yet
    for (const auto& c : cases) {
        mailbox.Post(960, 600);
        mailbox.Post(c[0], c[1]);  // overwrites: the tick never sees an older one
        // No connection at all: a request to the X server would crash here.
        EXPECT_FALSE(ReadNewestPointer(mailbox, nullptr, XCB_NONE, x, y));
        EXPECT_TRUE(x == c[2] && y == c[3]) << x << ", " << y;
    }
    mailbox.Withdraw();  // the source went away: the X server's again at once
    EXPECT_FALSE(mailbox.Read(x, y) || mailbox.Live());
    mailbox.Post(10, 20);  // and taken up again at its next push
    EXPECT_TRUE(mailbox.Read(x, y) && x == 10 && y == 20);
}

TEST(PointerSeam, TheSourceBySession) {
    const struct {
        const char* waylandDisplay;
        const char* sessionType;
        bool kwinOnBus;
        bool gnomeShellOnBus;
        PointerSource want;
    } cases[] = {
        {nullptr, nullptr, false, false, PointerSource::XServer},
        {"", "x11", true, true, PointerSource::XServer},  // KWin or GNOME on X11: X sees everywhere
        {"wayland-0", nullptr, true, false, PointerSource::KWin},
        {nullptr, "wayland", true, false, PointerSource::KWin},
        {"wayland-0", nullptr, false, true, PointerSource::GnomeShell},
        {"wayland-0", "wayland", false, false, PointerSource::XwaylandOnly},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ChoosePointerSource({c.waylandDisplay, c.sessionType, c.kwinOnBus, c.gnomeShellOnBus}),
            c.want)
            << (c.waylandDisplay ? c.waylandDisplay : "-") << (c.sessionType ? c.sessionType : "-")
            << c.kwinOnBus << c.gnomeShellOnBus;
    }
}

}  // namespace
