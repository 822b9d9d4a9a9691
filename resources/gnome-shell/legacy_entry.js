// The extension as GNOME Shell 43 and 44 load it: imports.* and init() returning the object
// whose enable() and disable() the shell calls.
const {Gio, GLib, Meta, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;

function init(extension) {
    return new MascotShell(extension.dir);
}
