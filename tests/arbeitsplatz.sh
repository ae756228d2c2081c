#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The package on the desktop a new user of its release has: GNOME Shell on X11 and on Wayland, and
# the screen reader Orca, in a fresh root; Orca also under the window managers of the other
# desktops Debian's installer offers most. GNOME Shell must know whose window it is however the
# simulator is started, and Orca must tell what a draw and a run brought, whatever had the focus. What the session stops
# in its root, it stops there alone: a process of each such name on this machine outlives it. As
# root:
#   tests/arbeitsplatz.sh RELEASE lotto-simulator_VERSION_amd64.deb
set -eu
release=$1
deb=$(realpath "$2")
hier=$(dirname "$(realpath "$0")")
ARBEIT=$(mktemp -d /var/tmp/arbeitsplatz.XXXXXX)
. "$hier/../tools/apt.sh"
. "$hier/../tools/wurzel.sh"
attrappen=$(mktemp -d)
trap 'kill $draussen 2>/dev/null; rm -rf "$attrappen"; wurzeln_weg' EXIT

# As a maintainer's own desktop has them, outside the root: the shell, XWayland, a simulator and
# Orca (which the session finds by its command line).
draussen=
for name in gnome-shell Xwayland lotto-simulator; do
    cp /bin/sleep "$attrappen/$name"
    "$attrappen/$name" infinity &
    draussen="$draussen $!"
done
printf '#!/bin/sh\nwhile :; do sleep 1; done\n' > "$attrappen/orca"
sh "$attrappen/orca" --replace &
draussen="$draussen $!"

wurzel gnome "$release" desktop
cp "$deb" "$ARBEIT/gnome/tmp/"
cp -r "$hier/arbeitsplatz" "$ARBEIT/gnome/opt/"
im gnome apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >/dev/null
echo "| release | session | Qt's Wayland plugin | started from | app-id |"
echo "|---|---|---|---|---|"
# GNOME on Wayland and X11; Orca under the window managers of Xfce, MATE and KDE Plasma on X11.
for sitzung in wayland x11 "x11 xfwm4" "x11 marco" "x11 kwin_x11"; do
    log="$ARBEIT/$(echo "$sitzung" | tr ' ' -).log"
    # What the shell, Orca and their helpers print goes to a log, shown if a check fails.
    # shellcheck disable=SC2086
    im gnome sh /opt/arbeitsplatz/sitzung.sh $sitzung 2>"$log" || { tail -40 "$log"; exit 1; }
    grep -hE "FAIL|once more|follows no focus|for dead" "$log" || true # what a new session followed
done
lebt() { # pid: running, not ended (a child that was killed stays a zombie until it is waited for)
    zustand=$(ps -o stat= -p "$1" 2>/dev/null)
    [ -n "$zustand" ] && [ "${zustand#Z}" = "$zustand" ]
}
for pid in $draussen; do
    lebt "$pid" ||
        { echo "FAIL: the session in the root stopped a process outside it: $pid" >&2; exit 1; }
done
echo "== outside the root, gnome-shell, Xwayland, lotto-simulator and orca --replace still run"
