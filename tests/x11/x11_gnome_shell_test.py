"""End-to-end test of the mascot in GNOME Shell's Wayland session: without the extension it says
once how to enable it; enabled, the extension's pushes lead the chase over a native Wayland
window; disabled mid-run the X server's pointer leads at once, and enabled again the shell's;
the top-bar icon's menu is the program's menu, starts a mode and ends the program, and the icon
goes with it.

Usage: x11_gnome_shell_test.py --exe mascot --wayland-probe wayland-probe --artifacts DIR
Runs in a D-Bus session of its own (tools/ci/x11.sh) whose data folders hold the extension.
"""

import os
import signal
import subprocess
import tempfile

from desktop_kit.checks import (parse_arguments, poll_until_still, require, run_checks,
                                 wait_for)
from desktop_kit.gnome_shell import UUID, GnomeShell
from desktop_kit.processes import start, stop, wait_gone
from desktop_kit.program import COMMANDS, MENU
from desktop_kit.wayland import NativeWindow, mascot_centre, wait_near
from desktop_kit.xdo import move_pointer, windows_of

CHASE = COMMANDS["IDM_FIRST_BEHAVIOUR"]
OVER_NATIVE = ((960, 600), (200, 650), (640, 260))
TRAY_HOST = "org.kde.StatusNotifierWatcher"
X_POINTER = (1000, 150)  # where xdotool puts Xwayland's pointer while the extension is off


class GnomeTest:
    def __init__(self, args):
        self.exe = args.exe
        self.shell = GnomeShell()
        self.native = self.process = None
        try:
            self.native = NativeWindow(args.wayland_probe)
            self.start()
        except BaseException:
            self.cleanup()
            raise

    def start(self):
        self.errors = tempfile.TemporaryFile("w+")
        self.process = start([self.exe], stderr=self.errors)
        wait_for("the mascot window", lambda: windows_of(self.process.pid), 15)

    def said(self, text):
        self.errors.seek(0)
        return self.errors.read().count(text)

    def centre(self):
        return mascot_centre(self.process.pid)

    def wait_near(self, point, what):
        wait_near(self.process.pid, point, what)

    def check_says_how_to_enable(self):
        require(self.shell.icon() is None, "a top-bar icon with the extension off")
        said = self.said(f"gnome-extensions enable {UUID}")
        require(said == 1, f"the command to enable the extension said {said} times")

    def check_chases_over_native_window(self):
        self.shell.switch_extension(True)
        wait_for("the top-bar icon", self.shell.icon, 10)
        subprocess.run([self.exe, "--command", str(CHASE)], check=True, timeout=15)
        for point in OVER_NATIVE[:2]:
            self.shell.move_pointer(*point)
            self.wait_near(point, "over the native window")

    def check_falls_back_and_takes_up_again(self):
        self.shell.switch_extension(False)
        require(self.shell.icon() is None, "the top-bar icon stays with the extension off")
        move_pointer(*X_POINTER)  # xdotool moves Xwayland's pointer only
        self.wait_near(X_POINTER, "at X's pointer once the extension is off")
        self.shell.switch_extension(True)
        self.shell.move_pointer(*OVER_NATIVE[2])
        self.wait_near(OVER_NATIVE[2], "with the extension on again")

    def check_stopped_mascot_holds_nothing(self):
        """Each push is a message with no reply wanted: a mascot that does not read them costs
        the shell no wait (each move below waits at most 5 s for the shell)."""
        self.process.send_signal(signal.SIGSTOP)
        try:
            for step in range(40):
                self.shell.move_pointer(300 + step * 10, 400)
        finally:
            self.process.send_signal(signal.SIGCONT)
        self.wait_near((690, 400), "once it runs again")

    def check_menu(self):
        """The labels read from the resource script, beside the extension's from the headers."""
        def model(items):
            return [item and ([item.text, model(item.submenu)] if item.submenu else item.text)
                    for item in items]
        shown = self.shell.menu_texts()
        require(shown == model(MENU), f"the top-bar menu is {shown}")
        self.shell.eval(f"globalThis.mascotTestTray = Gio.bus_own_name(Gio.BusType.SESSION, "
                        f"'{TRAY_HOST}', 0, null, null, null)")
        wait_for("no top-bar icon beside a tray host", lambda: self.shell.icon() is None, 5)
        self.shell.eval("Gio.bus_unown_name(globalThis.mascotTestTray)")
        wait_for("the top-bar icon back", self.shell.icon, 5)

    def check_menu_starts_a_mode_and_ends(self):
        self.shell.choose(text_of("IDM_STOP"))
        still = poll_until_still(self.centre, 1, 10)
        submenu = next(item for item in MENU if item and item.submenu)
        self.shell.choose(submenu.text, text_of("IDM_RANDOM16", submenu.submenu))
        wait_for("the mascot moving", lambda: self.centre() != still, 10)
        self.shell.choose(text_of("IDM_EXIT"))
        require(wait_gone(self.process) == 0, f"exit status {self.process.returncode}")
        wait_for("the top-bar icon gone", lambda: self.shell.icon() is None, 5)

    def check_started_with_extension_on(self):
        """The usual order: the shell and its extension first, then the mascot."""
        self.shell.move_pointer(*OVER_NATIVE[0])
        self.start()
        wait_for("the top-bar icon", self.shell.icon, 10)
        subprocess.run([self.exe, "--command", str(CHASE)], check=True, timeout=15)
        self.wait_near(OVER_NATIVE[0], "from the extension's first push")
        require(self.said("mascot:") == 0, "it printed a notice")
        self.process.terminate()
        require(wait_gone(self.process) == 0, f"exit status {self.process.returncode}")
        wait_for("the top-bar icon gone", lambda: self.shell.icon() is None, 5)

    def cleanup(self):
        stop(self.process)
        if self.native:
            self.native.close()
        self.shell.close()


def text_of(command, items=MENU):
    return next(item.text for item in items if item and item.command == COMMANDS[command])


def main():
    args = parse_arguments(__doc__, "exe", "wayland-probe", "artifacts")
    test = GnomeTest(args)
    print("# the pointer and the top-bar menu in gnome-shell", flush=True)
    run_checks(os.path.join(args.artifacts, "gnome-wayland"), [
        ("with the extension off it says once how to enable it", test.check_says_how_to_enable),
        ("enabled, it follows the shell's pointer over a native window",
         test.check_chases_over_native_window),
        ("the extension off, it follows X's pointer; on again, the shell's",
         test.check_falls_back_and_takes_up_again),
        ("a stopped mascot holds the shell up in nothing", test.check_stopped_mascot_holds_nothing),
        ("the top-bar menu is the program's menu, hidden where a tray host runs",
         test.check_menu),
        ("the top-bar menu stops it, starts a mode and ends it; the icon goes",
         test.check_menu_starts_a_mode_and_ends),
        ("started with the extension on it follows at once and says nothing; SIGTERM ends it "
         "and the icon goes", test.check_started_with_extension_on),
    ], test.cleanup)


if __name__ == "__main__":
    main()
