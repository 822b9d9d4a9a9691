"""The z-order state the program must be in, followed from outside: the left presses delivered
to its window, the commands it received or a menu chose, and the ten seconds of ducking, counted
on its key-frame clock, whose epoch every command restarts (a command while ducked moves the end
of the ducking: it comes when the new epoch reaches the click's time on the old one plus ten
seconds).

Times are seconds with an uncertainty each: how far the program may have acted before or after
it. A state is only told where no change of it may lie within its uncertainty and MARGIN_S.
"""

from desktop_kit.program import DUCK_S, Z_BEHIND, Z_DUCKED, Z_FRONT

UNKNOWN = None
LEFT_BUTTON = 1
# The tick that makes a change, the stacking request it sends and the reading of the stacking
# lie within a few ticks of it.
MARGIN_S = 0.3


class Moment:
    def __init__(self, time, uncertainty):
        self.time = time
        self.uncertainty = uncertainty

    def later(self, seconds, uncertainty=0.0):
        return Moment(self.time + seconds, self.uncertainty + uncertainty)

    def surely_before(self, other):
        return self.time + self.uncertainty < other.time - other.uncertainty


class ZOrderModel:
    """commands: the command ids by name; start: the Moment of the program's first tick, when
    its first clock epoch begins."""

    def __init__(self, commands, start):
        self.effects = {commands["IDM_DUCK"]: Z_DUCKED, commands["IDM_ALWAYS_BEHIND"]: Z_BEHIND,
                        commands["IDM_ALWAYS_IN_FRONT"]: Z_FRONT}
        # What the events before the first one kept left: the state, the epoch's start and the
        # click's time on the clock.
        self.base = (Z_FRONT, start, Moment(0.0, 0.0))
        self.events = []  # (Moment, "press" or "command", button or id), in time order

    def press(self, moment, button):
        self._add(moment, "press", button)

    def command(self, moment, command):
        self._add(moment, "command", command)

    def _add(self, moment, kind, value):
        at = len(self.events)
        while at > 0 and self.events[at - 1][0].time > moment.time:
            at -= 1
        self.events.insert(at, (moment, kind, value))

    def forget_before(self, when):
        """Folds the events before `when` into the base, so that a long run stays quick; the
        state is then told only after `when`."""
        keep = [event for event in self.events if event[0].time >= when]
        self.events = self.events[:len(self.events) - len(keep)]
        self.base = self._replay()[1]
        self.events = keep

    def state(self, when):
        """The state at the time `when`, or UNKNOWN when it may be changing near it or the
        order of the events before it leaves it open."""
        timeline = self._timeline()
        for change, _ in timeline:
            if abs(when - change.time) <= change.uncertainty + MARGIN_S:
                return UNKNOWN
        state = self.base[0]
        for change, after in timeline:
            if change.time <= when:
                state = after
        return state

    def _timeline(self):
        """[(Moment of a change, state after it)]: every event, and every end of a ducking."""
        timeline, (state, epoch, click) = self._replay()
        if state == Z_DUCKED:
            timeline.append((epoch.later(click.time + DUCK_S, click.uncertainty), Z_FRONT))
        return timeline

    def _replay(self):
        """The changes the events make from the base, and what they leave."""
        state, epoch, click = self.base
        timeline = []
        for moment, kind, value in self.events:
            if state == Z_DUCKED:
                end = epoch.later(click.time + DUCK_S, click.uncertainty)
                if end.surely_before(moment):
                    state = Z_FRONT
                    timeline.append((end, state))
                elif not moment.surely_before(end):
                    state = UNKNOWN  # it may have ended before this event or not
                    timeline.append((end, state))
            if kind == "press":
                if value != LEFT_BUTTON:
                    continue
                state = Z_DUCKED
                click = Moment(moment.time - epoch.time, moment.uncertainty + epoch.uncertainty)
            else:
                epoch = moment
                state = self.effects.get(value, state)
            timeline.append((moment, state))
        return timeline, (state, epoch, click)
