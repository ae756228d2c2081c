#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The source packages, from a commit (HEAD unless named), into OUT:
#   lotto-simulator_VERSION.orig.tar.xz   the upstream tarball: the commit's files but debian/, the
#                                          same bytes every time for the same commit
#   lotto-simulator_VERSION-REVISION~debNNu1.dsc, .debian.tar.xz, _source.changes, _source.buildinfo
#                                          for each release of tools/ziele: its changelog's newest
#                                          entry names the release, and its build dependencies
#                                          name first what that release's archive has, as
#                                          Debian's build daemons take the first alternative only
#   lotto-simulator_VERSION-REVISION.dsc   the same of the commit's debian/ as it stands
# Each is unpacked again by dpkg-source -x and must give the tree it was made of. Unsigned; to
# sign for an upload, debsign -k KEY OUT/*_source.changes. Needs git, dpkg-dev and xz-utils:
#   tools/quellpaket.sh OUT [COMMIT]
set -eu
cd "$(dirname "$0")/.."
umask 022 # the modes of debian/ in its tarball are the ones git gives, whoever makes it
aus=$(realpath -m "$1")
commit=$(git rev-parse --verify "${2:-HEAD}^{commit}")
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
mkdir -p "$aus"

# Of the tree's build dependencies, what a release's archive does not have: its source names the
# other alternative alone.
FEHLT='
bookworm qt6-svg-plugins
'

git show "$commit:debian/changelog" > "$arbeit/changelog"
# The release's entry above the newest, as a backport has it: a minute after it, so that the same
# commit gives the same source.
eintrag() { # codename number changelog
    zeit=$(date -u -R -d "@$(($(dpkg-parsechangelog -l "$3" -S Timestamp) + 60))")
    {
        echo "lotto-simulator ($version~deb$2u1) $1; urgency=medium"
        echo
        echo "  * Built for Debian $2 \"$1\"."
        echo
        echo " -- $(dpkg-parsechangelog -l "$3" -S Maintainer)  $zeit"
        echo
        cat "$3"
    } > "$3.neu"
    mv "$3.neu" "$3"
}
version=$(dpkg-parsechangelog -l "$arbeit/changelog" -S Version)
upstream=${version%-*}
orig=lotto-simulator_$upstream.orig.tar.xz
# git archive gives every file the commit's time and the same order; xz on one thread the same bytes.
git archive --format=tar --prefix="lotto-simulator-$upstream/" "$commit" -- . ':(exclude)debian' |
    xz -6 -T1 -c > "$aus/$orig.teil"
mv "$aus/$orig.teil" "$aus/$orig"
echo "== $orig: $(sha256sum "$aus/$orig" | cut -d' ' -f1)"

# A source package of the commit's debian/, for a release (its entry and build dependencies) or,
# without one, as it stands, as a maintainer first tries it.
quellpaket() { # [codename number]
    ordner=$arbeit/${1:-baum}
    baum=$ordner/lotto-simulator-$upstream
    mkdir -p "$ordner"
    cp "$aus/$orig" "$ordner/"
    tar -xJf "$ordner/$orig" -C "$ordner"
    git archive "$commit" debian | tar -x -C "$baum"
    name=lotto-simulator_$version
    if [ -n "${1:-}" ]; then
        eintrag "$1" "$2" "$baum/debian/changelog"
        for paket in $(echo "$FEHLT" | awk -v r="$1" '$1 == r { print $2 }'); do
            sed -i -E "/^Build-Depends:/,/^[^ ]/ s/(^|[ ,:])$paket( \([^)]*\))?( <[^>]*>)? \| /\1/" \
                "$baum/debian/control"
        done
        name=$name~deb${2}u1
    fi
    cp -a "$baum" "$ordner/gemacht"
    (cd "$baum" && dpkg-buildpackage -S -us -uc -d -nc > "$ordner/bau.log" 2>&1) ||
        { cat "$ordner/bau.log" >&2; exit 1; }
    cp "$ordner/$name.dsc" "$ordner/$name.debian.tar.xz" "$ordner/${name}_source.changes" \
        "$ordner/${name}_source.buildinfo" "$aus/"
    dpkg-source -x "$aus/$name.dsc" "$ordner/geprueft" > "$ordner/x.log" 2>&1 ||
        { cat "$ordner/x.log" >&2; exit 1; }
    diff -r -x .pc "$ordner/gemacht" "$ordner/geprueft" ||
        { echo "$name.dsc does not unpack to the tree it was made of" >&2; exit 1; }
    echo "== $name.dsc: unpacks to its tree"
}

quellpaket
grep -v '^#' tools/ziele | awk 'NF { print $1, $2 }' | sort -u | while read -r codename nummer; do
    quellpaket "$codename" "$nummer"
done
