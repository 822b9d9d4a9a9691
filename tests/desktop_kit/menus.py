"""Popup menus: a right click repeated until a menu shows, and keys typed once the menu has
taken the keyboard, which is some time after it shows."""

from desktop_kit.checks import Failure, poll_until_still, wait_for
from desktop_kit.screen import Screen
from desktop_kit.xdo import click_moving, keys

SETTLED_S = 0.3       # a menu's picture unchanged this long has finished drawing
TAKES_KEY_S = 2       # how long a menu that has the keyboard may take to show a key's effect
KEY_ATTEMPTS = 5


class KeysNotTaken(Failure):
    """A menu showed but heard none of its first key's presses."""


class NoMenu(Failure):
    """Right clicks that opened no menu."""


def open_menu(where, menus, attempts, timeout=3, clicker=click_moving, before=None):
    """Right-clicks at where() until menus() gives one; returns (click point, its first menu).
    before(), if given, runs ahead of each click (to note the windows already shown)."""
    for _ in range(attempts):
        if before is not None:
            before()
        point = where()
        clicker(*point, 3)
        try:
            return point, wait_for("a menu", menus, timeout)[0]
        except Failure:
            continue
    raise NoMenu(f"no menu after {attempts} right clicks")


def type_into(box, *key_names, picture=None):
    """Types into the open menu at box once it takes keys: its first key is pressed until the
    menu's picture changes (an item highlighted), then the others go in. picture() gives the
    menu's pixels; by default the screen's in box."""
    picture = picture or (lambda: Screen().area(*box))
    shown = poll_until_still(picture, SETTLED_S, 5)
    for attempt in range(KEY_ATTEMPTS):
        if attempt and picture() != shown:
            break  # the last press was taken after all, late: pressing again would go one further
        keys(key_names[0])
        try:
            wait_for(f"the menu to take {key_names[0]}", lambda: picture() != shown, TAKES_KEY_S)
            break
        except Failure:
            continue
    else:
        raise KeysNotTaken(f"the menu took no {key_names[0]} in {KEY_ATTEMPTS} presses")
    if key_names[1:]:
        keys(*key_names[1:])
