// The extension as GNOME Shell 45 and later load it: an ES module whose default export is the
// extension.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import St from 'gi://St';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

export default class MascotExtension extends Extension {
    enable() {
        this._shell = new MascotShell(this.dir);
        this._shell.enable();
    }

    disable() {
        this._shell.disable();
        this._shell = null;
    }
}
