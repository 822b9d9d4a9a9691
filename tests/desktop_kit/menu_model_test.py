#!/usr/bin/env python3
"""The menu model the monkey walks: the menu read from the resource script, the key paths that
reach each item, and the keys each toolkit's menu answers differently.
"""

import unittest

from desktop_kit.menu_model import SEPARATOR, MenuWalk, Resources, keys_to, tour_keys
from desktop_kit.program import RESOURCE_SCRIPT


def leaves(items):
    for item in items:
        if item is SEPARATOR:
            continue
        if item.submenu:
            yield from leaves(item.submenu)
        else:
            yield item


class MenuTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        resources = Resources(RESOURCE_SCRIPT)
        cls.menu = resources.menu
        cls.commands = resources.commands

    def walk(self, keys, return_closes_unselected=True):
        walk = MenuWalk(self.menu, return_closes_unselected)
        for key in keys:
            walk.press(key)
        return walk

    def test_items_carry_ids_of_the_table(self):
        ids = [item.command for item in leaves(self.menu)]
        self.assertIn(self.commands["IDM_EXIT"], ids)
        self.assertTrue(set(ids) <= set(self.commands.values()))
        self.assertEqual(len(ids), len(set(ids)))

    def test_the_path_to_each_item_chooses_it(self):
        for item in leaves(self.menu):
            walk = self.walk(keys_to(self.menu, item.command))
            self.assertTrue(walk.closed)
            self.assertIs(walk.chosen, item, item.text)

    def test_the_tour_chooses_nothing_and_closes(self):
        walk = self.walk(tour_keys(self.menu))
        self.assertTrue(walk.closed)
        self.assertIsNone(walk.chosen)

    def test_up_from_nothing_takes_the_last_item_and_arrows_wrap(self):
        plain = [item for item in self.menu if item is not SEPARATOR]
        self.assertIs(self.walk(["Up"]).selected(), plain[-1])
        self.assertIs(self.walk(["Up", "Down"]).selected(), plain[0])

    def test_left_and_escape_close_only_the_submenu(self):
        for key in ("Left", "Escape"):
            walk = self.walk(["Down", "Right", key])
            self.assertFalse(walk.closed)
            self.assertIs(walk.selected(), self.menu[0])

    def test_return_with_nothing_selected(self):
        windows = self.walk(["Return"], return_closes_unselected=True)
        self.assertTrue(windows.closed)
        self.assertIsNone(windows.chosen)
        qt = self.walk(["Left", "Return"], return_closes_unselected=False)
        self.assertFalse(qt.closed)
        self.assertIs(self.walk(["Return", "Escape"], False).closed, True)


if __name__ == "__main__":
    unittest.main()
