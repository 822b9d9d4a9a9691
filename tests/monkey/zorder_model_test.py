#!/usr/bin/env python3
"""The z-order model the X11 monkey follows, on the cases the tick's state machine lays down:
the ten seconds of a click, a command that moves their end, the duck command that keeps the
click's time, always behind and in front, and where the model must refuse to tell.
"""

import unittest

from desktop_kit.program import COMMANDS, Z_BEHIND, Z_DUCKED, Z_FRONT
from zorder_model import MARGIN_S, UNKNOWN, Moment, ZOrderModel

DUCK = COMMANDS["IDM_DUCK"]
BEHIND, IN_FRONT = COMMANDS["IDM_ALWAYS_BEHIND"], COMMANDS["IDM_ALWAYS_IN_FRONT"]
MODE = COMMANDS["IDM_RANDOM16"]  # a command that leaves the z-order alone
EXACT = 0.0


def model(start=0.0):
    return ZOrderModel(COMMANDS, Moment(start, EXACT))


class ClickTest(unittest.TestCase):
    def test_front_until_a_left_press(self):
        m = model()
        m.press(Moment(5.0, EXACT), 1)
        self.assertEqual(m.state(4.0), Z_FRONT)
        self.assertEqual(m.state(6.0), Z_DUCKED)
        self.assertEqual(m.state(14.5), Z_DUCKED)
        self.assertEqual(m.state(15.5), Z_FRONT)

    def test_other_buttons_change_nothing(self):
        m = model()
        for button in (2, 3, 4, 5, 6, 7):
            m.press(Moment(5.0 + button, EXACT), button)
        self.assertEqual(m.state(9.0), Z_FRONT)

    def test_a_click_while_behind_ends_in_front(self):
        m = model()
        m.command(Moment(1.0, EXACT), BEHIND)
        m.press(Moment(3.0, EXACT), 1)
        self.assertEqual(m.state(2.0), Z_BEHIND)
        self.assertEqual(m.state(12.5), Z_DUCKED)
        self.assertEqual(m.state(13.5), Z_FRONT)

    def test_no_answer_near_a_change(self):
        m = model()
        m.press(Moment(5.0, EXACT), 1)
        self.assertEqual(m.state(5.0 + MARGIN_S / 2), UNKNOWN)
        self.assertEqual(m.state(15.0 - MARGIN_S / 2), UNKNOWN)


class CommandTest(unittest.TestCase):
    def test_a_command_while_ducked_moves_the_end(self):
        # Click 5 s into the first epoch; a command at 8 s starts a new one, so the ducking ends
        # when that epoch reaches 5 + 10 s: at 23 s.
        m = model()
        m.press(Moment(5.0, EXACT), 1)
        m.command(Moment(8.0, EXACT), MODE)
        self.assertEqual(m.state(20.0), Z_DUCKED)
        self.assertEqual(m.state(22.5), Z_DUCKED)
        self.assertEqual(m.state(23.5), Z_FRONT)

    def test_the_duck_command_keeps_the_click_time(self):
        m = model()
        m.press(Moment(30.0, EXACT), 1)      # clock at 30 s
        m.command(Moment(50.0, EXACT), DUCK)    # new epoch: ducked until it reaches 40 s
        self.assertEqual(m.state(45.0), Z_FRONT)
        self.assertEqual(m.state(89.0), Z_DUCKED)
        self.assertEqual(m.state(90.5), Z_FRONT)

    def test_the_duck_command_before_any_click_lasts_ten_seconds(self):
        m = model(start=2.0)
        m.command(Moment(7.0, EXACT), DUCK)
        self.assertEqual(m.state(16.5), Z_DUCKED)
        self.assertEqual(m.state(17.5), Z_FRONT)

    def test_in_front_and_behind_hold_until_changed(self):
        m = model()
        m.command(Moment(1.0, EXACT), BEHIND)
        self.assertEqual(m.state(100.0), Z_BEHIND)
        m.command(Moment(101.0, EXACT), IN_FRONT)
        self.assertEqual(m.state(200.0), Z_FRONT)

    def test_events_arrive_out_of_order(self):
        m = model()
        m.command(Moment(9.0, EXACT), BEHIND)
        m.press(Moment(5.0, EXACT), 1)
        self.assertEqual(m.state(7.0), Z_DUCKED)
        self.assertEqual(m.state(20.0), Z_BEHIND)


class UncertaintyTest(unittest.TestCase):
    def test_an_uncertain_command_widens_the_span_not_told(self):
        m = model()
        m.command(Moment(10.0, 1.0), BEHIND)
        self.assertEqual(m.state(10.0 + 1.0 + MARGIN_S / 2), UNKNOWN)
        self.assertEqual(m.state(12.0), Z_BEHIND)

    def test_an_end_that_may_come_before_or_after_a_command_leaves_the_state_open(self):
        # The ducking ends at 15 s give or take a second; a mode command at 15.2 s may have come
        # before the end (moving it to 25.2 s) or after it (front from 15 s on).
        m = ZOrderModel(COMMANDS, Moment(0.0, 1.0))
        m.press(Moment(5.0, EXACT), 1)
        m.command(Moment(15.2, EXACT), MODE)
        self.assertEqual(m.state(20.0), UNKNOWN)
        m.command(Moment(30.0, EXACT), DUCK)  # ducked again, with the click's old time
        self.assertEqual(m.state(35.0), Z_DUCKED)

    def test_forgetting_old_events_keeps_the_state(self):
        m = model()
        m.press(Moment(5.0, EXACT), 1)
        m.command(Moment(8.0, EXACT), MODE)
        m.forget_before(10.0)
        self.assertEqual(m.state(20.0), Z_DUCKED)
        self.assertEqual(m.state(23.5), Z_FRONT)


if __name__ == "__main__":
    unittest.main()
