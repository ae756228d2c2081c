#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The Debian packages of the table tools/ziele, made and tried the Debian way, into build-deb/:
# the source packages of the commit checked out (tools/quellpaket.sh), each line's package built
# by sbuild from its release's (tools/sbuild.sh: lintian, blhc), amd64's with the whole test suite,
# then tried where the line says "installiert": amd64's by piuparts (tools/piuparts.sh: install,
# purge, the upgrade from the version before; with "deb" this machine's release also with what it
# must fail: tests/piuparts_faengt.sh), on a fresh system with its autopkgtest, on GNOME
# Shell with Orca; another processor's on a fresh system of its own. Then the project's apt
# repository of them, signed with a throwaway key (tools/archiv.sh, build-deb/archiv/), and served
# over http to fresh systems: installed and upgraded (tests/aus_dem_archiv.sh), refused where
# altered (tests/archiv_verweigert.sh). As root:
#   tools/pakete.sh deb   every line's package, each built twice and compared, amd64's also from
#                         the tree's debian/ as it stands and by reprotest (tools/reprotest.sh;
#                         this machine's release also with what it must fail)
#   tools/pakete.sh ci    amd64's packages and their tries, as CI makes them
# Each line says how long it took.
set -eu
cd "$(dirname "$0")/.."
exec 3>&2
. tools/apt.sh
. tools/bauen.sh
was=$1
case $was in deb | ci) ;; *) echo "usage: $0 deb|ci" >&2; exit 2 ;; esac

# A release's package for a processor, from its source package in build-deb/quelle/, into
# build-deb/CODENAME/ARCHITECTURE/; amd64's source unpacked beside, for the autopkgtest.
paket() { # codename number architecture
    aus=build-deb/$1/$3
    dsc=$(ls build-deb/quelle/lotto-simulator_*~deb"$2"u1.dsc)
    tools/sbuild.sh "$1" "$3" "$dsc" "$aus"
    if [ "$was" = deb ]; then
        tools/sbuild.sh "$1" "$3" "$dsc" "$aus/nochmal" nocheck
        for d in "$aus"/*.deb; do
            cmp "$d" "$aus/nochmal/$(basename "$d")" ||
                { echo "not reproducible: $d and $aus/nochmal/$(basename "$d")" >&2; return 1; }
        done
        echo "== $aus: the same bits when built once more"
        if [ "$3" = amd64 ]; then
            tools/sbuild.sh "$1" amd64 "$(ls build-deb/quelle/lotto-simulator_*.dsc | grep -v '~deb')" \
                "$aus/wie-im-baum" nocheck
            tools/reprotest.sh "$1" "$dsc" "$aus/reprotest"
            [ "$1" != "$EIGENE" ] || tests/reprotest_faengt.sh "$1" "$dsc"
        fi
    fi
    [ "$3" != amd64 ] || dpkg-source -x "$dsc" "$aus/quelle" >/dev/null 2>&1
    (cd "$aus" && sha256sum ./*.deb)
    dpkg-deb -x "$aus"/lotto-simulator_*.deb "$aus/inhalt"
    if readelf -d "$aus/inhalt/usr/bin/lotto-simulator" | grep -E 'R(UN)?PATH'; then
        echo "the packaged program carries a library search path" >&2
        return 1
    fi
}

versuchen() { # codename number architecture
    deb=$(ls build-deb/"$1/$3"/lotto-simulator_*.deb)
    if [ "$3" = amd64 ]; then
        tools/piuparts.sh "$1" "$2" "$deb" "build-deb/$1/amd64/piuparts"
        [ "$was" != deb ] || [ "$1" != "$EIGENE" ] || tests/piuparts_faengt.sh "$1" "$2" "$deb"
        tests/frisches_system.sh "$1" "$deb" "build-deb/$1/amd64/quelle"
        tests/arbeitsplatz.sh "$1" "$deb"
    else
        tests/fremdes_system.sh "$1" "$3" "$deb"
    fi
}

install_debian "dpkg-dev, debootstrap, mmdebstrap, sbuild, uidmap, blhc, piuparts, autopkgtest,
                git, binutils, xz-utils, reprepro, gnupg, python3"
# The tries on a system of another processor: mmdebstrap asks arch-test whether it runs here.
[ "$was" = ci ] || install_debian "reprotest, diffoscope-minimal, arch-test, qemu-user-static"
rm -rf build-deb
# The buildd roots that built the packages before sbuild did.
(. tools/wurzel.sh && ungenutzt_weg "$WURZEL_CACHE"/*-buildd+bau-*)
tools/quellpaket.sh build-deb/quelle
tests/quellpaket.sh build-deb/quelle
# With "deb" a line that fails does not stop the others (a mirror may lack one processor's files);
# they are named at the end. A line runs as a process of its own, so that set -e holds in it.
fehlgeschlagen=$(mktemp)
trap 'rm -f "$fehlgeschlagen"' EXIT
echo "$ZIELE" | while read -r codename nummer arch _ _ flags; do
    [ -n "$codename" ] && hat "$flags" paket || continue
    [ "$was" = deb ] || [ "$arch" = amd64 ] || continue
    seit=$(date +%s)
    (
        paket "$codename" "$nummer" "$arch"
        ! hat "$flags" installiert || versuchen "$codename" "$nummer" "$arch"
    ) &
    status=0
    wait $! || status=$?
    if [ $status -ne 0 ]; then
        echo "== $codename $arch package: FAILED after $(($(date +%s) - seit)) s"
        [ "$was" = deb ] || exit 1
        echo "$codename $arch" >> "$fehlgeschlagen"
        continue
    fi
    echo "== $codename $arch package$(! hat "$flags" installiert || echo ' and its tries'): $(($(date +%s) - seit)) s"
done
# The project's repository of them, with a throwaway key; then as its users meet it, served over
# http: installed, upgraded, Debian 12 upgraded to 13, and refused where altered after signing;
# with "deb" also installed on the other processors' fresh systems.
tools/archiv.sh build-deb/archiv
tests/archiv.sh
gemessen() { # command...
    seit=$(date +%s)
    "$@"
    echo "== $*: $(($(date +%s) - seit)) s"
}
gemessen tests/aus_dem_archiv.sh build-deb
gemessen tests/archiv_verweigert.sh build-deb
[ "$was" = ci ] || echo "$ZIELE" | while read -r codename _ arch _ _ flags; do
    [ -n "$codename" ] && [ "$arch" != amd64 ] && hat "$flags" installiert || continue
    gemessen tests/aus_dem_archiv.sh build-deb "$codename" "$arch"
done
if [ -s "$fehlgeschlagen" ]; then
    echo "failed: $(paste -sd ',' "$fehlgeschlagen" | sed 's/,/, /g')" >&2
    exit 1
fi
