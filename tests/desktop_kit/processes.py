"""Processes of a test: background helpers started with their output discarded and stopped one
way, an Xvfb on a free display, process trees, and the CPU time, context switches and resident
memory of a process read from /proc."""

import os
import select
import subprocess

from desktop_kit.checks import Failure, require

STOP_S = 5                     # how long a terminated process has before it is killed
RESIDENT_FIELD = "VmRSS:"      # in /proc/PID/status, in KiB


def start(args, **options):
    """A background process with its output discarded unless options say otherwise."""
    streams = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
               "stderr": subprocess.DEVNULL}
    return subprocess.Popen([str(arg) for arg in args], **dict(streams, **options))


def stop(*processes):
    """Ends whichever of the processes still run: terminated, then killed after STOP_S."""
    for process in processes:
        if process is None or process.poll() is not None:
            continue
        process.terminate()
        try:
            process.wait(timeout=STOP_S)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=STOP_S)


def wait_gone(process, timeout=15):
    """The process's exit status once it has ended."""
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"still running {timeout} s later")


def require_exit(process, what, timeout=15):
    """Waits for the program to end after `what`; its exit code must be 0."""
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"still running {timeout} s after {what}")
    require(code == 0, f"exit code {code} after {what}")


def read_line(stream, timeout):
    """The next line of a process's output pipe, or "" when none comes within timeout s."""
    ready, _, _ = select.select([stream], [], [], timeout)
    return stream.readline() if ready else ""


def start_xvfb(size="1024x768x24", *options):
    """An Xvfb on a free display number, with more server options; returns (process, display
    name)."""
    read, write = os.pipe()
    server = start(["Xvfb", "-displayfd", write, "-screen", "0", size, "-nolisten", "tcp",
                    *options], pass_fds=(write,))
    os.close(write)
    with os.fdopen(read) as numbers:
        return server, ":" + numbers.readline().strip()


def process_tree(pid):
    """The process and its descendants (xfce4-panel runs its tray in a child process)."""
    children = subprocess.run(["pgrep", "-P", str(pid)], capture_output=True, text=True).stdout
    return [pid] + [tree for child in children.split() for tree in process_tree(int(child))]


def cpu_seconds(pid):
    """CPU time of all the process's threads so far, from the scheduler's nanosecond counts
    (/proc/PID/stat counts in 10 ms ticks: too coarse for 1 % of a core)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat", encoding="ascii") as stat:
                total += int(stat.read().split()[0])
        except OSError:
            continue  # a thread that ended meanwhile
    return total / 1e9


def context_switches(pid):
    """{thread name: [voluntary, involuntary]} context switches so far, summed over the threads of
    each name, the main thread's name marked "(main)". A voluntary switch is a sleep that
    something had to end, so it counts a wake-up; an involuntary one is the thread pre-empted."""
    counts = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm", encoding="utf-8") as comm:
                name = comm.read().strip() + (" (main)" if task == str(pid) else "")
            with open(f"/proc/{pid}/task/{task}/status", encoding="ascii") as status:
                fields = dict(line.split(":", 1) for line in status if "ctxt_switches" in line)
        except OSError:
            continue  # a thread that ended meanwhile
        total = counts.setdefault(name, [0, 0])
        total[0] += int(fields["voluntary_ctxt_switches"])
        total[1] += int(fields["nonvoluntary_ctxt_switches"])
    return counts


def wakeups(pid):
    """Voluntary context switches of all the process's threads so far (context_switches)."""
    return sum(voluntary for voluntary, _ in context_switches(pid).values())


def resident_kib(pid):
    """Resident memory of a process in KiB, or None when /proc gives none."""
    with open(f"/proc/{pid}/status", encoding="ascii", errors="replace") as status:
        for line in status:
            if line.startswith(RESIDENT_FIELD):
                return int(line.split()[1])
    return None
