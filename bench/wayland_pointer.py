#!/usr/bin/env python3
"""What the pointer's sources cost on a Wayland desktop, side by side in one session: the
compositor's, its Xwayland's, the session bus's and the mascot's CPU, the mascot's wake-ups per
10 ms tick, the bus messages per second and how late each pushed position reaches the bus, while
the compositor's own pointer circles at 125 Hz over a native window and while it stands still;
with no mascot, with the mascot and its pushed source (chasing, and stopped), and with the
mascot on the X server's pointer (the push source taken away). Medians over --runs.

Usage: wayland_pointer.py --exe mascot --wayland-probe wayland-probe [--seconds 10] [--runs 3]
Runs inside kwin_wayland's session (bench/wayland-pointer.sh); prints tables and ratios.
"""

import argparse
import json
import math
import os
import statistics
import subprocess
import threading
import time

from desktop_kit.checks import wait_for
from desktop_kit.processes import context_switches, cpu_seconds, process_tree, start, stop
from desktop_kit.program import COMMANDS, send_command
from desktop_kit.wayland import NativeWindow, script_loaded, unload_script
from desktop_kit.xdo import windows_of

TICK_S = 0.01           # the mascot's tick
RATE_HZ = 125           # a common mouse's report rate, the default
CENTRE, RADIUS = (640, 400), 250
TURN_S = 2.0            # one turn of the circle: the chasing mascot keeps moving
SETTLE_S = 2            # after a change of case, before counting
MONITOR_S = 3           # of bus traffic after each measurement (the monitor costs the bus)
CHASE, STOP, EXIT = (COMMANDS[name] for name in ("IDM_FIRST_BEHAVIOUR", "IDM_STOP", "IDM_EXIT"))
# (case, the mascot's command or None for no mascot, the push source on)
CASES = (("no mascot", None, False), ("chasing, pushed", CHASE, True),
         ("stopped, pushed", STOP, True), ("stopped, X server", STOP, False),
         ("chasing, X server", CHASE, False))


class Circler:
    """Moves KWin's pointer round a circle at `rate` moves a second from a thread of this
    program, through the native window's fake input (as fast as KWin takes them if that is
    slower), noting when each position was asked for."""

    def __init__(self, move, rate):
        self.move, self.rate = move, rate
        self.sent = []  # (time.time(), (x, y)) of each move asked for
        self.moves = 0
        self.running = None

    def start(self):
        self.running = threading.Event()
        self.running.set()
        threading.Thread(target=self._run, daemon=True).start()

    def stop(self):
        if self.running:
            self.running.clear()
            time.sleep(2 / self.rate)

    def take_sent(self):
        sent, self.sent = self.sent, []
        return sent

    def _run(self):
        step, due = 0, time.monotonic()
        while self.running.is_set():
            point = on_circle(step, self.rate)
            self.sent.append((time.time(), point))
            self.move(*point)
            self.moves += 1
            step += 1
            due += 1 / self.rate
            time.sleep(max(0.0, due - time.monotonic()))


def on_circle(step, rate):
    angle = 2 * math.pi * step / (rate * TURN_S)
    return (round(CENTRE[0] + RADIUS * math.cos(angle)),
            round(CENTRE[1] + RADIUS * math.sin(angle)))


class KWinSession:
    """The kwin_wayland session this runs in: the compositor (an ancestor of this process), its
    Xwayland, the session bus, and a native window whose connection moves the pointer. The
    mascot loads its script itself."""

    def __init__(self, probe):
        self.kwin = os.getppid()
        while comm(self.kwin) != "kwin_wayland":
            self.kwin = parent(self.kwin)
        self.native = NativeWindow(probe)

    def parts(self):
        return {"compositor": self.kwin, "Xwayland": named(process_tree(self.kwin), "Xwayland"),
                "bus": session_bus()}

    def circler(self, rate):
        return Circler(self.native.move_pointer, rate)

    def give_source(self):
        pass

    def source_loaded(self):
        return script_loaded()

    def take_source_away(self):
        unload_script()

    def close(self):
        self.native.close()


# The GNOME side: the pointer circles by a timer inside the shell (a process started per move
# would cost more than what is measured), logging when it asked for each position.
SHELL_CIRCLE = """(() => {{
    const bench = globalThis.mascotBench = {{sent: [], moves: 0, start: GLib.get_monotonic_time()}};
    bench.source = GLib.timeout_add(GLib.PRIORITY_DEFAULT, {period}, () => {{
        // A timer fires late, not early: the moves it owes are made up, at most three at once.
        const due = (GLib.get_monotonic_time() - bench.start) * {rate} / 1e6;
        for (let owed = 0; owed < 3 && bench.moves < due; ++owed) {{
            const angle = 2 * Math.PI * bench.moves / {per_turn};
            const x = Math.round({cx} + {r} * Math.cos(angle));
            const y = Math.round({cy} + {r} * Math.sin(angle));
            bench.sent.push([GLib.get_real_time(), x, y]);
            {pointer}.notify_absolute_motion(GLib.get_monotonic_time(), x, y);
            bench.moves++;
        }}
        return GLib.SOURCE_CONTINUE;
    }});
    return true;
}})()"""


class ShellCircler:
    """Circler's counterpart inside GNOME Shell, at whole milliseconds between moves."""

    def __init__(self, shell, rate):
        self.shell, self.rate, self.running = shell, rate, False

    def start(self):
        from desktop_kit.gnome_shell import POINTER
        self.shell.eval(SHELL_CIRCLE.format(period=round(1000 / self.rate), rate=self.rate,
                                            pointer=POINTER,
                                            per_turn=self.rate * TURN_S, cx=CENTRE[0],
                                            cy=CENTRE[1], r=RADIUS))
        self.running = True

    def stop(self):
        if self.running:
            self.shell.eval("GLib.source_remove(globalThis.mascotBench.source), true")
            self.running = False

    @property
    def moves(self):
        return self.shell.eval("globalThis.mascotBench?.moves ?? 0")

    def take_sent(self):
        sent = self.shell.eval("globalThis.mascotBench?.sent.splice(0) ?? []")
        return [(microseconds / 1e6, (x, y)) for microseconds, x, y in sent]


class GnomeSession:
    """GNOME Shell started by this process (the desktop kit) in its D-Bus session, a native
    window, and the program's extension switched on and off as a user does."""

    def __init__(self, probe):
        from desktop_kit.gnome_shell import GnomeShell  # what only this desktop needs
        self.shell = GnomeShell()
        self.native = NativeWindow(probe)

    def parts(self):
        return {"compositor": self.shell.process.pid,
                "Xwayland": named(process_tree(self.shell.process.pid), "Xwayland"),
                "bus": session_bus()}

    def circler(self, rate):
        return ShellCircler(self.shell, rate)

    def give_source(self):
        self.shell.switch_extension(True)

    def source_loaded(self):
        from desktop_kit.gnome_shell import UUID
        return self.shell.eval(f"imports.ui.main.extensionManager.lookup({json.dumps(UUID)})"
                               f"?.state") == 1

    def take_source_away(self):
        self.shell.switch_extension(False)

    def close(self):
        self.native.close()
        self.shell.close()


SESSIONS = {"kwin": KWinSession, "gnome": GnomeSession}


def parent(pid):
    with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
        return int(stat.read().rsplit(")", 1)[1].split()[1])


def session_bus():
    """The session bus's daemon: dbus-run-session, an ancestor of this process, started it (the
    shell's stand-in system bus is another dbus-daemon)."""
    session = os.getppid()
    while not comm(session).startswith("dbus-run-sess"):  # the name is cut at 15 characters
        session = parent(session)
    return named(process_tree(session), "dbus-daemon")


def comm(pid):
    with open(f"/proc/{pid}/comm", encoding="utf-8") as name:
        return name.read().strip()


def named(pids, name):
    """The first of the processes called `name`, or None."""
    return next((pid for pid in pids if comm(pid) == name), None)


def measure(parts, circler, seconds):
    """Each part's CPU as a share of a core, the pointer's moves per second and the compositor's
    CPU per move, and the mascot's context switches per tick by thread, over `seconds`."""
    parts = {name: pid for name, pid in parts.items() if pid}  # Xwayland starts on demand
    cpu = {name: cpu_seconds(pid) for name, pid in parts.items()}
    switches = context_switches(parts["mascot"]) if "mascot" in parts else {}
    moves = circler.moves
    time.sleep(seconds)
    figures = {name: (cpu_seconds(pid) - cpu[name]) / seconds for name, pid in parts.items()}
    figures["moves/s"] = (circler.moves - moves) / seconds
    if figures["moves/s"]:
        figures["compositor µs/move"] = 1e6 * figures["compositor"] / figures["moves/s"]
    if switches:
        ticks = seconds / TICK_S
        after = context_switches(parts["mascot"])
        for thread, (voluntary, involuntary) in after.items():
            before = switches.get(thread, [0, 0])
            figures[f"wake-ups/tick {thread}"] = (voluntary - before[0]) / ticks
            figures.setdefault("pre-emptions/tick", 0.0)
            figures["pre-emptions/tick"] += (involuntary - before[1]) / ticks
        figures["wake-ups/tick"] = sum(value for key, value in figures.items()
                                       if key.startswith("wake-ups/tick "))
    return figures


def bus_traffic(circler, seconds):
    """Messages per second on the session bus, Move calls per second, and how long after the
    pointer was asked to move each pushed position passed the bus (ms: median, 90th percentile),
    from dbus-monitor's receipt times."""
    monitor = start(["dbus-monitor", "--session"], stdout=subprocess.PIPE, text=True)
    moves = circler.moves
    time.sleep(seconds)
    moves = circler.moves - moves
    stop(monitor)
    sent = {}  # (x, y) -> the times it was asked for, oldest first
    for when, point in circler.take_sent():
        sent.setdefault(point, []).append(when)
    lines = monitor.stdout.read().splitlines()
    headers = [i for i, line in enumerate(lines)
               if line.split(" time=")[0] in ("method call", "method return", "signal", "error")]
    late = []
    for i in headers:
        if lines[i].endswith("member=Move") and i + 2 < len(lines):
            point = tuple(int(lines[i + k].split()[-1]) for k in (1, 2))
            received = float(lines[i].split(" time=")[1].split()[0])
            asked = [when for when in sent.get(point, []) if when <= received]
            if asked:
                late.append(1000 * (received - asked[-1]))
    figures = {"bus messages/s": len(headers) / seconds, "Move calls/s": len(late) / seconds}
    if moves:
        figures["Move calls/move"] = len(late) / moves
    if late:
        figures["ms to the bus, median"] = statistics.median(late)
        figures["ms to the bus, 90 %"] = statistics.quantiles(late, n=10)[-1]
    return figures


def start_mascot(exe, session):
    session.give_source()
    process = start([exe], stderr=None)  # its notices go to the log
    wait_for("the mascot window", lambda: windows_of(process.pid), 15)
    wait_for("the pushed source loaded", session.source_loaded, 10)
    return process


def one_run(args, session):
    """{case: {"circling"|"still": figures}} for every case, in CASES order."""
    results, mascot = {}, None
    circler = session.circler(args.rate)
    try:
        for case, command, pushed in CASES:
            if command is None:
                stop(mascot)
                mascot = None
            elif mascot is None:
                mascot = start_mascot(args.exe, session)
            if mascot and not pushed and session.source_loaded():
                session.take_source_away()
            if command is not None:
                send_command(args.exe, command)
            parts = dict(session.parts(), **({"mascot": mascot.pid} if mascot else {}))
            results[case] = {}
            for pointer in ("circling", "still"):
                if pointer == "circling":
                    circler.start()
                circler.take_sent()
                time.sleep(SETTLE_S)
                figures = measure(parts, circler, args.seconds)
                figures.update(bus_traffic(circler, MONITOR_S))
                circler.stop()
                results[case][pointer] = figures
                print(f"{case}, {pointer}: " + ", ".join(f"{key} {value:.3g}" for key, value in
                                                         sorted(figures.items())), flush=True)
        send_command(args.exe, EXIT)
        mascot.wait(timeout=15)
    finally:
        circler.stop()
        stop(mascot)
    return results


COLUMNS = ("compositor", "Xwayland", "bus", "mascot")


def print_table(runs):
    """Medians over the runs, (min..max) where they differ."""
    def cell(case, pointer, key, scale=1.0, digits=2):
        values = [run[case][pointer].get(key) for run in runs]
        if None in values:
            return "–"
        values = [scale * value for value in values]
        spread = (f" ({min(values):.{digits}f}..{max(values):.{digits}f})"
                  if len(values) > 1 else "")
        return f"{statistics.median(values):.{digits}f}{spread}"

    print("\n| case | pointer | " + " | ".join(f"{c} % core" for c in COLUMNS) +
          " | compositor µs/move | moves/s | mascot wake-ups/tick | bus messages/s "
          "| Move calls/s | ms to the bus (median) |")
    print("|---" * (len(COLUMNS) + 8) + "|")
    for case, _, _ in CASES:
        for pointer in ("circling", "still"):
            row = [cell(case, pointer, c, 100) for c in COLUMNS]
            row += [cell(case, pointer, "compositor µs/move", digits=0),
                    cell(case, pointer, "moves/s", digits=0),
                    cell(case, pointer, "wake-ups/tick"),
                    cell(case, pointer, "bus messages/s", digits=0),
                    cell(case, pointer, "Move calls/s", digits=0),
                    cell(case, pointer, "ms to the bus, median")]
            print(f"| {case} | {pointer} | " + " | ".join(row) + " |")
    threads = sorted({key for run in runs for case in run.values() for figures in case.values()
                      for key in figures if key.startswith("wake-ups/tick ")})
    print("\nThe mascot's wake-ups per tick by thread, pointer circling (median of runs):")
    for case, command, _ in CASES:
        if command is not None:
            print(f"- {case}: " + ", ".join(
                f"{key.split(' ', 1)[1]} {cell(case, 'circling', key)}" for key in threads))


def print_ratios(runs):
    """Ratios taken within each run (the machine is shared), then their medians."""
    def ratio(name, numerator, denominator, part):
        values = [run[numerator[0]][numerator[1]][part] / run[denominator[0]][denominator[1]][part]
                  for run in runs if run[denominator[0]][denominator[1]][part]]
        if not values:
            return
        print(f"- {name}: {statistics.median(values):.2f} "
              f"({min(values):.2f}..{max(values):.2f})")

    print("\nRatios within a run, median (min..max):")
    circling = "circling"
    ratio("compositor, chasing pushed / no mascot, circling", ("chasing, pushed", circling),
          ("no mascot", circling), "compositor")
    ratio("compositor, chasing on the X server / no mascot, circling",
          ("chasing, X server", circling), ("no mascot", circling), "compositor")
    ratio("compositor, stopped pushed / stopped on the X server, circling",
          ("stopped, pushed", circling), ("stopped, X server", circling), "compositor")
    ratio("mascot, stopped pushed / stopped on the X server, circling",
          ("stopped, pushed", circling), ("stopped, X server", circling), "mascot")
    ratio("mascot, chasing pushed / chasing on the X server, circling",
          ("chasing, pushed", circling), ("chasing, X server", circling), "mascot")
    ratio("mascot, stopped pushed: circling / still", ("stopped, pushed", circling),
          ("stopped, pushed", "still"), "mascot")


def print_per_push(runs):
    """What one push costs, from the stopped mascot (no motion of its own) with the pointer
    circling against still, and what the X server's round trip costs a still pointer's tick."""
    def figure(name, of_run, unit):
        values = [value for value in map(of_run, runs) if value is not None]
        if values:
            print(f"- {name}: {statistics.median(values):.3g} {unit} "
                  f"({min(values):.3g}..{max(values):.3g})")

    def per_push(part, scale):
        def of_run(run):
            moving, still = run["stopped, pushed"]["circling"], run["stopped, pushed"]["still"]
            pushes = moving.get("Move calls/s")
            return scale * (moving[part] - still[part]) / pushes if pushes else None
        return of_run

    print("\nPer push and per tick, median of runs (min..max):")
    figure("the mascot's CPU per push", per_push("mascot", 1e6), "µs")
    figure("the mascot's wake-ups per push", per_push("wake-ups/tick", 1 / TICK_S), "")
    figure("the session bus's CPU per push", per_push("bus", 1e6), "µs")
    figure("the X server's round trip, the mascot's CPU per tick",
           lambda run: 1e6 * TICK_S * (run["stopped, X server"]["still"]["mascot"] -
                                       run["stopped, pushed"]["still"]["mascot"]), "µs")
    figure("the X server's round trip, Xwayland's CPU per tick",
           lambda run: 1e6 * TICK_S * run["stopped, X server"]["still"]["Xwayland"], "µs")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--wayland-probe", required=True)
    parser.add_argument("--desktop", choices=SESSIONS, default="kwin")
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--rate", type=int, default=RATE_HZ, help="pointer moves a second")
    args = parser.parse_args()
    session = SESSIONS[args.desktop](args.wayland_probe)
    try:
        runs = []
        for run in range(args.runs):
            print(f"\n## Run {run + 1} of {args.runs}\n", flush=True)
            runs.append(one_run(args, session))
        print_table(runs)
        print_ratios(runs)
        print_per_push(runs)
    finally:
        session.close()


if __name__ == "__main__":
    main()
