#!/usr/bin/env python3
"""Measures the CPU time that the running mascot.exe, its wineserver and the X server use over a
stretch of wall-clock time, idle or moving (random switching among all 16 behaviours).

Usage: wine_cpu.py --exe mascot.exe --probe mascot-probe.exe [--seconds 60] [--idle]
Needs DISPLAY and WINEPREFIX; prints one line per process as a share of one core.
"""

import argparse
import os
import time

from desktop_kit.checks import wait_for
from desktop_kit.processes import cpu_seconds, stop
from desktop_kit.program import COMMANDS
from desktop_kit.wine import Probe, mascot_window, start_program


def processes():
    """pid -> command line of every process, read from /proc."""
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                found[int(entry)] = cmdline.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
    return found


def server_directory_name(prefix):
    """The name of the folder the prefix's wineserver works in: after the prefix's device and
    inode (the folder's parent varies between Wine versions)."""
    info = os.stat(prefix)
    return f"server-{info.st_dev:x}-{info.st_ino:x}"


def find_pids(exe, prefix):
    """The mascot's process, the prefix's wineserver and the X server of this display."""
    wanted = {}
    server_dir = server_directory_name(prefix)
    display = os.environ["DISPLAY"]
    for pid, command in processes().items():
        if command.strip().endswith(os.path.basename(exe)):
            wanted["mascot.exe"] = pid
        elif "wineserver" in command:
            try:
                if os.path.basename(os.readlink(f"/proc/{pid}/cwd")) == server_dir:
                    wanted["wineserver"] = pid
            except OSError:
                continue
        elif command.startswith("Xvfb") and f" {display} " in f" {command} ":
            wanted["Xvfb"] = pid
    return wanted


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--idle", action="store_true", help="measure the idle mascot")
    args = parser.parse_args()
    probe = Probe(args.probe)
    program = start_program(args.exe)
    try:
        wait_for("the mascot window", mascot_window, 60)
        wait_for("the mascot in Win32", probe.state, 30)
        if not args.idle:
            probe.command("command", str(COMMANDS["IDM_RANDOM16"]))
        time.sleep(2.0)  # let start-up work settle before the measured stretch
        pids = find_pids(args.exe, os.environ["WINEPREFIX"])
        before = {name: cpu_seconds(pid) for name, pid in pids.items()}
        started = time.monotonic()
        time.sleep(args.seconds)
        wall = time.monotonic() - started
        used = {name: cpu_seconds(pid) - before[name] for name, pid in pids.items()}
        state = "idle" if args.idle else "moving (行動数：１６)"
        print(f"CPU over {wall:.1f} s, mascot {state}, as a share of one core:")
        for name in ("mascot.exe", "wineserver", "Xvfb"):
            if name in used:
                print(f"  {name:<11} {100 * used[name] / wall:5.2f} %  ({used[name]:.2f} s)")
            else:
                print(f"  {name:<11} not found")
        probe.command("close")
        program.wait(timeout=15)
    finally:
        stop(program)


if __name__ == "__main__":
    main()
