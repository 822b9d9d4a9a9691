// The window and its picture: the image as 32-bit pixels in the layout the server wants, the shape
// made from it, the place and size the window keeps, and the mascot window itself.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/x11/display.h"
#include "host/x11/stacking.h"

// ---- The image ----------------------------------------------------------------------------------
// An image as 32-bit pixels, and the mascot's image as the program carries it.

struct CImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// The mascot bitmap (resources/mascot.bmp, built into the program); empty if it cannot be read.
CImage LoadMascotImage();

// ---- The pixel format ---------------------------------------------------------------------------
// The image's pixels in the layout the X server wants for the window's visual.

struct CVisualFormat {
    std::uint32_t redMask;  // the channel masks of a TrueColor visual
    std::uint32_t greenMask;
    std::uint32_t blueMask;
    int bitsPerPixel;             // of the visual's depth in the server's pixmap formats
    int scanlinePad;              // bits each row of ZPixmap data is padded to
    bool lsbFirst;                // the server's image byte order
    std::uint32_t alphaMask = 0;  // the depth's bits that no colour uses: none on an opaque visual
};

// One pixel value of a TrueColor visual for a colour 0x00RRGGBB: each channel scaled to its
// mask, opaque.
std::uint32_t PixelValue(std::uint32_t rgb, const CVisualFormat& format);

// The image's pixel values on a TrueColor visual. With an alpha channel, the pixels outside the
// shape are fully transparent (premultiplied: all 0), for a compositor that draws the window's
// whole square rather than its shape.
std::vector<std::uint32_t> TrueColorValues(const CImage& image, const CVisualFormat& format);

// Rows of `width` pixel values as ZPixmap data; empty when the format's pixels are not whole
// bytes (8, 16, 24 or 32 bits), which the host cannot draw.
std::vector<std::uint8_t> ZPixmapBytes(const std::vector<std::uint32_t>& values, int width,
                                       const CVisualFormat& format);

// ---- The shape ----------------------------------------------------------------------------------
// The window's shape from the image: the pixels that differ from the bottom-left one.

// Columns x0 .. x1 - 1 of row y, rows counted from the top.
struct CShapeRun {
    int x0;
    int x1;
    int y;
};

// The maximal horizontal runs of pixels whose whole 32-bit value differs from the bottom-left
// pixel's, row by row from the top. `pixels` holds `height` rows of `width` values, top row
// first. The union of the runs is the window's shape; an image of one colour gives none.
std::vector<CShapeRun> ShapeRunsOf(const std::uint32_t* pixels, int width, int height);

// ---- The kept place and size --------------------------------------------------------------------
// Whether the window's place (x, y) or size (width, height) must be sent: when the wanted value
// changed, or when another program changed the window's. A window manager that keeps the window
// elsewhere or at another size (out of a panel, say) is asked once, not on every tick: nothing is
// put back again until the server has confirmed a value.

class CKeptGeometry {
public:
    CKeptGeometry(int a, int b) : m_a(a), m_b(b) {}
    // The server's notice of the window's value (a, b).
    void OnNotice(int a, int b);
    // Sets the value wanted for this tick; true when a request for it must be sent.
    bool SetWanted(int a, int b);

private:
    int m_a;  // the value last wanted
    int m_b;
    bool m_needsPutBack = false;  // another program changed it: send it even if unchanged
    bool m_putBack = false;       // put back once since the value was last confirmed
};

// ---- The mascot window --------------------------------------------------------------------------
// No frame, no taskbar or pager entry, never given the focus, shaped to the image, painted by the
// server from a background pixmap (transparent round the shape where the screen has a 32-bit
// visual with alpha), placed every tick. A window manager keeps it above or below
// the ordinary windows (_NET_WM_STATE); without one the tick restacks it. A place, size or mapping
// that another program changed is put back on the next tick.

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
    void ChooseVisual();
    CVisualFormat Format() const;
    bool IsTrueColor() const;
    void SetPicture(const CImage& image);
    void SetShape(const CImage& image);
    void SetProperties();
    void WriteState();
    void SendState(std::uint32_t action, xcb_atom_t state);

    enum class Layer { Above, Below };

    CXDisplay& m_display;
    xcb_window_t m_window = XCB_NONE;
    xcb_window_t m_parent = XCB_NONE;
    xcb_pixmap_t m_picture = XCB_NONE;
    const xcb_visualtype_t* m_visual = nullptr;  // the window's, in the server's setup data
    std::uint8_t m_depth = 0;
    xcb_colormap_t m_colormap = XCB_NONE;  // the window's own, for a visual not the root's
    Layer m_layer = Layer::Above;
    bool m_shown = false;
    bool m_needsMap = false;
    CKeptGeometry m_place{0, 0};
    CKeptGeometry m_size{0, 0};
};
