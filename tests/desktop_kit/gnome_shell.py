"""GNOME Shell as the tests run it: headless on Wayland inside the test's own D-Bus session, with
the private system bus it needs on these machines; its JavaScript reached through
org.gnome.Shell.Eval (unsafe mode: for the test's own pointer, clicks and looks only); the
program's extension switched with gnome-extensions, as a user does; its top-bar icon and menu."""

import ast
import json
import os
import subprocess

from desktop_kit.checks import Failure, poll_until_still, require, run, wait_for
from desktop_kit.processes import start, stop
from desktop_kit.program import ROOT
from desktop_kit.wayland import header_names

NAMES = header_names(os.path.join(ROOT, "host", "x11", "gnome_pointer.h"))
UUID = NAMES["MASCOT_GNOME_EXTENSION_UUID"]
SHELL = ["gnome-shell", "--wayland", "--headless", "--virtual-monitor", "1280x800",
         "--unsafe-mode"]
START_S = 60
SYSTEM_BUS = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:tmpdir={folder}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>
</policy></busconfig>
"""
# The test's own pointer, made once and kept, and the top-bar button of the extension.
POINTER = ("(globalThis.mascotTestPointer ??= imports.gi.Clutter.get_default_backend()"
           ".get_default_seat().create_virtual_device("
           "imports.gi.Clutter.InputDeviceType.POINTER_DEVICE))")
BUTTON = f"imports.ui.main.panel.statusArea[{json.dumps(UUID)}]"
# The menu as the shell shows it: a label for each item, null for a separator, [label, [...]]
# for a submenu.
MENU_TEXTS = """(function texts(menu) {
    return menu._getMenuItems().map(item =>
        item instanceof imports.ui.popupMenu.PopupSeparatorMenuItem ? null
        : item.menu ? [item.label.text, texts(item.menu)] : item.label.text);
})"""
# The centre of the item at the end of a path of labels, once it is on the screen.
ITEM_CENTRE = """((menu, path) => {
    let item;
    for (const label of path) {
        item = menu._getMenuItems().find(i => i.label?.text === label);
        if (!item || !item.mapped) return null;
        menu = item.menu;
    }
    const [x, y] = item.get_transformed_position(), [w, h] = item.get_transformed_size();
    return [Math.round(x + w / 2), Math.round(y + h / 2)];
})"""


class GnomeShell:
    """The shell started, its overview hidden, and this process's environment pointed at its
    Wayland display and Xwayland."""

    def __init__(self):
        folder = os.environ["XDG_RUNTIME_DIR"]
        config = os.path.join(folder, "system-bus.conf")
        with open(config, "w", encoding="utf-8") as out:
            out.write(SYSTEM_BUS.format(folder=folder))
        self.system_bus = start(["dbus-daemon", "--nofork", "--print-address",
                                 f"--config-file={config}"], stdout=subprocess.PIPE, text=True)
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = self.system_bus.stdout.readline().strip()
        self.process = start(SHELL, stderr=None)
        try:
            self._wait_ready()
        except BaseException:
            self.close()
            raise

    # It opens the overview once its start-up is over, which may be after the first hide.
    def _wait_ready(self):
        wait_for("GNOME Shell on the bus", lambda: self._try_eval("true"), START_S)
        wait_for("the overview hidden",
                 lambda: not self.eval("Main.overview.hide(), Main.overview.visible"), 20)
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "XAUTHORITY"):
            os.environ[name] = wait_for(f"the shell's {name}",
                                        lambda: self.eval(f"GLib.getenv('{name}')"), 20)

    def eval(self, script):
        """The value of a JavaScript expression in the shell (JSON's types)."""
        answer = self._try_eval(script)
        require(answer is not None, f"the shell did not evaluate {script}")
        return answer[0]

    def _try_eval(self, script):
        """[value], or None while the shell is not on the bus; gdbus prints the answer as
        (true, 'JSON'), close enough to Python's own literals."""
        printed = run(["gdbus", "call", "--session", "--dest", "org.gnome.Shell", "--object-path",
                       "/org/gnome/Shell", "--method", "org.gnome.Shell.Eval", script],
                      check=False)
        if not printed:
            return None
        ok, value = ast.literal_eval(printed.replace("(true,", "(True,", 1)
                                     .replace("(false,", "(False,", 1))
        if not ok:
            raise Failure(f"the shell failed on {script}: {value}")
        return [json.loads(value) if value else None]

    def move_pointer(self, x, y):
        """The compositor's own pointer, as a device would move it."""
        self.eval(f"{POINTER}.notify_absolute_motion(GLib.get_monotonic_time(), {x}, {y})")
        wait_for(f"the shell's pointer at ({x}, {y})",
                 lambda: self.eval("global.get_pointer().slice(0, 2)") == [x, y], 5)

    def click(self, x, y):
        self.move_pointer(x, y)
        for state in ("PRESSED", "RELEASED"):
            self.eval(f"{POINTER}.notify_button(GLib.get_monotonic_time(), "
                      f"imports.gi.Clutter.BUTTON_PRIMARY, "
                      f"imports.gi.Clutter.ButtonState.{state})")

    # --- the program's extension and its top-bar icon ---

    def switch_extension(self, on):
        run(["gnome-extensions", "enable" if on else "disable", UUID])
        wait_for(f"the extension {'enabled' if on else 'disabled'}",
                 lambda: self.eval(f"imports.ui.main.extensionManager.lookup("
                                   f"{json.dumps(UUID)})?.state") == (1 if on else 2), 10)

    def icon(self):
        """The centre of the extension's top-bar button, or None while it shows none."""
        return self.eval(f"(b => b && b.visible ? [Math.round(b.get_transformed_position()[0]"
                         f" + b.width / 2), Math.round(b.get_transformed_position()[1] + "
                         f"b.height / 2)] : null)({BUTTON})")

    def menu_texts(self):
        """The menu's labels, whether it is open or not (MENU_TEXTS)."""
        return self.eval(f"{MENU_TEXTS}({BUTTON}.menu)")

    def choose(self, *path):
        """Opens the top-bar menu and clicks through a path of labels, each item once it stands
        still on the screen (a submenu slides open)."""
        self.click(*wait_for("the top-bar icon", self.icon, 10))
        for depth, label in enumerate(path):
            script = f"{ITEM_CENTRE}({BUTTON}.menu, {json.dumps(path[:depth + 1])})"
            wait_for(f"the item {label}", lambda: self.eval(script), 5)
            self.click(*poll_until_still(lambda: self.eval(script), 0.3, 5))

    def close(self):
        stop(self.process, self.system_bus)
