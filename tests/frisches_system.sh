#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The package on a fresh Debian system of its release, as a user gets it: a minbase root from the
# machine's own Debian mirror, the .deb installed there with apt-get without recommended packages,
# checked and purged; then the package's autopkgtest, which starts the program and looks for its
# window and icon, in another such root. As root:
#   tests/frisches_system.sh RELEASE lotto-simulator_VERSION_ARCH.deb source-dir
set -eu
beginn=$(date +%s)
schritt() { echo "== $* (at $(($(date +%s) - beginn)) s)"; }
release=$1
deb=$(realpath "$2")
quelle=$(realpath "$3")
version=$(dpkg-deb -f "$deb" Version | sed 's/-[^-]*$//')
ARBEIT=$(mktemp -d /var/tmp/frisch.XXXXXX)
. "$(dirname "$0")/../tools/apt.sh"
. "$(dirname "$0")/../tools/wurzel.sh"
trap wurzeln_weg EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }

wurzel frisch "$release" minbase
cp "$deb" "$ARBEIT/frisch/tmp/"
im_apt frisch update -qq
im frisch dpkg-query -W -f '${Package}\n' | sort > "$ARBEIT/vorher"
schritt "$release: apt-get install --no-install-recommends ./$(basename "$deb")"
im frisch apt-get install -y --no-install-recommends "/tmp/$(basename "$deb")" > "$ARBEIT/installiert"
grep -E '^(Need to get|[0-9]+ upgraded)' "$ARBEIT/installiert"
im frisch dpkg-query -W -f '${Package}\n' | sort | comm -13 "$ARBEIT/vorher" - > "$ARBEIT/neu"
echo "$(wc -l < "$ARBEIT/neu") packages installed"
if grep -E -- '-dev$|^(gcc|g\+\+|cpp|clang|binutils|make$)' "$ARBEIT/neu"; then
    fehler "a development package or a compiler came with the package"
fi

[ "$(im frisch lotto-simulator --version)" = "lotto-simulator $version" ] || fehler "--version"
im frisch lotto-simulator --help | grep -q -- '--version' || fehler "--help"
schrift=$(im frisch fc-match -f '%{family[0]}' courier:bold)
echo "courier is $schrift"
echo "$schrift" | grep -qxE 'DejaVu Sans Mono|Liberation Mono|Nimbus Mono PS' || fehler "a face untested"

schritt "apt-get purge lotto-simulator"
restlos_entfernen frisch lotto-simulator || fehler "files left after purge"

schritt "autopkgtest, in another fresh root"
wurzel autopkgtest "$release" minbase
autopkgtest "$deb" "$quelle" -- chroot "$ARBEIT/autopkgtest" > "$ARBEIT/autopkgtest.log" 2>&1 ||
    { cat "$ARBEIT/autopkgtest.log"; fehler "autopkgtest"; }
grep -E '^smoke +PASS' "$ARBEIT/autopkgtest.log" | tail -1
schritt "fresh $release: installed, purged; started by the autopkgtest"
