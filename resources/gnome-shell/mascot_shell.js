// The mascot's part inside GNOME Shell, shared by both forms of the extension: the pointer pushed
// to the running mascot, and a top-bar icon with the mascot's menu where no tray host runs.
// The build puts one form's imports and entry point (legacy_entry.js or module_entry.js) and the
// names and menu read from the program's headers (MASCOT, MASCOT_MENU) before it.

// Whoever shows StatusNotifierItems; where one runs the program's own tray icon is shown.
const TRAY_HOST = 'org.kde.StatusNotifierWatcher';
// No reply is wanted or waited for, and nothing is started: a mascot that hangs, dies or is
// absent costs the shell one queued message, never a wait.
const FIRE_AND_FORGET =
    Gio.DBusMessageFlags.NO_REPLY_EXPECTED | Gio.DBusMessageFlags.NO_AUTO_START;

class MascotShell {
    // GNOME 43-44 make it once in init(), where the shell wants nothing created or connected yet.
    constructor(dir) {
        this._dir = dir;
    }

    // The own name tells the mascot that the pushes come from here, and when they stop: they
    // start once it is held, so that the mascot knows the name before the first push.
    enable() {
        this._mascot = null; // the running mascot's unique name on the bus
        this._named = false;
        this._trayHost = false;
        this._ownName = Gio.bus_own_name(Gio.BusType.SESSION, MASCOT.shellName,
            Gio.BusNameOwnerFlags.NONE, null, () => this._onNamed(true),
            () => this._onNamed(false));
        this._mascotWatch = Gio.bus_watch_name(Gio.BusType.SESSION, MASCOT.busName,
            Gio.BusNameWatcherFlags.NONE, (_bus, _name, owner) => this._onMascot(owner),
            () => this._onMascot(null));
        this._trayWatch = Gio.bus_watch_name(Gio.BusType.SESSION, TRAY_HOST,
            Gio.BusNameWatcherFlags.NONE, () => this._onTrayHost(true),
            () => this._onTrayHost(false));
    }

    disable() {
        Gio.bus_unwatch_name(this._trayWatch);
        Gio.bus_unwatch_name(this._mascotWatch);
        Gio.bus_unown_name(this._ownName);
        this._named = false;
        this._onMascot(null);
    }

    // ---- The pointer ----------------------------------------------------------------------

    _onNamed(named) {
        this._named = named;
        this._stopFollowing();
        if (this._mascot && named)
            this._follow();
    }

    _onMascot(owner) {
        this._stopFollowing();
        this._mascot = owner;
        if (owner && this._named)
            this._follow();
        this._showIcon();
    }

    // GNOME 44 and later hand out the cursor tracker by the backend, 43 by the display.
    _follow() {
        this._tracker = global.backend?.get_cursor_tracker?.() ??
            Meta.CursorTracker.get_for_display(global.display);
        this._moved = this._tracker.connect('position-invalidated', () => this._pushPointer());
        this._last = null;
        this._pushPointer();
    }

    _stopFollowing() {
        if (!this._tracker)
            return;
        this._tracker.disconnect(this._moved);
        this._tracker = null;
    }

    _pushPointer() {
        const [x, y] = global.get_pointer();
        if (this._last && this._last[0] === x && this._last[1] === y)
            return;
        this._last = [x, y];
        this._send(MASCOT.moveMethod, new GLib.Variant('(ii)', [x, y]));
    }

    _send(method, body) {
        try {
            const message = Gio.DBusMessage.new_method_call(this._mascot, MASCOT.path,
                MASCOT.interfaceName, method);
            message.set_body(body);
            message.set_flags(FIRE_AND_FORGET);
            Gio.DBus.session.send_message(message, Gio.DBusSendMessageFlags.NONE);
        } catch (error) {
            console.warn(`mascot: ${method} not sent: ${error.message}`);
        }
    }

    // ---- The top-bar icon and its menu ----------------------------------------------------

    _onTrayHost(present) {
        this._trayHost = present;
        this._showIcon();
    }

    _showIcon() {
        const wanted = this._mascot !== null && !this._trayHost;
        if (wanted === Boolean(this._button))
            return;
        if (!wanted) {
            this._button.destroy();
            this._button = null;
            return;
        }
        this._button = new PanelMenu.Button(0.0, MASCOT.trayTip, false);
        this._button.add_child(new St.Icon({
            gicon: new Gio.FileIcon({file: this._dir.get_child('mascot-icon.png')}),
            style_class: 'system-status-icon',
        }));
        this._buildMenu(this._button.menu);
        Main.panel.addToStatusArea(MASCOT.uuid, this._button);
    }

    // The program's menu table, entry by entry, as its Qt menu builds it.
    _buildMenu(menu) {
        const levels = [menu];
        for (const entry of MASCOT_MENU) {
            const level = levels[levels.length - 1];
            if (entry.kind === 'SubmenuBegin') {
                const submenu = new PopupMenu.PopupSubMenuMenuItem(entry.text);
                level.addMenuItem(submenu);
                levels.push(submenu.menu);
            } else if (entry.kind === 'SubmenuEnd') {
                if (levels.length > 1)
                    levels.pop();
            } else if (entry.kind === 'Separator') {
                level.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
            } else {
                const item = new PopupMenu.PopupMenuItem(entry.text);
                item.connect('activate', () =>
                    this._send(MASCOT.commandMethod, new GLib.Variant('(u)', [entry.id])));
                level.addMenuItem(item);
            }
        }
    }
}
