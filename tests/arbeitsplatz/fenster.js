// SPDX-License-Identifier: GPL-2.0-or-later
// Prints each window that GNOME Shell knows, as "app-id<TAB>title": what the dash, Alt+Tab and the
// launcher's running dot go by. The shell answers only its portal; this takes the portal's name.
const {Gio, GLib} = imports.gi;

const bus = Gio.DBus.session;
bus.call_sync('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
    'RequestName', new GLib.Variant('(su)', ['org.freedesktop.impl.portal.desktop.gtk', 4]),
    null, Gio.DBusCallFlags.NONE, -1, null);
const antwort = bus.call_sync('org.gnome.Shell', '/org/gnome/Shell/Introspect',
    'org.gnome.Shell.Introspect', 'GetWindows', null, null, Gio.DBusCallFlags.NONE, -1, null);
const [fenster] = antwort.deep_unpack();
for (const id in fenster) {
    const wert = name => (fenster[id][name] ? fenster[id][name].unpack() : '-');
    print(`${wert('app-id')}\t${wert('title')}`);
}
