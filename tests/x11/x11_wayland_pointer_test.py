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
from desktop_kit.processes import stop
from desktop_kit.program import COMMANDS, send_command
from desktop_kit.wayland import (OVER_NATIVE, X_POINTER, Chase, NativeWindow, script_ids,
                                 script_loaded, switch_script, wait_near)
from desktop_kit.xdo import move_pointer


class PointerTest(Chase):
    def __init__(self, args):
        self.native = NativeWindow(args.wayland_probe)
        super().__init__(args.exe, self.native.move_pointer, switch_script,
                         lambda: not script_loaded(),
                         lambda: wait_for("the KWin script loaded", script_loaded, 10))

    def check_chases_over_native_window(self):
        self.start()
        for point in OVER_NATIVE[:2]:
            self.chase(point, "over the native window")

    def check_ends_unloaded(self):
        self.end(lambda: send_command(self.exe, COMMANDS["IDM_EXIT"]))
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
        wait_near(self.process.pid, OVER_NATIVE[0], "from the new script's first message")
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
         test.falls_back_and_takes_up_again),
        ("the exit command, SIGTERM and SIGINT leave no script in KWin",
         test.check_ends_unloaded),
        ("after a kill -9 the next start runs one script, not two",
         test.check_killed_then_replaced),
    ], test.cleanup)


if __name__ == "__main__":
    main()
