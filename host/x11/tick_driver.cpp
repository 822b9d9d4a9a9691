// The tick: one pointer query (a round trip, as every X pointer reader makes), the core, one
// configure request.
#include "host/x11/tick_driver.h"

#include <cstdlib>

#include "host/x11/core_link.h"
#include "host/x11/desktop_window.h"
#include "host/x11/tick_timer.h"
#include "host/x11/window_geometry.h"

namespace {

constexpr int kHalfImage = kImageSize / 2;

}  // namespace

CTickDriver::CTickDriver(CXDisplay& display, CMascotWindow& window)
    : m_display(display),
      m_window(window),
      m_pointerX(kStartX + kHalfImage),  // before the first reading: the mascot's own centre
      m_pointerY(kStartY + kHalfImage) {}

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
    CCorePlacement placement = CoreRunTick(m_pointerX, m_pointerY, NowMs());
    if (m_lookup.Due(!placement.topmost)) m_desktop = FindDesktopTopLevel(m_display);
    CStackRequest stack = DecideStacking(placement.topmost, m_menuOpen, m_desktop);
    m_window.Place(placement.x, placement.y, stack);
    xcb_flush(m_display.Connection());
}
