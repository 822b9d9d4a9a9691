"""The desktops the program runs on: window managers and compositors, each started and waited
for until it manages the screen, and the tray hosts (trayer, XEmbed; xfce4-panel, a
StatusNotifierItem host that draws the icon and its menu). GNOME Shell hosts no tray without
an extension, so trayer is its tray here too; the program's own top-bar icon has its own test."""

import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass

from desktop_kit.checks import Failure, run, wait_for
from desktop_kit.gnome_shell import GnomeShell
from desktop_kit.processes import start, stop
from desktop_kit.screen import Screen, centre, is_mascot_blue, root_screenshot
from desktop_kit.wayland import gnome_shell_screenshot, kwin_screenshot
from desktop_kit.xdo import windows_of

TRAYER = ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
          "--height", "24", "--transparent", "false"]
MIN_ICON_PIXELS = 40  # blue pixels that make the 16 x 16 disc icon, not a stray pixel
ICON_SIZES = range(8, 65)  # pixels across a tray icon, as a tray host scales it
COMPOSITOR_SELECTION = "_NET_WM_CM_S0"
MANAGER_ATTEMPTS = 3  # starts of a window manager that ends or hangs before it manages
RESTART_PAUSE_S = 2   # between them


@dataclass(frozen=True)
class Desktop:
    """A desktop the program runs on. A Wayland compositor is already running, with the test in
    its session (tools/ci/x11.sh starts it), or the test starts it; its rootless Xwayland keeps
    each window's pixels apart and none in the root window, so the screen's pixels are the
    compositor's to give."""
    managers: tuple = ()         # commands of its window manager and compositor, in order
    # shell(): starts a compositor that runs no command of its own, points this process's
    # environment at its displays, and returns its processes, to be stopped last
    shell: object = None
    composites: bool = False
    panel_tray: bool = False     # xfce4-panel is the tray (elsewhere trayer is)
    wayland: bool = False        # native Wayland windows share the screen with X's
    # activate_native(): brings a native window to the front where opening it does not
    activate_native: object = None
    # screenshot(box): a Screen holding what is shown in box (x, y, width, height; None for the
    # whole screen), or None where nothing gives the screen's pixels
    screenshot: object = root_screenshot


DESKTOPS = {
    "none": Desktop(),
    "openbox": Desktop((["openbox"],)),
    "picom": Desktop((["openbox"], ["picom", "--backend", "xrender"]), composites=True),
    "mutter": Desktop((["mutter", "--x11", "--replace", "--sm-disable"],), composites=True),
    "kwin": Desktop((["kwin_x11", "--replace"],), composites=True),
    "xfce": Desktop((["xfwm4", "--compositor=on"],), composites=True, panel_tray=True),
    "mutter-wayland": Desktop(composites=True, wayland=True, screenshot=None),
    "kwin-wayland": Desktop(composites=True, wayland=True, screenshot=kwin_screenshot),
    "gnome-shell": Desktop(composites=True, wayland=True, screenshot=gnome_shell_screenshot,
                           shell=lambda: GnomeShell().processes(),
                           activate_native=GnomeShell.activate_native),
}


def window_manager_running():
    """A live manager's check window names itself; a killed one leaves the root's property
    naming a window that is gone."""
    def check_window(*where):
        printed = run(["xprop", *where, "_NET_SUPPORTING_WM_CHECK"], check=False)
        return printed.split("#")[-1].strip() if "window id" in printed else None
    window = check_window("-root")
    return window is not None and check_window("-id", window) == window


def status_notifier_watcher():
    return "true" in run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                          "/", "org.freedesktop.DBus.NameHasOwner",
                          "string:org.kde.StatusNotifierWatcher"])


def start_window_manager(name, selection_owner, options=None):
    """Starts the desktop's window manager and compositor, each ready; returns their processes.
    selection_owner(name): the window owning an X selection, 0 for none; options: more
    arguments of a program, by its name."""
    desktop = DESKTOPS[name]
    commands = [command + (options or {}).get(command[0], []) for command in desktop.managers]
    processes = desktop.shell() if desktop.shell else []
    processes += [start_manager(name, commands[0])] if commands else []
    processes += [start(command) for command in commands[1:]]
    if desktop.composites:
        wait_for(f"{name} to composite", lambda: selection_owner(COMPOSITOR_SELECTION), 30)
    return processes


def start_manager(name, command):
    """The window manager, once it manages the screen. One that ends or hangs before it does is
    the machine's trouble, not the program's (the program is not started yet): it is said on
    standard error with what the manager printed, and started again. openbox prints its
    messages, the reason it ended among them, on standard output."""
    for attempt in range(1, MANAGER_ATTEMPTS + 1):
        output = tempfile.TemporaryFile()
        process = start(command, stdout=output, stderr=subprocess.STDOUT)
        try:
            wait_for(f"{name} to manage the screen",
                     lambda: window_manager_running() or process.poll() is not None, 30)
        except Failure:
            pass
        if process.poll() is None and window_manager_running():
            return process
        stop(process)
        output.seek(0)
        printed = output.read().decode(errors="replace").strip()[-600:] or "nothing"
        trouble = (f"{name} did not manage the screen (status {process.returncode}); "
                   f"it printed: {printed}; {display_state()}")
        if attempt == MANAGER_ATTEMPTS:
            raise Failure(f"{trouble} (attempt {attempt})")
        print(f"# {trouble}; starting it again (attempt {attempt})", file=sys.stderr)
        time.sleep(RESTART_PAUSE_S)


def display_state():
    """Whether the X server still answers: a manager that cannot open the display ends as one
    that fails on its own does."""
    answers = subprocess.run(["xprop", "-root", "-len", "0", "WM_NAME"], capture_output=True,
                             timeout=30).returncode == 0
    return "the X server answers" if answers else "the X server does not answer"


def start_desktop(name, selection_owner):
    """Starts the desktop and its tray host, each ready; returns (processes, tray host)."""
    processes = start_window_manager(name, selection_owner)
    panel = DESKTOPS[name].panel_tray
    tray = start(["xfce4-panel"] if panel else TRAYER)
    wait_for("the tray host's window", lambda: windows_of(tray.pid), 30)
    if panel:
        wait_for("the panel's StatusNotifierItem host", status_notifier_watcher, 30)
    return processes + [tray], tray


class Trayer:
    """trayer as a bar at the bottom right, not a dock, that a test starts and stops at will."""

    def __init__(self):
        self.process = None

    def start(self):
        self.process = start(TRAYER + ["--SetDockType", "false"])

    def stop(self):
        stop(self.process)

    def bar(self):
        """Geometry of the tray's visible bar, or None while it is not shown."""
        if self.process is None or self.process.poll() is not None:
            return None
        for _, box in windows_of(self.process.pid):
            if box[2] > 0 and box[3] > 1:
                return box
        return None

    def bar_width(self):
        box = self.bar()
        return 0 if box is None else box[2]

    def icon(self):
        """Centre of the blue mascot icon docked in the bar, or None."""
        return icon_centre(self.bar())


def icon_centre(box, pixels=None):
    """Centre of the blue disc icon shown inside box, or None (no box, or no icon in it).
    pixels: a Screen holding the box; by default a screenshot of the root window."""
    blue = (pixels or Screen()).find(*box, is_mascot_blue) if box else []
    if len(blue) < MIN_ICON_PIXELS:
        return None
    xs, ys = [x for x, _ in blue], [y for _, y in blue]
    if max(xs) - min(xs) + 1 not in ICON_SIZES or max(ys) - min(ys) + 1 not in ICON_SIZES:
        return None  # more than an icon's blue
    return centre(blue)
