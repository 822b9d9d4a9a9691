#!/usr/bin/env python3
"""CPU per moved frame of the native X11 mascot against oneko (-time 10000, a 10 ms tick), both
chasing a pointer that circles the screen, measured side by side on one Xvfb, and each alone on
an Xvfb of its own with the X server counted; the mascot idle; wake-ups (voluntary context
switches), resident memory, start-up time; with --syscalls, system calls per second under
strace -c -f; medians over --runs.

With --desktop, each program runs alone on a fresh desktop of that kind instead (a window manager
and its compositor on an Xvfb of their own, under a D-Bus session of their own): the mascot idle,
then chasing, then stopped and sent behind, on one desktop; oneko chasing on the next; CPU per
moved frame of program + window manager + compositor + X server, medians over --runs.

Usage: x11_vs_oneko.py --exe mascot --probe x11-probe [--seconds 30] [--runs N] [--syscalls S]
       [--desktop bare|picom|mutter|kwin|xfwm4|all]
Prints tables and the ratios; run through bench/x11-vs-oneko.sh.
"""

import argparse
import os
import statistics
import subprocess
import tempfile
import time

from desktop_kit.processes import cpu_seconds, resident_kib, wakeups
from desktop_kit.program import COMMANDS, send_command

CHASE = COMMANDS["IDM_FIRST_BEHAVIOUR"]  # the fixed behaviour 8, chasing the cursor
STOP = COMMANDS["IDM_STOP"]
BEHIND = COMMANDS["IDM_ALWAYS_BEHIND"]
ONEKO = ["/usr/games/oneko", "-time", "10000"]  # Debian installs games outside PATH

# What each desktop runs: (window manager, compositor or None); a compositing window manager
# is both. The commands are the ones people start these desktops with (no session manager).
DESKTOPS = {
    "bare": (None, None),
    "picom": (["openbox"], ["picom", "--backend", "xrender"]),
    "mutter": (["mutter", "--x11", "--replace", "--sm-disable"], None),
    "kwin": (["kwin_x11", "--replace"], None),
    "xfwm4": (["xfwm4", "--compositor=on"], None),
}


def descendants(pid):
    """pid and every process below it."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    parent = int(stat.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                continue
            children.setdefault(parent, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        found.append(todo.pop())
        todo.extend(children.get(found[-1], []))
    return found


def group_cpu_seconds(pids):
    total = 0.0
    for pid in pids:
        try:
            total += cpu_seconds(pid)
        except OSError:
            continue  # ended meanwhile
    return total



def syscalls_per_second(pid, seconds):
    """System calls per second of all the process's threads under strace -c -f (which slows
    them, but counts every call)."""
    with tempfile.NamedTemporaryFile("r", suffix=".strace") as out:
        tracer = subprocess.Popen(["strace", "-c", "-f", "-p", str(pid), "-o", out.name],
                                  stderr=subprocess.DEVNULL)
        time.sleep(seconds)
        tracer.send_signal(2)
        tracer.wait()
        for line in out.read().splitlines():
            fields = line.split()
            if fields and fields[-1] == "total":
                return int(fields[3]) / seconds
    return float("nan")


class Display:
    """An Xvfb of the benchmark's own; the processes started on it end with it."""

    def __init__(self, desktop="bare"):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                        "1280x800x24", "-nolisten", "tcp", "-noreset"],
                                       pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            self.name = ":" + numbers.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.name,
                        XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="mascot-bench-"))
        self.processes = []
        self.manager = self.compositor = self.bus = None
        manager, compositor = DESKTOPS[desktop]
        if manager:
            self.start_desktop(manager, compositor)

    def start_desktop(self, manager, compositor):
        """A session bus of the desktop's own and a private HOME, then its window manager and
        compositor; returns once the window manager has announced itself and settled."""
        self.env["HOME"] = tempfile.mkdtemp(prefix="mascot-bench-home-")
        # The session lasts until its stdin closes; then dbus-run-session ends the bus, and the
        # services the bus started (the accessibility bus, xfconfd) end with it.
        self.bus = subprocess.Popen(["dbus-run-session", "--", "sh", "-c",
                                     'echo "$DBUS_SESSION_BUS_ADDRESS"; exec cat >/dev/null'],
                                    env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, text=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.stdout.readline().strip()
        self.manager = self.start(manager)
        if compositor:
            self.compositor = self.start(compositor)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and not self.has_window_manager():
            time.sleep(0.2)
        time.sleep(3)  # compositing set up, the first frames painted

    def has_window_manager(self):
        check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                               capture_output=True, text=True)
        return "window id" in check.stdout

    def pids(self):
        """The processes to count: the X server, the window manager and the compositor, each
        with the processes it started."""
        found = {"Xvfb": [self.server.pid]}
        for name, process in (("wm", self.manager), ("compositor", self.compositor)):
            if process:
                found[name] = descendants(process.pid)
        return found

    def start(self, args, **kwargs):
        process = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=kwargs.pop("stdout", subprocess.DEVNULL),
                                   stderr=subprocess.DEVNULL, text=True, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes + [self.server]):
            if process.poll() is None:
                process.kill()
                process.wait()
        if self.bus:
            self.bus.stdin.close()
            try:
                self.bus.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.bus.kill()
                self.bus.wait()


def start_mascot(display, args):
    """Starts the mascot; returns (process, seconds from start to the window mapped)."""
    watcher = display.start([args.probe, "mapped", "20"], stdout=subprocess.PIPE)
    watcher.stdout.readline()  # "watching": the watcher sees every map from now on
    started = time.monotonic()
    mascot = display.start([args.exe])
    window, mapped = watcher.stdout.readline().split()
    watcher.wait()
    return mascot, int(window), float(mapped) - started


def send(display, args, command):
    send_command(args.exe, command, env=display.env)


def measure(display, args, pids, seconds):
    """CPU seconds of each pid over `seconds`, and the moves of every root child meanwhile; the
    wake-ups of each pid under `name + " wakeups"`."""
    counter = display.start([args.probe, "moves", str(seconds)], stdout=subprocess.PIPE)
    counter.stdout.readline()
    before = {name: cpu_seconds(pid) for name, pid in pids.items()}
    woken = {name: wakeups(pid) for name, pid in pids.items()}
    output = counter.communicate(timeout=seconds + 30)[0]
    used = {name: cpu_seconds(pid) - before[name] for name, pid in pids.items()}
    for name, pid in pids.items():
        used[name + " wakeups"] = wakeups(pid) - woken[name]
    moves = {int(line.split()[0]): int(line.split()[1]) for line in output.splitlines()}
    return used, moves


def measure_groups(display, args, groups, seconds):
    """Like measure, for groups of processes; also each window's configures that did not move
    it (restacks)."""
    counter = display.start([args.probe, "moves", str(seconds)], stdout=subprocess.PIPE)
    counter.stdout.readline()
    before = {name: group_cpu_seconds(pids) for name, pids in groups.items()}
    output = counter.communicate(timeout=seconds + 30)[0]
    used = {name: group_cpu_seconds(pids) - before[name] for name, pids in groups.items()}
    counts = {int(w): (int(m), int(r)) for w, m, r in (line.split() for line in output.splitlines())}
    return used, counts


def per_frame(cpu, frames):
    return cpu / frames * 1e6 if frames else float("nan")


def side_by_side(args):
    display = Display()
    try:
        mascot, window, startup = start_mascot(display, args)
        oneko = display.start(ONEKO)
        display.start([args.probe, "circle", str(args.seconds + 60)])
        send(display, args, CHASE)
        time.sleep(3)
        pids = {"mascot": mascot.pid, "oneko": oneko.pid, "Xvfb": display.server.pid}
        used, moves = measure(display, args, pids, args.seconds)
        mascot_frames = moves.pop(window, 0)
        oneko_frames = max(moves.values(), default=0)
        memory = {"mascot": resident_kib(mascot.pid), "oneko": resident_kib(oneko.pid)}
        if args.syscalls:
            used["mascot syscalls"] = syscalls_per_second(mascot.pid, args.syscalls)
            used["oneko syscalls"] = syscalls_per_second(oneko.pid, args.syscalls)
        return used, {"mascot": mascot_frames, "oneko": oneko_frames}, memory, startup
    finally:
        display.close()


def alone(args, which):
    """One program alone on its own Xvfb, the X server counted; and the mascot idle after."""
    display = Display()
    try:
        display.start([args.probe, "circle", str(args.seconds + 60)])
        if which == "mascot":
            program, window, _ = start_mascot(display, args)
            send(display, args, CHASE)
        else:
            program, window = display.start(ONEKO), None
        time.sleep(3)
        pids = {which: program.pid, "Xvfb": display.server.pid}
        used, moves = measure(display, args, pids, args.seconds)
        frames = moves.get(window, 0) if window else max(moves.values(), default=0)
        return used, frames
    finally:
        display.close()


def idle(args):
    display = Display()
    try:
        mascot, _, _ = start_mascot(display, args)
        display.start([args.probe, "circle", str(args.seconds + 60)])
        time.sleep(3)
        used, _ = measure(display, args, {"mascot": mascot.pid, "Xvfb": display.server.pid},
                          args.seconds)
        if args.syscalls:
            used["mascot syscalls"] = syscalls_per_second(mascot.pid, args.syscalls)
        return used
    finally:
        display.close()


def on_desktop(args, desktop):
    """One run on `desktop`: the mascot idle, chasing, and stopped behind on one fresh desktop,
    then oneko chasing on another. Returns {phase: (cpu seconds by part, frames, restacks)}."""
    results = {}
    display = Display(desktop)
    try:
        display.start([args.probe, "circle", str(4 * args.seconds + 60)])
        mascot, window, _ = start_mascot(display, args)
        time.sleep(3)
        groups = dict(display.pids(), program=[mascot.pid])
        for phase, commands in (("idle", []), ("chase", [CHASE]), ("behind", [STOP, BEHIND])):
            for command in commands:
                send(display, args, command)
            if commands:
                time.sleep(3)
            used, counts = measure_groups(display, args, groups, args.seconds)
            moved, restacked = counts.get(window, (0, 0))
            results[phase] = (used, moved, restacked)
            if mascot.poll() is not None:
                raise RuntimeError(f"the mascot ended on {desktop} ({phase})")
    finally:
        display.close()
    display = Display(desktop)
    try:
        display.start([args.probe, "circle", str(args.seconds + 60)])
        oneko = display.start(ONEKO)
        time.sleep(3)
        groups = dict(display.pids(), program=[oneko.pid])
        used, counts = measure_groups(display, args, groups, args.seconds)
        moved, restacked = max(counts.values(), default=(0, 0))
        results["oneko"] = (used, moved, restacked)
    finally:
        display.close()
    return results


PARTS = ("program", "wm", "compositor", "Xvfb")  # what a desktop run counts, in this order


def part_cpu(used, part):
    """CPU seconds of one part, of them all ("total"), or None for a part the desktop lacks."""
    if part == "total":
        return sum(used.get(name, 0.0) for name in PARTS)
    return used.get(part)


def chase_ratio(result):
    """mascot / oneko, total CPU per moved frame, in one run on one kind of desktop."""
    mascot, oneko = result["chase"], result["oneko"]
    return (per_frame(part_cpu(mascot[0], "total"), mascot[1]) /
            per_frame(part_cpu(oneko[0], "total"), oneko[1]))


def desktops(args):
    names = list(DESKTOPS) if args.desktop == "all" else [args.desktop]
    runs = {name: [] for name in names}
    for run in range(args.runs):
        for name in names:  # one desktop after the other in each run, so noise hits them alike
            runs[name].append(on_desktop(args, name))
            print(f"run {run + 1}/{args.runs}: {name} done", flush=True)
    print(f"\nMedians of {args.runs} runs, {args.seconds} s each phase: µs of CPU per moved "
          f"frame (idle and behind: % of a core)")
    print("| Desktop | Program | program | window manager | compositor | Xvfb | total | frames "
          "| total / oneko's |")
    print("|---|---|---|---|---|---|---|---|---|")
    for name in names:
        results = runs[name]
        ratio = f"**{statistics.median(chase_ratio(r) for r in results):.2f}**"
        for phase, label in (("chase", "mascot"), ("oneko", "oneko")):
            cells = []
            for part in PARTS + ("total",):
                values = [part_cpu(r[phase][0], part) for r in results]
                if values[0] is None:
                    cells.append("")
                    continue
                frames = [r[phase][1] for r in results]
                cells.append(f"{statistics.median(map(per_frame, values, frames)):.1f}")
            frames = statistics.median(r[phase][1] for r in results)
            print(f"| {name} | {label} | " + " | ".join(cells) + f" | {frames:.0f} | "
                  f"{ratio if phase == 'chase' else ''} |")
        for phase, label in (("idle", "mascot idle"), ("behind", "mascot stopped behind")):
            cells = []
            for part in PARTS + ("total",):
                values = [part_cpu(r[phase][0], part) for r in results]
                cells.append("" if values[0] is None else
                             f"{100 * statistics.median(values) / args.seconds:.2f} %")
            moves = statistics.median(r[phase][1] for r in results)
            restacks = statistics.median(r[phase][2] for r in results)
            print(f"| {name} | {label} | " + " | ".join(cells) +
                  f" | {moves:.0f} moves, {restacks:.0f} restacks | |")
    print("\nmascot / oneko, total per frame, each run:")
    for name in names:
        print(f"  {name}: " + ", ".join(f"{chase_ratio(r):.2f}" for r in runs[name]))


def one_run(args):
    """Every phase once; prints its tables and returns the figures that runs are compared by."""
    seconds = args.seconds
    used, frames, memory, startup = side_by_side(args)
    print(f"Side by side on one Xvfb, {seconds} s, both chasing the circling pointer:")
    print("| Process | % of a core | frames moved | µs per frame | wake-ups/s | resident KiB |")
    print("|---|---|---|---|---|---|")
    for name in ("mascot", "oneko"):
        print(f"| {name} | {100 * used[name] / seconds:.2f} | {frames[name]} | "
              f"{per_frame(used[name], frames[name]):.1f} | "
              f"{used[name + ' wakeups'] / seconds:.0f} | {memory[name]} |")
    print(f"| Xvfb (both) | {100 * used['Xvfb'] / seconds:.2f} | | | | |")
    figures = {
        "side by side, mascot / oneko per frame":
            per_frame(used["mascot"], frames["mascot"]) / per_frame(used["oneko"],
                                                                     frames["oneko"]),
        "mascot µs per frame, side by side": per_frame(used["mascot"], frames["mascot"]),
        "oneko µs per frame, side by side": per_frame(used["oneko"], frames["oneko"]),
        "mascot wake-ups/s moving": used["mascot wakeups"] / seconds,
        "oneko wake-ups/s moving": used["oneko wakeups"] / seconds,
        "mascot resident KiB": memory["mascot"],
        "oneko resident KiB": memory["oneko"],
        "mascot start to mapped window, ms": startup * 1000,
    }
    if args.syscalls:
        figures["mascot system calls/s moving"] = used["mascot syscalls"]
        figures["oneko system calls/s moving"] = used["oneko syscalls"]
    print(f"ratio mascot / oneko per frame, side by side: "
          f"{figures['side by side, mascot / oneko per frame']:.2f}")
    print(f"mascot start to mapped window: {startup * 1000:.0f} ms")

    print(f"\nEach alone on its own Xvfb, {seconds} s, X server included:")
    print("| Program | program µs/frame | Xvfb µs/frame | total µs/frame | frames |")
    print("|---|---|---|---|---|")
    totals = {}
    for which in ("mascot", "oneko"):
        alone_used, alone_frames = alone(args, which)
        totals[which] = per_frame(alone_used[which] + alone_used["Xvfb"], alone_frames)
        if which == "mascot":
            moving_share = alone_used["mascot"] / seconds
        print(f"| {which} | {per_frame(alone_used[which], alone_frames):.1f} | "
              f"{per_frame(alone_used['Xvfb'], alone_frames):.1f} | {totals[which]:.1f} | "
              f"{alone_frames} |")
    figures["alone with the X server, mascot / oneko per frame"] = (totals["mascot"] /
                                                                     totals["oneko"])
    print(f"ratio mascot / oneko per frame, alone, X server included: "
          f"{figures['alone with the X server, mascot / oneko per frame']:.2f}")

    idle_used = idle(args)
    idle_share = idle_used["mascot"] / seconds
    figures["mascot idle, % of a core"] = 100 * idle_share
    figures["mascot moving alone, % of a core"] = 100 * moving_share
    figures["mascot idle / moving alone"] = idle_share / moving_share
    figures["mascot wake-ups/s idle"] = idle_used["mascot wakeups"] / seconds
    if args.syscalls:
        figures["mascot system calls/s idle"] = idle_used["mascot syscalls"]
    print(f"\nmascot idle (no mode), {seconds} s: {100 * idle_share:.2f} % of a core "
          f"({idle_used['mascot wakeups'] / seconds:.0f} wake-ups/s), Xvfb "
          f"{100 * idle_used['Xvfb'] / seconds:.2f} %; moving alone: {100 * moving_share:.2f} %: "
          f"idle / moving {figures['mascot idle / moving alone']:.2f}")
    return figures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--seconds", type=int, default=30)
    parser.add_argument("--desktop", choices=list(DESKTOPS) + ["all"])
    parser.add_argument("--runs", type=int, default=1, help="runs of every phase; medians after")
    parser.add_argument("--syscalls", type=float, default=0,
                        help="seconds of strace -c -f per program and phase (0: none)")
    args = parser.parse_args()
    if args.runs < 1 or args.seconds < 1 or args.syscalls < 0:
        parser.error("--runs and --seconds must be at least 1, --syscalls not negative")
    if args.desktop:
        desktops(args)
        return

    runs = []
    for run in range(args.runs):
        if args.runs > 1:
            print(f"\n## Run {run + 1} of {args.runs}\n")
        runs.append(one_run(args))
    if args.runs > 1:
        print(f"\n## Medians of {args.runs} runs (min..max)\n")
        for name in runs[0]:
            values = [figures[name] for figures in runs]
            print(f"{name}: {statistics.median(values):.2f} "
                  f"({min(values):.2f}..{max(values):.2f})")


if __name__ == "__main__":
    main()
