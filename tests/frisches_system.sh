#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The package on a fresh Debian 12, as a user gets it: a minbase root from the machine's own Debian
# mirror, the .deb installed there with apt-get, checked and purged; then the package's autopkgtest,
# which starts the program and looks for its window, in another such root. As root:
#   tests/frisches_system.sh lotto-simulator_VERSION_amd64.deb source-dir
set -eu
beginn=$(date +%s)
schritt() { echo "== $* (at $(($(date +%s) - beginn)) s)"; }
deb=$(realpath "$1")
quelle=$(realpath "$2")
version=$(dpkg-deb -f "$deb" Version | sed 's/-[^-]*$//')
arbeit=$(mktemp -d /var/tmp/frisch.XXXXXX)
cache=/var/cache/lotto-simulator
quellen=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Origin: Debian' \
    'Created-By: Packages' | sort -u)
spiegel=$(echo "$quellen" | awk '$2 == "bookworm" { print $1; exit }')

aufraeumen() { # never deleting through a mount that is still there: the machine's own /dev
    for d in "$arbeit"/*/proc "$arbeit"/*/dev; do umount -R "$d" 2>/dev/null || true; done
    grep -q " $arbeit/" /proc/mounts || rm -rf "$arbeit"
}
trap aufraeumen EXIT

# A clean minbase root, made once a week and kept as a tarball.
mkdir -p "$cache"
basis="$cache/bookworm-minbase-$(dpkg --print-architecture).tar"
if [ -z "$(find "$basis" -mtime -7 2>/dev/null)" ]; then
    schritt "debootstrap --variant=minbase bookworm from $spiegel"
    debootstrap --variant=minbase bookworm "$arbeit/neu" "$spiegel" >/dev/null
    tar -C "$arbeit/neu" -cf "$basis.teil" . && mv "$basis.teil" "$basis"
    rm -rf "$arbeit/neu"
fi
wurzel() { # name: a fresh root from the tarball, with the machine's Debian sources
    mkdir "$arbeit/$1"
    tar -C "$arbeit/$1" -xf "$basis"
    echo "$quellen" | sed 's/^/deb /; s/$/ main/' > "$arbeit/$1/etc/apt/sources.list"
    cp /etc/resolv.conf "$arbeit/$1/etc/"
    printf '#!/bin/sh\nexit 101\n' > "$arbeit/$1/usr/sbin/policy-rc.d" # no services started
    chmod +x "$arbeit/$1/usr/sbin/policy-rc.d"
    mount -t proc proc "$arbeit/$1/proc"
    mount --bind /dev "$arbeit/$1/dev"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$arbeit/$1/dev/pts"
}
fehler() { echo "FAIL: $*" >&2; exit 1; }

wurzel frisch
im() { chroot "$arbeit/frisch" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive HOME=/root "$@"; }
cp "$deb" "$arbeit/frisch/tmp/"
im apt-get update -qq
im dpkg-query -W -f '${Package}\n' | sort > "$arbeit/vorher"
schritt "apt-get install ./$(basename "$deb")"
im apt-get install -y "/tmp/$(basename "$deb")" > "$arbeit/installiert"
grep -E '^(Need to get|[0-9]+ upgraded)' "$arbeit/installiert"
im dpkg-query -W -f '${Package}\n' | sort | comm -13 "$arbeit/vorher" - > "$arbeit/neu"
echo "$(wc -l < "$arbeit/neu") packages installed"
if grep -E -- '-dev$|^(gcc|g\+\+|cpp|clang|binutils|make$)' "$arbeit/neu"; then
    fehler "a development package or a compiler came with the package"
fi

[ "$(im lotto-simulator --version)" = "lotto-simulator $version" ] || fehler "--version"
im lotto-simulator --help | grep -q -- '--version' || fehler "--help"
schrift=$(im fc-match -f '%{family[0]}' courier:bold)
echo "courier is $schrift"
echo "$schrift" | grep -qxE 'DejaVu Sans Mono|Liberation Mono|Nimbus Mono PS' || fehler "a face untested"

schritt "apt-get purge lotto-simulator"
im dpkg -L lotto-simulator > "$arbeit/dateien"
im apt-get purge -y -qq lotto-simulator >/dev/null
grep -v '^/\.$' "$arbeit/dateien" | while read -r pfad; do
    if [ -e "$arbeit/frisch$pfad" ] && ! im dpkg -S "$pfad" >/dev/null 2>&1; then
        fehler "left after purge: $pfad"
    fi
done

schritt "autopkgtest, in another fresh root"
wurzel autopkgtest
autopkgtest "$deb" "$quelle" -- chroot "$arbeit/autopkgtest" > "$arbeit/autopkgtest.log" 2>&1 ||
    { cat "$arbeit/autopkgtest.log"; fehler "autopkgtest"; }
grep -E '^smoke +PASS' "$arbeit/autopkgtest.log" | tail -1
schritt "fresh system: installed, purged; started by the autopkgtest"
