#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The package on the desktop a new user of its release has: GNOME Shell on X11 and on Wayland, and
# the screen reader Orca, in a fresh root. GNOME Shell must know whose window it is however the
# simulator is started, and Orca must tell what a draw and a run brought. As root:
#   tests/arbeitsplatz.sh RELEASE lotto-simulator_VERSION_amd64.deb
set -eu
release=$1
deb=$(realpath "$2")
hier=$(dirname "$(realpath "$0")")
ARBEIT=$(mktemp -d /var/tmp/arbeitsplatz.XXXXXX)
. "$hier/../tools/wurzel.sh"
trap wurzeln_weg EXIT

wurzel gnome "$release" desktop
cp "$deb" "$ARBEIT/gnome/tmp/"
cp -r "$hier/arbeitsplatz" "$ARBEIT/gnome/opt/"
im gnome apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >/dev/null
echo "| release | session | Qt's Wayland plugin | started from | app-id |"
echo "|---|---|---|---|---|"
for sitzung in wayland x11; do
    # What the shell, Orca and their helpers print goes to a log, shown if a check fails.
    im gnome sh /opt/arbeitsplatz/sitzung.sh $sitzung 2>"$ARBEIT/$sitzung.log" ||
        { tail -40 "$ARBEIT/$sitzung.log"; exit 1; }
    grep -h "once more" "$ARBEIT/$sitzung.log" || true
done
