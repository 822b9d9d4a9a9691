"""Running commands, waiting for a state with a polling timeout, and the runner that prints one
"ok N" line per check and keeps a screenshot of each failure."""

import argparse
import os
import subprocess
import sys
import time

POLL_S = 0.1  # how often a waited-for condition is looked at


class Failure(Exception):
    """A check did not hold; the message says which and what was seen."""


def run(args, timeout=30, check=True):
    """Runs a command and returns its standard output as text."""
    result = subprocess.run([str(arg) for arg in args], capture_output=True, text=True,
                            timeout=timeout)
    if check and result.returncode != 0:
        raise Failure(f"{' '.join(map(str, args))} failed ({result.returncode}): "
                      f"{result.stderr.strip()}")
    return result.stdout


def require(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, condition, timeout):
    """Polls condition() until it gives something true; returns that, or fails after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(POLL_S)


def poll_until_still(value, seconds, timeout):
    """Waits until value() stays the same for `seconds`; returns it."""
    deadline = time.monotonic() + timeout
    last, since = value(), time.monotonic()
    while time.monotonic() < deadline:
        time.sleep(POLL_S)
        now = value()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= seconds:
            return last
    raise Failure(f"still changing after {timeout} s")


def parse_arguments(doc, *names):
    """The command line: each name a required option --name; the first line of doc is the help."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name in names:
        parser.add_argument(f"--{name}", required=True)
    return parser.parse_args()


def save_screenshot(folder, name, screenshot=None):
    """The root window as a PNG, or what screenshot() gives (a Screen) as a PPM."""
    if screenshot is not None:
        path = os.path.join(folder, f"{name}.ppm")
        try:
            screenshot().save(path)
        except Exception as error:  # the failure's own message matters more than its picture
            return f"none: {error}"
        return path
    path = os.path.join(folder, f"{name}.png")
    subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=30)
    return path


def run_checks(artifacts, checks, cleanup, keep_going=False, screenshot=None):
    """Runs (name, action) checks in order, one line each; stops at the first failure with a
    screenshot in artifacts and exit status 1, or with keep_going runs the rest too (a check may
    then fail for an earlier one's sake) and exits 1 at the end. cleanup() runs in any case.
    screenshot(): the screen as a Screen where the root window's pixels are not it."""
    os.makedirs(artifacts, exist_ok=True)
    started = time.monotonic()
    failed = 0
    try:
        for number, (name, action) in enumerate(checks, start=1):
            begun = time.monotonic()
            try:
                action()
            except (Exception if keep_going else Failure) as failure:
                shot = save_screenshot(artifacts, f"failed-{number:02d}", screenshot)
                print(f"not ok {number} - {name}: {failure} (screenshot {shot})", flush=True)
                failed += 1
                if not keep_going:
                    sys.exit(1)
                continue
            print(f"ok {number} - {name} ({time.monotonic() - begun:.1f} s)", flush=True)
        print(f"# {len(checks) - failed} of {len(checks)} checks passed in "
              f"{time.monotonic() - started:.1f} s")
        if failed:
            sys.exit(1)
    finally:
        cleanup()
