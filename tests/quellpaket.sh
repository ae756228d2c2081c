#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The source packages are the same bytes for the same commit, whoever makes them where: made again
# from another clone, in another folder, at another time, time zone, locale and umask, each file
# equals the one in OUT. As root or not:
#   tests/quellpaket.sh OUT        (OUT as tools/quellpaket.sh made it of HEAD)
set -eu
cd "$(dirname "$0")/.."
aus=$(realpath "$1")
arbeit=$(mktemp -d /tmp/anderswo.XXXXXX)
trap 'rm -rf "$arbeit"' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }

git clone -q . "$arbeit/klon"
git -C "$arbeit/klon" checkout -q "$(git rev-parse HEAD)"
sleep 1 # another second of the clock
(umask 077 && cd "$arbeit/klon" && TZ=Pacific/Kiritimati LC_ALL=de_DE.UTF-8 LANGUAGE=fr \
    tools/quellpaket.sh "$arbeit/neu" HEAD >/dev/null)
anzahl=0
for datei in "$aus"/*.orig.tar.* "$aus"/*.dsc "$aus"/*.debian.tar.*; do
    cmp "$datei" "$arbeit/neu/$(basename "$datei")" || fehler "$(basename "$datei") differs"
    anzahl=$((anzahl + 1))
done
[ $anzahl -ge 7 ] || fehler "only $anzahl files to compare in $aus"
echo "== the source packages made again elsewhere: the same bytes ($anzahl files)"
