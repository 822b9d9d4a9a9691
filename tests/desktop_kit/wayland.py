"""Wayland compositors as the tests see them: a native window that moves the compositor's own
pointer (tests/x11/wayland_probe.c), the mascot chasing the pointer as each compositor leads it,
KWin's scripting interface over the session bus and the program's script in it, and each
compositor's own screenshot, KWin's and GNOME Shell's (a rootless Xwayland's root window holds
no pixels)."""

import math
import os
import re
import subprocess
import tempfile

from desktop_kit.checks import Failure, require, run, wait_for
from desktop_kit.headers import defines
from desktop_kit.processes import start, stop, wait_gone
from desktop_kit.program import COMMANDS, HALF, send_command
from desktop_kit.screen import Screen
from desktop_kit.xdo import display_size, move_pointer as move_x_pointer, windows_of

SCRIPTING = ("--dest=org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting")
SCRIPT_NAME = defines("host/x11/kwin_pointer.h")["MASCOT_KWIN_SCRIPT_NAME"]
SCREENSHOT = ("org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2")
GNOME_SCREENSHOT = ("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                    "org.gnome.Shell.Screenshot")
QT_FORMATS_BGRA = (4, 5, 6)  # QImage's RGB32 and (premultiplied) ARGB32: B, G, R, A in memory
SCREENSHOT_TIMEOUT_MS = 10000
NEAR = 60       # pixels from the mascot's centre to the pointer it has caught up with
CHASE_S = 20    # time to cross the screen
# Where the compositor's pointer goes over the native window, far from each other and from where
# xdotool puts Xwayland's pointer while the program's source in the compositor is off.
OVER_NATIVE = ((960, 600), (200, 650), (640, 260))
X_POINTER = (1000, 150)


class NativeWindow:
    """A maximized native Wayland window, and the compositor's pointer moved over the one
    connection that holds it."""

    def __init__(self, exe):
        environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        self.process = subprocess.Popen([exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        env=environment, text=True)
        self._answer("ready")

    def move_pointer(self, x, y):
        self.process.stdin.write(f"{x} {y}\n")
        self.process.stdin.flush()
        self._answer("moved")

    def close(self):
        if self.process.poll() is None:
            self.process.stdin.close()
        stop(self.process)

    def _answer(self, word):
        line = self.process.stdout.readline().strip()
        require(line == word, f"wayland-probe said {line!r}, not {word!r} "
                              f"(status {self.process.poll()})")


def mascot_centre(pid):
    found = windows_of(pid)
    return found and (found[0][1][0] + HALF, found[0][1][1] + HALF)


def wait_near(pid, point, what):
    def near():
        centre = mascot_centre(pid)
        return centre and math.dist(centre, point) <= NEAR
    try:
        wait_for(f"the mascot near {point} {what}", near, CHASE_S)
    except Failure as failure:
        raise Failure(f"{failure} (it is at {mascot_centre(pid)})") from None


class Chase:
    """The mascot set chasing, the same flow on each compositor, adapted by its move_pointer(x, y),
    switch(on) for the program's source there, gone() once the program left nothing there, and
    ready() once the mascot's window is up."""

    def __init__(self, exe, move_pointer, switch, gone, ready=lambda: None):
        self.exe, self.process = exe, None
        self.move_pointer, self.switch, self.gone, self.ready = move_pointer, switch, gone, ready

    def start(self, stderr=None):
        self.process = start([self.exe], stderr=stderr)
        wait_for("the mascot window", lambda: windows_of(self.process.pid), 15)
        self.ready()
        send_command(self.exe, COMMANDS["IDM_FIRST_BEHAVIOUR"])

    def chase(self, point, what, move=None):
        (move or self.move_pointer)(*point)
        wait_near(self.process.pid, point, what)

    def falls_back_and_takes_up_again(self):
        self.switch(False)
        self.chase(X_POINTER, "at X's pointer once its source is off", move_x_pointer)
        self.switch(True)
        self.chase(OVER_NATIVE[2], "with its source on again")

    def end(self, how):
        how()
        require(wait_gone(self.process) == 0, f"exit status {self.process.returncode}")
        wait_for("nothing of the program left in the compositor", self.gone, 5)


def kwin(*call, path=SCRIPTING):
    """A call to KWin on the session bus; returns dbus-send's printed reply."""
    return run(["dbus-send", "--session", "--print-reply", path[0], path[1],
                f"{path[2]}.{call[0]}", *call[1:]])


def script_loaded():
    return "boolean true" in kwin("isScriptLoaded", f"string:{SCRIPT_NAME}")


def unload_script():
    kwin("unloadScript", f"string:{SCRIPT_NAME}")


def script_ids():
    """The ids of the scripts KWin runs: 5.27 gives each its object /<id> at the root."""
    printed = kwin("Introspect", path=("--dest=org.kde.KWin", "/",
                                       "org.freedesktop.DBus.Introspectable"))
    return set(re.findall(r'<node name="(\d+)"', printed))


def switch_script(on):
    """Off, the program's script unloaded; on, loaded and run as KWin 5.27 does (object /<id>)."""
    if not on:
        return unload_script()
    path = os.path.join(os.environ["XDG_RUNTIME_DIR"], f"{SCRIPT_NAME}.js")
    printed = kwin("loadScript", f"string:{path}", f"string:{SCRIPT_NAME}")
    found = re.search(r"int32 (-?\d+)", printed)
    if not found or int(found.group(1)) < 0:
        raise Failure(f"KWin did not load {path}: {printed.strip()}")
    kwin("run", path=("--dest=org.kde.KWin", f"/{found.group(1)}", "org.kde.kwin.Script"))


def kwin_screenshot(box=None):
    """What KWin shows in box (x, y, width, height), by default the whole screen. KWin hands the
    pixels over through a pipe, which needs a D-Bus library that passes file descriptors
    (PyGObject), and only to a caller it trusts, or to any under
    KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 as the tests start it."""
    from gi.repository import Gio, GLib  # Debian's python3-gi, needed by this call alone
    x, y, width, height = box or (0, 0, *display_size())
    read, write = os.pipe()
    try:
        descriptors = Gio.UnixFDList.new()
        descriptors.append(write)  # a copy: the list's own is closed with the list
        reply, _ = Gio.bus_get_sync(Gio.BusType.SESSION).call_with_unix_fd_list_sync(
            *SCREENSHOT, "CaptureArea", GLib.Variant("(iiuua{sv}h)", (x, y, width, height, {}, 0)),
            GLib.VariantType("(a{sv})"), Gio.DBusCallFlags.NONE, SCREENSHOT_TIMEOUT_MS,
            descriptors, None)
        del descriptors
    except GLib.Error as error:
        os.close(read)
        raise Failure(f"KWin took no screenshot: {error.message}")
    finally:
        os.close(write)
    with os.fdopen(read, "rb") as pipe:
        data = pipe.read()
    image = reply.unpack()[0]
    require(image.get("type") == "raw" and image.get("format") in QT_FORMATS_BGRA,
            f"KWin's screenshot is {image}")
    return strided_screen(data, image["width"], image["height"], image["stride"], (2, 1, 0, 4),
                          (x, y))


def gnome_shell_screenshot(box=None):
    """What GNOME Shell shows in box (x, y, width, height), by default the whole screen. The
    shell writes it to a PNG file, for any caller under --unsafe-mode as the tests start it."""
    import gi  # Debian's python3-gi, needed by this call alone
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf, Gio, GLib
    # The shell refuses an area that leaves the screen, as a window's box near its edge does.
    screen_width, screen_height = display_size()
    x, y, width, height = box or (0, 0, screen_width, screen_height)
    x, y, width, height = (max(x, 0), max(y, 0), min(x + width, screen_width) - max(x, 0),
                           min(y + height, screen_height) - max(y, 0))
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "screen.png")
        try:
            done, _ = Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
                *GNOME_SCREENSHOT, "ScreenshotArea",
                GLib.Variant("(iiiibs)", (x, y, width, height, False, path)),
                GLib.VariantType("(bs)"), Gio.DBusCallFlags.NONE, SCREENSHOT_TIMEOUT_MS,
                None).unpack()
        except GLib.Error as error:
            raise Failure(f"GNOME Shell took no screenshot: {error.message}")
        require(done, f"GNOME Shell took no screenshot of {box}")
        image = GdkPixbuf.Pixbuf.new_from_file(path)
    return strided_screen(image.get_pixels(), image.get_width(), image.get_height(),
                          image.get_rowstride(), (0, 1, 2, image.get_n_channels()), (x, y))


def strided_screen(data, width, height, stride, layout, origin):
    """A Screen of rows `stride` bytes apart; layout: the offsets of red, green and blue in a
    pixel, and its size in bytes."""
    *offsets, size = layout
    rows = b"".join(data[row * stride:row * stride + size * width] for row in range(height))
    rgb = bytearray(3 * width * height)
    for channel, offset in enumerate(offsets):
        rgb[channel::3] = rows[offset::size]
    return Screen.of_rgb(bytes(rgb), width, height, origin)
