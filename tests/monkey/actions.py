"""The monkey's actions. Each draws all of its random choices from the seeded generator when it
is made, the same number of draws whatever the screen shows, so that a seed replays the same
choices; where they land (the mascot moves by itself) is logged as it happens.
"""

import time

from desktop_kit.checks import run as run_command
from desktop_kit.menu_model import MenuWalk
from desktop_kit.program import BOX_BOTTOM, BOX_LEFT, BOX_RIGHT, BOX_TOP, HALF

# The cursor aims the image's centre; beyond these lines it aims outside the screen box.
CURSOR_LEFT, CURSOR_RIGHT = BOX_LEFT + HALF - 1, BOX_RIGHT + HALF - 1
CURSOR_TOP, CURSOR_BOTTOM = BOX_TOP + HALF - 1, BOX_BOTTOM + HALF - 1
NEAR_PX = 35             # clicks land up to this far from the mascot's centre, on it or beside it
ON_PX = 10               # right clicks meant to open the menu stay this close to the centre
DRAG_PX = 200
MENU_OPEN_S = 1.5        # how long a right click may take to show the menu
BURST_SIZE = 50
BURST_SPAN_S = 1.0
ACCELERATOR_SHARE = 0.2  # commands posted as an accelerator's (notification code 1)
IN_MENU_SHARE = 0.3      # bursts that arrive while the tray menu is open
KEEP_ICON_SHARE = 0.3    # shell restarts that keep the icons and only announce themselves
MENU_MOVES = ("Down", "Down", "Up", "Right", "Left")
MENU_ENDINGS = ("Return", "Return", "Escape", "Escape Escape", "click elsewhere",
                "right click elsewhere", "click on the mascot", "right click on the mascot")
POINTER_ENDINGS = {"click elsewhere": 1, "right click elsewhere": 3, "click on the mascot": 1,
                   "right click on the mascot": 3}
# Keys a cat may press with no menu open. Alt+F4 is left out: it closes any program on purpose.
LOOSE_KEYS = ("a", "z", "1", "space", "Return", "Escape", "Tab", "BackSpace", "Delete", "Up",
              "Down", "Left", "Right", "Home", "End", "Prior", "Next", "F1", "F10", "shift+F10",
              "Menu", "Alt_L", "alt+space", "ctrl+a")


class Setting:
    """What actions draw from besides the generator: the screen's size and the command ids."""

    def __init__(self, screen, commands):
        self.screen = screen
        self.exit_id = commands["IDM_EXIT"]
        others = [command for name, command in commands.items() if name != "IDM_EXIT"]
        # The command table: the items' ids and, between them, those that no item carries.
        self.table_ids = list(range(min(others), max(others) + 1))


def xdotool(*args):
    run_command(["xdotool", *[str(arg) for arg in args]])


class Action:
    kind = "?"

    def __init__(self, rng, setting):
        pass

    def play(self, run):
        """Plays the action; returns what happened, for the log."""
        raise NotImplementedError


class Click(Action):
    """A left click (or double click) on the moving mascot or just beside it."""
    kind = "click"
    repeat = 1

    def __init__(self, rng, setting):
        self.offset = (rng.randint(-NEAR_PX, NEAR_PX), rng.randint(-NEAR_PX, NEAR_PX))

    def clicks(self):
        return ("click", "--repeat", self.repeat, "--delay", 80, 1)

    def play(self, run):
        x, y = run.mascot_centre()
        point = (x + self.offset[0], y + self.offset[1])
        # The move and the press in one call: the mascot moves on between two calls.
        run.move_pointer(point, *self.clicks())
        return f"{' '.join(str(word) for word in self.clicks())} at {point}, " \
               f"mascot centre ({x}, {y})"


class DoubleClick(Click):
    kind = "double-click"
    repeat = 2


class OtherButton(Click):
    """The middle button or a turn of the wheel (up, down, left, right) on or beside the mascot."""
    kind = "other button"

    def __init__(self, rng, setting):
        super().__init__(rng, setting)
        self.button = rng.choice((2, 4, 5, 6, 7))

    def clicks(self):
        return ("click", self.button)


class Drag(Action):
    """Press on or beside the mascot, move in steps, release."""
    kind = "drag"

    def __init__(self, rng, setting):
        self.offset = (rng.randint(-NEAR_PX, NEAR_PX), rng.randint(-NEAR_PX, NEAR_PX))
        self.vector = (rng.randint(-DRAG_PX, DRAG_PX), rng.randint(-DRAG_PX, DRAG_PX))
        self.steps = rng.randint(1, 8)

    def play(self, run):
        x, y = run.mascot_centre()
        start = (x + self.offset[0], y + self.offset[1])
        run.move_pointer(start, "mousedown", 1)
        for step in range(1, self.steps + 1):
            run.move_pointer((start[0] + self.vector[0] * step // self.steps,
                              start[1] + self.vector[1] * step // self.steps))
            time.sleep(0.03)
        xdotool("mouseup", 1)
        return f"from {start} by {self.vector} in {self.steps} steps"


class MenuKeys:
    """A random key path through an open menu, and how it ends."""

    def __init__(self, rng, setting):
        self.moves = [rng.choice(MENU_MOVES) for _ in range(rng.randint(0, 6))]
        self.ending = rng.choice(MENU_ENDINGS)
        self.elsewhere = (rng.randrange(setting.screen[0]), rng.randrange(setting.screen[1]))
        self.exit_id = setting.exit_id

    def play(self, run, menu):
        walk = MenuWalk(run.menu_items, run.host.return_closes_unselected)
        for key in self.moves:
            walk.press(key)
        ending = self.ending
        chosen = walk.would_choose()
        if ending == "Return" and chosen is not None and chosen.command == self.exit_id:
            ending = "Escape"  # the exit item ends the run only at its end
        if self.moves:
            xdotool("key", "--delay", 60, *self.moves)
        if ending in POINTER_ENDINGS:
            # Never on a menu: a click there would choose an item, the exit item among them.
            aim = run.mascot_centre() if ending.endswith("mascot") else self.elsewhere
            point = run.point_off_menus(aim)
            run.move_pointer(point, "click", POINTER_ENDINGS[ending])
            what = f"{ending} at {point}"
        else:
            xdotool("key", "--delay", 60, *ending.split())
            for key in ending.split():
                walk.press(key)
            what = ending
            if walk.chosen is not None:
                what += f" chooses {walk.chosen.text} ({walk.chosen.command})"
                run.note_choice(walk.chosen.command)
            elif not walk.closed:
                what += " (the menu stays open)"
        keyed_close = walk.closed and ending not in POINTER_ENDINGS
        closed_by = run.close_menus(expect_open=not walk.closed and ending not in POINTER_ENDINGS)
        if keyed_close and closed_by is not None:
            run.keys_unanswered += 1
            what += f" (the menu did not answer: closed by {closed_by})"
        return f"keys {' '.join(self.moves) or '(none)'}, then {what}"


class MascotMenu(Action):
    """A right click on the moving mascot, then a key path through its menu."""
    kind = "menu on mascot"

    def __init__(self, rng, setting):
        self.offset = (rng.randint(-ON_PX, ON_PX), rng.randint(-ON_PX, ON_PX))
        self.keys = MenuKeys(rng, setting)

    def play(self, run):
        x, y = run.mascot_centre()
        point = (x + self.offset[0], y + self.offset[1])
        run.move_pointer(point, "click", 3)
        menu = run.wait_menu(MENU_OPEN_S)
        if menu is None:
            return f"right click at {point}: no menu (missed the moving mascot)"
        return f"right click at {point}: menu at {menu[:2]}; " + self.keys.play(run, menu)


class TrayClick(Action):
    """A click on the tray icon: left, double left, or right with a key path through the menu."""
    kind = "tray click"

    def __init__(self, rng, setting):
        self.button, self.repeat = rng.choice(((1, 1), (1, 2), (3, 1), (3, 1)))
        self.keys = MenuKeys(rng, setting)

    def play(self, run):
        icon = run.tray_icon()
        run.move_pointer(icon, "click", "--repeat", self.repeat, "--delay", 80, self.button)
        what = f"button {self.button} x{self.repeat} on the icon at {icon}"
        if self.button != 3:
            return what
        menu = run.wait_menu(MENU_OPEN_S)
        if menu is None:
            return what + ": no menu"
        return what + f": menu at {menu[:2]}; " + self.keys.play(run, menu)


class Pointer(Action):
    """The pointer to a corner, an edge, outside the screen box or anywhere, jumping or
    gliding; coordinates beyond the screen end at its edge."""
    kind = "pointer"

    def __init__(self, rng, setting):
        width, height = setting.screen
        where = rng.choice(("corner", "edge", "outside box", "beyond screen", "anywhere"))
        corner = (rng.choice((0, width - 1)), rng.choice((0, height - 1)))
        edge = rng.choice(((rng.randrange(width), 0), (rng.randrange(width), height - 1),
                           (0, rng.randrange(height)), (width - 1, rng.randrange(height))))
        outside = rng.choice(((rng.randrange(CURSOR_LEFT), rng.randrange(height)),
                              (rng.randrange(CURSOR_RIGHT + 1, width), rng.randrange(height)),
                              (rng.randrange(width), rng.randrange(CURSOR_TOP)),
                              (rng.randrange(width), rng.randrange(CURSOR_BOTTOM + 1, height))))
        beyond = (rng.randint(-500, width + 500), rng.choice((-300, height + 300)))
        anywhere = (rng.randrange(width), rng.randrange(height))
        self.where = where
        self.target = {"corner": corner, "edge": edge, "outside box": outside,
                       "beyond screen": beyond, "anywhere": anywhere}[where]
        self.steps = rng.choice((1, 1, 5, 12))

    def play(self, run):
        start = run.pointer()
        for step in range(1, self.steps + 1):
            # Past "--" the coordinates may be negative: xdotool stops the pointer at the edge.
            xdotool("mousemove", "--", start[0] + (self.target[0] - start[0]) * step // self.steps,
                    start[1] + (self.target[1] - start[1]) * step // self.steps)
            time.sleep(0.02)
        return f"{self.where} {self.target} in {self.steps} steps, now at {run.pointer()}"


class Keys(Action):
    """Keys pressed with no menu open, whichever window has the focus."""
    kind = "keys"

    def __init__(self, rng, setting):
        self.keys = [rng.choice(LOOSE_KEYS) for _ in range(rng.randint(1, 5))]

    def play(self, run):
        run.close_menus()
        xdotool("key", "--delay", 40, *self.keys)
        run.close_menus()
        return " ".join(self.keys)


class Burst(Action):
    """50 commands from outside within a second: every id of the table, in a random order, and
    ids that nothing carries; a few as an accelerator's; some while the tray menu is open."""
    kind = "burst"

    def __init__(self, rng, setting):
        ids = list(setting.table_ids)
        rng.shuffle(ids)
        known = set(ids) | {setting.exit_id}
        while len(ids) < BURST_SIZE:
            candidate = rng.randrange(0x10000)
            if candidate not in known:
                ids.append(candidate)
        rng.shuffle(ids)
        self.ids = ids
        self.codes = [1 if rng.random() < ACCELERATOR_SHARE else 0 for _ in ids]
        self.in_menu = rng.random() < IN_MENU_SHARE

    def play(self, run):
        where = ""
        if self.in_menu:
            run.move_pointer(run.tray_icon(), "click", 3)
            menu = run.wait_menu(MENU_OPEN_S)
            where = "no menu opened; " if menu is None else f"tray menu open at {menu[:2]}; "
        run.host.post_commands(self.ids, self.codes, BURST_SPAN_S)
        if self.in_menu:
            run.close_menus(expect_open=True)
        run.note_posted(self.ids)
        return where + ", ".join(f"{c}{'a' if code else ''}"
                                 for c, code in zip(self.ids, self.codes))


class TrayRestart(Action):
    """The tray host killed, and started again after a pause."""
    kind = "tray host restart"
    longest_pause_s = 2

    def __init__(self, rng, setting):
        self.pause = round(rng.uniform(0, self.longest_pause_s), 2)

    def play(self, run):
        return run.restart_tray(self.pause)


class ShellRestart(TrayRestart):
    """The desktop shell restarted where the host has one (the Windows taskbar): it has lost the
    icons, or (as a taskbar rebuilt for a new screen) still holds them, and announces itself."""
    kind = "shell restart"
    longest_pause_s = 1

    def __init__(self, rng, setting):
        super().__init__(rng, setting)
        self.keeps_icon = rng.random() < KEEP_ICON_SHARE

    def play(self, run):
        return run.restart_shell(self.pause, self.keeps_icon)


class Wait(Action):
    kind = "wait"

    def __init__(self, rng, setting):
        self.seconds = round(rng.uniform(0.1, 3), 2)

    def play(self, run):
        run.wait(self.seconds)
        return f"{self.seconds} s"


# (class, weight): how often each kind is drawn.
KINDS = [(Click, 10), (DoubleClick, 4), (OtherButton, 2), (Drag, 5), (MascotMenu, 8),
         (TrayClick, 6), (Pointer, 12), (Keys, 4), (Burst, 3), (TrayRestart, 1),
         (ShellRestart, 1), (Wait, 6)]


def draw(rng, setting):
    """One random action, by weight."""
    kind = rng.choices([entry[0] for entry in KINDS], [entry[1] for entry in KINDS])[0]
    return kind(rng, setting)
