"""End-to-end test of the pointer under KWin's Wayland session: the mascot set chasing follows the
compositor's pointer over a native Wayland window (KWin's script pushes it), falls back to the X
server's pointer when the script is unloaded and takes it up again when it is back, and leaves
nothing loaded in KWin when it ends by the exit command, SIGTERM or SIGINT; after a kill -9 the
next start replaces the script left behind.

Usage: x11_wayland_pointer_test.py --exe mascot --wayland-probe wayland-probe --artifacts DIR
Runs inside kwin_wayland's session (tools/ci/x11.sh), whose data folders hold a .desktop entry
that grants wayland-probe KWin's fake input.
"""

import os
import signal

from desktop_kit.checks import parse_arguments, require, run_checks, wait_for
from desktop_kit.processes import start, stop, wait_gone
from desktop_kit.program import COMMANDS, send_command
from desktop_kit.wayland import (SCRIPT_NAME, NativeWindow, load_script, mascot_centre,
                                 script_ids, script_loaded, unload_script, wait_near)
from desktop_kit.xdo import move_pointer, windows_of

CHASE = COMMANDS["IDM_FIRST_BEHAVIOUR"]
# Where the compositor's pointer goes over the native window, far from each other and from
# where X's pointer is put while the script is away.
OVER_NATIVE = ((960, 600), (200, 650), (640, 260))
X_POINTER = (1000, 150)


class PointerTest:
    def __init__(self, args):
        self.exe = args.exe
        self.native = NativeWindow(args.wayland_probe)
        self.process = None

    def start(self):
        self.process = start([self.exe], stderr=None)  # its notices go to the log
        wait_for("the mascot window", lambda: windows_of(self.process.pid), 15)
        wait_for("the KWin script loaded", script_loaded, 10)

    def centre(self):
        return mascot_centre(self.process.pid)

    def wait_near(self, point, what):
        wait_near(self.process.pid, point, what)

    def command(self, command):
        send_command(self.exe, command)

    def end(self, how):
        how()
        require(wait_gone(self.process) == 0, f"exit status {self.process.returncode}")
        require(not script_loaded(), "the script is still loaded in KWin")

    # --- the checks ---

    def check_chases_over_native_window(self):
        self.start()
        self.command(CHASE)
        for point in OVER_NATIVE[:2]:
            self.native.move_pointer(*point)
            self.wait_near(point, "over the native window")

    def check_falls_back_and_takes_up_again(self):
        unload_script()
        move_pointer(*X_POINTER)  # xdotool moves Xwayland's pointer only
        self.wait_near(X_POINTER, "at X's pointer once the script is gone")
        load_script(os.path.join(os.environ["XDG_RUNTIME_DIR"], f"{SCRIPT_NAME}.js"))
        self.native.move_pointer(*OVER_NATIVE[2])
        self.wait_near(OVER_NATIVE[2], "with the script back")

    def check_ends_unloaded(self):
        self.end(lambda: self.command(COMMANDS["IDM_EXIT"]))
        for sent in (signal.SIGTERM, signal.SIGINT):
            self.start()
            self.end(lambda: self.process.send_signal(sent))

    def check_killed_then_replaced(self):
        """Only a fresh script tells a new mascot where the pointer is before it moves: the one
        left behind sent that place already."""
        self.start()
        self.process.kill()
        self.process.wait()
        require(script_loaded(), "a killed mascot's script is gone: nothing to replace")
        self.native.move_pointer(*OVER_NATIVE[0])
        move_pointer(*X_POINTER)
        self.start()
        require(len(script_ids()) == 1, f"scripts {sorted(script_ids())} run in KWin")
        self.command(CHASE)
        self.wait_near(OVER_NATIVE[0], "from the new script's first message")
        self.end(lambda: self.process.send_signal(signal.SIGTERM))

    def cleanup(self):
        stop(self.process)
        self.native.close()


def main():
    args = parse_arguments(__doc__, "exe", "wayland-probe", "artifacts")
    test = PointerTest(args)
    print("# the pointer on kwin_wayland", flush=True)
    run_checks(os.path.join(args.artifacts, "kwin-wayland-pointer"), [
        ("chasing, it follows KWin's pointer over a native window",
         test.check_chases_over_native_window),
        ("the script unloaded, it follows X's pointer; loaded again, KWin's",
         test.check_falls_back_and_takes_up_again),
        ("the exit command, SIGTERM and SIGINT leave no script in KWin",
         test.check_ends_unloaded),
        ("after a kill -9 the next start runs one script, not two",
         test.check_killed_then_replaced),
    ], test.cleanup)


if __name__ == "__main__":
    main()
