#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The project's apt repository, made by reprepro from the packages tools/pakete.sh made (build-deb/,
# or a FOLDER laid out the same way): a suite for each release of tools/ziele, named by its
# codename, with the binary packages of every processor built for it and its source package. Its
# InRelease and Release.gpg are signed with KEY, a secret key's file or a GnuPG home; without one,
# with a throwaway key made on the first run and kept in OUT/gnupg/ for the next. A Release is
# valid for 30 days: a run with nothing new signs it anew. Into OUT:
#   debian/               what the web server serves, as URL (https://example.org/debian until the
#                         project has a domain of its own): dists/, pool/,
#                         the public key lotto-simulator.asc and, for each suite, the file a user
#                         puts into /etc/apt/sources.list.d/: dists/CODENAME/lotto-simulator.sources
#                         (with the key in it: apt trusts the key for this repository only)
#   conf/, db/            reprepro's own: a next run adds to them, a newer version replacing the
#                         one before in its suite
# Needs reprepro and gnupg:
#   tools/archiv.sh [-k KEY] [-u URL] OUT [FOLDER]
set -eu
cd "$(dirname "$0")/.."
schluessel=
adresse=https://example.org/debian
while getopts k:u: wahl; do
    case $wahl in
    k) schluessel=$(realpath "$OPTARG") ;;
    u) adresse=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ -n "${1:-}" ] || { echo "usage: $0 [-k KEY] [-u URL] OUT [FOLDER]" >&2; exit 2; }
aus=$(realpath -m "$1")
pakete=$(realpath "${2:-build-deb}")
mkdir -p "$aus/conf" "$aus/debian"

# A GnuPG home of our own for the run, so that no agent of the maintainer's is asked; kept only
# where it holds the throwaway key.
if [ -z "$schluessel" ]; then
    export GNUPGHOME="$aus/gnupg"
    if [ ! -d "$GNUPGHOME" ]; then
        mkdir -m 700 "$GNUPGHOME"
        gpg --batch --quiet --passphrase '' --quick-generate-key \
            "lotto-simulator throwaway key <lotto-simulator@example.org>" ed25519 sign 2y
        echo "== made a throwaway key, in $GNUPGHOME: for tests only, never for users" >&2
    fi
elif [ -d "$schluessel" ]; then
    export GNUPGHOME="$schluessel"
else
    GNUPGHOME=$(mktemp -d)
    export GNUPGHOME
    gpg --batch --quiet --import "$schluessel"
fi
ende() { # a GnuPG home given stays as it was, with its agent
    [ -n "$schluessel" ] && [ -d "$schluessel" ] && return
    gpgconf --kill gpg-agent 2>/dev/null || true
    [ -z "$schluessel" ] || rm -rf "$GNUPGHOME"
}
trap ende EXIT
fingerabdruck=$(gpg --batch --quiet --with-colons --list-secret-keys | awk -F: '$1 == "fpr" { print $10; exit }')
[ -n "$fingerabdruck" ] || { echo "no secret key in ${schluessel:-$GNUPGHOME}" >&2; exit 1; }
# Debian 13's apt verifies with Sequoia's sqv, which takes no DSA or ElGamal key and no RSA key
# under 2048 bits; a key that expires before the Release does leaves users with a repository apt
# refuses. Such a key is refused here, not by every user's apt a month later.
gpg --batch --with-colons --list-secret-keys "$fingerabdruck" | awk -F: -v jetzt="$(date +%s)" '
    ($1 == "sec" || $1 == "ssb") && $12 ~ /s/ && $2 !~ /[er]/ {
        if (!(($4 == 1 && $3 >= 2048) || $4 == 19 || $4 == 22)) {
            print "a signing key of algorithm " $4 " with " $3 " bits: use ed25519 or RSA of 3072 bits"; schlecht = 1
        }
        if ($7 != "" && $7 < jetzt + 31 * 86400) {
            print "a signing key that expires in " int(($7 - jetzt) / 86400) " days: extend it"; schlecht = 1
        }
    }
    END { exit schlecht }' >&2 || { echo "not signed with $fingerabdruck: Debian 13's apt would refuse it" >&2; exit 1; }

# A release's suite: its codename, the processors the table packages for it, and the source.
grep -v '^#' tools/ziele | awk 'NF { print $1, $2 }' | sort -u > "$aus/conf/.releases"
: > "$aus/conf/distributions"
while read -r codename nummer; do
    cat >> "$aus/conf/distributions" <<EOF
Origin: lotto-simulator
Label: lotto-simulator
Codename: $codename
Version: $nummer
Architectures: source $(grep -v '^#' tools/ziele | awk -v r="$codename" '$1 == r && index($6, "paket") { printf "%s ", $3 }')
Components: main
Description: The lottery simulator "6 aus 49" for Debian $nummer "$codename"
SignWith: $fingerabdruck
ValidFor: 30d
DebIndices: Packages Release . .gz .xz
DscIndices: Sources Release . .gz .xz

EOF
done < "$aus/conf/.releases"
cat > "$aus/conf/options" <<EOF
outdir +b/debian
EOF

rr() { reprepro --basedir "$aus" --silent "$@"; }
while read -r codename nummer; do
    dsc=$(ls "$pakete"/quelle/lotto-simulator_*~deb"${nummer}"u1.dsc 2>/dev/null | sort -V | tail -1)
    [ -n "$dsc" ] || { echo "no source package for $codename in $pakete/quelle" >&2; exit 1; }
    rr -S education -P optional includedsc "$codename" "$dsc"
    for arch in $(sed -n "/^Codename: $codename$/,/^$/ s/^Architectures: source //p" "$aus/conf/distributions"); do
        deb=$(ls "$pakete/$codename/$arch"/lotto-simulator_*.deb 2>/dev/null | sort -V | tail -1)
        if [ -n "$deb" ]; then
            rr -S education -P optional includedeb "$codename" "$deb"
        else
            echo "== $codename $arch: no package in $pakete/$codename/$arch, left out" >&2
        fi
    done
done < "$aus/conf/.releases"
rr export

gpg --batch --armor --export "$fingerabdruck" > "$aus/debian/lotto-simulator.asc"
# Nor a signature by SHA-1 (or older), which an old key's preferences may still ask for.
for inrelease in "$aus"/debian/dists/*/InRelease; do
    gpg --batch --status-fd 1 --verify "$inrelease" 2>/dev/null | awk '$2 == "VALIDSIG" { print $10 }' |
        grep -qvxE '[0-3]' || { echo "$inrelease: signed by SHA-1 or older, or not at all" >&2; exit 1; }
done
while read -r codename _; do
    {
        echo "Types: deb deb-src"
        echo "URIs: $adresse"
        echo "Suites: $codename"
        echo "Components: main"
        echo "Signed-By:"
        sed 's/^$/./; s/^/ /' "$aus/debian/lotto-simulator.asc"
    } > "$aus/debian/dists/$codename/lotto-simulator.sources"
done < "$aus/conf/.releases"
rm "$aus/conf/.releases"
echo "== $aus/debian: signed by $fingerabdruck, valid until $(sed -n 's/^Valid-Until: //p' "$aus"/debian/dists/*/Release | sort | head -1)"
rr ls lotto-simulator | sed 's/^/   /'
