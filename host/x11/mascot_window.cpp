// The window and its picture with plain XCB requests: the bitmap read through Qt, pixels in the
// server's layout, the shape, the kept place and size, and creating, painting, placing and
// stacking the window.
#include "host/x11/mascot_window.h"

#include <unistd.h>
#include <xcb/shape.h>

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/shared/pixel_runs.h"
#include "host/shared/window.h"

// ---- The image ----------------------------------------------------------------------------------
// Reads the bitmap built into the program through Qt's image reader.

namespace {

constexpr char kMascotImagePath[] = ":/mascot.bmp";
constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

}  // namespace

CImage LoadMascotImage() {
    QImage read(QString::fromLatin1(kMascotImagePath));
    if (read.isNull()) return {};
    QImage rgb = read.convertToFormat(QImage::Format_RGB32);
    CImage image;
    image.width = rgb.width();
    image.height = rgb.height();
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < image.width; ++x) image.pixels.push_back(row[x] & kRgbMask);
    }
    return image;
}

// ---- The pixel format ---------------------------------------------------------------------------
// Colour channels into visual masks, and pixel values into server byte order and row padding.

namespace {

// An 8-bit channel value spread over the bits of `mask`.
std::uint32_t ScaleToMask(std::uint32_t channel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    std::uint32_t maximum = mask >> shift;
    return ((channel * maximum + 127) / 255) << shift;
}

bool IsWholeBytes(int bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

// The colour of the pixels outside the shape (see ShapeRunsOf).
std::uint32_t OutsideColour(const std::uint32_t* pixels, int width, int height) {
    return pixels[static_cast<std::size_t>(height - 1) * width];
}

}  // namespace

std::uint32_t PixelValue(std::uint32_t rgb, const CVisualFormat& format) {
    return ScaleToMask((rgb >> 16) & 0xFFu, format.redMask) |
           ScaleToMask((rgb >> 8) & 0xFFu, format.greenMask) |
           ScaleToMask(rgb & 0xFFu, format.blueMask) | format.alphaMask;
}

std::vector<std::uint32_t> TrueColorValues(const CImage& image, const CVisualFormat& format) {
    std::vector<std::uint32_t> values;
    if (image.pixels.empty()) return values;
    const std::uint32_t outside = OutsideColour(image.pixels.data(), image.width, image.height);
    values.reserve(image.pixels.size());
    for (std::uint32_t rgb : image.pixels) {
        values.push_back(format.alphaMask != 0 && rgb == outside ? 0 : PixelValue(rgb, format));
    }
    return values;
}

std::vector<std::uint8_t> ZPixmapBytes(const std::vector<std::uint32_t>& values, int width,
                                       const CVisualFormat& format) {
    std::vector<std::uint8_t> bytes;
    if (!IsWholeBytes(format.bitsPerPixel) || width <= 0) return bytes;
    const int pixelBytes = format.bitsPerPixel / 8;
    const int padBytes = format.scanlinePad >= 8 ? format.scanlinePad / 8 : 1;
    const std::size_t rowBytes =
        (static_cast<std::size_t>(width) * pixelBytes + padBytes - 1) / padBytes * padBytes;
    const std::size_t rows = values.size() / static_cast<std::size_t>(width);
    bytes.assign(rowBytes * rows, 0);
    for (std::size_t i = 0; i < rows * width; ++i) {
        std::uint8_t* at = &bytes[i / width * rowBytes + i % width * pixelBytes];
        for (int b = 0; b < pixelBytes; ++b) {
            int shift = format.lsbFirst ? 8 * b : 8 * (pixelBytes - 1 - b);
            at[b] = static_cast<std::uint8_t>(values[i] >> shift);
        }
    }
    return bytes;
}

// ---- The shape ----------------------------------------------------------------------------------
// One scan over the image, one run per stretch of non-transparent pixels.

std::vector<CShapeRun> ShapeRunsOf(const std::uint32_t* pixels, int width, int height) {
    std::vector<CShapeRun> runs;
    if (!pixels || width <= 0 || height <= 0) return runs;
    std::uint32_t transparent = OutsideColour(pixels, width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        ForEachRun(row, width, transparent, [&runs, y](int x0, int x1) {
            runs.push_back({x0, x1, y});
            return true;
        });
    }
    return runs;
}

// ---- The kept place and size --------------------------------------------------------------------

// A notice of the value last sent ends a put-back that an older notice asked for: the window
// is as it should be, and a window manager need not answer a request that changes nothing,
// which would leave the put-back disarmed, waiting for a confirmation that never comes.
void CKeptGeometry::OnNotice(int a, int b) {
    if (a == m_a && b == m_b) {
        m_needsPutBack = m_putBack = false;
    } else if (!m_putBack) {
        m_needsPutBack = true;
    }
}

bool CKeptGeometry::SetWanted(int a, int b) {
    bool send = m_needsPutBack || a != m_a || b != m_b;
    if (m_needsPutBack) m_putBack = true;
    m_needsPutBack = false;
    m_a = a;
    m_b = b;
    return send;
}

// ---- The mascot window --------------------------------------------------------------------------

namespace {

constexpr char kWindowClass[] = "mascot\0Mascot";  // instance and class, each ending in a NUL
constexpr std::uint32_t kWhite = 0xFFFFFF;

// The window manager's properties and messages, laid out and named as the ICCCM, the EWMH and
// Motif do.
constexpr std::uint32_t InputHint = 1;  // WM_HINTS: the input field is set

struct CWmSizeHints {  // WM_NORMAL_HINTS
    std::uint32_t flags;
    std::uint32_t x, y, width, height;  // obsolete: the ICCCM keeps them as padding
    std::uint32_t minWidth, minHeight, maxWidth, maxHeight, widthInc, heightInc;
    std::uint32_t minAspectX, minAspectY, maxAspectX, maxAspectY, baseWidth, baseHeight;
    std::uint32_t winGravity;
};
static_assert(sizeof(CWmSizeHints) == 18 * 4, "WM_NORMAL_HINTS is 18 32-bit fields");
constexpr std::uint32_t USPosition = 1, USSize = 2, PMinSize = 16, PMaxSize = 32, PWinGravity = 512;
constexpr std::uint32_t StaticGravity = 10;

constexpr std::uint32_t MWM_HINTS_DECORATIONS = 1u << 1;  // _MOTIF_WM_HINTS: decorations are set

// _NET_WM_STATE's actions, without the leading underscore that C++ reserves.
constexpr std::uint32_t NET_WM_STATE_REMOVE = 0, NET_WM_STATE_ADD = 1;
constexpr std::uint32_t kSourceApplication = 1;  // _NET_WM_STATE: sent by an application

constexpr std::uint8_t kAlphaDepth = 32;

// A visual of the screen that `accepts` (visual, depth), and its depth; null when none does.
template <typename Accepts>
const xcb_visualtype_t* FindVisual(const xcb_screen_t* screen, std::uint8_t& depth,
                                   Accepts accepts) {
    xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(screen);
    for (; depths.rem; xcb_depth_next(&depths)) {
        xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data);
        for (; visuals.rem; xcb_visualtype_next(&visuals)) {
            if (!accepts(*visuals.data, depths.data->depth)) continue;
            depth = depths.data->depth;
            return visuals.data;
        }
    }
    return nullptr;
}

// The bits of a depth's pixels that the visual's colours leave: its alpha channel.
std::uint32_t AlphaMask(const xcb_visualtype_t& visual, std::uint8_t depth) {
    std::uint32_t all = depth >= 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
    return all & ~(visual.red_mask | visual.green_mask | visual.blue_mask);
}

std::uint16_t Channel16(std::uint32_t rgb, int shift) {
    return static_cast<std::uint16_t>(((rgb >> shift) & 0xFFu) * 257u);
}

// On a visual without channel masks (a colormap's): each colour of the image allocated in the
// default colormap, as the server has it nearest; black or white where it has no cell left.
// `approximated` is set when any colour differs from the image's.
std::vector<std::uint32_t> AllocatedValues(xcb_connection_t* c, const xcb_screen_t* screen,
                                           const std::vector<std::uint32_t>& pixels,
                                           bool& approximated) {
    std::vector<std::uint32_t> colours(pixels);
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    std::vector<xcb_alloc_color_cookie_t> cookies;
    for (std::uint32_t rgb : colours) {
        cookies.push_back(xcb_alloc_color(c, screen->default_colormap, Channel16(rgb, 16),
                                          Channel16(rgb, 8), Channel16(rgb, 0)));
    }
    std::vector<std::uint32_t> cells;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        xcb_alloc_color_reply_t* reply = xcb_alloc_color_reply(c, cookies[i], nullptr);
        std::uint32_t rgb = colours[i];
        if (!reply || reply->red >> 8 != ((rgb >> 16) & 0xFFu) ||
            reply->green >> 8 != ((rgb >> 8) & 0xFFu) || reply->blue >> 8 != (rgb & 0xFFu)) {
            approximated = true;
        }
        bool light = ((rgb >> 16) & 0xFFu) + ((rgb >> 8) & 0xFFu) + (rgb & 0xFFu) >= 3 * 128;
        cells.push_back(reply ? reply->pixel : light ? screen->white_pixel : screen->black_pixel);
        std::free(reply);
    }
    std::vector<std::uint32_t> values;
    values.reserve(pixels.size());
    for (std::uint32_t rgb : pixels) {
        auto at = std::lower_bound(colours.begin(), colours.end(), rgb) - colours.begin();
        values.push_back(cells[static_cast<std::size_t>(at)]);
    }
    return values;
}

}  // namespace

CMascotWindow::~CMascotWindow() { Destroy(); }

void CMascotWindow::Create(const CImage& image) {
    xcb_connection_t* c = m_display.Connection();
    xcb_screen_t* screen = m_display.Screen();
    m_window = xcb_generate_id(c);
    m_parent = screen->root;
    m_place = CKeptGeometry(kWindowStartX, kWindowStartY);
    m_size = CKeptGeometry(kWindowSize, kWindowSize);
    ChooseVisual();
    xcb_create_window_value_list_t attributes = {};
    // The background until the picture is set.
    attributes.background_pixel =
        IsTrueColor() ? PixelValue(kWhite, Format()) : screen->white_pixel;
    attributes.event_mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK;
    if (m_colormap != XCB_NONE) {
        // A window of another depth than its parent's: without a colormap and a border pixel of
        // its own, the server refuses it (BadMatch).
        attributes.border_pixel = 0;
        attributes.colormap = m_colormap;
        mask |= XCB_CW_BORDER_PIXEL | XCB_CW_COLORMAP;
    }
    xcb_create_window_aux(c, m_depth, m_window, screen->root, kWindowStartX, kWindowStartY,
                          kWindowSize, kWindowSize, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          m_visual ? m_visual->visual_id : screen->root_visual, mask, &attributes);
    SetPicture(image);
    SetShape(image);
    SetProperties();
}

// A 32-bit visual with alpha where the screen has one (Xwayland and composited servers do): a
// compositor that draws the window's whole square rather than its shape (KWin on Wayland) then
// shows what is behind the corners, not black or stale pixels. Elsewhere the root's visual.
void CMascotWindow::ChooseVisual() {
    xcb_connection_t* c = m_display.Connection();
    xcb_screen_t* screen = m_display.Screen();
    m_visual = FindVisual(screen, m_depth, [](const xcb_visualtype_t& visual, std::uint8_t depth) {
        return depth == kAlphaDepth && visual._class == XCB_VISUAL_CLASS_TRUE_COLOR &&
               AlphaMask(visual, depth) != 0;
    });
    if (m_visual) {
        m_colormap = xcb_generate_id(c);
        xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, m_colormap, screen->root,
                            m_visual->visual_id);
        return;
    }
    m_visual = FindVisual(screen, m_depth, [screen](const xcb_visualtype_t& visual, std::uint8_t) {
        return visual.visual_id == screen->root_visual;
    });
    m_depth = screen->root_depth;
}

CVisualFormat CMascotWindow::Format() const {
    const xcb_setup_t* setup = xcb_get_setup(m_display.Connection());
    CVisualFormat format = {};
    if (m_visual) {
        format.redMask = m_visual->red_mask;
        format.greenMask = m_visual->green_mask;
        format.blueMask = m_visual->blue_mask;
        if (IsTrueColor()) format.alphaMask = AlphaMask(*m_visual, m_depth);
    }
    xcb_format_iterator_t formats = xcb_setup_pixmap_formats_iterator(setup);
    for (; formats.rem; xcb_format_next(&formats)) {
        if (formats.data->depth != m_depth) continue;
        format.bitsPerPixel = formats.data->bits_per_pixel;
        format.scanlinePad = formats.data->scanline_pad;
    }
    format.lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    return format;
}

bool CMascotWindow::IsTrueColor() const {
    return m_visual && m_visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR;
}

// The server paints the window from its background pixmap: no expose handling, no redraws.
void CMascotWindow::SetPicture(const CImage& image) {
    if (image.pixels.empty()) return;
    xcb_connection_t* c = m_display.Connection();
    xcb_screen_t* screen = m_display.Screen();
    CVisualFormat format = Format();
    bool approximated = false;
    std::vector<std::uint32_t> values =
        IsTrueColor() ? TrueColorValues(image, format)
                      : AllocatedValues(c, screen, image.pixels, approximated);
    std::vector<std::uint8_t> bytes = ZPixmapBytes(values, image.width, format);
    if (bytes.empty()) {
        // The shape still holds: the mascot shows as a disc of its centre's colour.
        std::fprintf(stderr,
                     "mascot: the display's %d-bit pixels cannot be drawn; the mascot "
                     "shows in one colour\n",
                     format.bitsPerPixel);
        std::uint32_t centre =
            values[values.size() / 2 + static_cast<std::size_t>(image.width / 2)];
        xcb_change_window_attributes(c, m_window, XCB_CW_BACK_PIXEL, &centre);
        return;
    }
    if (approximated) {
        std::fputs(
            "mascot: the display lacks some of the mascot's colours; it shows in the "
            "nearest ones\n",
            stderr);
    }
    m_picture = xcb_generate_id(c);
    xcb_create_pixmap(c, m_depth, m_picture, m_window, image.width, image.height);
    xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, m_picture, 0, nullptr);
    xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_picture, gc, image.width, image.height, 0, 0, 0,
                  m_depth, bytes.size(), bytes.data());
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

// Names for tools and tests, the owning process, and what a window manager needs to keep it a
// frameless, fixed-size, never-focused utility window at its own place.
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
    const std::uint32_t hints[9] = {InputHint, 0};  // input: false
    replace(XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, 9, hints);
    // The place and size are the user's, the size is fixed, and the place is the window's own,
    // whatever frame a window manager adds.
    CWmSizeHints size = {};
    size.flags = USPosition | USSize | PMinSize | PMaxSize | PWinGravity;
    size.x = kWindowStartX;
    size.y = kWindowStartY;
    size.width = size.height = kWindowSize;
    size.minWidth = size.minHeight = size.maxWidth = size.maxHeight = kWindowSize;
    size.winGravity = StaticGravity;
    replace(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, sizeof size / 4, &size);
    const std::uint32_t motif[5] = {MWM_HINTS_DECORATIONS, 0, 0, 0, 0};  // decorations: none
    replace(atoms.motifWmHints, atoms.motifWmHints, 32, 5, motif);
    replace(atoms.netWmWindowType, XCB_ATOM_ATOM, 32, 1, &atoms.netWmWindowTypeUtility);
    WriteState();
}

// The state a window manager reads when it takes the window on: the layer, no taskbar or pager.
void CMascotWindow::WriteState() {
    const CAtoms& atoms = m_display.Atoms();
    const xcb_atom_t state[3] = {
        m_layer == Layer::Below ? atoms.netWmStateBelow : atoms.netWmStateAbove,
        atoms.netWmStateSkipTaskbar, atoms.netWmStateSkipPager};
    xcb_change_property(m_display.Connection(), XCB_PROP_MODE_REPLACE, m_window, atoms.netWmState,
                        XCB_ATOM_ATOM, 32, 3, state);
}

// Under one server grab, so that two mascots starting at once cannot both find it free.
bool CMascotWindow::ClaimMascotSelection() {
    xcb_connection_t* c = m_display.Connection();
    xcb_atom_t selection = m_display.Atoms().mascotSelection;
    xcb_grab_server(c);
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    bool free = reply && reply->owner == XCB_NONE;
    std::free(reply);
    if (free) xcb_set_selection_owner(c, m_window, selection, XCB_CURRENT_TIME);
    xcb_ungrab_server(c);
    xcb_flush(c);
    return free;
}

void CMascotWindow::Show() {
    m_shown = true;
    WriteState();  // a window manager drops the state of a window it let go of
    xcb_map_window(m_display.Connection(), m_window);
}

void CMascotWindow::SetLayer(bool topmost, bool managed) {
    Layer wanted = topmost ? Layer::Above : Layer::Below;
    if (wanted == m_layer) return;
    m_layer = wanted;
    if (!managed) {
        WriteState();
        return;
    }
    const CAtoms& atoms = m_display.Atoms();
    SendState(NET_WM_STATE_REMOVE, topmost ? atoms.netWmStateBelow : atoms.netWmStateAbove);
    SendState(NET_WM_STATE_ADD, topmost ? atoms.netWmStateAbove : atoms.netWmStateBelow);
}

void CMascotWindow::SendState(std::uint32_t action, xcb_atom_t state) {
    const std::uint32_t data[kClientMessageWords] = {action, state, 0, kSourceApplication, 0};
    SendClientMessage(m_display, m_display.Root(),
                      XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                      m_window, m_display.Atoms().netWmState, data);
}

void CMascotWindow::Place(int x, int y, const CStackRequest& stack) {
    if (m_needsMap) {
        m_needsMap = false;
        Show();
    }
    std::uint16_t mask = 0;
    std::uint32_t values[6];
    int count = 0;
    // Values go in the order of their mask bits: x, y, width, height, sibling, stack mode.
    if (m_place.SetWanted(x, y)) {
        mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
        values[count++] = static_cast<std::uint32_t>(x);
        values[count++] = static_cast<std::uint32_t>(y);
    }
    if (m_size.SetWanted(kWindowSize, kWindowSize)) {
        mask |= XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
        values[count++] = kWindowSize;
        values[count++] = kWindowSize;
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
    if (mask != 0) xcb_configure_window(m_display.Connection(), m_window, mask, values);
}

// Positions are the root's only for a child of the root or in a window manager's synthetic
// notice; a frame's child hears its place within the frame.
void CMascotWindow::OnConfigured(const xcb_configure_notify_event_t& event, bool synthetic) {
    m_size.OnNotice(event.width, event.height);
    if (synthetic || m_parent == m_display.Root()) m_place.OnNotice(event.x, event.y);
}

void CMascotWindow::Destroy() {
    if (m_window == XCB_NONE || m_display.Broken()) return;
    xcb_destroy_window(m_display.Connection(), m_window);
    if (m_picture != XCB_NONE) xcb_free_pixmap(m_display.Connection(), m_picture);
    if (m_colormap != XCB_NONE) xcb_free_colormap(m_display.Connection(), m_colormap);
    xcb_flush(m_display.Connection());
    m_window = XCB_NONE;
    m_picture = XCB_NONE;
    m_colormap = XCB_NONE;
}
