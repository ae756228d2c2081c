#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# tools/archiv.sh on packages that stand in for the real ones (made here by dpkg-deb, quickly; the
# source packages are the tree's own, of its version): each suite is signed so that the key in its .sources file
# verifies it and lasts its 30 days, a next version replaces the one before under the same key,
# a key given as a file signs without its secret part landing in the repository, and a key that
# Debian 13's apt would refuse signs nothing. Needs reprepro, gnupg, dpkg-dev, git:
#   tests/archiv.sh
set -eu
cd "$(dirname "$0")/.."
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }
RELEASES=$(grep -v '^#' tools/ziele | awk 'NF { print $1, $2 }' | sort -u)

# The packages of a version, laid out as tools/pakete.sh lays them out.
pakete() { # folder debian-revision
    tools/quellpaket.sh "$1/quelle" >/dev/null
    echo "$RELEASES" | while read -r codename nummer; do
        version=1.2-$2~deb${nummer}u1
        p=$1/$codename/amd64/p
        mkdir -p "$p/DEBIAN"
        printf 'Package: lotto-simulator\nVersion: %s\nArchitecture: amd64\nSection: education\nPriority: optional\nMaintainer: x <x@example.org>\nDescription: stand-in\n' \
            "$version" > "$p/DEBIAN/control"
        dpkg-deb -b "$p" "$1/$codename/amd64/lotto-simulator_${version}_amd64.deb" >/dev/null
    done
}

# Verifies a suite by the key its .sources file carries; prints the signing key's fingerprint.
pruefen() { # repository codename
    sed -n '/^Signed-By:/,$ { /^Signed-By:/d; s/^ //; s/^\.$//; p }' \
        "$1/debian/dists/$2/lotto-simulator.sources" | gpg --dearmor > "$arbeit/schluessel.gpg"
    for unterschrift in "InRelease" "Release.gpg Release"; do
        # shellcheck disable=SC2086
        (cd "$1/debian/dists/$2" && gpgv --status-fd 1 --keyring "$arbeit/schluessel.gpg" $unterschrift 2>/dev/null) |
            awk '$2 == "VALIDSIG" { print $3 }' > "$arbeit/fpr"
        [ -s "$arbeit/fpr" ] || fehler "$2: $unterschrift does not verify with the key of its .sources"
    done
    bis=$(date -d "$(sed -n 's/^Valid-Until: //p' "$1/debian/dists/$2/Release")" +%s)
    tage=$(((bis - $(date +%s)) / 86400))
    [ "$tage" -ge 29 ] && [ "$tage" -le 30 ] || fehler "$2: valid for $tage days"
    cat "$arbeit/fpr"
}

pakete "$arbeit/v1" 1
tools/archiv.sh "$arbeit/archiv" "$arbeit/v1" > "$arbeit/log" 2>&1 || { cat "$arbeit/log"; fehler "archiv.sh"; }
grep -q 'made a throwaway key' "$arbeit/log" || fehler "the throwaway key was made unsaid"
pakete "$arbeit/v2" 2
tools/archiv.sh "$arbeit/archiv" "$arbeit/v2" > "$arbeit/log" 2>&1 || { cat "$arbeit/log"; fehler "archiv.sh, next version"; }
echo "$RELEASES" | while read -r codename nummer; do
    v=$(sed -n 's/^Version: //p' "$arbeit/archiv/debian/dists/$codename/main/binary-amd64/Packages" | paste -sd ' ')
    [ "$v" = "1.2-2~deb${nummer}u1" ] || fehler "$codename: Packages has $v"
    [ "$(pruefen "$arbeit/archiv" "$codename")" = "$(GNUPGHOME=$arbeit/archiv/gnupg gpg --with-colons --list-secret-keys 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }')" ] ||
        fehler "$codename: not signed by the throwaway key"
done
echo "== a throwaway key, a next version under the same key: verified by the .sources' key"

# A maintainer's key, as a file.
mkdir -m 700 "$arbeit/eigen"
GNUPGHOME=$arbeit/eigen gpg --batch --quiet --passphrase '' --quick-generate-key "maintainer <m@example.org>" rsa3072 sign 1y 2>/dev/null
GNUPGHOME=$arbeit/eigen gpg --batch --armor --export-secret-keys > "$arbeit/eigen.key"
GNUPGHOME=$arbeit/eigen gpgconf --kill gpg-agent
eigen=$(GNUPGHOME=$arbeit/eigen gpg --with-colons --list-secret-keys 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }')
tools/archiv.sh -k "$arbeit/eigen.key" "$arbeit/mit-schluessel" "$arbeit/v1" > "$arbeit/log" 2>&1 ||
    { cat "$arbeit/log"; fehler "archiv.sh -k"; }
grep -rlq 'PRIVATE KEY' "$arbeit/mit-schluessel" && fehler "the secret key is in the repository"
echo "$RELEASES" | while read -r codename _; do
    [ "$(pruefen "$arbeit/mit-schluessel" "$codename")" = "$eigen" ] || fehler "$codename: not signed by the key given"
done
echo "== a maintainer's key file: it signs, its secret part stays out"

# Keys that Debian 13's apt would refuse, or refuse within the month: not signed with.
while read -r algorithmus dauer; do
    rm -rf "$arbeit/alt" && mkdir -m 700 "$arbeit/alt"
    GNUPGHOME=$arbeit/alt gpg --batch --quiet --passphrase '' --quick-generate-key "old <o@example.org>" "$algorithmus" sign "$dauer" 2>/dev/null
    ! tools/archiv.sh -k "$arbeit/alt" "$arbeit/mit-altem" "$arbeit/v1" > "$arbeit/log" 2>&1 || fehler "signed with $algorithmus for $dauer"
    GNUPGHOME=$arbeit/alt gpgconf --kill gpg-agent
    echo "== not signed with a $algorithmus key for $dauer: $(grep -m1 'a signing key' "$arbeit/log")"
done <<'SCHLUESSEL'
rsa1024 1y
dsa2048 1y
ed25519 20d
SCHLUESSEL
