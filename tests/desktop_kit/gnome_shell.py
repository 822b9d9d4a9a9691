"""GNOME Shell as the tests run it: headless on Wayland in the test's own D-Bus session, with the
private system bus it needs on these machines, on a plain background; its JavaScript reached
through org.gnome.Shell.Eval (unsafe mode: for the test's own pointer, clicks and looks only); the
program's extension switched with gnome-extensions, as a user does; its top-bar icon and menu."""

import ast
import json
import os
import subprocess

from desktop_kit.checks import Failure, require, run, wait_for
from desktop_kit.processes import start, stop
from desktop_kit.headers import defines
from desktop_kit.screen import ROOT_GREY

UUID = defines("host/x11/gnome_pointer.h")["MASCOT_GNOME_EXTENSION_UUID"]
BUS = defines("host/x11/mascot_bus.h")  # the program's object
SHELL = ["gnome-shell", "--wayland", "--headless", "--virtual-monitor", "1280x800",
         "--unsafe-mode"]
# A plain background, the X tests' root grey (GNOME's own picture is blue like the mascot), and no
# banners over the windows (the shell greets root with one).
SETTINGS = (("background", "picture-uri", ""), ("background", "picture-uri-dark", ""),
            ("background", "picture-options", "none"),
            ("background", "color-shading-type", "solid"),
            ("background", "primary-color", "#%02x%02x%02x" % ROOT_GREY),
            ("notifications", "show-banners", "false"))
SYSTEM_BUS = ('<busconfig><type>system</type><listen>unix:tmpdir={}</listen><auth>EXTERNAL</auth>'
              '<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/>'
              '<allow own="*"/></policy></busconfig>')
# The test's own pointer, made once and kept; an actor's centre while it is on the screen; the
# extension's top-bar button; its menu as [label, centre, submenu] items, null for a separator.
POINTER = ("(globalThis.mascotTestPointer ??= imports.gi.Clutter.get_default_backend()"
           ".get_default_seat().create_virtual_device(imports.gi.Clutter.InputDeviceType"
           ".POINTER_DEVICE))")
CENTRE = ("(a => (c => a?.mapped && c.every(Number.isFinite) ? c : null)([0, 1].map(i => "
          "Math.round(a?.get_transformed_position()[i] + a?.get_transformed_size()[i] / 2))))")
BUTTON = f"imports.ui.main.panel.statusArea[{json.dumps(UUID)}]"
MENU = f"""(function items(menu) {{
    return menu._getMenuItems().map(i => i instanceof imports.ui.popupMenu.PopupSeparatorMenuItem
        ? null : [i.label.text, {CENTRE}(i), i.menu ? items(i.menu) : null]);
}})({BUTTON}.menu)"""


class GnomeShell:
    """The shell started, without animations or overview, and this process's environment
    pointed at its Wayland display and Xwayland."""

    def __init__(self):
        for schema, key, value in SETTINGS:
            run(["gsettings", "set", f"org.gnome.desktop.{schema}", key, value])
        config = os.path.join(os.environ["XDG_RUNTIME_DIR"], "system-bus.conf")
        with open(config, "w", encoding="utf-8") as out:
            out.write(SYSTEM_BUS.format(os.environ["XDG_RUNTIME_DIR"]))
        self.system_bus = start(["dbus-daemon", "--nofork", "--print-address",
                                 f"--config-file={config}"], stdout=subprocess.PIPE, text=True)
        os.environ["DBUS_SYSTEM_BUS_ADDRESS"] = self.system_bus.stdout.readline().strip()
        self.process = start(SHELL, stderr=None)
        try:
            wait_for("GNOME Shell on the bus", lambda: self._try_eval("true"), 60)
            # It opens the overview once its start-up is over, after a first hide may have been.
            wait_for("the overview hidden", lambda: not self.eval(
                "imports.gi.St.Settings.get().inhibit_animations(), Main.layoutManager._startingUp"
                " || (Main.overview.hide(), Main.overview.visible)"), 20)
            for name in ("WAYLAND_DISPLAY", "DISPLAY", "XAUTHORITY"):
                os.environ[name] = self.eval(f"GLib.getenv('{name}')")
        except BaseException:
            self.close()
            raise

    @staticmethod
    def eval(script):
        """The value of a JavaScript expression in the shell (JSON's types)."""
        answer = GnomeShell._try_eval(script)
        require(answer is not None, f"the shell did not evaluate {script}")
        return answer[0]

    @staticmethod
    def _try_eval(script):
        """[value], or None while the shell is not on the bus; gdbus prints (true, 'JSON')."""
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

    @staticmethod
    def activate_native():
        """Brings the native Wayland window to the front, as the shell does for a window the user
        opens from it; one that a program maps by itself stays behind the focused window."""
        native = ("global.display.list_all_windows().find(w => w.get_client_type() === "
                  "imports.gi.Meta.WindowClientType.WAYLAND)")
        wait_for("the native window focused", lambda: GnomeShell.eval(
            f"(w => w?.has_focus() || (w?.activate(global.display.get_current_time_roundtrip()), "
            f"false))({native})"), 5)

    def move_pointer(self, x, y):
        """The compositor's own pointer, as a device moves it."""
        self.eval(f"{POINTER}.notify_absolute_motion(GLib.get_monotonic_time(), {x}, {y})")
        wait_for(f"the shell's pointer at ({x}, {y})",
                 lambda: self.eval("global.get_pointer().slice(0, 2)") == [x, y], 5)

    def click(self, x, y):
        self.move_pointer(x, y)
        for state in ("PRESSED", "RELEASED"):
            self.eval(f"{POINTER}.notify_button(GLib.get_monotonic_time(), 1, "
                      f"imports.gi.Clutter.ButtonState.{state})")

    def switch_extension(self, on):
        run(["gnome-extensions", "enable" if on else "disable", UUID])
        wait_for(f"the extension {'on' if on else 'off'}", lambda: self.eval(
            f"Main.extensionManager.lookup('{UUID}')?.state") == (1 if on else 2), 10)

    def icon(self):
        """The centre of the extension's top-bar button, or None while there is none."""
        return self.eval(f"{CENTRE}({BUTTON})")

    def choose(self, *path):
        """Opens the top-bar menu and clicks through a path of labels."""
        self.click(*wait_for("the top-bar icon", self.icon, 10))
        for depth, label in enumerate(path):
            def centre():
                items = self.eval(MENU)
                for step in path[:depth + 1]:
                    entry = next(item for item in items if item and item[0] == step)
                    items = entry[2]
                return entry[1]
            self.click(*wait_for(f"the item {label}", centre, 5))

    def processes(self):
        """The processes in the order they started: stopped the other way round."""
        return [self.system_bus, self.process]

    def close(self):
        stop(*reversed(self.processes()))
