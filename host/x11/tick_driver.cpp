// The tick (one pointer query, a round trip as every X pointer reader makes; the core; at most
// one configure request), and the desktop's events that decide the stacking between ticks.
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

void CTickDriver::Start() { UseWindowManager(WindowManagerRuns(m_display)); }

// A window manager that starts, ends or is replaced changes the root's check property. With one,
// it keeps the layers and the root's traffic is none of the mascot's business; without one, the
// mascot follows every change of the root's children, so that it restacks only when one of them
// came over it (in front) or under it (behind).
void CTickDriver::FollowWindowManager() {
    bool managed = WindowManagerRuns(m_display);
    if (managed != m_managed) UseWindowManager(managed);
}

void CTickDriver::UseWindowManager(bool managed) {
    m_managed = managed;
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (!managed) mask |= XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_display.Connection(), m_display.Root(), XCB_CW_EVENT_MASK,
                                 &mask);
    m_stack.Clear();
    if (!managed) m_stack.Reset(ReadRootStack(m_display));
    m_desktopStale = true;
}

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
    TickPlacement placement = RunTick(m_pointerX, m_pointerY, NowMs());
    m_window.SetLayer(placement.topmost, m_managed);
    CStackRequest stack =
        m_managed ? CStackRequest{StackMode::Keep, 0} : Restack(placement.topmost);
    m_window.Place(placement.x, placement.y, stack);
    xcb_flush(m_display.Connection());
}

// The model follows the request at once, so that the next tick does not ask again before the
// server's notice arrives.
CStackRequest CTickDriver::Restack(bool topmost) {
    if (!topmost && m_desktopStale) {
        m_desktop = FindDesktopTopLevel(m_display);
        m_desktopStale = false;
    }
    CStackRequest stack = DecideStacking(m_stack, m_window.Id(), topmost, m_desktop);
    if (stack.mode == StackMode::AboveSibling) m_stack.PlaceAbove(m_window.Id(), stack.sibling);
    if (stack.mode == StackMode::Bottom) m_stack.PlaceAbove(m_window.Id(), 0);
    return stack;
}

void CTickDriver::OnWindowEvent(const xcb_generic_event_t& event) {
    std::uint8_t type = event.response_type & ~kSentEventFlag;
    if (type == XCB_PROPERTY_NOTIFY) {
        auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (property.atom == m_display.Atoms().netSupportingWmCheck) FollowWindowManager();
        return;
    }
    // The first field after the sequence number is the window the event was reported on.
    xcb_window_t reportedOn = reinterpret_cast<const xcb_configure_notify_event_t&>(event).event;
    if (reportedOn == m_window.Id()) {
        OnOwnWindow(event);
    } else if (reportedOn == m_display.Root() && !m_managed) {
        OnRootChild(event);
    }
}

void CTickDriver::OnOwnWindow(const xcb_generic_event_t& event) {
    bool synthetic = (event.response_type & kSentEventFlag) != 0;
    switch (event.response_type & ~kSentEventFlag) {
    case XCB_CONFIGURE_NOTIFY:
        m_window.OnConfigured(reinterpret_cast<const xcb_configure_notify_event_t&>(event),
                              synthetic);
        break;
    case XCB_MAP_NOTIFY: m_window.OnMapped(true); break;
    case XCB_UNMAP_NOTIFY:
        if (!synthetic) m_window.OnMapped(false);
        break;
    case XCB_REPARENT_NOTIFY:
        m_window.OnReparented(reinterpret_cast<const xcb_reparent_notify_event_t&>(event).parent);
        break;
    default: break;
    }
}

void CTickDriver::OnRootChild(const xcb_generic_event_t& event) {
    switch (event.response_type & ~kSentEventFlag) {
    case XCB_CREATE_NOTIFY: {
        auto& created = reinterpret_cast<const xcb_create_notify_event_t&>(event);
        m_stack.Add(created.window, created.override_redirect, false);
        return;
    }
    case XCB_CONFIGURE_NOTIFY: {
        auto& configured = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        m_stack.PlaceAbove(configured.window, configured.above_sibling);
        return;
    }
    case XCB_CIRCULATE_NOTIFY: {
        auto& circulated = reinterpret_cast<const xcb_circulate_notify_event_t&>(event);
        if (circulated.place == XCB_PLACE_ON_TOP) m_stack.PlaceOnTop(circulated.window);
        if (circulated.place == XCB_PLACE_ON_BOTTOM) m_stack.PlaceAbove(circulated.window, 0);
        return;
    }
    case XCB_MAP_NOTIFY: {
        auto& mapped = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        m_stack.Map(mapped.window, mapped.override_redirect);
        break;
    }
    case XCB_UNMAP_NOTIFY: {
        m_stack.Unmap(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        break;
    }
    case XCB_DESTROY_NOTIFY:
        m_stack.Remove(reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window);
        break;
    case XCB_REPARENT_NOTIFY: {
        auto& reparented = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
        if (reparented.parent == m_display.Root()) {
            m_stack.Add(reparented.window, reparented.override_redirect, false);
        } else {
            m_stack.Remove(reparented.window);
        }
        break;
    }
    default: return;
    }
    m_desktopStale = true;  // a window came, went, showed or hid: maybe the desktop's
}

void CTickDriver::OnRequestRefused() {
    m_desktopStale = true;
    if (!m_managed) m_stack.Reset(ReadRootStack(m_display));
}
