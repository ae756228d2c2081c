# SPDX-License-Identifier: GPL-2.0-or-later
# Fresh Debian roots of any release we package for: to build the package as Debian's build daemons
# do, in a root that holds nothing but the release and what the package asks for, and to try it as
# a user gets it. Sourced by build.sh and tests/frisches_system.sh; run as root.
#
#   ARBEIT=$(mktemp -d ...)        an empty scratch folder, set by the caller
#   wurzel NAME RELEASE VARIANT [haupt]
#                                  $ARBEIT/NAME: a fresh root of RELEASE, VARIANT minbase (what a
#                                  user's system has at the least) or buildd (with build-essential);
#                                  with "haupt" of the release's main suite only, without its
#                                  updates, whose packages the mirror may not serve for every
#                                  processor
#   im NAME COMMAND...             runs COMMAND in it, as root, with a clean environment
#   wurzeln_weg                    unmounts and removes everything under $ARBEIT
#
# Each release and variant is made by debootstrap once a week from this machine's own Debian mirror
# and kept as a tarball; the packages a root downloads are kept for the next root of its release.

WURZEL_CACHE=/var/cache/lotto-simulator
# This machine's Debian sources (the release, its updates and security suites), to be named by
# another release's codename in a root of that release.
WURZEL_QUELLEN=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Origin: Debian' \
    'Created-By: Packages' | sort -u)
WURZEL_EIGENE=$(. /etc/os-release && echo "$VERSION_CODENAME")
WURZEL_SPIEGEL=$(echo "$WURZEL_QUELLEN" | awk -v r="$WURZEL_EIGENE" '$2 == r { print $1; exit }')

wurzel() { # name release variant [haupt]
    mkdir -p "$WURZEL_CACHE/apt-$2"
    basis="$WURZEL_CACHE/$2-$3-$(dpkg --print-architecture).tar"
    if [ -z "$(find "$basis" -mtime -7 2>/dev/null)" ]; then
        echo "== debootstrap --variant=$3 $2 from $WURZEL_SPIEGEL"
        debootstrap --variant="$3" "$2" "$ARBEIT/neu" "$WURZEL_SPIEGEL" >/dev/null
        tar -C "$ARBEIT/neu" -cf "$basis.teil" . && mv "$basis.teil" "$basis"
        rm -rf "$ARBEIT/neu"
    fi
    w="$ARBEIT/$1"
    mkdir "$w"
    tar -C "$w" -xf "$basis"
    echo "$WURZEL_QUELLEN" | awk -v alt="$WURZEL_EIGENE" -v neu="$2" -v nur="${4:-}" \
        '(nur == "" || $2 == alt) { sub("^" alt, neu, $2); print "deb " $1 " " $2 " main" }' \
        > "$w/etc/apt/sources.list"
    cp /etc/resolv.conf "$w/etc/"
    printf '#!/bin/sh\nexit 101\n' > "$w/usr/sbin/policy-rc.d" # no services started
    chmod +x "$w/usr/sbin/policy-rc.d"
    mount --bind "$WURZEL_CACHE/apt-$2" "$w/var/cache/apt/archives"
    mount -t proc proc "$w/proc"
    mount --bind /dev "$w/dev"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$w/dev/pts"
}

im() { # name command...
    w="$ARBEIT/$1"
    shift
    chroot "$w" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 HOME=/root \
        DEBIAN_FRONTEND=noninteractive "$@"
}

wurzeln_weg() { # never deleting through a mount that is still there: the machine's own /dev
    for w in "$ARBEIT"/*/; do
        for d in dev/pts dev proc var/cache/apt/archives; do
            ! mountpoint -q "$w$d" || umount "$w$d"
        done
    done
    grep -q " $ARBEIT/" /proc/mounts || rm -rf "$ARBEIT"
}
