#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Nobody but the key's holder can slip a package into the project's apt repository: apt refuses
# it, and installs nothing from it, when its InRelease and Release.gpg are signed by another key,
# when a Packages file names another package's checksums than were signed for, when a .deb was
# swapped after signing (both at the same size, so that only the checksums can tell), and when the signature has outlived its Valid-Until, as on a mirror that stopped
# updating. The repository (tools/archiv.sh, with a throwaway key, of FOLDER, build-deb/ by
# default) and each altered copy of it are served by nginx on 127.0.0.1 (tools/webserver.sh) to a
# fresh minbase system of each release, whose .sources file (the repository's own, with its key)
# names that copy, after the repository itself has installed there (and was purged); Debian 12's
# apt verifies with gpgv, Debian 13's with Sequoia's sqv. As root:
#   tests/archiv_verweigert.sh [FOLDER]
set -eu
cd "$(dirname "$0")/.."
beginn=$(date +%s)
fehler() { echo "FAIL: $*" >&2; exit 1; }
pakete=$(realpath "${1:-build-deb}")
prozessor=$(dpkg --print-architecture)
ARBEIT=$(mktemp -d /var/tmp/verweigert.XXXXXX)
. tools/apt.sh
. tools/wurzel.sh
. tools/webserver.sh
trap wurzeln_weg EXIT

tools/archiv.sh "$ARBEIT/echt" "$pakete" > "$ARBEIT/archiv.log" 2>&1 ||
    { cat "$ARBEIT/archiv.log"; fehler "tools/archiv.sh"; }
releases=$(awk '/^Codename:/ { c = $2 } /^Version:/ { print $2, c }' "$ARBEIT/echt/conf/distributions" | sort -n | cut -d' ' -f2)
pool=pool/main/l/lotto-simulator

# A package of the same name that is not ours, as an intruder makes it: it would leave its mark.
fremdpaket() { # version file
    mkdir -p "$ARBEIT/fremd-paket/DEBIAN" "$ARBEIT/fremd-paket/usr/share"
    printf 'Package: lotto-simulator\nVersion: %s\nArchitecture: %s\nMaintainer: x <x@example.org>\nDescription: not ours\n' \
        "$1" "$prozessor" > "$ARBEIT/fremd-paket/DEBIAN/control"
    echo "slipped in" > "$ARBEIT/fremd-paket/usr/share/eingeschleust"
    dpkg-deb --root-owner-group -b "$ARBEIT/fremd-paket" "$2" >/dev/null
}
signieren() { # copy gnupg-home: every suite's Release signed anew
    for d in "$ARBEIT/$1"/dists/*/; do
        rm -f "$d/InRelease" "$d/Release.gpg"
        GNUPGHOME=$2 gpg --batch --quiet --clearsign -o "$d/InRelease" "$d/Release"
        GNUPGHOME=$2 gpg --batch --quiet --detach-sign --armor -o "$d/Release.gpg" "$d/Release"
    done
}

# The copies, each what the web server serves: the repository itself, and altered after signing.
cp -a "$ARBEIT/echt/debian" "$ARBEIT/heil"
cp -a "$ARBEIT/echt/debian" "$ARBEIT/fremder-schluessel"
mkdir -m 700 "$ARBEIT/fremd-gnupg"
GNUPGHOME=$ARBEIT/fremd-gnupg gpg --batch --quiet --passphrase '' --quick-generate-key \
    "intruder <intruder@example.org>" ed25519 sign 1d 2>/dev/null
signieren fremder-schluessel "$ARBEIT/fremd-gnupg"

# An intruder's package for ours in the pool, and each Packages file altered to name its checksums
# (the same length, so the file keeps its size); the compressed forms are gone, as apt then falls
# back to the plain file.
cp -a "$ARBEIT/echt/debian" "$ARBEIT/packages-geaendert"
for deb in "$ARBEIT/packages-geaendert/$pool"/lotto-simulator_*_"$prozessor".deb; do
    echt=$(sha256sum < "$deb" | cut -d' ' -f1)
    echt_md5=$(md5sum < "$deb" | cut -d' ' -f1)
    rm "$deb"
    fremdpaket "$(dpkg-deb -f "$ARBEIT/echt/debian/$pool/$(basename "$deb")" Version)" "$deb"
    for index in "$ARBEIT"/packages-geaendert/dists/*/main/binary-"$prozessor"; do
        rm -f "$index/Packages.gz" "$index/Packages.xz"
        sed -i "s/$echt/$(sha256sum < "$deb" | cut -d' ' -f1)/; s/$echt_md5/$(md5sum < "$deb" | cut -d' ' -f1)/" "$index/Packages"
    done
done

# Our package's file in the pool swapped for the intruder's, of the same name, version and size.
cp -a "$ARBEIT/echt/debian" "$ARBEIT/deb-getauscht"
for deb in "$ARBEIT/deb-getauscht/$pool"/lotto-simulator_*_"$prozessor".deb; do
    groesse=$(stat -c %s "$deb")
    rm "$deb"
    fremdpaket "$(dpkg-deb -f "$ARBEIT/echt/debian/$pool/$(basename "$deb")" Version)" "$deb"
    truncate -s "$groesse" "$deb"
done

# The same Release, as a mirror keeps it when it stopped updating: valid until two days ago.
cp -a "$ARBEIT/echt/debian" "$ARBEIT/abgelaufen"
for release in "$ARBEIT"/abgelaufen/dists/*/Release; do
    sed -i "s/^Date: .*/Date: $(date -u -R -d '-32 days' | sed 's/+0000/UTC/')/;
            s/^Valid-Until: .*/Valid-Until: $(date -u -R -d '-2 days' | sed 's/+0000/UTC/')/" "$release"
done
signieren abgelaufen "$ARBEIT/echt/gnupg"

set --
for kopie in heil fremder-schluessel packages-geaendert deb-getauscht abgelaufen; do
    set -- "$@" "$kopie=$ARBEIT/$kopie"
done
webserver "$@"

# In a fresh system of each release: apt update of the repository alone (Debian's lists stay), then
# apt-get install, which must take nothing from a copy it refused. apt's own words are shown.
for codename in $releases; do
    nutzer=nutzer-$codename
    wurzel "$nutzer" "$codename" minbase
    im_apt "$nutzer" update -qq
    pruefer=$(im "$nutzer" sh -c 'command -v sqv || command -v gpgv')
    echo "== $codename: apt $(im "$nutzer" dpkg-query -W -f '${Version}' apt), verifying with $pruefer"
    # The repository itself first: it must install, and is purged again. What it brought stays,
    # so that a copy would need nothing but its own package, which apt then downloads into a
    # folder of its own, not the one the roots of the release share.
    sed "s|^URIs: .*|URIs: $WEBSERVER/heil|" "$ARBEIT/echt/debian/dists/$codename/lotto-simulator.sources" \
        > "$ARBEIT/$nutzer/etc/apt/sources.list.d/lotto-simulator.sources"
    im_apt "$nutzer" update -qq
    im_apt "$nutzer" install -y -qq --no-install-recommends lotto-simulator >/dev/null
    version=$(dpkg-deb -f "$(ls "$pakete/$codename/$prozessor"/lotto-simulator_*.deb | sort -V | tail -1)" Version)
    [ "$(im "$nutzer" dpkg-query -W -f '${Version}' lotto-simulator)" = "$version" ] ||
        fehler "$codename: the repository itself did not install its version"
    im "$nutzer" apt-get purge -y -qq lotto-simulator >/dev/null
    mkdir -p "$ARBEIT/$nutzer/tmp/archives/partial"
    echo "   the repository itself: lotto-simulator $version installed, purged"
    # copy  where apt must refuse it (update or install) and how
    while read -r kopie wo grund; do
        sed "s|^URIs: .*|URIs: $WEBSERVER/$kopie|" "$ARBEIT/echt/debian/dists/$codename/lotto-simulator.sources" \
            > "$ARBEIT/$nutzer/etc/apt/sources.list.d/lotto-simulator.sources"
        status=0
        im "$nutzer" apt-get update -o Dir::Etc::SourceList=/dev/null -o APT::Get::List-Cleanup=false \
            -o Acquire::Retries=0 > "$ARBEIT/update" 2>&1 || status=$?
        if [ "$wo" = install ]; then
            [ $status = 0 ] && ! grep -q '^[EW]:' "$ARBEIT/update" ||
                { cat "$ARBEIT/update"; fehler "$codename $kopie: apt-get update refused it"; }
        fi
        status=0
        im "$nutzer" apt-get install -y --no-install-recommends -o Acquire::Retries=0 \
            -o Dir::Cache::Archives=/tmp/archives/ lotto-simulator > "$ARBEIT/install" 2>&1 || status=$?
        [ $status != 0 ] || { cat "$ARBEIT/install"; fehler "$codename $kopie: apt-get install took it"; }
        [ "$(im "$nutzer" dpkg-query -W -f '${db:Status-Status}' lotto-simulator 2>/dev/null)" != installed ] ||
            fehler "$codename $kopie: lotto-simulator installed"
        [ ! -e "$ARBEIT/$nutzer/usr/share/eingeschleust" ] || fehler "$codename $kopie: the intruder's file is there"
        gesagt=$(grep -E "$grund" "$ARBEIT/$wo" | head -1)
        [ -n "$gesagt" ] || { cat "$ARBEIT/update" "$ARBEIT/install"; fehler "$codename $kopie: apt-get $wo did not refuse it for \"$grund\""; }
        echo "   $kopie: refused by apt-get $wo, nothing installed: $(echo "$gesagt" | sed "s|$WEBSERVER||g; s/^ *//" | cut -c1-200)"
        [ "$wo" = install ] || echo "      apt-get install: $(grep -E '^E:' "$ARBEIT/install" | head -1)"
    done <<'FAELLE'
fremder-schluessel update NO_PUBKEY|Missing key|not signed|signatures were invalid|couldn't be verified
packages-geaendert update Hash Sum mismatch
deb-getauscht install Hash Sum mismatch
abgelaufen update is expired
FAELLE
done
echo "== refused on $(echo "$releases" | paste -sd ' '), in $(($(date +%s) - beginn)) s"
