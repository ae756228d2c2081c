#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The project's apt repository as its users meet it: made by tools/archiv.sh, with a throwaway key,
# of the packages tools/pakete.sh built (FOLDER, build-deb/ by default), and served by nginx on
# 127.0.0.1 (tools/webserver.sh). On a fresh minbase system of each release the README's own two
# lines add the repository and install the program, without recommended packages; it answers
# --version with the repository's version, and apt source fetches and unpacks its source. Then a
# next version, with a changelog entry made here, is published into the same repository and comes
# with apt update && apt upgrade; and the Debian 12 system, its sources switched to Debian 13 as
# Debian's release notes say, ends with Debian 13's package after apt full-upgrade, and the
# program starts. With RELEASE and ARCHITECTURE, on a fresh system of that release and processor
# (its programs run by qemu): the install, --version and apt source alone. As root:
#   tests/aus_dem_archiv.sh [FOLDER [RELEASE ARCHITECTURE]]
set -eu
cd "$(dirname "$0")/.."
beginn=$(date +%s)
schritt() { echo "== $* (at $(($(date +%s) - beginn)) s)"; }
fehler() { echo "FAIL: $*" >&2; exit 1; }
pakete=$(realpath "${1:-build-deb}")
nur_release=${2:-}
prozessor=${3:-$(dpkg --print-architecture)}
ARBEIT=$(mktemp -d /var/tmp/archiv.XXXXXX)
. tools/apt.sh
. tools/wurzel.sh
. tools/webserver.sh
trap wurzeln_weg EXIT

mkdir -p "$ARBEIT/archiv/debian"
webserver debian="$ARBEIT/archiv/debian"
adresse=$WEBSERVER/debian
tools/archiv.sh -u "$adresse" "$ARBEIT/archiv" "$pakete" > "$ARBEIT/archiv.log" 2>&1 ||
    { cat "$ARBEIT/archiv.log"; fehler "tools/archiv.sh"; }
releases=$(awk '/^Codename:/ { c = $2 } /^Version:/ { print $2, c }' "$ARBEIT/archiv/conf/distributions" | sort -n | cut -d' ' -f2)
[ -z "$nur_release" ] || releases=$nur_release

# The version of the program in a suite of the repository, for the processor or of the source.
im_archiv() { # codename [source]
    index=binary-$prozessor/Packages
    [ -z "${2:-}" ] || index=source/Sources
    awk -v RS= '/(^|\n)Package: lotto-simulator\n/ { sub(/.*\nVersion: /, ""); sub(/\n.*/, ""); print }' \
        "$ARBEIT/archiv/debian/dists/$1/main/$index"
}
installiert() { # root
    im "$1" dpkg-query -W -f '${Version}' lotto-simulator
}
# The program answers with the upstream part of its package's version; and a window starts.
antwortet() { # root
    v=$(installiert "$1")
    [ "$(im "$1" lotto-simulator --version)" = "lotto-simulator ${v%-*}" ] || fehler "$1: --version"
}
laeuft() { # root
    antwortet "$1"
    status=0
    im "$1" env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp timeout 5 lotto-simulator \
        > "$ARBEIT/$1.start" 2>&1 || status=$?
    [ $status = 124 ] || { cat "$ARBEIT/$1.start"; fehler "$1: the program ended with $status at its start"; }
}

# The README's lines, from the README, with the repository's address for the project's domain. A
# user answers apt's question; a minbase system has no wget (a standard one has) and no sudo.
zeilen=$(sed -n '/^## Get it/,/^## / p' README.md | sed -n '/^```sh$/,/^```$/ { /^```/d; p }' |
    sed "s|https://example.org/debian|$adresse|g; s/sudo //g")
echo "$zeilen" | grep -q 'apt install lotto-simulator' || fehler "no install line in the README"

for codename in $releases; do
    nutzer=nutzer-$codename
    schritt "$codename $prozessor: a fresh system, the README's lines"
    if [ "$prozessor" = "$(dpkg --print-architecture)" ]; then
        wurzel "$nutzer" "$codename" minbase
    else
        wurzel "$nutzer" "$codename" minbase haupt "$prozessor"
    fi
    printf 'APT::Get::Assume-Yes "true";\nAPT::Install-Recommends "false";\n' > "$ARBEIT/$nutzer/etc/apt/apt.conf.d/90nutzer"
    im_apt "$nutzer" update -qq
    im_apt "$nutzer" install -qq wget >/dev/null
    vertraut=$(ls -A "$ARBEIT/$nutzer/etc/apt/trusted.gpg.d" "$ARBEIT/$nutzer/etc/apt/trusted.gpg" 2>/dev/null || true)
    apt_versuchen im "$nutzer" sh -c "$zeilen" > "$ARBEIT/$nutzer.log" 2>&1 || { cat "$ARBEIT/$nutzer.log"; fehler "$codename: the README's lines"; }
    [ "$(ls -A "$ARBEIT/$nutzer/etc/apt/trusted.gpg.d" "$ARBEIT/$nutzer/etc/apt/trusted.gpg" 2>/dev/null || true)" = "$vertraut" ] ||
        fehler "$codename: a key put into apt's global trust"
    grep -E '^(Get:.*lotto-simulator|Need to get|Setting up lotto-simulator)' "$ARBEIT/$nutzer.log"
    [ "$(installiert "$nutzer")" = "$(im_archiv "$codename")" ] || fehler "$codename: not the repository's version"
    antwortet "$nutzer"
    echo "lotto-simulator $(installiert "$nutzer") installed; --version: $(im "$nutzer" lotto-simulator --version)"

    schritt "$codename $prozessor: apt source lotto-simulator"
    im_apt "$nutzer" install -qq dpkg-dev >/dev/null
    apt_versuchen im "$nutzer" sh -c 'cd /tmp && apt source lotto-simulator' > "$ARBEIT/$nutzer.quelle" 2>&1 ||
        { cat "$ARBEIT/$nutzer.quelle"; fehler "$codename: apt source"; }
    quelle=$(ls -d "$ARBEIT/$nutzer"/tmp/lotto-simulator-*/)
    [ "$(dpkg-parsechangelog -l "$quelle/debian/changelog" -S Version)" = "$(im_archiv "$codename" source)" ] ||
        fehler "$codename: apt source unpacked another version"
    [ -f "$quelle/src/Kugelzug.cpp" ] || fehler "$codename: no source in $quelle"
    echo "unpacked $(basename "$quelle"), its changelog at $(im_archiv "$codename")"
done
[ -z "$nur_release" ] || exit 0

# The next version of each release: its source with a changelog entry, its package with that
# version and changelog, as built anew but for those (the same build, to spare one of some
# minutes). Laid out as tools/pakete.sh lays out packages.
schritt "the next version, published into the same repository"
for codename in $releases; do
    dsc=$ARBEIT/archiv/debian/pool/main/l/lotto-simulator/lotto-simulator_$(im_archiv "$codename" source).dsc
    q=$ARBEIT/naechste/$codename
    mkdir -p "$q"
    dpkg-source -x "$dsc" "$q/baum" >/dev/null 2>&1
    bisher=$(dpkg-parsechangelog -l "$q/baum/debian/changelog" -S Version)
    neu=$(echo "$bisher" | awk -F'[-~]' '{ printf "%s-%d~%s", $1, $2 + 1, $3 }')
    {
        echo "lotto-simulator ($neu) $codename; urgency=medium"
        echo
        echo "  * The next version, published into the repository by its test."
        echo
        echo " -- $(dpkg-parsechangelog -l "$q/baum/debian/changelog" -S Maintainer)  $(date -u -R)"
        echo
        cat "$q/baum/debian/changelog"
    } > "$q/changelog"
    cp "$q/changelog" "$q/baum/debian/changelog"
    (cd "$q" && dpkg-source -b baum >/dev/null 2>&1)
    mkdir -p "$ARBEIT/naechste/quelle" "$ARBEIT/naechste/$codename/$prozessor"
    cp "$q"/lotto-simulator_"$neu".* "$q"/lotto-simulator_*.orig.tar.xz "$ARBEIT/naechste/quelle/"
    deb=$(ls "$pakete/$codename/$prozessor"/lotto-simulator_*.deb | sort -V | tail -1)
    dpkg-deb -R "$deb" "$q/paket"
    sed -i "s/^Version: .*/Version: $neu/" "$q/paket/DEBIAN/control"
    gzip -9n < "$q/changelog" > "$q/paket/usr/share/doc/lotto-simulator/changelog.Debian.gz"
    (cd "$q/paket" && find usr -type f | sort | xargs md5sum > DEBIAN/md5sums)
    dpkg-deb --root-owner-group -Zxz -b "$q/paket" "$ARBEIT/naechste/$codename/$prozessor/lotto-simulator_${neu}_$prozessor.deb" >/dev/null
done
tools/archiv.sh -u "$adresse" "$ARBEIT/archiv" "$ARBEIT/naechste" > "$ARBEIT/archiv.log" 2>&1 ||
    { cat "$ARBEIT/archiv.log"; fehler "tools/archiv.sh, the next version"; }
for codename in $releases; do
    nutzer=nutzer-$codename
    vorher=$(installiert "$nutzer")
    apt_versuchen im "$nutzer" sh -c 'apt update && apt upgrade' > "$ARBEIT/$nutzer.log" 2>&1 || { cat "$ARBEIT/$nutzer.log"; fehler "$codename: apt upgrade"; }
    [ "$(installiert "$nutzer")" = "$(im_archiv "$codename")" ] && [ "$(installiert "$nutzer")" != "$vorher" ] ||
        fehler "$codename: $(installiert "$nutzer") after apt upgrade, the repository has $(im_archiv "$codename")"
    laeuft "$nutzer"
    echo "$codename: apt upgrade: $vorher to $(installiert "$nutzer"); started"
done

# Debian 12 to 13, as Debian's release notes have it: every source names the new release, then
# apt update and apt full-upgrade.
von=$(echo "$releases" | head -1)
nach=$(echo "$releases" | tail -1)
[ "$von" != "$nach" ] || exit 0
nutzer=nutzer-$von
schritt "$von to $nach: the sources switched, apt full-upgrade"
vorher=$(installiert "$nutzer")
sed -i "s/\b$von\b/$nach/g" "$ARBEIT/$nutzer/etc/apt/sources.list" "$ARBEIT/$nutzer/etc/apt/sources.list.d/lotto-simulator.sources"
printf 'Dpkg::Options { "--force-confdef"; "--force-confold"; };\n' >> "$ARBEIT/$nutzer/etc/apt/apt.conf.d/90nutzer"
im_apt "$nutzer" update -qq
im_apt "$nutzer" full-upgrade -q > "$ARBEIT/$nutzer.log" || { cat "$ARBEIT/$nutzer.log"; fehler "$von to $nach: apt full-upgrade"; }
grep -E '^[0-9]+ upgraded' "$ARBEIT/$nutzer.log" || true
[ "$(im "$nutzer" sh -c '. /etc/os-release && echo $VERSION_CODENAME')" = "$nach" ] || fehler "the system is not $nach"
[ "$(installiert "$nutzer")" = "$(im_archiv "$nach")" ] ||
    fehler "$von to $nach: lotto-simulator $(installiert "$nutzer"), the repository's $nach has $(im_archiv "$nach")"
laeuft "$nutzer"
schritt "$von to $nach: lotto-simulator $vorher to $(installiert "$nutzer"); started"
