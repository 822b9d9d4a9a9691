// The pointer's seam: the mailbox between Qt's thread and the tick, the tick's read while a
// source is live, and the source each session gets.
#include <gtest/gtest.h>

#include "host/x11/pointer_source.h"

namespace {

TEST(PointerMailbox, KeepsTheNewestPositionWhileLive) {
    struct Case {
        int x, y;          // posted
        int wantX, wantY;  // read
    };
    const Case cases[] = {
        {640, 260, 640, 260},           {0, 0, 0, 0},
        {-1, -300, -1, -300},           {32767, -32768, 32767, -32768},
        {40000, -40000, 32767, -32768},  // X's 16 bits
    };
    CPointerMailbox mailbox;
    int x = 7, y = 8;
    EXPECT_FALSE(mailbox.Read(x, y));  // no source yet: the X server's turn
    EXPECT_EQ(x, 7);
    for (const Case& c : cases) {
        mailbox.Post(960, 600);
        mailbox.Post(c.x, c.y);  // overwrites: the tick never sees an older one
        ASSERT_TRUE(mailbox.Read(x, y));
        EXPECT_EQ(x, c.wantX);
        EXPECT_EQ(y, c.wantY);
        EXPECT_TRUE(mailbox.Live());
    }
    mailbox.Withdraw();  // the source went away: back to the X server at once
    EXPECT_FALSE(mailbox.Live());
    EXPECT_FALSE(mailbox.Read(x, y));
    mailbox.Post(10, 20);  // and taken up again at its next push
    EXPECT_TRUE(mailbox.Read(x, y) && x == 10 && y == 20);
}

TEST(PointerMailbox, ALiveSourceSparesTheRoundTrip) {
    CPointerMailbox mailbox;
    mailbox.Post(300, 470);
    int x = 0, y = 0;
    // No connection at all: any request to the X server would crash here.
    EXPECT_FALSE(ReadNewestPointer(mailbox, nullptr, XCB_NONE, x, y));
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 470);
}

TEST(PointerSourceChoice, ByTheSession) {
    struct Case {
        const char* waylandDisplay;
        const char* sessionType;
        bool kwinOnBus;
        bool gnomeShellOnBus;
        PointerSource want;
    };
    const Case cases[] = {
        {nullptr, nullptr, false, false, PointerSource::XServer},
        {nullptr, "x11", true, false, PointerSource::XServer},  // KWin on X11: X sees everything
        {nullptr, "x11", false, true, PointerSource::XServer},  // GNOME on X11 likewise
        {"", "tty", true, false, PointerSource::XServer},
        {"wayland-0", nullptr, true, false, PointerSource::KWin},
        {nullptr, "wayland", true, false, PointerSource::KWin},
        {"wayland-0", nullptr, false, true, PointerSource::GnomeShell},
        {nullptr, "wayland", false, true, PointerSource::GnomeShell},
        {"wayland-0", "wayland", false, false, PointerSource::XwaylandOnly},
        {nullptr, "wayland", false, false, PointerSource::XwaylandOnly},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            ChoosePointerSource({c.waylandDisplay, c.sessionType, c.kwinOnBus, c.gnomeShellOnBus}),
            c.want)
            << (c.waylandDisplay ? c.waylandDisplay : "-") << " "
            << (c.sessionType ? c.sessionType : "-") << " " << c.kwinOnBus << c.gnomeShellOnBus;
    }
}

}  // namespace
