#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Sets up everything on Debian 12 (as root) and then:
#   ./build.sh run    builds and starts the simulator (headless: on Xvfb, saving a screenshot)
#   ./build.sh test   builds and runs all tests, normally and under ASan/UBSan
#   ./build.sh bench  builds and runs the benchmarks
set -eu
cd "$(dirname "$0")"

# The three faces that "courier" becomes on common desktops are all tested; so is the German locale.
PACKAGES="g++ make cmake qt6-base-dev libqt6svg6 fonts-liberation2 fonts-urw-base35 fonts-dejavu-core
          locales xvfb xauth x11-utils imagemagick desktop-file-utils appstream"

install_packages() {
    missing=""
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing="$missing $p"
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends $missing
    fi
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

bench() {
    build build lotto_benchmark
    QT_QPA_PLATFORM=offscreen ./build/benchmarks/lotto_benchmark
}

install_packages
case "${1:-}" in
run) shift; run "$@" ;;
test) unit_tests ;;
bench) bench ;;
*) echo "usage: $0 run|test|bench" >&2; exit 2 ;;
esac
