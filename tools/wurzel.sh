# SPDX-License-Identifier: GPL-2.0-or-later
# Fresh Debian roots of any release we package for: to run another release's or processor's test
# suite in a root that holds nothing but the release and what the suite asks for, and to try the
# package as a user gets it. (The packages themselves are built by sbuild: tools/sbuild.sh.)
# Sourced, after tools/apt.sh, by build.sh and the tests that try the package; run as root.
#
#   ARBEIT=$(mktemp -d ...)        an empty scratch folder, set by the caller
#   wurzel NAME RELEASE VARIANT [haupt] [ARCHITECTURE]
#                                  $ARBEIT/NAME: a fresh root of RELEASE, VARIANT minbase (what a
#                                  user's system has at the least), buildd (with build-essential)
#                                  or desktop (minbase with GNOME Shell and Orca, see below); with
#                                  "haupt" of the release's main suite only, without its updates,
#                                  whose packages the mirror may not serve for every processor;
#                                  of another processor than this machine's (made by mmdebstrap,
#                                  its programs run by qemu); VARIANT+WORK: as WORK left it
#   wurzel_merken NAME RELEASE VARIANT+WORK
#                                  keeps $ARBEIT/NAME as its work left it, for the next such work
#   einhaengen NAME RELEASE VARIANT
#                                  mounts again what wurzel_merken took down, for work to go on
#   zwischenspeicher NAME CACHE    the compiler's cache CACHE (kept beside the roots) at
#                                  /var/cache/ccache in it
#   im NAME COMMAND...             runs COMMAND in it, as root, with a clean environment
#   restlos_entfernen NAME PACKAGE purges PACKAGE in it; fails naming each of its files left
#   wurzeln_weg                    unmounts and removes everything under $ARBEIT
#
# Each release and variant is made by debootstrap once a week from this machine's own Debian mirror
# and kept as a tarball, unpacked once beside it: a root is that folder, read-only, with what its
# work changes laid over it (overlayfs). The packages a root downloads are kept for the next root of
# its release.

WURZEL_CACHE=/var/cache/lotto-simulator
# This machine's Debian sources (the release, its updates and security suites), to be named by
# another release's codename in a root of that release.
WURZEL_QUELLEN=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Origin: Debian' \
    'Created-By: Packages' | sort -u)
WURZEL_EIGENE=$(. /etc/os-release && echo "$VERSION_CODENAME")
WURZEL_SPIEGEL=$(echo "$WURZEL_QUELLEN" | awk -v r="$WURZEL_EIGENE" '$2 == r { print $1; exit }')

# The desktop a new user of the release meets: GNOME Shell, on X11 (here on Xvfb) and on Wayland
# (with XWayland), and its screen reader Orca with speech-dispatcher; the window managers of Xfce,
# MATE (with the settings it reads) and KDE Plasma; and what the tests drive them with. Qt's
# Wayland plugin comes with none; it is only downloaded, for a test to install it.
WURZEL_DESKTOP="gnome-shell xwayland libgl1-mesa-dri orca speech-dispatcher
    speech-dispatcher-audio-plugins at-spi2-core dbus xvfb x11-utils xdotool gjs libgtk-3-bin
    xfwm4 marco mate-settings-daemon-common kwin-x11"

wurzel_tar() { # release variant architecture
    echo "$WURZEL_CACHE/$1-$2-$3.tar"
}

# Keeps a root as its work has left it, for the next such work within the week.
wurzel_merken() { # name release variant+name
    tarball=$(wurzel_tar "$2" "$3" "$(dpkg --print-architecture)")
    frisch "$tarball" && return
    aushaengen "$1"
    tar -C "$ARBEIT/$1" --exclude=./src -cf "$tarball.teil" . && mv "$tarball.teil" "$tarball"
}

# The kernel runs a processor's programs through qemu, also in a root: qemu is opened when it is
# registered ("F"), so the root need not hold it.
emulator_anmelden() { # architecture
    qemu=$(dpkg-architecture -a"$1" -qDEB_HOST_GNU_CPU 2>/dev/null | sed 's/^i[3-6]86$/i386/; s/^powerpc64le$/ppc64le/')
    [ -e /proc/sys/fs/binfmt_misc/register ] ||
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    [ -e "/proc/sys/fs/binfmt_misc/qemu-$qemu" ] ||
        cat "/usr/lib/binfmt.d/qemu-$qemu.conf" > /proc/sys/fs/binfmt_misc/register
}

# Makes the tarball of a root: by mmdebstrap for another processor, by debootstrap for this one; the
# desktop from a minbase root.
wurzel_machen() { # release variant architecture
    eigene=$(dpkg --print-architecture)
    if [ "$3" != "$eigene" ]; then
        echo "== mmdebstrap --variant=$2 --arch=$3 $1 from $WURZEL_SPIEGEL"
        apt_versuchen mmdebstrap --quiet --format=tar --variant="$2" --arch="$3" \
            --aptopt='Acquire::Retries "3"' --skip=cleanup/apt/lists "$1" \
            "$(wurzel_tar "$1" "$2" "$3").teil" "deb $WURZEL_SPIEGEL $1 main"
    else
        if [ "$2" = desktop ]; then
            wurzel neu "$1" minbase
            echo "== $1 with GNOME Shell and Orca"
            im_apt neu update -qq
            # shellcheck disable=SC2086
            im_apt neu install -y -qq --no-install-recommends $WURZEL_DESKTOP >/dev/null
            im_apt neu install -y -qq --download-only qt6-wayland >/dev/null
            aushaengen neu
            echo "$WURZEL_DESKTOP" > "$(wurzel_tar "$1" "$2" "$3").pakete"
        else
            echo "== debootstrap --variant=$2 $1 from $WURZEL_SPIEGEL"
            apt_versuchen debootstrap --variant="$2" "$1" "$ARBEIT/neu" "$WURZEL_SPIEGEL" >/dev/null
        fi
        tar -C "$ARBEIT/neu" -cf "$(wurzel_tar "$1" "$2" "$3").teil" .
        abbauen neu
        rm -rf "$ARBEIT/neu" "$ARBEIT/.neu"
    fi
    mv "$(wurzel_tar "$1" "$2" "$3").teil" "$(wurzel_tar "$1" "$2" "$3")"
}

# A tarball unpacked once beside itself, for every root made of it since: a folder named by the
# tarball's time, put in place whole; an older one goes once no root stands on it.
entpackt() { # tarball
    ordner=$1.$(stat -c %Y "$1")
    if [ ! -d "$ordner" ]; then
        mkdir "$1.auspacken.$$"
        tar -C "$1.auspacken.$$" -xf "$1"
        mv -T "$1.auspacken.$$" "$ordner" 2>/dev/null || rm -rf "$1.auspacken.$$" # another was quicker
    fi
    for alt in "$1".[0-9]*; do
        [ "$alt" = "$ordner" ] || ungenutzt_weg "$alt"
    done
    echo "$ordner"
}

# Removes each kept tarball or unpacked folder named that no mounted root stands on.
ungenutzt_weg() { # path...
    for pfad in "$@"; do
        grep -q "lowerdir=$pfad" /proc/mounts || rm -rf "$pfad"
    done
}

frisch() { # tarball: made within the week (a desktop one, of the packages named today)
    [ -n "$(find "$1" -mtime -7 2>/dev/null)" ] || return 1
    case $1 in
    *-desktop-*) [ "$(cat "$1.pakete" 2>/dev/null)" = "$WURZEL_DESKTOP" ] ;;
    esac
}

# VARIANT+NAME is a root as the work NAME left it, with what it installed, if kept by wurzel_merken
# within the week; otherwise a fresh root of VARIANT.
wurzel() { # name release variant [haupt] [architecture]
    mkdir -p "$WURZEL_CACHE/apt-$2"
    arch=${5:-$(dpkg --print-architecture)}
    [ "$arch" = "$(dpkg --print-architecture)" ] || emulator_anmelden "$arch"
    variante=$3
    frisch "$(wurzel_tar "$2" "$variante" "$arch")" || variante=${3%%+*}
    if ! frisch "$(wurzel_tar "$2" "$variante" "$arch")"; then
        wurzel_machen "$2" "$variante" "$arch"
        arch=${5:-$(dpkg --print-architecture)} variante=${3%%+*} # set anew by a root it made
    fi
    w="$ARBEIT/$1"
    # The kept root read-only below, what this work changes above it: nothing to unpack or delete.
    unten=$(entpackt "$(wurzel_tar "$2" "$variante" "$arch")")
    mkdir "$w" "$ARBEIT/.$1" "$ARBEIT/.$1/oben" "$ARBEIT/.$1/arbeit"
    mount -t overlay overlay \
        -o "lowerdir=$unten,upperdir=$ARBEIT/.$1/oben,workdir=$ARBEIT/.$1/arbeit" "$w"
    echo "$WURZEL_QUELLEN" | awk -v alt="$WURZEL_EIGENE" -v neu="$2" -v nur="${4:-}" \
        '(nur == "" || $2 == alt) { sub("^" alt, neu, $2); print "deb " $1 " " $2 " main" }' \
        > "$w/etc/apt/sources.list"
    cp /etc/resolv.conf "$w/etc/"
    echo 'Acquire::Retries "3";' > "$w/etc/apt/apt.conf.d/80wiederholen"
    printf '#!/bin/sh\nexit 101\n' > "$w/usr/sbin/policy-rc.d" # no services started
    chmod +x "$w/usr/sbin/policy-rc.d"
    einhaengen "$1" "$2" "$3"
}

# What a root's programs need of the machine, and the release's package cache.
einhaengen() { # name release variant
    w="$ARBEIT/$1"
    mount --bind "$WURZEL_CACHE/apt-$2" "$w/var/cache/apt/archives"
    mount -t proc proc "$w/proc"
    mount --bind /dev "$w/dev"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$w/dev/pts"
    if [ "${3%%+*}" = desktop ]; then
        # GNOME Shell asks systemd's library for its unit, which must find the cgroups to say "none".
        mount --rbind /sys "$w/sys"
        mount --make-rslave "$w/sys"
    fi
}

zwischenspeicher() { # name cache
    mkdir -p "$WURZEL_CACHE/ccache-$2" "$ARBEIT/$1/var/cache/ccache"
    mount --bind "$WURZEL_CACHE/ccache-$2" "$ARBEIT/$1/var/cache/ccache"
}

# In a PID namespace of its own, with a /proc of it: what runs in the root sees, and can signal,
# only what was started in it by the same command (a "pkill gnome-shell" there never reaches a
# desktop that this machine's user has open). What is left running ends with the command.
im() { # name command...
    w="$ARBEIT/$1"
    shift
    unshare --pid --fork --kill-child --mount-proc="$w/proc" chroot "$w" \
        env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 HOME=/root \
        DEBIAN_FRONTEND=noninteractive "$@"
}

# apt-get in a root, trying a failed download again (tools/apt.sh).
im_apt() { # name apt-get arguments...
    name=$1
    shift
    apt_versuchen im "$name" apt-get "$@"
}

# Purges a package and names each file of it that is left: one that no other package holds.
restlos_entfernen() { # name package
    im "$1" dpkg -L "$2" > "$ARBEIT/$1.dateien"
    im "$1" apt-get purge -y -qq "$2" >/dev/null
    reste=$(grep -v '^/\.$' "$ARBEIT/$1.dateien" | while read -r pfad; do
        if [ -e "$ARBEIT/$1$pfad" ] && ! im "$1" dpkg -S "$pfad" >/dev/null 2>&1; then
            echo "$pfad"
        fi
    done)
    [ -z "$reste" ] || { echo "left after purge of $2:" $reste >&2; return 1; }
}

# The processes still running in a root (a desktop session's helpers, a speech server).
in_wurzel_laufend() { # name
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" != "$ARBEIT/$1" ] || echo "${p#/proc/}"
    done
}

aushaengen() { # name
    for signal in TERM TERM TERM KILL; do
        prozesse=$(in_wurzel_laufend "$1")
        [ -n "$prozesse" ] || break
        kill -s $signal $prozesse 2>/dev/null || true
        sleep 1
    done
    for d in sys tmp/.X11-unix dev/pts dev proc var/cache/ccache var/cache/apt/archives; do
        ! mountpoint -q "$ARBEIT/$1/$d" || umount -R "$ARBEIT/$1/$d"
    done
}

abbauen() { # name: the root itself goes too
    aushaengen "$1"
    ! mountpoint -q "$ARBEIT/$1" || umount -R "$ARBEIT/$1" # and what its work left mounted in it
}

wurzeln_weg() { # never deleting through a mount that is still there: the machine's own /dev
    for w in "$ARBEIT"/*/; do
        abbauen "$(basename "$w")"
    done
    grep -q " $ARBEIT/" /proc/mounts || rm -rf "$ARBEIT"
}
