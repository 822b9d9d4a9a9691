// Creating, shaping, painting and placing the mascot window with plain XCB requests.
#include "host/x11/mascot_window.h"

#include <unistd.h>
#include <xcb/shape.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/shared/window.h"
#include "host/x11/pixel_format.h"
#include "host/x11/shape.h"

namespace {

constexpr char kWindowClass[] = "mascot\0Mascot";  // instance and class, each ending in a NUL
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kInputHint = 1;  // WM_HINTS flag: the input field is set

const xcb_visualtype_t* RootVisual(const xcb_screen_t* screen) {
    xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(screen);
    for (; depths.rem; xcb_depth_next(&depths)) {
        xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data);
        for (; visuals.rem; xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual) return visuals.data;
        }
    }
    return nullptr;
}

int BitsPerPixel(const xcb_setup_t* setup, std::uint8_t depth) {
    xcb_format_iterator_t formats = xcb_setup_pixmap_formats_iterator(setup);
    for (; formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth == depth) return formats.data->bits_per_pixel;
    }
    return 0;
}

CVisualFormat RootFormat(xcb_connection_t* connection, const xcb_screen_t* screen) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_visualtype_t* visual = RootVisual(screen);
    CVisualFormat format = {};
    if (visual) {
        format.redMask = visual->red_mask;
        format.greenMask = visual->green_mask;
        format.blueMask = visual->blue_mask;
    }
    format.bitsPerPixel = BitsPerPixel(setup, screen->root_depth);
    format.lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    return format;
}

}  // namespace

CMascotWindow::~CMascotWindow() { Destroy(); }

void CMascotWindow::Create(const CImage& image) {
    xcb_connection_t* c = m_display.Connection();
    xcb_screen_t* screen = m_display.Screen();
    m_window = xcb_generate_id(c);
    m_x = kWindowStartX;
    m_y = kWindowStartY;
    const std::uint32_t values[] = {
        PixelValue(kWhite, RootFormat(c, screen)),  // background until the picture is set
        1,                                          // override-redirect
        XCB_EVENT_MASK_BUTTON_PRESS,
    };
    xcb_create_window(c, screen->root_depth, m_window, screen->root, kWindowStartX, kWindowStartY,
                      kWindowSize, kWindowSize, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    SetPicture(image);
    SetShape(image);
    SetProperties();
    xcb_set_selection_owner(c, m_window, m_display.Atoms().mascotSelection, XCB_CURRENT_TIME);
}

// The server paints the window from its background pixmap: no expose handling, no redraws.
void CMascotWindow::SetPicture(const CImage& image) {
    xcb_connection_t* c = m_display.Connection();
    xcb_screen_t* screen = m_display.Screen();
    std::vector<std::uint8_t> bytes = ZPixmapBytes(image, RootFormat(c, screen));
    if (bytes.empty()) return;
    m_picture = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, m_picture, m_window, image.width, image.height);
    xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, m_picture, 0, nullptr);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_picture, gc, image.width, image.height, 0, 0, 0,
                  screen->root_depth, bytes.size(), bytes.data());
    xcb_free_gc(c, gc);
    xcb_change_window_attributes(c, m_window, XCB_CW_BACK_PIXMAP, &m_picture);
}

void CMascotWindow::SetShape(const CImage& image) {
    if (image.pixels.empty()) return;  // no image: the whole square, as with no region
    std::vector<CShapeRun> runs = ShapeRunsOf(image.pixels.data(), image.width, image.height);
    std::vector<xcb_rectangle_t> rectangles;
    rectangles.reserve(runs.size());
    for (const CShapeRun& run : runs) {
        rectangles.push_back({static_cast<std::int16_t>(run.x0), static_cast<std::int16_t>(run.y),
                              static_cast<std::uint16_t>(run.x1 - run.x0), 1});
    }
    xcb_shape_rectangles(m_display.Connection(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                         XCB_CLIP_ORDERING_YX_BANDED, m_window, 0, 0, rectangles.size(),
                         rectangles.data());
}

// Names for tools and tests, the owning process, and no keyboard input.
void CMascotWindow::SetProperties() {
    xcb_connection_t* c = m_display.Connection();
    const CAtoms& atoms = m_display.Atoms();
    auto replace = [c, this](xcb_atom_t property, xcb_atom_t type, std::uint8_t format,
                             std::uint32_t length, const void* data) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_window, property, type, format, length,
                            data);
    };
    replace(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, std::strlen(kTrayTip), kTrayTip);
    replace(atoms.netWmName, atoms.utf8String, 8, std::strlen(kTrayTip), kTrayTip);
    replace(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof kWindowClass, kWindowClass);
    std::uint32_t pid = static_cast<std::uint32_t>(getpid());
    replace(atoms.netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
    const std::uint32_t hints[9] = {kInputHint, 0};  // input: false
    replace(XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints);
}

void CMascotWindow::Show() { xcb_map_window(m_display.Connection(), m_window); }

void CMascotWindow::Place(int x, int y, const CStackRequest& stack) {
    std::uint16_t mask = 0;
    std::uint32_t values[4];
    int count = 0;
    // Values go in the order of their mask bits: x, y, sibling, stack mode.
    if (x != m_x) {
        mask |= XCB_CONFIG_WINDOW_X;
        values[count++] = static_cast<std::uint32_t>(x);
    }
    if (y != m_y) {
        mask |= XCB_CONFIG_WINDOW_Y;
        values[count++] = static_cast<std::uint32_t>(y);
    }
    if (stack.mode == StackMode::AboveSibling) {
        mask |= XCB_CONFIG_WINDOW_SIBLING;
        values[count++] = stack.sibling;
    }
    if (stack.mode != StackMode::Keep) {
        mask |= XCB_CONFIG_WINDOW_STACK_MODE;
        values[count++] =
            stack.mode == StackMode::Bottom ? XCB_STACK_MODE_BELOW : XCB_STACK_MODE_ABOVE;
    }
    m_x = x;
    m_y = y;
    if (mask != 0) xcb_configure_window(m_display.Connection(), m_window, mask, values);
}

void CMascotWindow::Destroy() {
    if (m_window == XCB_NONE || m_display.Broken()) return;
    xcb_destroy_window(m_display.Connection(), m_window);
    if (m_picture != XCB_NONE) xcb_free_pixmap(m_display.Connection(), m_picture);
    xcb_flush(m_display.Connection());
    m_window = XCB_NONE;
    m_picture = XCB_NONE;
}
