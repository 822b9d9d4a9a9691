"""Driving the native X11 mascot on an X display: its windows found by its process id, the desktop
it runs on (window manager, compositor, and trayer or xfce4-panel as the tray host), and x11-probe
for stacking, shape and focus. The generic parts (screenshots, input, waiting, the check runner) come from
tests/e2e/desktop.py.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "resources"))

from desktop import (MASCOT_SIZE, Failure, Screen, geometry, run, stop_program,  # noqa: E402
                     wait_for)
import make_images  # noqa: E402

ROOT_GREY = (128, 128, 128)
DESKTOP_GREEN = (0, 160, 0)
COLOURS = {make_images.BLACK: (0, 0, 0), make_images.BLUE: (0, 0, 255)}


def expected_image():
    """Rows of the window as it must look: an RGB colour inside the shape, None outside."""
    rows = []
    for row in make_images.mascot_pixels():
        rows.append([None if index == make_images.WHITE else COLOURS[index] for index in row]
                    + [None])
    rows.append([None] * MASCOT_SIZE)
    return rows


def windows_of(pid):
    """Visible X windows carrying the process id, with their geometry."""
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                            capture_output=True, text=True, timeout=10)
    found = []
    for line in result.stdout.split():
        box = geometry(int(line))
        if box is not None:
            found.append((int(line), box))
    return found


class Probe:
    """x11-probe, the test's own X client."""

    def __init__(self, exe):
        self.exe = exe
        self.held = []

    def order(self, *windows):
        """Stacking positions of the windows' top-levels, lowest 0; -1 when not found."""
        return [int(word) for word in run([self.exe, "order", *map(str, windows)]).split()]

    def shape(self, window):
        return run([self.exe, "shape", str(window)]).split()

    def top(self, window):
        """(id, (x, y, width, height), override-redirect) of the window's top-level."""
        words = [int(word) for word in run([self.exe, "top", str(window)]).split()]
        return words[0], tuple(words[1:5]), words[5] == 1

    def owner(self, selection):
        return int(run([self.exe, "owner", selection]).strip())

    def focus(self):
        return int(run([self.exe, "focus"]).strip())

    def hold(self, *args):
        """Starts a window of the probe's (cover, desktop, overlay); returns (process, window id)."""
        process = subprocess.Popen([self.exe, *map(str, args)], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
        window = int(process.stdout.readline())
        self.held.append(process)
        return process, window

    def drop(self, process):
        process.terminate()
        process.wait(timeout=5)
        self.held.remove(process)

    def drop_all(self):
        for process in list(self.held):
            self.drop(process)


def start_own_xvfb(size="1024x768x24"):
    """An Xvfb on a free display number; returns (process, display name)."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", size,
                               "-nolisten", "tcp"], pass_fds=(write,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as numbers:
        return server, ":" + numbers.readline().strip()


def kill_all(*processes):
    """Last resort at the end of a test: kills what is still running of the given processes."""
    for process in processes:
        if process is not None and process.poll() is None:
            process.kill()
            process.wait(timeout=5)


def start_helper(args):
    """A background helper (trayer, openbox) with its output discarded."""
    return subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            stdin=subprocess.DEVNULL)


def stop_helper(process):
    stop_program(process)
    if process is not None:
        process.wait(timeout=5)


def window_manager_running():
    text = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True,
                          text=True, timeout=10).stdout
    return "window id" in text


# Each desktop: its window manager and compositor, whether it composites, whether xfce4-panel (a
# StatusNotifierItem host that draws the icon and its menu) is the tray (elsewhere trayer, XEmbed,
# is), and whether the root window holds the screen's pixels. A Wayland compositor is already
# running, with the test in its session (tools/ci/x11.sh starts it); its rootless Xwayland keeps
# each window's pixels apart and none in the root window.
DESKTOPS = {
    "none": ([], False, False, True),
    "openbox": ([["openbox"]], False, False, True),
    "picom": ([["openbox"], ["picom", "--backend", "xrender"]], True, False, True),
    "mutter": ([["mutter", "--x11", "--replace", "--sm-disable"]], True, False, True),
    "kwin": ([["kwin_x11", "--replace"]], True, False, True),
    "xfce": ([["xfwm4", "--compositor=on"]], True, True, True),
    "mutter-wayland": ([], True, False, False),
    "kwin-wayland": ([], True, False, False),
}


def start_window_manager(name, probe, options=None):
    """Starts the desktop's window manager and compositor, each ready; returns their processes.
    options: more arguments of a program, by its name."""
    commands, composites, _, _ = DESKTOPS[name]
    processes = [start_helper(command + (options or {}).get(command[0], []))
                 for command in commands]
    if commands:
        wait_for(f"{name} to manage the screen", window_manager_running, 30)
    if composites:
        wait_for(f"{name} to composite", lambda: probe.owner("_NET_WM_CM_S0"), 30)
    return processes


def start_desktop(name, probe):
    """Starts the desktop and its tray host, each ready; returns (processes, tray host)."""
    processes = start_window_manager(name, probe)
    panel = DESKTOPS[name][2]
    tray = start_helper(["xfce4-panel"] if panel else
                        ["trayer", "--edge", "bottom", "--align", "right", "--widthtype",
                         "request", "--height", "24", "--transparent", "false"])
    wait_for("the tray host's window", lambda: windows_of(tray.pid), 30)
    if panel:
        wait_for("the panel's StatusNotifierItem host", status_notifier_watcher, 30)
    return processes + [tray], tray


def status_notifier_watcher():
    return "true" in run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                          "/", "org.freedesktop.DBus.NameHasOwner",
                          "string:org.kde.StatusNotifierWatcher"])


def process_tree(pid):
    """The process and its descendants (xfce4-panel runs its tray in a child process)."""
    children = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout
    return [pid] + [tree for child in children.split() for tree in process_tree(int(child))]


def window_pixels(window, box):
    """The window's own pixels, for a root window that holds none; None once it is not shown.
    Given a window that is gone, import waits for one to be picked: the timeout ends that."""
    if geometry(window) is None:
        return None
    try:
        return Screen(window, box[:2], timeout=3)
    except (subprocess.CalledProcessError, subprocess.TimeoutExpired):
        return None


def set_root_grey():
    run(["xsetroot", "-solid", "#%02x%02x%02x" % ROOT_GREY])


def wait_gone(process, timeout=15):
    """The process's exit status once it has ended."""
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"still running {timeout} s later")


def poll_until_still(position, seconds, timeout):
    """Waits until position() stays the same for `seconds`; returns it."""
    deadline = time.monotonic() + timeout
    last, since = position(), time.monotonic()
    while time.monotonic() < deadline:
        time.sleep(0.1)
        now = position()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= seconds:
            return last
    raise Failure(f"still moving after {timeout} s")
