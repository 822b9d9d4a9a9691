"""The popup menu as resources/mascot.rc defines it, and where a path of keys through it ends.

The monkey plays random key paths in the real menu; this model tells it beforehand which item a
path chooses, so that it can log the choice and never end the program by chance.
"""

import re

SEPARATOR = None


class Item:
    def __init__(self, text, command=None, submenu=None):
        self.text = text
        self.command = command  # None for a submenu
        self.submenu = submenu  # list of items (separators as SEPARATOR) or None


TOKEN = re.compile(r'POPUP\s+"(?P<popup>[^"]*)"|MENUITEM\s+(?P<separator>SEPARATOR)'
                   r'|MENUITEM\s+"(?P<item>[^"]*)"\s*,\s*(?P<command>\d+)|\b(?P<block>BEGIN|END)\b')


def parse_menu(rc_text):
    """The shown popup (the first POPUP's items) from the text of a resource script."""
    top = Item("", submenu=[])
    open_items = [top]  # the popup whose BEGIN..END block is being read, innermost last
    last_popup = None
    for token in TOKEN.finditer(rc_text):
        if token["popup"] is not None:
            last_popup = Item(token["popup"], submenu=[])
            open_items[-1].submenu.append(last_popup)
        elif token["block"] == "BEGIN" and last_popup is not None:
            open_items.append(last_popup)
            last_popup = None
        elif token["block"] == "END" and len(open_items) > 1:
            open_items.pop()
        elif token["separator"]:
            open_items[-1].submenu.append(SEPARATOR)
        elif token["item"] is not None:
            open_items[-1].submenu.append(Item(token["item"], command=int(token["command"])))
    return top.submenu[0].submenu  # the first top-level popup is the one shown


class MenuWalk:
    """Where the keyboard selection is while a path of keys goes through the open menu.

    Arrow keys move within the innermost open level and wrap around, skipping separators; with
    nothing selected yet, Down takes the first item and Up the last. Right or Return on a submenu
    item opens it with its first item selected; Left and Escape close the innermost submenu, and
    Escape on the top level closes the whole menu. Return on a plain item chooses it.
    """

    def __init__(self, items):
        self.levels = [[items, None]]  # (items, selected index) per open level
        self.closed = False
        self.chosen = None  # the Item chosen, once the menu has closed on a choice

    def selected(self):
        items, index = self.levels[-1]
        return None if index is None else items[index]

    def _move(self, step):
        level = self.levels[-1]
        items, index = level
        if index is None:
            index = -1 if step > 0 else len(items)
        while True:
            index = (index + step) % len(items)
            if items[index] is not SEPARATOR:
                break
        level[1] = index

    def _open_submenu(self):
        item = self.selected()
        if item is None or item.submenu is None:
            return False
        self.levels.append([item.submenu, None])
        self._move(1)
        return True

    def press(self, key):
        if self.closed:
            return
        if key == "Down":
            self._move(1)
        elif key == "Up":
            self._move(-1)
        elif key == "Right":
            self._open_submenu()
        elif key in ("Left", "Escape"):
            if len(self.levels) > 1:
                self.levels.pop()
            elif key == "Escape":
                self.closed = True
        elif key == "Return":
            if self._open_submenu():
                return
            self.chosen = self.selected()
            self.closed = True

    def would_choose(self):
        """The item a Return would choose now (None for a submenu item or no selection)."""
        item = self.selected()
        return None if item is None or item.submenu is not None else item


def keys_to(items, command):
    """The Down/Right keys from a fresh menu to the item carrying `command`, then Return."""
    downs = 0
    for item in items:
        if item is SEPARATOR:
            continue
        downs += 1
        if item.command == command:
            return ["Down"] * downs + ["Return"]
        inner = keys_to(item.submenu, command) if item.submenu else None
        if inner:
            # An opened submenu has its first item selected already: one Down fewer.
            return ["Down"] * downs + ["Right"] + inner[1:]
    return None


def tour_keys(items):
    """Keys that highlight every item of the menu and of its first submenu, choose nothing and
    close it again: Down over every item, Up back to the first, Right into the submenu, Down
    over its items, Escape twice."""
    plain = [item for item in items if item is not SEPARATOR]
    first = plain[0]
    inner = [item for item in (first.submenu or []) if item is not SEPARATOR]
    return ["Down"] * len(plain) + ["Up"] * (len(plain) - 1) + ["Right"] + \
        ["Down"] * len(inner) + ["Escape", "Escape"]
