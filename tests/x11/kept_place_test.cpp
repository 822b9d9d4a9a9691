// When the window's place and size are sent: the wanted value's changes, and another program's
// change put back once until the server confirms a value, even when a window manager's notices
// come late.
#include <gtest/gtest.h>

#include "host/x11/mascot_window.h"

TEST(KeptGeometry, AChangeFromOutsideIsPutBackOnceUntilAValueIsConfirmed) {
    CKeptGeometry place(300, 100);
    EXPECT_FALSE(place.SetWanted(300, 100));
    EXPECT_TRUE(place.SetWanted(301, 100));
    EXPECT_TRUE(place.SetWanted(302, 100));
    place.OnNotice(301, 100);  // late, then the current place: nothing to send again
    place.OnNotice(302, 100);
    EXPECT_FALSE(place.SetWanted(302, 100));
    place.OnNotice(500, 400);  // another program moved it
    EXPECT_TRUE(place.SetWanted(302, 100));
    place.OnNotice(600, 400);  // the window manager keeps it elsewhere: not asked again
    EXPECT_FALSE(place.SetWanted(302, 100));
    EXPECT_TRUE(place.SetWanted(303, 100));  // the core's own moves still go
    place.OnNotice(303, 100);
    place.OnNotice(500, 400);  // confirmed, so the next move from outside is put back again
    EXPECT_TRUE(place.SetWanted(303, 100));

    CKeptGeometry size(41, 41);  // wanted unchanged
    size.OnNotice(80, 80);       // another program resized it
    EXPECT_TRUE(size.SetWanted(41, 41));
    size.OnNotice(80, 80);  // late, or the window manager keeps that size: not asked again
    EXPECT_FALSE(size.SetWanted(41, 41));
    size.OnNotice(41, 41);  // confirmed, so the next resize from outside is put back again
    size.OnNotice(60, 41);
    EXPECT_TRUE(size.SetWanted(41, 41));
}
