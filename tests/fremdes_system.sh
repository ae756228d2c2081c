#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The package on a fresh system of its release and its own processor, as a user of a Raspberry Pi
# or such a board gets it: a minbase root of that processor, its programs run by qemu, the .deb
# installed by its own apt-get without recommended packages; --version and --help; the window on
# this machine's Xvfb, showing the ticket; apt-get purge leaving not one of its files. As root:
#   tests/fremdes_system.sh RELEASE ARCHITECTURE lotto-simulator_VERSION_ARCH.deb
set -eu
beginn=$(date +%s)
schritt() { echo "== $* (at $(($(date +%s) - beginn)) s)"; }
release=$1
arch=$2
deb=$(realpath "$3")
version=$(dpkg-deb -f "$deb" Version | sed 's/-[^-]*$//')
ARBEIT=$(mktemp -d /var/tmp/fremd.XXXXXX)
. "$(dirname "$0")/../tools/apt.sh"
. "$(dirname "$0")/../tools/wurzel.sh"
trap 'kill ${xserver:-} 2>/dev/null; wurzeln_weg' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }

wurzel fremd "$release" minbase haupt "$arch"
cp "$deb" "$ARBEIT/fremd/tmp/"
schritt "$release $arch: apt-get install --no-install-recommends ./$(basename "$deb")"
im fremd apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" > "$ARBEIT/installiert"
grep -E '^(Need to get|[0-9]+ upgraded)' "$ARBEIT/installiert"
[ "$(im fremd dpkg --print-architecture)" = "$arch" ] || fehler "not a root of $arch"
[ "$(im fremd lotto-simulator --version)" = "lotto-simulator $version" ] || fehler "--version"
im fremd lotto-simulator --help | grep -q -- '--version' || fehler "--help"

schritt "the window, on this machine's X server"
anzeige=:$((90 + $$ % 9))
Xvfb "$anzeige" -ac -screen 0 800x600x24 >/dev/null 2>&1 &
xserver=$!
i=0
until xdpyinfo -display "$anzeige" >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 600 ] || fehler "Xvfb did not start"
    sleep 0.1
done
mkdir -p "$ARBEIT/fremd/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$ARBEIT/fremd/tmp/.X11-unix"
im fremd env DISPLAY="$anzeige" XDG_RUNTIME_DIR=/tmp lotto-simulator >"$ARBEIT/programm.log" 2>&1 &
programm=$!
# However slow the emulation: until the window shows, for ten minutes at most.
i=0
until xwininfo -display "$anzeige" -name "Lotto Simmulator!" 2>/dev/null | grep -q IsViewable; do
    i=$((i + 1))
    [ $i -lt 6000 ] || { cat "$ARBEIT/programm.log"; fehler "no window"; }
    sleep 0.1
done
echo "the window after $((i / 10)) s"
# The ticket: white fields in black outlines with red numbers, on the window's pale yellow. Painted
# once the window shows; asked until it is there.
farben() {
    import -display "$anzeige" -window "Lotto Simmulator!" -crop 740x290+20+20 -depth 8 \
        -format %c histogram:info:- 2>/dev/null
}
zaehlen() { farben | awk -v f="$1" '$0 ~ f { gsub(":", "", $1); print $1 }'; }
i=0
until [ "$(zaehlen "#FF0000")" -gt 2000 ] 2>/dev/null; do
    i=$((i + 1))
    [ $i -lt 600 ] || fehler "no ticket on the window: $(farben)"
    sleep 0.1
done
for farbe in '#FFFFFF' '#000000' '#FAFAC8'; do
    [ "$(zaehlen "$farbe")" -gt 10000 ] || fehler "no $farbe on the ticket: $(farben)"
done
echo "its ticket: $(zaehlen '#FFFFFF') white, $(zaehlen '#000000') black, $(zaehlen '#FF0000') red pixels"
kill $programm
umount "$ARBEIT/fremd/tmp/.X11-unix"

schritt "apt-get purge lotto-simulator"
restlos_entfernen fremd lotto-simulator || fehler "files left after purge"
schritt "fresh $release $arch: installed, started, purged"
