"""The scripted run that every desktop host plays: its steps, each written once over the few
things a host's adapter tells (where the window is, whether it is over or under another window,
its menus and its end). A host's test subclasses Scenario, gives every abstract method of the
adapter, and adds its own checks after steps."""

import time
from abc import ABC, abstractmethod

from desktop_kit.checks import Failure, poll_until_still, require, wait_for
from desktop_kit.processes import require_exit
from desktop_kit.program import (COMMANDS, CRUISE, DUCK_S, HALF, START_X, START_Y, menu_keys,
                                 positions_in_box)
from desktop_kit.xdo import click, display_size, drag, move_pointer

SAMPLE_S = 0.1       # how often a state that must hold is sampled
MENU_SLACK = 2       # pixels between a menu's corner and the click that opened it
COVER = 160          # side of the window the mascot is checked against, centred on it
IDLE_POINTS = ((600, 400), (100, 650), (900, 60), (START_X + HALF, START_Y + HALF))


class Scenario(ABC):
    """The steps in order, then the adapter: the methods each host gives. A host that lacks one
    cannot be made (TypeError)."""

    STEPS = (
        ("appears", "the window appears at (300, 100), 41 x 41"),
        ("tray_docked", "the disc icon docks in the tray"),
        ("idle", "idle at (300, 100) wherever the pointer goes"),
        ("tray_menu_starts_motion", "the tray menu starts a random mode; it moves within "
                                    "x 20..1000, y 20..680"),
        ("menu_on_mascot", "a right click on the moving mascot opens its menu at the click; it "
                           "keeps moving"),
        ("stop", "stop, chosen on that menu, brings it to rest"),
        ("covers_new_window", "in front it covers a new window"),
        ("click_ducks", "a left click ducks it below the window for about 10 s, unmoved"),
        ("drag_ducks", "press, drag and release duck it too, unmoved"),
        ("always_behind", "always behind keeps it below the window past 10 s"),
        ("always_in_front", "always in front brings it over the window again"),
        ("exit_item", "the exit item ends it with status 0; its window and tray icon go"),
    )

    def __init__(self):
        self.process = None  # the program, once start() has started it
        self.rest = None     # where stop left it
        self.cover = None    # the window it is checked against
        self.menu = None     # the mascot's own menu while it is open

    def checks(self, extras):
        """(name, action) of every step, each followed by the host's own checks that extras
        lists under the step's method name; a name that is no step's fails."""
        unknown = set(extras) - {step for step, _ in self.STEPS}
        if unknown:
            raise ValueError(f"no step {sorted(unknown)}: the steps are "
                             f"{[step for step, _ in self.STEPS]}")
        found = []
        for step, name in self.STEPS:
            found.append((name, getattr(self, step)))
            found += extras.get(step, [])
        return found

    # --- the steps ---

    def appears(self):
        self.start()
        wait_for("the mascot at (300, 100), 41 x 41", lambda: self.placed(START_X, START_Y), 60)

    def tray_docked(self):
        wait_for("the disc in the tray", self.tray_icon, 30)

    def idle(self):
        for point in IDLE_POINTS:
            move_pointer(*point)
            time.sleep(0.3)  # a few ticks with the pointer there
            require(self.position() == (START_X, START_Y), f"moved while idle: {self.position()}")

    def tray_menu_starts_motion(self):
        self.choose("IDM_RANDOM16")
        wait_for("the mascot to move", lambda: self.position() not in (None, (START_X, START_Y)),
                 15)
        seen = positions_in_box(self.position, 4)
        require(len(seen) >= 5, f"only {len(seen)} positions in 4 s of motion")

    def menu_on_mascot(self):
        self.command(CRUISE)  # a random mode may be braking just now: cruising moves every tick
        point, self.menu = self.open_menu(self.mascot_centre)
        x, y, width, height = self.menu[1]
        screen_width, screen_height = display_size()
        # At the click, or flipped left or up where the screen ends, or moved just inside it.
        require(near(x, point[0], point[0] - width, screen_width - width) and
                near(y, point[1], point[1] - height, screen_height - height),
                f"menu at ({x}, {y}) {width}x{height} for a click at {point}")
        moved = {self.position()}
        for _ in range(10):
            time.sleep(SAMPLE_S)
            moved.add(self.position())
        require(len(moved) > 1, "the mascot stopped while its menu was open")

    def stop(self):
        self.type_into(self.menu, *menu_keys("IDM_STOP"))
        wait_for("the menu to close", lambda: not self.menus(), 5)
        self.rest = poll_until_still(self.position, 1.5, 30)

    def covers_new_window(self):
        self.cover = self.new_cover()
        self.wait_in_front("the mascot over the new window", 5)

    def click_ducks(self):
        x, y = self.rest
        click(x + HALF, y + HALF, 1)
        clicked = time.monotonic()
        self.wait_ducked("the mascot below the window", 3)
        bad, total = count_bad(clicked + DUCK_S - 1.5 - time.monotonic(),
                               lambda: not self.ducked())
        require(not bad, f"over the window in {bad} of {total} samples while ducked")
        self.wait_in_front("the mascot back over the window", DUCK_S + 5)
        took = time.monotonic() - clicked
        print(f"# ducked for {took:.2f} s", flush=True)
        require(DUCK_S - 1.5 <= took <= DUCK_S + 2.5, f"ducked for {took:.1f} s")
        require(self.position() == self.rest, f"moved from {self.rest} to {self.position()}")

    def drag_ducks(self):
        x, y = self.rest
        drag(x + HALF, y + HALF, 60, 40)
        self.wait_ducked("the dragged mascot below the window", 3)
        require(self.position() == self.rest, f"dragged from {self.rest} to {self.position()}")
        self.command(COMMANDS["IDM_ALWAYS_IN_FRONT"])
        self.wait_in_front("the mascot over the window again", 5)

    def always_behind(self):
        self.choose("IDM_ALWAYS_BEHIND")
        chosen = time.monotonic()
        self.wait_ducked("the mascot behind the window", 5)
        # Past the time a duck would end: always behind does not end by itself.
        bad, total = count_bad(chosen + DUCK_S + 1.5 - time.monotonic(),
                               lambda: not self.ducked())
        require(not bad, f"over the window in {bad} of {total} samples while behind")

    def always_in_front(self):
        self.choose("IDM_ALWAYS_IN_FRONT")
        self.wait_in_front("the mascot over the window", 5)
        self.drop_cover(self.cover)

    def exit_item(self):
        self.choose("IDM_EXIT")
        self.require_ended("the exit item")

    # --- shared by the steps ---

    def mascot_centre(self):
        x, y = self.position()
        return x + HALF, y + HALF

    def new_cover(self):
        """A plain window centred on the mascot at rest, reaching above it at least."""
        x, y = self.rest
        return self.open_cover(x + HALF - COVER // 2, y + HALF - COVER // 2, COVER)

    def wait_ducked(self, what, timeout):
        self.wait_stacked(what, self.ducked, timeout)

    def wait_in_front(self, what, timeout):
        self.wait_stacked(what, self.in_front, timeout)

    def wait_stacked(self, what, stacked, timeout):
        try:
            wait_for(what, stacked, timeout)
        except Failure as failure:
            raise Failure(f"{failure}; {self.stacking()}")

    def require_ended(self, what):
        """Ended with status 0 after `what`, its window and tray icon gone."""
        require_exit(self.process, what)
        wait_for(f"the mascot window to go after {what}", lambda: self.position() is None, 5)
        wait_for(f"the tray icon to go after {what}", lambda: self.tray_icon() is None, 10)

    # --- the adapter: each host gives these ---

    @abstractmethod
    def start(self): ...                    # starts the program as self.process
    @abstractmethod
    def placed(self, x, y): ...             # shown there, 41 x 41
    @abstractmethod
    def position(self): ...                 # the window's (x, y), or None
    @abstractmethod
    def tray_icon(self): ...                # the icon found in the tray, or None
    @abstractmethod
    def command(self, command): ...         # the program runs command id as if chosen on its menu
    @abstractmethod
    def choose(self, name): ...             # that command's item chosen on the tray icon's menu
    @abstractmethod
    def open_menu(self, where): ...         # right clicks at where() until a menu shows:
                                            # (click point, (menu window, its box))
    @abstractmethod
    def type_into(self, menu, *keys): ...   # keys typed into an open menu once it takes them
    @abstractmethod
    def menus(self): ...                    # the program's open menus
    @abstractmethod
    def open_cover(self, x, y, side): ...   # a plain window there, shown
    @abstractmethod
    def drop_cover(self, cover): ...        # ends that window
    @abstractmethod
    def in_front(self): ...                 # over self.cover (and where the host can tell, all)
    @abstractmethod
    def ducked(self): ...                   # under self.cover (and where the host can tell, all)
    @abstractmethod
    def stacking(self): ...                 # what was seen of the stacking, for a failure's message


def near(value, *wanted):
    return any(abs(value - w) <= MENU_SLACK for w in wanted)


def count_bad(seconds, bad):
    """Samples bad() every SAMPLE_S for `seconds`; returns (bad samples, samples)."""
    results, start = [], time.monotonic()
    while time.monotonic() < start + seconds:
        results.append(bool(bad()))
        time.sleep(max(0.0, start + len(results) * SAMPLE_S - time.monotonic()))
    return sum(results), len(results)
