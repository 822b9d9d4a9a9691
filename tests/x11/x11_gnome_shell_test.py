"""End-to-end test of the mascot in GNOME Shell's Wayland session: without the extension it says
once how to enable it; enabled, the extension's pushes lead the chase over a native Wayland
window, disabled the X server's pointer leads at once, and a stopped mascot holds the shell up in
nothing; the top-bar menu is the program's, stands back where a tray host runs, starts a mode and
ends the program, and the icon goes with it.

Usage: x11_gnome_shell_test.py --exe mascot --wayland-probe wayland-probe --artifacts DIR
Runs in a D-Bus session of its own (tools/ci/x11.sh) whose data folders hold the extension.
"""

import math
import os
import signal
import subprocess
import tempfile

from desktop_kit.checks import (parse_arguments, poll_until_still, require, run_checks,
                                 wait_for)
from desktop_kit.gnome_shell import BUS, MENU as SHOWN_MENU, UUID, GnomeShell
from desktop_kit.processes import stop
from desktop_kit.program import COMMANDS, MENU
from desktop_kit.wayland import NEAR, OVER_NATIVE, Chase, NativeWindow, mascot_centre, wait_near

PARKED = (100, 150)  # the shell's pointer while X's leads: away from the mascot and its way
TRAY_HOST = "org.kde.StatusNotifierWatcher"


class GnomeTest(Chase):
    def __init__(self, args):
        self.shell, self.native = GnomeShell(), None
        super().__init__(args.exe, self.shell.move_pointer, self.switch_extension,
                         lambda: self.shell.icon() is None)
        try:
            self.native = NativeWindow(args.wayland_probe)
            self.start()
        except BaseException:
            self.cleanup()
            raise

    def start(self):
        self.errors = tempfile.TemporaryFile("w+")
        super().start(stderr=self.errors)

    def switch_extension(self, on):
        self.shell.switch_extension(on)
        if not on:  # over an X window the shell's pointer is X's too
            self.shell.move_pointer(*PARKED)

    def said(self):
        self.errors.seek(0)
        return self.errors.read()

    # --- the checks ---

    def check_enabled_late(self):
        said = self.said().count(f"gnome-extensions enable {UUID}")
        require(said == 1 and self.shell.icon() is None, f"said {said} times how to enable it")
        self.shell.switch_extension(True)
        for point in OVER_NATIVE[:2]:
            self.chase(point, "over the native window")

    def check_falls_back_and_takes_up_again(self):
        self.falls_back_and_takes_up_again()
        foreign = subprocess.run(["gdbus", "call", "--session", "--dest", BUS["MASCOT_BUS_NAME"],
                                  "--object-path", BUS["MASCOT_POINTER_PATH"], "--method",
                                  f"{BUS['MASCOT_POINTER_INTERFACE']}.{BUS['MASCOT_POINTER_METHOD']}",
                                  "5", "5"], capture_output=True, timeout=15)
        rest = poll_until_still(lambda: mascot_centre(self.process.pid), 1, 10)
        require(foreign.returncode != 0 and math.dist(rest, OVER_NATIVE[2]) <= NEAR,
                f"a push from another program was taken: the mascot went to {rest}")

    def check_stopped_mascot(self):
        """Forty pushes that a stopped mascot does not read: each move waits 5 s at most."""
        self.process.send_signal(signal.SIGSTOP)
        try:
            for step in range(40):
                self.shell.move_pointer(300 + step * 10, 400)
        finally:
            self.process.send_signal(signal.SIGCONT)
        wait_near(self.process.pid, (690, 400), "once it runs again")

    def check_menu(self):
        def texts(items):
            return [item and ([item[0], texts(item[2])] if item[2] else item[0]) for item in items]
        def model(items):
            return [item and ([item.text, model(item.submenu)] if item.submenu else item.text)
                    for item in items]
        shown = texts(self.shell.eval(SHOWN_MENU))
        require(shown == model(MENU), f"the top-bar menu is {shown}")
        self.shell.eval(f"globalThis.mascotTestTray = Gio.bus_own_name(Gio.BusType.SESSION, "
                        f"'{TRAY_HOST}', 0, null, null, null)")
        wait_for("no top-bar icon beside a tray host", lambda: self.shell.icon() is None, 5)
        self.shell.eval("Gio.bus_unown_name(globalThis.mascotTestTray)")
        self.shell.choose(text_of("IDM_STOP"))
        self.shell.move_pointer(*OVER_NATIVE[0])  # which a mascot still chasing would follow
        still = poll_until_still(lambda: mascot_centre(self.process.pid), 1, 10)
        require(math.dist(still, OVER_NATIVE[0]) > NEAR, "the stop item did not stop it")
        submenu = next(item for item in MENU if item and item.submenu)
        self.shell.choose(submenu.text, text_of("IDM_RANDOM16", submenu.submenu))
        wait_for("the mascot moving", lambda: mascot_centre(self.process.pid) != still, 10)
        self.end(lambda: self.shell.choose(text_of("IDM_EXIT")))

    def check_started_with_extension_on(self):
        """The usual order: the shell and its extension first, then the mascot."""
        self.shell.move_pointer(*OVER_NATIVE[0])
        self.start()
        wait_near(self.process.pid, OVER_NATIVE[0], "from the extension's first push")
        require("mascot:" not in self.said(), f"it said {self.said()}")
        self.end(self.process.terminate)

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
        ("it says once how to enable the extension; enabled, it follows the shell's pointer over "
         "a native window", test.check_enabled_late),
        ("the extension off, it follows X's pointer; on again, the shell's",
         test.check_falls_back_and_takes_up_again),
        ("a stopped mascot holds the shell up in nothing", test.check_stopped_mascot),
        ("the top-bar menu is the program's, stands back beside a tray host, stops it, starts a "
         "mode and ends it; the icon goes", test.check_menu),
        ("started with the extension on it follows at once and says nothing; SIGTERM ends it "
         "and the icon goes", test.check_started_with_extension_on),
    ], test.cleanup)


if __name__ == "__main__":
    main()
