// The mascot window: override-redirect (no frame, no taskbar entry, never given the focus),
// shaped to the image, painted by the server from a background pixmap, placed every tick.
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
    // properties, and makes it the owner of the mascot selection. An empty image leaves the
    // window a plain 41 x 41 square.
    void Create(const CImage& image);
    void Show();
    // Moves the window and restacks it, sending only what changed; nothing is flushed.
    void Place(int x, int y, const CStackRequest& stack);
    void Destroy();

    xcb_window_t Id() const { return m_window; }

private:
    void SetPicture(const CImage& image);
    void SetShape(const CImage& image);
    void SetProperties();

    CXDisplay& m_display;
    xcb_window_t m_window = XCB_NONE;
    xcb_pixmap_t m_picture = XCB_NONE;
    int m_x = 0;
    int m_y = 0;
};
