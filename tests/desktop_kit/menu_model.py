"""The popup menu and the command ids as the resource script defines them (resources/mascot.rc
with the headers it includes), and where a path of keys through the menu ends.

The end-to-end tests choose items by the key paths it gives; the monkey plays random key paths in
the real menu, and this model tells it beforehand which item a path chooses, so that it can log
the choice and never end the program by chance.
"""

import os
import re

from desktop_kit.headers import ROOT, defines

SEPARATOR = None


class Item:
    def __init__(self, text, command=None, submenu=None):
        self.text = text
        self.command = command  # None for a submenu
        self.submenu = submenu  # list of items (separators as SEPARATOR) or None


VALUE = r'"[^"]*"|\w+'  # a quoted text or the name of a #define
TOKEN = re.compile(rf'POPUP\s+(?P<popup>{VALUE})|MENUITEM\s+(?P<separator>SEPARATOR)'
                   rf'|MENUITEM\s+(?P<item>{VALUE})\s*,\s*(?P<command>\w+)'
                   r'|\b(?P<block>BEGIN|END)\b')
INCLUDE = re.compile(r'^#include\s+"([^"]+)"', re.M)


class Resources:
    """The resource script's menu and the #defines of the headers it includes (paths from the
    checkout's root)."""

    def __init__(self, script):
        with open(os.path.join(ROOT, script), encoding="utf-8") as source:
            text = source.read()
        self.defines = {}
        for header in INCLUDE.findall(text):
            self.defines.update(defines(header))
        self.menu = self._parse_menu(text)
        self.commands = {name: value for name, value in self.defines.items()
                         if name.startswith("IDM_")}

    def _value(self, word):
        """A quoted text, a number or the value of a #define."""
        if word.startswith('"'):
            return word[1:-1]
        return int(word) if word.isdigit() else self.defines[word]

    def _parse_menu(self, text):
        """The shown popup: the items of the first POPUP."""
        top = Item("", submenu=[])
        open_items = [top]  # the popup whose BEGIN..END block is being read, innermost last
        last_popup = None
        for token in TOKEN.finditer(text):
            if token["popup"] is not None:
                last_popup = Item(self._value(token["popup"]), submenu=[])
                open_items[-1].submenu.append(last_popup)
            elif token["block"] == "BEGIN" and last_popup is not None:
                open_items.append(last_popup)
                last_popup = None
            elif token["block"] == "END" and len(open_items) > 1:
                open_items.pop()
            elif token["separator"]:
                open_items[-1].submenu.append(SEPARATOR)
            elif token["item"] is not None:
                item = Item(self._value(token["item"]), self._value(token["command"]))
                open_items[-1].submenu.append(item)
        return top.submenu[0].submenu


class MenuWalk:
    """Where the keyboard selection is while a path of keys goes through the open menu.

    Arrow keys move within the innermost open level and wrap around, skipping separators; with
    nothing selected yet, Down takes the first item and Up the last. Right or Return on a submenu
    item opens it with its first item selected; Left and Escape close the innermost submenu, and
    Escape on the top level closes the whole menu. Return on a plain item chooses it; with
    nothing selected it closes the menu where the toolkit does so (Windows) and is ignored
    otherwise (Qt).
    """

    def __init__(self, items, return_closes_unselected=True):
        self.levels = [[items, None]]  # (items, selected index) per open level
        self.return_closes_unselected = return_closes_unselected
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
            if self.selected() is None and not self.return_closes_unselected:
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
