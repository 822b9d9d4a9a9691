"""The monkey's output: one line per action (also kept in the artifacts' actions.log), one
"ok N - HOST: ..." line per check, and on a failure "not ok", the last actions, a screenshot and
the command that replays the run.
"""

import os
import time

from desktop_kit.checks import save_screenshot

TAIL = 15                    # actions shown again after a failure

CHECKS = [
    ("start", "the program starts at (300, 100), 41 x 41, its icon docked in the tray"),
    ("warm-up", "warm-up: one action of each kind"),
    ("alive", "the program kept running through every action"),
    ("ticks", "a tick at least once a second"),
    ("geometry", "the window always 41 x 41 inside x 20..1000, y 20..680"),
    ("z-order", "topmost whenever its z-order state says front and no menu is open"),
    ("tray", "the tray icon back after every restart of the tray host and the shell"),
    ("objects", "objects and memory at the end as at the start"),
    ("exit", "the exit item ends the program with status 0; its window and icon go"),
]
# Faults found during the actions that belong to checks of their own.
FAULT_CHECK = {"window": "geometry", "menu": "alive"}


class Report:
    def __init__(self, host_name, artifacts, replay):
        self.host_name = host_name
        self.artifacts = artifacts
        self.replay = replay
        self.numbers = {key: number for number, (key, _) in enumerate(CHECKS, start=1)}
        self.history = []
        self.log_file = open(os.path.join(artifacts, "actions.log"), "w", encoding="utf-8")
        self.started = time.monotonic()

    def log(self, text):
        line = f"# {time.monotonic() - self.started:7.1f} s  {text}"
        print(line, flush=True)
        self.log_file.write(line + "\n")
        self.log_file.flush()
        self.history.append(line)

    def ok(self, key, detail):
        title = dict(CHECKS)[key]
        print(f"ok {self.numbers[key]} - {self.host_name}: {title} ({detail})", flush=True)

    def not_ok(self, key, message):
        key = FAULT_CHECK.get(key, key)
        shot = save_screenshot(self.artifacts, f"failed-{key}")
        title = dict(CHECKS).get(key, key)
        print(f"not ok {self.numbers.get(key, 0)} - {self.host_name}: {title}: {message} "
              f"(screenshot {shot})", flush=True)
        print("# the last actions before it:")
        for line in self.history[-TAIL:]:
            print(line)
        print(f"# replay: {self.replay}", flush=True)
