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
#   ./build.sh deb    builds the Debian packages for each release and processor, and tries them on
#                     fresh systems, amd64's also with GNOME Shell and the screen reader Orca
#   ./build.sh ci     what CI does after ./build.sh test: everything the table tools/ziele asks
set -eu
cd "$(dirname "$0")"
exec 3>&2 # what must be seen even where apt's own messages are not

# What we build for, and what is done for each: tools/ziele, read by everything that builds.
ZIELE=$(grep -v '^#' tools/ziele)
EIGENE=$(. /etc/os-release && echo "$VERSION_CODENAME")
hat() { # flags flag
    case ",$1," in *",$2,"*) true ;; *) false ;; esac
}
# A processor's line of a release, or its newest line with a flag.
ziel() { # architecture [codename] [flag]
    echo "$ZIELE" | sort -k2,2nr | awk -v a="$1" -v r="${2:-}" -v f="${3:-}" \
        '$3 == a && (r == "" || $1 == r) && (f == "" || index("," $6 ",", "," f ",")) { print; exit }'
}
wurzel_noetig() { # codename architecture: whether it moves into a root of the release, not being in one
    [ -z "${LOTTO_IN_WURZEL:-}" ] && { [ "$1" != "$EIGENE" ] || [ "$2" != "$(dpkg --print-architecture)" ]; }
}

# The three faces that "courier" becomes on common desktops are all tested; so is the German locale.
# The accessibility tests act as a screen reader's bridge through Qt's platform interface
# (qt6-base-private-dev). Qt's SVG plugins draw the window's icon; Debian 13 moved them out of
# libqt6svg6.
PACKAGES="g++, make, cmake, qt6-base-dev, qt6-base-private-dev,
          qt6-svg-plugins | libqt6svg6 (<< 6.7.2-5~), fonts-liberation2, fonts-urw-base35,
          fonts-dejavu-core, locales, xvfb, xauth, x11-utils, imagemagick, desktop-file-utils,
          appstream"

. tools/apt.sh

# An apt-get command that needs the package lists: they are fetched only when it fails without.
mit_listen() { # apt-get arguments...
    # Tried once: where the lists are old, their packages' files are gone from the mirror.
    versuche=$APT_VERSUCHE
    APT_VERSUCHE=1
    status=0
    apt_get "$@" >/dev/null 2>&1 || status=$?
    APT_VERSUCHE=$versuche
    [ $status -eq 0 ] || {
        apt_get update -qq
        apt_get "$@"
    }
}

# Installs what a comma-separated list of Debian dependencies asks for.
install_debian() { # dependencies
    mit_listen satisfy -y -qq --no-install-recommends "$1"
}

install_packages() {
    install_debian "$PACKAGES"
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
    suite build
    build build-asan all -DLOTTO_SANITIZE=ON -DLOTTO_BENCHMARK=OFF
    suite build-asan
}

suite() { # build-dir
    (cd "$1" && ctest --output-on-failure -j "$jobs")
}

# The suite RUNS times in a row beside twice as many busy processes as the machine has cores (or
# LOTTO_LASTEN), as on a build daemon that builds several packages at once or an emulated one.
unter_last() { # build-dir runs
    lasten=
    for _ in $(seq "${LOTTO_LASTEN:-$((2 * jobs))}"); do
        sh -c 'while :; do :; done' &
        lasten="$lasten $!"
    done
    bestanden=0
    for lauf in $(seq "$2"); do
        if suite "$1"; then
            bestanden=$((bestanden + 1))
        fi
        echo "== $1 under load: run $lauf, $bestanden passed"
    done
    kill $lasten
    echo "== $1 under load: $bestanden of $2 runs passed"
    [ "$bestanden" -eq "$2" ]
}

fremde_architektur() { # architecture: its packages installable here, in a root only
    [ -n "${LOTTO_IN_WURZEL:-}" ] || { echo "not adding $1 to this machine's dpkg" >&2; exit 1; }
    dpkg --print-foreign-architectures | grep -qx "$1" || dpkg --add-architecture "$1"
}

# The program cross-built with the release's cross compiler and the processor's own Qt; the tests
# run in its emulator, RUNS times with the machine oversubscribed if asked. Without debug
# information, a quarter of the compile time: these runs are read by their results.
kreuztest() { # codename number architecture triplet emulator [runs]
    fremde_architektur "$3"
    install_debian "dpkg-dev, g++-$4, qt6-base-dev:$3, qt6-base-private-dev:$3,
                    qt6-svg-plugins:$3 | libqt6svg6:$3 (<< 6.7.2-5~)"
    command -v "$5" >/dev/null || install_debian qemu-user-static
    dir=build-$1-$3
    build "$dir" all -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DTRIPEL="$4" \
        -DEMULATOR="$5" -DMULTIARCH="$(dpkg-architecture -a"$3" -qDEB_HOST_MULTIARCH)" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DLOTTO_BENCHMARK=OFF
    if [ -n "${6:-}" ]; then
        unter_last "$dir" "$6"
    else
        suite "$dir"
    fi
}

# Of what a line of the table asks, what is named: "suite" (or "last RUNS": the suite with the
# machine oversubscribed), "paket", "installiert". A suite of another release or processor than
# this machine's runs in a root of it; a package is built by sbuild, and tried on a system of its
# processor afterwards.
machen() { # codename architecture what...
    zeile=$(ziel "$2" "$1")
    [ -n "$zeile" ] || { echo "no line for $2 of $1" >&2; return 2; }
    shift 2
    was=" $* "
    set -- $zeile
    runden=$(echo "$was" | sed -n 's/.* last \([0-9]*\) .*/\1/p')
    if [ "$3" = amd64 ]; then
        amd64_machen "$1" "$2" "$was"
        return
    fi
    case "$was" in *" suite "* | *" last "*)
        if wurzel_noetig "$1" "$3"; then
            in_wurzel "$1" "$3" "$5" machen "$1" "$3" $(echo "$was" | sed 's/ paket / /; s/ installiert / /')
        else
            kreuztest "$1" "$2" "$3" "$4" "$5" "$runden"
        fi
        ;;
    esac
    case "$was" in *" paket "*) paket "$1" "$2" "$3" ;; esac
    case "$was" in *" installiert "*)
        tests/fremdes_system.sh "$1" "$3" "build-deb/$1/$3"/lotto-simulator_*.deb ;;
    esac
}

amd64_machen() { # codename number what (machen has set $runden)
    case "$3" in
    *" paket "*) paket "$1" "$2" amd64 ;; # its build runs the suite
    *" suite "*) if [ "$1" = "$EIGENE" ]; then unit_tests; else in_wurzel "$1" amd64 - test; fi ;;
    *" last "*)
        if [ "$1" = "$EIGENE" ]; then last_amd64 "$runden"; else in_wurzel "$1" amd64 - load "$runden"; fi
        ;;
    esac
    case "$3" in *" installiert "*)
        tests/frisches_system.sh "$1" "build-deb/$1/amd64"/lotto-simulator_*.deb \
            "build-deb/$1/amd64/quelle"
        tests/arbeitsplatz.sh "$1" "build-deb/$1/amd64"/lotto-simulator_*.deb
        ;;
    esac
}

last_amd64() { # runs
    build build all
    build build-asan all -DLOTTO_SANITIZE=ON
    unter_last build "$1"
    unter_last build-asan "$1"
}

# This script's command run in a buildd root of the release's main suite, on the files of this
# working tree. The root, with
# what the command installed for the processor, is kept for its next run within the week.
in_wurzel() { # release architecture emulator command...
    release=$1
    vorbereitet=buildd+$2
    emulator=$3
    shift 3
    echo "== $release root: ./build.sh $*"
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
        im w env LOTTO_IN_WURZEL=1 ${LOTTO_LASTEN:+LOTTO_LASTEN=$LOTTO_LASTEN} \
            sh -c "cd /src && ./build.sh $*"
        wurzel_merken w "$release" "$vorbereitet"
    )
}

# A release's package for a processor, built by sbuild (tools/sbuild.sh) from the release's source
# package that tools/quellpaket.sh made into build-deb/quelle/: amd64's with the whole test suite,
# the others cross-built. With "deb" once more, without the tests: both must give the same bits.
# amd64's also from the tree's debian/ as it stands, as a maintainer first tries it; its source
# unpacked beside, for the autopkgtest. Into build-deb/CODENAME/ARCHITECTURE/.
paket() { # codename number architecture
    aus=build-deb/$1/$3
    dsc=$(ls build-deb/quelle/lotto-simulator_*~deb"$2"u1.dsc)
    tools/sbuild.sh "$1" "$3" "$dsc" "$aus"
    if [ -n "${ZWEIMAL:-}" ]; then
        tools/sbuild.sh "$1" "$3" "$dsc" "$aus/nochmal" nocheck
        for d in "$aus"/*.deb; do
            cmp "$d" "$aus/nochmal/$(basename "$d")" ||
                { echo "not reproducible: $d and $aus/nochmal/$(basename "$d")" >&2; return 1; }
        done
        echo "== $aus: the same bits when built once more"
    fi
    if [ "$3" = amd64 ]; then
        tools/sbuild.sh "$1" amd64 "$(ls build-deb/quelle/lotto-simulator_*.dsc | grep -v '~deb')" \
            "$aus/wie-im-baum" nocheck
        dpkg-source -x "$dsc" "$aus/quelle" >/dev/null 2>&1
    fi
    (cd "$aus" && sha256sum ./*.deb)
    dpkg-deb -x "$aus"/lotto-simulator_*.deb "$aus/inhalt"
    if readelf -d "$aus/inhalt/usr/bin/lotto-simulator" | grep -E 'R(UN)?PATH'; then
        echo "the packaged program carries a library search path" >&2
        return 1
    fi
}

# Each line of the table, in its order: with "deb" its package and the package's try on a fresh
# system, each package built twice; with "ci" its suite where CI runs it, amd64's package (built
# once) and its try. Each line says how long it took.
alle() { # deb|ci
    install_debian "dpkg-dev, debootstrap, mmdebstrap, sbuild, uidmap, blhc, autopkgtest, git,
                    binutils, xz-utils"
    rm -rf build-deb
    # The buildd roots that built the packages before sbuild did.
    (. tools/wurzel.sh && ungenutzt_weg "$WURZEL_CACHE"/*-buildd+bau-*)
    tools/quellpaket.sh build-deb/quelle
    tests/quellpaket.sh build-deb/quelle
    echo "$ZIELE" | while read -r codename _ arch _ _ flags; do
        [ -n "$codename" ] || continue
        was=
        if [ "$1" = ci ]; then
            ! hat "$flags" ci || was=suite
            ! hat "$flags" last || was="last 1"
        fi
        if [ "$1" = deb ] || { [ "$arch" = amd64 ] && [ -n "$was" ]; }; then
            for schritt in paket installiert; do
                ! hat "$flags" $schritt || was="$was $schritt"
            done
        fi
        [ -n "$was" ] || continue
        zeile_seit=$(date +%s)
        machen "$codename" "$arch" $was
        echo "== $codename $arch (${was# }): $(($(date +%s) - zeile_seit)) s"
    done
}

# Offscreen, then the continuous run on Xvfb without and with an accessibility client (AT-SPI).
bench() {
    install_debian "dbus, at-spi2-core, python3-pyatspi"
    build build lotto_benchmark
    QT_QPA_PLATFORM=offscreen ./build/benchmarks/lotto_benchmark
    benchmarks/zugang.sh build/benchmarks/lotto_benchmark
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
    machen "$codename" "$arch" last "${1:-1}"
    ;;
bench) bench ;;
deb) ZWEIMAL=ja; alle deb ;;
ci) export LOTTO_LASTEN="$jobs"; alle ci ;; # its run under load: the cores oversubscribed twofold
machen) shift; machen "$@" ;; # in a root, see in_wurzel
*)
    if [ -n "${1:-}" ] && [ -n "$(ziel "$1" "${2:-}" test)" ]; then
        machen "$(ziel "$1" "${2:-}" test | cut -d' ' -f1)" "$1" suite
    else
        echo "usage: $0 run|test|bench|deb|ci|load [PROCESSOR [RELEASE]] [RUNS]|PROCESSOR [RELEASE]" >&2
        echo "processors: $(echo "$ZIELE" | awk '/test/ { print $3 }' |
            sort -u | paste -sd ' ')" >&2
        exit 2
    fi
    ;;
esac
