#!/usr/bin/env python3
"""A monkey on the real desktop: random clicks, drags, menus, keys, pointer moves, command
bursts and tray restarts against the running program, with checks during and after the run.

Usage: monkey.py --host wine --exe mascot.exe --probe mascot-probe.exe --seconds 60 --seed N
                 --artifacts DIR [--replay COMMAND]
       monkey.py --host x11 --exe mascot --probe x11-probe [--wm openbox] ...
Needs DISPLAY and what the host needs (wine_host.py, x11_host.py). Prints the seed, one line per action and
one "ok N - ..." line per check; a failure prints "not ok", the last actions, a screenshot and
the command that replays the seed.
"""

import argparse
import os
import random
import signal
import sys
import time

import actions
from desktop_kit.checks import Failure, wait_for
from desktop_kit.menu_model import keys_to, tour_keys
from desktop_kit.menus import open_menu as right_click_menu, type_into
from desktop_kit.processes import require_exit
from desktop_kit.program import COMMANDS, MASCOT_SIZE, MENU, START_X, START_Y
from monkey_run import Fault, Run
from report import Report
from wine_host import WineHost
from x11_host import X11Host

HOSTS = {"wine": WineHost, "x11": X11Host}
SETTLE_S = 1.0               # quiet time before the objects are counted
MENU_ATTEMPTS = 10           # a fast mascot on a loaded machine can slip away from a few

def play(run, report, action, number):
    began = time.monotonic()
    what = action.play(run)
    run.check()
    report.log(f"{number:5d} {action.kind}: {what} [{time.monotonic() - began:.1f} s]")


def start(run, report):
    box = run.start()
    report.log(f"started {run.host.command()} as PID {run.host.process.pid}, window {run.window}")
    if box != (START_X, START_Y, MASCOT_SIZE, MASCOT_SIZE):
        raise Fault("start", f"the window appeared at {box}")
    report.ok("start", f"icon at {run.tray_icon()}, bar {run.bar_width} pixels wide")


def open_menu(run, where):
    """Right-clicks at where() until a menu shows; returns its geometry."""
    try:
        return right_click_menu(where, run.menus, MENU_ATTEMPTS, actions.MENU_OPEN_S)[1]
    except Failure as failure:
        raise Fault("alive", str(failure)) from None


def warm_up(run, report, rng, setting):
    """One action of each kind, and every item of both menus highlighted once, so that what the
    system keeps (fonts, menu bitmaps, the tray's windows) exists before the objects are
    counted."""
    for number, (kind, _) in enumerate(actions.KINDS, start=1):
        play(run, report, kind(rng, setting), -number)
    tour = tour_keys(run.menu_items)
    for where in (run.tray_icon, run.mascot_centre):
        menu = open_menu(run, where)
        type_into(menu, *tour)
        run.close_menus()
        report.log(f"menu tour at {menu[:2]}: keys {' '.join(tour)}")
    run.wait(SETTLE_S)
    report.ok("warm-up", f"{len(actions.KINDS)} actions")


def figures(run):
    return run.host.figures() + [run.host.memory_figure()]


def soak(run, report, rng, seconds, setting):
    deadline = time.monotonic() + seconds
    count = 0
    while time.monotonic() < deadline:
        count += 1
        play(run, report, actions.draw(rng, setting), count)
    run.close_menus()
    run.wait(SETTLE_S)
    return count


def report_run(run, report, count, seconds, seed):
    ticks, longest_ms, _ = run.watch.snapshot()
    samples = run.samples
    report.ok("alive", f"{count} actions in {seconds} s from seed {seed}, "
                       f"{run.commands} commands, {run.keys_unanswered} menus that did not "
                       f"answer their closing keys")
    report.ok("ticks", f"{ticks} ticks seen, longest gap {longest_ms} ms")
    moves, _ = run.watch.geometry_record()
    report.ok("geometry", f"{moves} placements seen, {samples['geometry']} samples")
    report.ok("z-order", f"{samples['front']} samples front and topmost, "
                         f"{samples['not front']} behind and not topmost, {samples['skipped']} "
                         f"skipped: a menu or tooltip shown or the state changing")
    report.ok("tray", f"{run.tray_restarts} tray host restarts, {run.shell_restarts} shell "
                      f"restarts")
    return ticks


def compare(report, first, last):
    lines = []
    for before, after in zip(first, last):
        line = f"{before.name} {before.value}{before.unit} -> {after.value}{after.unit} " \
               f"(within {before.tolerance}{before.unit})"
        lines.append(line)
        if abs(after.value - before.value) > before.tolerance:
            raise Fault("objects", line)
    report.ok("objects", "; ".join(lines))


def exit_program(run, report, exit_id):
    path = keys_to(run.menu_items, exit_id)
    try:
        type_into(open_menu(run, run.tray_icon), *path)
    except (Fault, Failure) as fault:
        raise Fault("exit", str(fault)) from None
    try:
        require_exit(run.host.process, "the exit item")
        wait_for("the window to go", lambda: not run.host.own_windows(), 10)
        wait_for("the tray icon to go", lambda: run.tray.icon() is None, 10)
        after = run.host.after_exit()
    except Failure as failure:
        raise Fault("exit", str(failure)) from None
    report.ok("exit", f"keys {' '.join(path)} on the tray icon's menu" +
              (f"; {after}" if after else ""))


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", choices=sorted(HOSTS), required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", help="mascot-probe.exe (wine host), x11-probe (x11 host)")
    parser.add_argument("--wm", choices=("none", "openbox", "mutter"), default="none",
                        help="the window manager the x11 host starts")
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--replay", help="the command that replays this run, to print")
    return parser.parse_args()


def stop_on_terminate(signal_number, frame):
    """A terminated run (a CI timeout, say) still ends the program and the tray host it
    started: SystemExit unwinds through the run's cleanup."""
    sys.exit(128 + signal_number)


def main():
    signal.signal(signal.SIGTERM, stop_on_terminate)
    options = parse_arguments()
    os.makedirs(options.artifacts, exist_ok=True)
    replay = options.replay or " ".join(sys.argv)
    host = HOSTS[options.host](options)
    host.commands = COMMANDS
    report = Report(host.name, options.artifacts, replay)
    print(f"# monkey on host {host.name}: seed {options.seed}, {options.seconds:g} s", flush=True)
    print(f"# replay: {replay}", flush=True)
    rng = random.Random(options.seed)
    run = Run(host, MENU, report.log)
    setting = actions.Setting(run.screen, COMMANDS)
    try:
        start(run, report)
        warm_up(run, report, rng, setting)
        first = figures(run)
        report.log("start: " + ", ".join(f"{f.name} {f.value}{f.unit}" for f in first) +
                   f"; {host.object_details()}")
        count = soak(run, report, rng, options.seconds, setting)
        last = figures(run)
        report.log("end: " + ", ".join(f"{f.name} {f.value}{f.unit}" for f in last) +
                   f"; {host.object_details()}")
        ticks = report_run(run, report, count, options.seconds, options.seed)
        compare(report, first, last)
        exit_program(run, report, setting.exit_id)
        print(f"# figures: seed {options.seed}, {options.seconds:g} s, {count} actions, "
              f"{ticks} ticks; " + "; ".join(
                  f"{a.name} {a.value} -> {b.value}{a.unit}" for a, b in zip(first, last)))
    except Fault as fault:
        report.not_ok(fault.check, str(fault))
        sys.exit(1)
    except Failure as failure:
        if host.process is not None and not host.alive():
            failure = f"the program ended with status {host.process.returncode} ({failure})"
        report.not_ok("alive", str(failure))
        sys.exit(1)
    finally:
        run.stop()


if __name__ == "__main__":
    main()
