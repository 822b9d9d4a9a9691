/* wayland-probe: a native Wayland window and KWin's own pointer, for the end-to-end test.
 * Opens a maximized grey xdg-shell window (no X: started without DISPLAY it cannot fall back),
 * prints "ready" once it is shown, then for each line "X Y" on standard input moves the
 * compositor's pointer there through KWin's fake-input protocol and prints "moved" once KWin has
 * taken it. One connection for the whole run: Xwayland loses its pointer when each move comes
 * from a new client. KWin offers fake input only to a program with a .desktop entry naming it
 * (X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input), found when KWin starts. Elsewhere (GNOME
 * Shell), and without it, the window still opens, for tests that only need it shown, and a line
 * asking for a move fails. */
#define _GNU_SOURCE
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"
#include "xdg-shell-client-protocol.h"

enum { kGrey = 0xff808080, kFallbackWidth = 640, kFallbackHeight = 480 };

static struct wl_compositor* g_compositor;
static struct wl_shm* g_shm;
static struct xdg_wm_base* g_shell;
static struct org_kde_kwin_fake_input* g_fakeInput;
static struct wl_surface* g_surface;
static int g_width, g_height, g_configured;

static void Fail(const char* what) {
    fprintf(stderr, "wayland-probe: %s\n", what);
    exit(1);
}

static void OnGlobal(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version) {
    (void)data;
    if (strcmp(interface, wl_compositor_interface.name) == 0)
        g_compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
    else if (strcmp(interface, wl_shm_interface.name) == 0)
        g_shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    else if (strcmp(interface, xdg_wm_base_interface.name) == 0)
        g_shell = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
    else if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3)
        g_fakeInput = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3);
}

static void OnGlobalRemoved(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener kRegistry = {OnGlobal, OnGlobalRemoved};

static void OnPing(void* data, struct xdg_wm_base* shell, uint32_t serial) {
    (void)data;
    xdg_wm_base_pong(shell, serial);
}

static const struct xdg_wm_base_listener kShell = {OnPing};

/* A grey buffer of the configured size, attached and committed. */
static void Draw(void) {
    int stride = g_width * 4, size = stride * g_height;
    int fd = memfd_create("wayland-probe", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) < 0) Fail("no shared memory");
    uint32_t* pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) Fail("no shared memory");
    for (int i = 0; i < g_width * g_height; ++i) pixels[i] = kGrey;
    munmap(pixels, size);
    struct wl_shm_pool* pool = wl_shm_create_pool(g_shm, fd, size);
    struct wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, g_width, g_height, stride, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(g_surface, buffer, 0, 0);
    wl_surface_damage(g_surface, 0, 0, g_width, g_height);
    wl_surface_commit(g_surface);
}

static void OnSurfaceConfigure(void* data, struct xdg_surface* surface, uint32_t serial) {
    (void)data;
    xdg_surface_ack_configure(surface, serial);
    Draw();
    g_configured = 1;
}

static const struct xdg_surface_listener kSurface = {OnSurfaceConfigure};

static void OnToplevelConfigure(void* data, struct xdg_toplevel* toplevel, int32_t width,
                                int32_t height, struct wl_array* states) {
    (void)data, (void)toplevel, (void)states;
    g_width = width > 0 ? width : kFallbackWidth;
    g_height = height > 0 ? height : kFallbackHeight;
}

static void OnClose(void* data, struct xdg_toplevel* toplevel) {
    (void)data, (void)toplevel;
    exit(0);
}

static const struct xdg_toplevel_listener kToplevel = {.configure = OnToplevelConfigure,
                                                       .close = OnClose};

static void OpenWindow(struct wl_display* display) {
    g_surface = wl_compositor_create_surface(g_compositor);
    struct xdg_surface* surface = xdg_wm_base_get_xdg_surface(g_shell, g_surface);
    struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_surface_add_listener(surface, &kSurface, NULL);
    xdg_toplevel_add_listener(toplevel, &kToplevel, NULL);
    xdg_toplevel_set_title(toplevel, "wayland-probe");
    xdg_toplevel_set_maximized(toplevel);
    wl_surface_commit(g_surface);
    while (!g_configured)
        if (wl_display_dispatch(display) < 0) Fail("the compositor went away");
    wl_display_roundtrip(display);
}

/* Moves the pointer for each line of standard input while answering the compositor. */
static void FollowInput(struct wl_display* display) {
    char line[64];
    struct pollfd watched[] = {{0, POLLIN, 0}, {wl_display_get_fd(display), POLLIN, 0}};
    for (;;) {
        wl_display_flush(display);
        if (poll(watched, 2, -1) < 0) continue;
        if (watched[1].revents && wl_display_dispatch(display) < 0)
            Fail("the compositor went away");
        if (!watched[0].revents) continue;
        if (!fgets(line, sizeof line, stdin)) return;
        int x, y;
        if (sscanf(line, "%d %d", &x, &y) != 2) Fail("expected a line \"X Y\"");
        if (!g_fakeInput)
            Fail("the compositor offers this program no fake input (no .desktop entry?)");
        org_kde_kwin_fake_input_pointer_motion_absolute(g_fakeInput, wl_fixed_from_int(x),
                                                        wl_fixed_from_int(y));
        wl_display_roundtrip(display);
        printf("moved\n");
        fflush(stdout);
    }
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) Fail("cannot connect to the Wayland display");
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, NULL);
    wl_display_roundtrip(display);
    if (!g_compositor || !g_shm || !g_shell) Fail("the compositor offers no xdg-shell");
    xdg_wm_base_add_listener(g_shell, &kShell, NULL);
    if (g_fakeInput)
        org_kde_kwin_fake_input_authenticate(g_fakeInput, "wayland-probe", "end-to-end test");
    OpenWindow(display);
    printf("ready\n");
    fflush(stdout);
    FollowInput(display);
    wl_display_disconnect(display);
    return 0;
}
