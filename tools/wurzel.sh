# SPDX-License-Identifier: GPL-2.0-or-later
# Fresh Debian roots of any release we package for: to build the package as Debian's build daemons
# do, in a root that holds nothing but the release and what the package asks for, and to try it as
# a user gets it. Sourced by build.sh and tests/frisches_system.sh; run as root.
#
#   ARBEIT=$(mktemp -d ...)        an empty scratch folder, set by the caller
#   wurzel NAME RELEASE VARIANT [haupt]
#                                  $ARBEIT/NAME: a fresh root of RELEASE, VARIANT minbase (what a
#                                  user's system has at the least), buildd (with build-essential)
#                                  or desktop (minbase with GNOME Shell and Orca, see below); with
#                                  "haupt" of the release's main suite only, without its updates,
#                                  whose packages the mirror may not serve for every processor
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

# The desktop a new user of the release meets: GNOME Shell, on X11 (here on Xvfb) and on Wayland
# (with XWayland), and its screen reader Orca with speech-dispatcher; and what the tests drive them
# with. Qt's Wayland plugin comes with neither; it is only downloaded, for a test to install it.
WURZEL_DESKTOP="gnome-shell xwayland libgl1-mesa-dri orca speech-dispatcher
    speech-dispatcher-audio-plugins at-spi2-core dbus xvfb x11-utils xdotool gjs libgtk-3-bin"

wurzel_tar() { # release variant
    echo "$WURZEL_CACHE/$1-$2-$(dpkg --print-architecture).tar"
}

wurzel() { # name release variant [haupt]
    mkdir -p "$WURZEL_CACHE/apt-$2"
    if [ -z "$(find "$(wurzel_tar "$2" "$3")" -mtime -7 2>/dev/null)" ]; then
        if [ "$3" = desktop ]; then
            wurzel neu "$2" minbase
            echo "== $2 with GNOME Shell and Orca"
            im neu apt-get update -qq
            # shellcheck disable=SC2086
            im neu apt-get install -y -qq --no-install-recommends $WURZEL_DESKTOP >/dev/null
            im neu apt-get install -y -qq --download-only qt6-wayland >/dev/null
            aushaengen neu
        else
            echo "== debootstrap --variant=$3 $2 from $WURZEL_SPIEGEL"
            debootstrap --variant="$3" "$2" "$ARBEIT/neu" "$WURZEL_SPIEGEL" >/dev/null
        fi
        tar -C "$ARBEIT/neu" -cf "$(wurzel_tar "$2" "$3").teil" . &&
            mv "$(wurzel_tar "$2" "$3").teil" "$(wurzel_tar "$2" "$3")"
        rm -rf "$ARBEIT/neu"
    fi
    w="$ARBEIT/$1"
    mkdir "$w"
    tar -C "$w" -xf "$(wurzel_tar "$2" "$3")"
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
    if [ "$3" = desktop ]; then
        # GNOME Shell asks systemd's library for its unit, which must find the cgroups to say "none".
        mount --rbind /sys "$w/sys"
        mount --make-rslave "$w/sys"
    fi
}

im() { # name command...
    w="$ARBEIT/$1"
    shift
    chroot "$w" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 HOME=/root \
        DEBIAN_FRONTEND=noninteractive "$@"
}

aushaengen() { # name
    for d in sys dev/pts dev proc var/cache/apt/archives; do
        ! mountpoint -q "$ARBEIT/$1/$d" || umount -R "$ARBEIT/$1/$d"
    done
}

wurzeln_weg() { # never deleting through a mount that is still there: the machine's own /dev
    for w in "$ARBEIT"/*/; do
        aushaengen "$(basename "$w")"
    done
    grep -q " $ARBEIT/" /proc/mounts || rm -rf "$ARBEIT"
}
