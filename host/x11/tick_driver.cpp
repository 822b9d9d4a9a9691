// The tick: one pointer query (a round trip, as every X pointer reader makes), the core, one
// configure request.
#include "host/x11/tick_driver.h"

#include <cstdlib>

#include "host/shared/globals.h"
#include "host/shared/window.h"
#include "host/x11/desktop_window.h"
#include "host/x11/tick_timer.h"

CTickDriver::CTickDriver(CXDisplay& display, CMascotWindow& window)
    : m_display(display),
      m_window(window),
      // Before the first reading: the mascot's own centre.
      m_pointerX(kWindowStartX + static_cast<int>(kHalfImage)),
      m_pointerY(kWindowStartY + static_cast<int>(kHalfImage)) {}

// On another screen of the display the pointer has no position on this one: keep the last.
void CTickDriver::ReadPointer() {
    xcb_connection_t* c = m_display.Connection();
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, m_display.Root()), nullptr);
    if (reply && reply->same_screen) {
        m_pointerX = reply->root_x;
        m_pointerY = reply->root_y;
    }
    std::free(reply);
}

void CTickDriver::Tick() {
    ReadPointer();
    TickPlacement placement = RunTick(m_pointerX, m_pointerY, NowMs());
    if (m_lookup.Due(!placement.topmost)) m_desktop = FindDesktopTopLevel(m_display);
    CStackRequest stack = DecideStacking(placement.topmost, m_menuOpen, m_desktop);
    m_window.Place(placement.x, placement.y, stack);
    xcb_flush(m_display.Connection());
}
