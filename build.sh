#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Sets up everything on Debian 12 (as root) and then:
#   ./build.sh run    builds and starts the simulator (headless: on Xvfb, saving a screenshot)
#   ./build.sh test   builds and runs all tests, normally and under ASan/UBSan
#   ./build.sh bench  builds and runs the benchmarks
#   ./build.sh arm64  cross-builds for arm64 and runs all tests there, through qemu
#   ./build.sh armhf  the same for armhf, 32-bit ARM
#   ./build.sh deb    builds the Debian packages and tries the amd64 one on a fresh system
set -eu
cd "$(dirname "$0")"

# The three faces that "courier" becomes on common desktops are all tested; so is the German locale.
# The accessibility tests act as a screen reader's bridge through Qt's platform interface
# (qt6-base-private-dev).
PACKAGES="g++ make cmake qt6-base-dev qt6-base-private-dev libqt6svg6 fonts-liberation2
          fonts-urw-base35 fonts-dejavu-core locales xvfb xauth x11-utils imagemagick
          desktop-file-utils appstream"

install_debian() { # package...
    missing=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    [ -z "$missing" ] && return
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
}

install_packages() {
    install_debian $PACKAGES
    if ! locale -a | grep -qx 'de_DE.utf8'; then
        sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
        grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
        locale-gen >/dev/null
    fi
}

jobs=$(nproc 2>/dev/null || echo 2)

build() { # build-dir target [cmake options...]
    dir=$1
    target=$2
    shift 2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs" --target "$target"
}

run() {
    build build lotto-simulator
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
        exec ./build/lotto-simulator "$@"
    fi
    # No display: start it on a virtual X server and take a picture once the window is there.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        XDG_RUNTIME_DIR=$(mktemp -d)
        export XDG_RUNTIME_DIR
    fi
    shot="$(pwd)/screenshot.png"
    xvfb-run -a -s "-screen 0 800x600x24" sh -c '
        ./build/lotto-simulator & pid=$!
        for i in $(seq 100); do
            xwininfo -root -tree 2>/dev/null | grep -q "Lotto Simmulator!" && break
            sleep 0.1
        done
        sleep 1
        import -window root -crop 780x550+1+1 "$1"
        kill $pid
        wait $pid 2>/dev/null || true
    ' sh "$shot"
    echo "No display: the simulator ran on a virtual X server. Its window: $shot"
}

unit_tests() {
    build build all
    (cd build && ctest --output-on-failure -j "$jobs")
    build build-asan all -DLOTTO_SANITIZE=ON
    (cd build-asan && ctest --output-on-failure -j "$jobs")
}

# The same program for arm64 and armhf, from Debian's cross compilers and the architectures' own
# Qt; the tests run in qemu. armhf is 32-bit: no 128-bit integer, and long double is a double.
cross() { # debian-arch triplet
    dpkg --print-foreign-architectures | grep -qx "$1" || dpkg --add-architecture "$1"
    install_debian "g++-$2" "qt6-base-dev:$1" "qt6-base-private-dev:$1" "libqt6svg6:$1" \
        qemu-user-static
    build "build-$1" all -DCMAKE_TOOLCHAIN_FILE="cmake/$2.cmake"
    (cd "build-$1" && ctest --output-on-failure -j "$jobs")
}

# What debian/control asks for: apt-get build-dep [options] ./
build_deps() {
    export DEBIAN_FRONTEND=noninteractive
    apt-get build-dep -y -qq "$@" ./ >/dev/null 2>&1 || {
        apt-get update -qq
        apt-get build-dep -y -qq "$@" ./ >/dev/null
    }
}

paket() { # folder [dpkg-buildpackage options...]: the package of the last commit, linted
    dir=$1
    shift
    anfang=$(date +%s)
    mkdir -p "$dir"
    git archive --prefix=lotto-simulator/ HEAD | tar -x -C "$dir"
    (cd "$dir/lotto-simulator" && dpkg-buildpackage -us -uc -b -jauto "$@" >../bau.log 2>&1) || {
        tail -50 "$dir/bau.log"
        return 1
    }
    echo "== $dir: built in $(($(date +%s) - anfang)) s"
    lintian -I -E --pedantic --fail-on error,warning "$dir"/*.changes
}

# The Debian packages in build-deb/: amd64 with the whole test suite, then once more without the
# tests, later and in another folder, which must give the same bits; arm64 and armhf cross-built.
# Then the amd64 package on a fresh Debian 12.
deb() {
    install_debian dpkg-dev debhelper lintian debootstrap autopkgtest git
    build_deps
    rm -rf build-deb
    paket build-deb/amd64
    DEB_BUILD_OPTIONS=nocheck paket build-deb/nocheck/anderswo -Pnocheck
    for d in build-deb/amd64/*.deb; do
        cmp "$d" "build-deb/nocheck/anderswo/$(basename "$d")" || {
            echo "not reproducible: $(basename "$d")" >&2
            return 1
        }
    done
    echo "reproducible: $(cd build-deb/amd64 && sha256sum ./*.deb)"
    dpkg-deb -x build-deb/amd64/lotto-simulator_*_amd64.deb build-deb/amd64/inhalt
    if readelf -d build-deb/amd64/inhalt/usr/bin/lotto-simulator | grep -E 'R(UN)?PATH'; then
        echo "the packaged program carries a library search path" >&2
        return 1
    fi

    for arch in arm64 armhf; do
        dpkg --print-foreign-architectures | grep -qx $arch || dpkg --add-architecture $arch
        install_debian crossbuild-essential-$arch
        build_deps -a $arch -Pcross,nocheck
        DEB_BUILD_OPTIONS=nocheck paket build-deb/$arch -a $arch -Pcross,nocheck
        sha256sum build-deb/$arch/*.deb
    done

    tests/frisches_system.sh build-deb/amd64/lotto-simulator_*_amd64.deb \
        build-deb/amd64/lotto-simulator
}

# Offscreen, then the continuous run on Xvfb without and with an accessibility client (AT-SPI).
bench() {
    install_debian dbus at-spi2-core python3-pyatspi
    build build lotto_benchmark
    QT_QPA_PLATFORM=offscreen ./build/benchmarks/lotto_benchmark
    benchmarks/zugang.sh build/benchmarks/lotto_benchmark
}

install_packages
case "${1:-}" in
run) shift; run "$@" ;;
test) unit_tests ;;
bench) bench ;;
arm64) cross arm64 aarch64-linux-gnu ;;
armhf) cross armhf arm-linux-gnueabihf ;;
deb) deb ;;
*) echo "usage: $0 run|test|bench|arm64|armhf|deb" >&2; exit 2 ;;
esac
