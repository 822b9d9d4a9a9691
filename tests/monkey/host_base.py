"""What the monkey needs from one desktop host of the program, and the parts every host on an X
display shares: the process, its windows found by its own PID, its ticks, its resident memory.

A host subclass supplies how the program starts, how commands reach it from outside, how its
objects are counted and how its z-order state is read, and is named in monkey.py's HOSTS: the
Windows program under Wine (wine_host.py) reads the state from the program through a probe; the
native X11 program (x11_host.py) follows it from the presses and commands the X server delivered
and from the menu items chosen, counts its ticks by the requests each one sends, and has no
shell (an XEmbed tray client docks on a new tray by itself).
"""

from desktop_kit.processes import resident_kib, start
from desktop_kit.xdo import windows_of
from window_watch import WindowWatch


class Figure:
    """One resource count taken at the start and the end of a run.

    tolerance: how far the end may lie from the start, either way, argued from measured runs.
    """

    def __init__(self, name, value, tolerance, unit=""):
        self.name = name
        self.value = value
        self.tolerance = tolerance
        self.unit = unit


class Host:
    name = "?"
    resident_tolerance_kib = None  # how far the resident memory may move, argued per host
    commands = None                # the command ids by name, which the driver gives
    return_closes_unselected = True  # Return with no item selected closes the menu (Windows)

    def __init__(self, options):
        self.options = options
        self.process = None

    # --- what each host supplies ---------------------------------------------------------------

    def command(self):
        """The command line that starts the program."""
        raise NotImplementedError

    def post_commands(self, ids, codes, span_s):
        """Sends the command ids from outside the program, spread over span_s seconds; codes are
        the notification codes that a Windows WM_COMMAND carries beside the id (0 menu,
        1 accelerator), which hosts without them ignore."""
        raise NotImplementedError

    def figures(self):
        """The program's objects as Figures (memory is added by the caller)."""
        raise NotImplementedError

    def object_details(self):
        """A breakdown of the counts for the log, where the host has one."""
        return ""

    def z_order_sample(self):
        """(state before, topmost 0/1, state after): the program's z-order state (0 front,
        1 ducked, 3 behind) read on both sides of the window system's topmost flag, with
        enough ticks between them for the window to have been placed; None when there were
        too few, or when the state was still settling."""
        raise NotImplementedError

    # A desktop shell beside the tray host (the Windows taskbar) that can be restarted: a new
    # shell has none of the old icons and announces itself, and the program adds its icon again.
    has_shell = False

    def drop_tray_icon(self):
        """What a newly started shell holds of the program's icon: nothing."""
        raise NotImplementedError

    def announce_shell(self):
        """The message a newly started shell sends to every program."""
        raise NotImplementedError

    def start_desktop(self):
        """Starts what the desktop holds besides the tray host (a window manager), before it."""

    def close(self):
        """Releases the host's helpers after the run."""

    def chose(self, command):
        """A menu item carrying `command` has just been chosen."""

    def after_exit(self):
        """Checks what holds once the program has ended by its exit item; returns what was
        seen, or None when the host has nothing to check."""
        return None

    def window_watch(self, window, fits):
        """Counts the program's ticks and sees every geometry of its window. Every tick of the
        Windows program re-applies the window's region, which reaches the X server as a new
        shape: one ShapeNotify event per tick."""
        return WindowWatch(window, fits)

    # --- shared ------------------------------------------------------------------------------------

    def start(self):
        self.process = start(self.command())
        return self.process

    def alive(self):
        return self.process is not None and self.process.poll() is None

    def main_window(self):
        """(id, geometry) of the program's window, or None while it is not shown: at first its
        only window, whatever its size."""
        windows = self.own_windows()
        return windows[0] if windows else None

    def own_windows(self):
        """(id, geometry) of the visible X windows whose _NET_WM_PID is the program's."""
        return windows_of(self.process.pid)

    def menus(self, mascot):
        """Geometries of the program's visible windows other than the mascot window: its menus."""
        return [box for window, box in self.own_windows() if window != mascot]

    def transients(self, mascot):
        """Geometries of the program's shown windows that may stand above the mascot window for
        a moment (its menus, and where a host tells them apart, the tray icon's tooltip)."""
        return self.menus(mascot)

    def memory_figure(self):
        return Figure("resident memory", resident_kib(self.process.pid),
                      self.resident_tolerance_kib, " KiB")
