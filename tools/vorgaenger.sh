#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The packages of the version before the tree's (the changelog's second entry) for a release, as
# the project built them: the source package of the last commit that carried that version, built
# by sbuild (tools/sbuild.sh, without the tests, its lintian and blhc as for every build). Built
# once and kept with the roots; into OUT, with a Packages file for apt (a flat repository). As root:
#   tools/vorgaenger.sh RELEASE NUMBER OUT
set -eu
cd "$(dirname "$0")/.."
release=$1
nummer=$2
aus=$(realpath -m "$3")
. tools/apt.sh
. tools/wurzel.sh

jetzt=$(dpkg-parsechangelog -l debian/changelog -S Version)
vorher=$(dpkg-parsechangelog -l debian/changelog -o1 -c1 -S Version)
# The first commit with the tree's version; the one before it is the last of the version before.
erster=
for c in $(git log --reverse --format=%H -- debian/changelog); do
    if [ "$(git show "$c:debian/changelog" | dpkg-parsechangelog -l- -S Version)" = "$jetzt" ]; then
        erster=$c
        break
    fi
done
[ -n "$erster" ] || { echo "no commit carries version $jetzt" >&2; exit 1; }
commit=$(git rev-parse "$erster^")
[ "$(git show "$commit:debian/changelog" | dpkg-parsechangelog -l- -S Version)" = "$vorher" ] ||
    { echo "the commit before $erster is not version $vorher" >&2; exit 1; }

kept=$WURZEL_CACHE/vorgaenger-$release-$(echo "$commit" | cut -c1-12)
if [ ! -d "$kept" ]; then
    echo "== $vorher for $release: built from $(git log -1 --format='%h %ad' --date=short "$commit")"
    arbeit=$(mktemp -d /var/tmp/vorgaenger.XXXXXX)
    trap 'rm -rf "$arbeit"' EXIT
    tools/quellpaket.sh "$arbeit/quelle" "$commit" >/dev/null
    tools/sbuild.sh "$release" "$(dpkg --print-architecture)" \
        "$arbeit/quelle/lotto-simulator_$vorher~deb${nummer}u1.dsc" "$arbeit/gebaut" nocheck ohne-lintian
    mkdir -p "$kept.teil"
    cp "$arbeit"/gebaut/*.deb "$kept.teil/"
    mv "$kept.teil" "$kept"
    # Only the version before of this release is kept: an older one goes.
    for alt in "$WURZEL_CACHE/vorgaenger-$release"-*; do
        [ "$alt" = "$kept" ] || rm -rf "$alt"
    done
fi
mkdir -p "$aus"
cp "$kept"/*.deb "$aus/"
(cd "$aus" && dpkg-scanpackages --multiversion . > Packages 2>/dev/null)
echo "== $vorher for $release: $(cd "$aus" && sha256sum ./*.deb | paste -sd ' ')"
