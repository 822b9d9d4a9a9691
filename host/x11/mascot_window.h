// The mascot window: no frame, no taskbar or pager entry, never given the focus, shaped to the
// image, painted by the server from a background pixmap, placed every tick. A window manager
// keeps it above or below the ordinary windows (_NET_WM_STATE); without one the tick restacks
// it. A place, size or mapping that another program changed is put back on the next tick.
#pragma once

#include <xcb/xcb.h>

#include "host/x11/image.h"
#include "host/x11/stacking.h"
#include "host/x11/x_display.h"

class CMascotWindow {
public:
    explicit CMascotWindow(CXDisplay& display) : m_display(display) {}
    ~CMascotWindow();
    CMascotWindow(const CMascotWindow&) = delete;
    CMascotWindow& operator=(const CMascotWindow&) = delete;

    // Creates the unmapped window at the start position with its shape, picture and
    // properties. An empty image leaves the window a plain 41 x 41 square.
    void Create(const CImage& image);
    // Makes the window the owner of the mascot selection unless another window owns it; false
    // when another mascot runs on the display.
    bool ClaimMascotSelection();
    void Show();
    // Asks for the layer of `topmost` (above or below the ordinary windows): from the window
    // manager when `managed`, else only in the window's own properties, for a window manager
    // that starts later. Sends nothing when the layer is the one asked for last.
    void SetLayer(bool topmost, bool managed);
    // Moves the window and restacks it, sending only what changed or what another program
    // changed since; nothing is flushed.
    void Place(int x, int y, const CStackRequest& stack);
    void Destroy();

    // What the server reports of the window itself.
    void OnConfigured(const xcb_configure_notify_event_t& event, bool synthetic);
    void OnMapped(bool mapped) { m_needsMap = !mapped && m_shown; }
    void OnReparented(xcb_window_t parent) { m_parent = parent; }

    xcb_window_t Id() const { return m_window; }

private:
    void SetPicture(const CImage& image);
    void SetShape(const CImage& image);
    void SetProperties();
    void WriteState();
    void SendState(bool add, xcb_atom_t state);

    enum class Layer { Unknown, Above, Below };

    CXDisplay& m_display;
    xcb_window_t m_window = XCB_NONE;
    xcb_window_t m_parent = XCB_NONE;
    xcb_pixmap_t m_picture = XCB_NONE;
    Layer m_layer = Layer::Above;
    bool m_shown = false;
    bool m_needsMap = false;
    bool m_needsMove = false;    // another program moved it: send the place even if unchanged
    bool m_needsResize = false;  // another program resized it
    bool m_movedBack = false;    // put back once since the place was last confirmed
    bool m_resizedBack = false;  // the same for the size
    int m_x = 0;
    int m_y = 0;
};
