#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# A package built by sbuild from its source package, as Debian's build daemons build it: in unshare
# mode, as the unprivileged user lottobau (made on first use, with its subordinate ids), in a
# chroot tarball of the release's main suite that mmdebstrap --variant=buildd makes and that is kept
# for the week, with sbuild's own resolver, which takes the first of a build dependency's
# alternatives only. The release's lintian checks the source and the binary packages there (no
# error, no warning: tools/sbuild.conf), blhc the build's log (no hardening flag missing). amd64's
# runs the whole test suite, unless nocheck; another processor's is cross-built (--host), without.
# "ohne-lintian" is for a version of the past, which today's lintian may find fault with.
# Into OUT: the packages, .changes, .buildinfo and the log (.build). As root:
#   tools/sbuild.sh RELEASE ARCHITECTURE DSC OUT [nocheck] [ohne-lintian]
set -eu
hier=$(dirname "$(realpath "$0")")
release=$1
arch=$2
dsc=$(realpath "$3")
aus=$(realpath -m "$4")
shift 4
ohne= lintian=
for wort in "$@"; do
    case $wort in
    nocheck) ohne=nocheck ;;
    ohne-lintian) lintian=--no-run-lintian ;;
    *) echo "$0: unknown option $wort" >&2; exit 2 ;;
    esac
done
eigene=$(dpkg --print-architecture)
. "$hier/apt.sh"
ARBEIT=$(mktemp -d /var/tmp/sbuild.XXXXXX)
. "$hier/wurzel.sh"
trap 'rm -rf "$ARBEIT"' EXIT

nutzer=lottobau
id -u "$nutzer" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$nutzer"
heim=$(getent passwd "$nutzer" | cut -d: -f6)
als() { # command...: as the build's user, with nothing of root's environment
    setpriv --reuid="$nutzer" --regid="$nutzer" --init-groups \
        env -i HOME="$heim" PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"
}

tarball=$heim/.cache/sbuild/$release-$eigene.tar
if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
    als mkdir -p "$heim/.cache/sbuild"
    echo "== mmdebstrap --variant=buildd $release for sbuild, from $WURZEL_SPIEGEL"
    # With apt-utils: a cross build's resolver is the release's apt solver, which sbuild would
    # otherwise copy from this machine, built for this machine's libapt-pkg.
    (cd "$heim" && apt_versuchen als mmdebstrap --quiet --mode=unshare --format=tar --variant=buildd \
        --include=apt-utils --aptopt='Acquire::Retries "3"' "$release" "$tarball.teil" "deb $WURZEL_SPIEGEL $release main")
    mv "$tarball.teil" "$tarball"
fi

# The source package's files beside it, for the user to read.
chown "$nutzer": "$ARBEIT"
for datei in "$dsc" $(awk '/^Files:/ { f = 1; next } /^[^ ]/ { f = 0 } f { print $3 }' "$dsc"); do
    cp "$(dirname "$dsc")/$(basename "$datei")" "$ARBEIT/"
done
als mkdir "$ARBEIT/aus"
wie="--arch=$eigene"
profile=
if [ "$arch" != "$eigene" ]; then
    wie="--build=$eigene --host=$arch"
    profile=cross,nocheck
elif [ -n "$ohne" ]; then
    profile=nocheck
fi
# sbuild names the changelog's distribution in the .changes (lintian compares them); the chroot is
# the release's all the same.
verteilung=$(sed -n 's/^Distribution: //p' "${dsc%.dsc}_source.changes" 2>/dev/null)
anfang=$(date +%s)
# shellcheck disable=SC2086
(cd "$ARBEIT" && als env SBUILD_CONFIG="$hier/sbuild.conf" \
    ${profile:+DEB_BUILD_OPTIONS=nocheck} sbuild --dist="${verteilung:-$release}" \
    --chroot="$release-$eigene" $wie ${profile:+--profiles=$profile} $lintian \
    --jobs="$(nproc)" --build-dir="$ARBEIT/aus" "$ARBEIT/$(basename "$dsc")" >"$ARBEIT/sbuild.out" 2>&1) || {
    # sbuild's own log has what failed (first what its resolver and apt said of a dependency);
    # what it printed, where it got no further.
    if baulog=$(ls "$ARBEIT"/aus/*.build 2>/dev/null | head -1) && [ -n "$baulog" ]; then
        grep -E -A3 'unsat-|^(E|Err):|404' "$baulog" | head -40
        # A test that failed, with where and why (ctest's --verbose lines: "N: FAIL!  : ...").
        grep -E -B2 -A6 '^[0-9]+: (FAIL!|XPASS|QFATAL|QWARN.*Timed out)' "$baulog" | head -60
        tail -60 "$baulog"
    else
        tail -60 "$ARBEIT/sbuild.out"
    fi
    echo "sbuild failed: $release $arch $(basename "$dsc")" >&2
    exit 1
}
log=$(ls "$ARBEIT"/aus/*_"$arch".build)
echo "== $(basename "$dsc") for $release $arch: built by sbuild $(sbuild --version | awk 'NR == 1 { print $4 }') in $(($(date +%s) - anfang)) s${profile:+ ($profile)}; $(grep -E '^Lintian: ' "$log" || echo 'without lintian')"
mkdir -p "$aus"
cp "$ARBEIT"/aus/*.deb "$ARBEIT"/aus/*.changes "$ARBEIT"/aus/*.buildinfo "$aus/"
cp -L "$log" "$aus/"
# CMake 3.31 (Debian 13) writes into the log how AUTOMOC asks the compiler for its predefined
# macros: a preprocessor run of CMake's own file (-dM -E), which builds nothing.
blhc --debian --line-numbers --ignore-line '.* -dM -E -c .*/CMakeCXXCompilerABI\.cpp .*' \
    "$aus/$(basename "$log")" || { echo "blhc: $(basename "$log")" >&2; exit 1; }
echo "== blhc $(blhc --version | awk 'NR == 1 { print $2 }') has nothing to say of its log"
