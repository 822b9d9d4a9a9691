// When the window's place is sent: the core's moves, and another program's move put back once
// until the server confirms a place, even when a window manager's notices come late.
#include <gtest/gtest.h>

#include "host/x11/mascot_window.h"

TEST(KeptPlace, AMoveFromOutsideIsPutBackOnceUntilAPlaceIsConfirmed) {
    CKeptPlace place(300, 100);
    EXPECT_FALSE(place.Take(300, 100));
    EXPECT_TRUE(place.Take(301, 100));
    EXPECT_TRUE(place.Take(302, 100));
    place.OnNotice(301, 100);  // late, then the current place: nothing to send again
    place.OnNotice(302, 100);
    EXPECT_FALSE(place.Take(302, 100));
    place.OnNotice(500, 400);  // another program moved it
    EXPECT_TRUE(place.Take(302, 100));
    place.OnNotice(600, 400);  // the window manager keeps it elsewhere: not asked again
    EXPECT_FALSE(place.Take(302, 100));
    EXPECT_TRUE(place.Take(303, 100));  // the core's own moves still go
    place.OnNotice(303, 100);
    place.OnNotice(500, 400);  // confirmed, so the next move from outside is put back again
    EXPECT_TRUE(place.Take(303, 100));
}
