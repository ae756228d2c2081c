#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Sets up everything on Debian 12 or 13 (as root) and then:
#   ./build.sh run    builds and starts the simulator (headless: on Xvfb, saving a screenshot)
#   ./build.sh test   builds and runs all tests, normally and under ASan/UBSan
#   ./build.sh bench  builds and runs the benchmarks
#   ./build.sh PROCESSOR [RELEASE]
#                     builds for a processor (amd64, arm64, armel, armhf, i386, ppc64el, riscv64,
#                     s390x) and runs all tests there: amd64's natively, the others' through qemu;
#                     of the newest release for it, or of RELEASE (bookworm, trixie)
#   ./build.sh load [PROCESSOR [RELEASE]] [RUNS]
#                     runs the tests of amd64 (normally and under ASan/UBSan) or of another
#                     processor RUNS times in a row with the machine oversubscribed
#   ./build.sh ci     the suites CI runs of the table tools/ziele, beside ./build.sh test
# The Debian packages are tools/pakete.sh's.
set -eu
cd "$(dirname "$0")"
exec 3>&2 # what must be seen even where apt's own messages are not
. tools/apt.sh
. tools/bauen.sh

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

# A line's suite (RUNS times under load, if given): this machine's here, another release's or
# processor's by tools/suite.sh in a root of the release's main suite.
suite_von() { # codename architecture [runs]
    zeile=$(ziel "$2" "$1")
    [ -n "$zeile" ] || { echo "no line for $2 of $1" >&2; return 2; }
    runden=${3:-}
    set -- $zeile
    if [ "$3" = amd64 ] && [ "$1" = "$EIGENE" ]; then
        if [ -n "$runden" ]; then last_amd64 "$runden"; else unit_tests; fi
    elif [ "$3" = amd64 ]; then
        in_wurzel "$1" amd64 - amd64 $runden
    else
        in_wurzel "$1" "$3" "$5" "$3" "$4" "$5" $runden
    fi
}

# tools/suite.sh run in a root of the release's main suite, on the files of this working tree; its
# compiler's cache is the release's and processor's, kept beside the roots. The root, with what the
# suite installed, is kept for its next run within the week.
in_wurzel() { # release architecture emulator suite-arguments...
    release=$1
    vorbereitet=buildd+$2
    emulator=$3
    shift 3
    echo "== $release root: tools/suite.sh $*"
    install_debian debootstrap
    ARBEIT=$(mktemp -d /var/tmp/wurzel.XXXXXX)
    (
        . tools/wurzel.sh
        trap wurzeln_weg EXIT
        wurzel w "$release" "$vorbereitet" haupt
        mkdir "$ARBEIT/w/src"
        git ls-files | tar -c -T - | tar -x -C "$ARBEIT/w/src"
        # The emulator is this machine's: a static program, and the same one for every release.
        if [ "$emulator" != - ]; then
            command -v "$emulator" >/dev/null || install_debian qemu-user-static
            cp "$(command -v "$emulator")" "$ARBEIT/w/usr/local/bin/"
        fi
        zwischenspeicher w "$release-$vorbereitet"
        im w env LOTTO_IN_WURZEL=1 CCACHE_DIR=/var/cache/ccache \
            ${LOTTO_LASTEN:+LOTTO_LASTEN=$LOTTO_LASTEN} sh -c "cd /src && tools/suite.sh $*"
        wurzel_merken w "$release" "$vorbereitet"
    )
}

# Offscreen, then the continuous run on Xvfb without and with an accessibility client (AT-SPI).
bench() {
    install_debian "dbus, at-spi2-core, python3-pyatspi"
    build build lotto_benchmark
    QT_QPA_PLATFORM=offscreen ./build/benchmarks/lotto_benchmark
    benchmarks/zugang.sh build/benchmarks/lotto_benchmark
}

# The suites of the lines where "ci" or "last" stands, once each, the cores oversubscribed
# twofold for "last"; each line says how long it took. amd64's run in its packages' builds
# (tools/pakete.sh ci), this machine's also by ./build.sh test.
ci() {
    export LOTTO_LASTEN="$jobs"
    echo "$ZIELE" | while read -r codename _ arch _ _ flags; do
        [ -n "$codename" ] && [ "$arch" != amd64 ] || continue
        if hat "$flags" last; then runden=1; elif hat "$flags" ci; then runden=; else continue; fi
        seit=$(date +%s)
        suite_von "$codename" "$arch" $runden
        echo "== $codename $arch ${runden:+under load }suite: $(($(date +%s) - seit)) s"
    done
}

install_packages
case "${1:-}" in
run) shift; run "$@" ;;
test) unit_tests ;;
load)
    # [processor [release]] [runs]
    shift
    arch=amd64 codename=$EIGENE
    case "${1:-}" in [a-z]*) arch=$1 codename=$(ziel "$1" "" test | cut -d' ' -f1); shift ;; esac
    case "${1:-}" in [a-z]*) codename=$1; shift ;; esac
    suite_von "$codename" "$arch" "${1:-1}"
    ;;
bench) bench ;;
ci) ci ;;
*)
    if [ -n "${1:-}" ] && [ -n "$(ziel "$1" "${2:-}" test)" ]; then
        suite_von "$(ziel "$1" "${2:-}" test | cut -d' ' -f1)" "$1"
    else
        echo "usage: $0 run|test|bench|ci|load [PROCESSOR [RELEASE]] [RUNS]|PROCESSOR [RELEASE]" >&2
        echo "processors: $(echo "$ZIELE" | awk '/test/ { print $3 }' |
            sort -u | paste -sd ' ')" >&2
        exit 2
    fi
    ;;
esac
