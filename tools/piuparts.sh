#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# A package tried by piuparts, as Debian tries every package it ships: on a minbase system of the
# release's main suite (a tarball mmdebstrap makes, kept for the week), installed and purged with
# nothing of it left and nothing else changed; then the version before (tools/vorgaenger.sh: the
# packages the project built of it, in a repository of their own beside the mirror) installed,
# upgraded to this one, and purged; or from the packages in a folder given. Its log goes to
# OUT/piuparts.log. As root:
#   tools/piuparts.sh RELEASE NUMBER DEB OUT [FOLDER]
set -eu
hier=$(dirname "$(realpath "$0")")
release=$1
nummer=$2
deb=$(realpath "$3")
aus=$(realpath -m "$4")
. "$hier/apt.sh"
. "$hier/wurzel.sh"
ARBEIT=$(mktemp -d /var/tmp/piuparts.XXXXXX)
trap 'rm -rf "$ARBEIT"' EXIT

basis=$WURZEL_CACHE/$release-piuparts-$(dpkg --print-architecture).tar.gz
if ! frisch "$basis"; then
    echo "== mmdebstrap --variant=minbase $release for piuparts, from $WURZEL_SPIEGEL"
    mkdir -p "$WURZEL_CACHE"
    apt_versuchen mmdebstrap --quiet --variant=minbase --aptopt='Acquire::Retries "3"' \
        "$release" "$basis.teil.tar.gz" "deb $WURZEL_SPIEGEL $release main"
    mv "$basis.teil.tar.gz" "$basis"
fi

if [ -n "${5:-}" ]; then
    mkdir "$ARBEIT/vorher"
    cp "$5"/*.deb "$ARBEIT/vorher/" 2>/dev/null || true
    (cd "$ARBEIT/vorher" && dpkg-scanpackages --multiversion . > Packages 2>/dev/null)
else
    "$hier/vorgaenger.sh" "$release" "$nummer" "$ARBEIT/vorher"
fi
mkdir -p "$aus"
rm -f "$aus/piuparts.log" # piuparts adds to a log that is there
anfang=$(date +%s)
# Debian 13's apt extracts the debconf templates of what it installs into a folder of debconf's
# cache, and leaves the folder: no package's, and unknown to Debian 12's piuparts.
piuparts --ignore=/var/cache/debconf/tmp.ci/ --basetgz="$basis" --distribution="$release" --mirror="$WURZEL_SPIEGEL" \
    --update-retries=3 --tmpdir="$ARBEIT" --bindmount="$ARBEIT/vorher" \
    --extra-repo="deb [trusted=yes] file://$ARBEIT/vorher ./" \
    --log-file="$aus/piuparts.log" "$deb" >/dev/null 2>&1 || {
    tail -40 "$aus/piuparts.log"
    echo "piuparts: $(basename "$deb") on $release" >&2
    exit 1
}
# Both tests ran, not only the first: the version before was found, and this one unpacked over it.
alt=$(dpkg-deb -f "$(ls "$ARBEIT"/vorher/lotto-simulator_*.deb 2>/dev/null || echo -)" Version 2>/dev/null || echo none)
neu=$(dpkg-deb -f "$deb" Version)
for zeile in 'PASS: Installation and purging test' 'PASS: Installation, upgrade and purging tests' \
    "Unpacking lotto-simulator ($neu) over ($alt)"; do
    grep -qF "$zeile" "$aus/piuparts.log" ||
        { echo "piuparts on $release: no \"$zeile\" in its log" >&2; tail -20 "$aus/piuparts.log" >&2; exit 1; }
done
echo "== piuparts $(dpkg-query -W -f '${Version}' piuparts) on $release, in $(($(date +%s) - anfang)) s: install and purge; $alt, upgraded to $neu, and purge: PASS"
