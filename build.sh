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
#   ./build.sh ci     what CI does after ./build.sh test: everything the table below asks
set -eu
cd "$(dirname "$0")"
exec 3>&2 # what must be seen even where apt's own messages are not

# What we build for, a line each: the Debian release (codename and number), the processor (Debian's
# architecture, the GNU triplet of its compiler, its emulator on an amd64 machine) and what is done:
#   test         the whole test suite runs there: amd64 natively, the others cross-built and
#                through the emulator (./build.sh PROCESSOR RELEASE)
#   ci           CI runs that suite; "last": CI runs it with the machine oversubscribed. amd64's
#                runs in its package's build, which CI then tries as "installiert" asks (this
#                machine's release also by ./build.sh test, which CI runs first). The other
#                processors' packages and their tries are ./build.sh deb's
#   paket        the Debian package is built (amd64 with the test suite, in a clean root of the
#                release; the others cross-built) and linted by the release's lintian
#   installiert  the package is installed on a fresh system of that release and processor, tried
#                and purged (amd64's also with GNOME Shell and Orca)
#   wurzel       in a root of the release's main suite, where a machine of that release cannot
#                install the processor's packages beside its own (Debian 12's security archive
#                carries no armel and s390x: their libraries lag behind the machine's own)
# This machine's mirror serves Debian 13's armel, ppc64el and s390x package lists but not the files
# of their last point release (libc6, zlib1g, libpng, ...: 404), so CI runs Debian 12's suites of them.
# Whatever is done for another release than this machine's is done in a root of that release. A
# release's packages are versioned VERSION~debNUMBERu1: the newer release's sort above, and
# Debian's own above both.
ZIELE='
bookworm 12 amd64   x86_64-linux-gnu      -                   test,ci,paket,installiert
bookworm 12 arm64   aarch64-linux-gnu     qemu-aarch64-static test,paket
bookworm 12 armel   arm-linux-gnueabi     qemu-arm-static     test,ci,paket,wurzel
bookworm 12 armhf   arm-linux-gnueabihf   qemu-arm-static     test,paket
bookworm 12 i386    i686-linux-gnu        qemu-i386-static    test,ci,paket
bookworm 12 ppc64el powerpc64le-linux-gnu qemu-ppc64le-static test,ci,paket
bookworm 12 s390x   s390x-linux-gnu       qemu-s390x-static   test,ci,paket,wurzel
trixie   13 amd64   x86_64-linux-gnu      -                   test,ci,paket,installiert
trixie   13 arm64   aarch64-linux-gnu     qemu-aarch64-static test,ci,paket,installiert
trixie   13 armel   arm-linux-gnueabi     qemu-arm-static     test,paket
trixie   13 armhf   arm-linux-gnueabihf   qemu-arm-static     test,last,paket,installiert
trixie   13 ppc64el powerpc64le-linux-gnu qemu-ppc64le-static test,paket
trixie   13 riscv64 riscv64-linux-gnu     qemu-riscv64-static test,paket
trixie   13 s390x   s390x-linux-gnu       qemu-s390x-static   test,paket
'
EIGENE=$(. /etc/os-release && echo "$VERSION_CODENAME")
hat() { # flags flag
    case ",$1," in *",$2,"*) true ;; *) false ;; esac
}
# A processor's line of a release, or its newest line with a flag.
ziel() { # architecture [codename] [flag]
    echo "$ZIELE" | sort -k2,2nr | awk -v a="$1" -v r="${2:-}" -v f="${3:-}" \
        '$3 == a && (r == "" || $1 == r) && (f == "" || index("," $6 ",", "," f ",")) { print; exit }'
}
wurzel_noetig() { # codename flags: whether it moves into a root of the release, not being in one
    [ -z "${LOTTO_IN_WURZEL:-}" ] && { [ "$1" != "$EIGENE" ] || hat "$2" wurzel; }
}

# The three faces that "courier" becomes on common desktops are all tested; so is the German locale.
# The accessibility tests act as a screen reader's bridge through Qt's platform interface
# (qt6-base-private-dev). Qt's SVG plugins draw the window's icon; Debian 13 moved them out of
# libqt6svg6.
PACKAGES="g++, make, cmake, qt6-base-dev, qt6-base-private-dev,
          qt6-svg-plugins | libqt6svg6 (<< 6.7.2-5~), fonts-liberation2, fonts-urw-base35,
          fonts-dejavu-core, locales, xvfb, xauth, x11-utils, imagemagick, desktop-file-utils,
          appstream"

# apt-get, waiting up to 10 minutes while another package manager holds its lock (a desktop that
# has just started often runs unattended-upgrades or a software centre), and saying so.
apt_get() {
    export DEBIAN_FRONTEND=noninteractive
    meldungen=$(mktemp)
    gewartet=0
    until apt-get "$@" 2>"$meldungen"; do
        sperre=$(grep -o 'Could not get lock .*' "$meldungen" | head -1)
        if [ -z "$sperre" ] || [ $gewartet -ge 600 ]; then
            cat "$meldungen" >&2
            rm -f "$meldungen"
            return 1
        fi
        [ $gewartet -gt 0 ] ||
            echo "Waiting up to 10 minutes for another package manager: $sperre" >&3
        sleep 5
        gewartet=$((gewartet + 5))
    done
    cat "$meldungen" >&2
    rm -f "$meldungen"
}

# An apt-get command that needs the package lists: they are fetched only when it fails without.
mit_listen() { # apt-get arguments...
    apt_get "$@" >/dev/null 2>&1 || {
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

fremde_architektur() { # architecture: its packages installable here
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
# machine oversubscribed), "paket", "installiert". Where the line's release is not this machine's,
# in a root of it; a package's try on a system of its processor afterwards, here.
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
    case "$was" in *" paket "*) [ -n "${LOTTO_IN_WURZEL:-}" ] || quelle "build-deb/$1/$3" "$1" "$2" ;; esac
    if wurzel_noetig "$1" "$6"; then
        in_wurzel "$1" "$3" "$5" machen "$1" "$3" $(echo "$was" | sed 's/ installiert / /')
    else
        case "$was" in
        *" last "*) kreuztest "$1" "$2" "$3" "$4" "$5" "$runden" ;;
        *" suite "*) kreuztest "$1" "$2" "$3" "$4" "$5" ;;
        esac
        case "$was" in *" paket "*)
            kreuzpaket "build-deb/$1/$3" "$3"
            sha256sum "build-deb/$1/$3"/*.deb
            ;;
        esac
    fi
    case "$was" in *" installiert "*)
        tests/fremdes_system.sh "$1" "$3" "build-deb/$1/$3"/lotto-simulator_*.deb ;;
    esac
}

amd64_machen() { # codename number what (machen has set $runden)
    case "$3" in
    *" paket "*) paket "$1" "$2" ;; # its build runs the suite
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
# working tree and what build-deb/ holds; what it builds into build-deb/ comes back. The root, with
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
        { git ls-files; find build-deb -maxdepth 0 2>/dev/null; } | tar -c -T - | tar -x -C "$ARBEIT/w/src"
        # The emulator is this machine's: a static program, and the same one for every release.
        if [ "$emulator" != - ]; then
            command -v "$emulator" >/dev/null || install_debian qemu-user-static
            cp "$(command -v "$emulator")" "$ARBEIT/w/usr/local/bin/"
        fi
        im w env LOTTO_IN_WURZEL=1 ${LOTTO_LASTEN:+LOTTO_LASTEN=$LOTTO_LASTEN} \
            sh -c "cd /src && ./build.sh $*"
        if [ -d "$ARBEIT/w/src/build-deb" ]; then
            mkdir -p build-deb
            cp -r "$ARBEIT/w/src/build-deb/." build-deb/
        fi
        wurzel_merken w "$release" "$vorbereitet"
    )
}

# The last commit as the package's source for a release, in FOLDER/lotto-simulator: its changelog's
# newest entry names the release and carries its version suffix. Without a release, as it is.
quelle() { # folder [codename number]
    mkdir -p "$1"
    git archive --prefix=lotto-simulator/ HEAD | tar -x -C "$1"
    [ -z "${2:-}" ] ||
        sed -i "1s/^\([^ ]*\) (\([^)]*\)) [^;]*;/\1 (\2~deb$3u1) $2;/" "$1/lotto-simulator/debian/changelog"
}

# A release's package, built as Debian's build daemons do: in a fresh buildd root of that release
# with only what debian/control asks for, the whole test suite run during the build. Then once
# more without the tests, in another folder: both must give the same bits. Linted by the release's
# own lintian, which must show no error and no warning. Into build-deb/CODENAME/amd64/.
# The root with the build's dependencies installed is kept for the week under the fingerprint of
# debian/control: a dependency dropped there is gone from the next root too.
paket() { # codename number
    aus=build-deb/$1/amd64
    ARBEIT=$(mktemp -d /var/tmp/paket.XXXXXX)
    (
        . tools/wurzel.sh
        trap wurzeln_weg EXIT
        steuerung=$(git show HEAD:debian/control | sha256sum | cut -c1-12)
        vorbereitet=buildd+bau-$steuerung
        wurzel bau "$1" "$vorbereitet"
        if ! frisch "$(wurzel_tar "$1" "$vorbereitet" amd64)"; then
            mkdir -p "$ARBEIT/bau/src"
            git archive HEAD debian | tar -x -C "$ARBEIT/bau/src"
            im bau apt-get update -qq
            im bau sh -c 'cd /src && apt-get build-dep -y -qq ./ >/dev/null'
            wurzel_merken bau "$1" "$vorbereitet"
            einhaengen bau "$1" buildd
            for alt in "$WURZEL_CACHE/$1"-buildd+bau-*-amd64.tar; do
                [ "$alt" = "$(wurzel_tar "$1" "$vorbereitet" amd64)" ] || ungenutzt_weg "$alt" "$alt".[0-9]*
            done
        fi
        quelle "$ARBEIT/bau/build" "$1" "$2"
        quelle "$ARBEIT/bau/anderswo/ohne-tests" "$1" "$2"
        quelle "$ARBEIT/bau/wie-im-baum" # as a maintainer first tries debian/: the tree unchanged
        # Built, tested and linted by a user of its own, as on Debian's build daemons.
        im bau useradd --create-home bauer
        im bau chown -R bauer: /build /anderswo /wie-im-baum
        als_bauer() { im bau setpriv --reuid=bauer --regid=bauer --init-groups env HOME=/home/bauer "$@"; }
        bauen() { # folder in the root [nocheck]
            anfang=$(date +%s)
            als_bauer sh -c "cd /$1 && DEB_BUILD_OPTIONS='${2:-}' dpkg-buildpackage -us -uc -b -jauto \
                ${2:+-P$2} >../bau.log 2>&1" || { tail -50 "$ARBEIT/bau/$1/../bau.log"; exit 1; }
            echo "== $aus: $(dirname "$1") built ${2:+without tests }in $(($(date +%s) - anfang)) s"
        }
        bauen build/lotto-simulator
        [ -z "${ZWEIMAL:-}" ] || bauen anderswo/ohne-tests/lotto-simulator nocheck
        bauen wie-im-baum/lotto-simulator nocheck
        [ -z "${ZWEIMAL:-}" ] || for d in "$ARBEIT"/bau/build/*.deb; do
            cmp "$d" "$ARBEIT/bau/anderswo/ohne-tests/$(basename "$d")" || {
                echo "not reproducible: $(basename "$d"), both kept in $aus/anders" >&2
                mkdir -p "$aus/anders/ohne-tests"
                cp "$d" "$aus/anders/"
                cp "$ARBEIT/bau/anderswo/ohne-tests/$(basename "$d")" "$aus/anders/ohne-tests/"
                exit 1
            }
        done
        im bau apt-get install -y -qq --no-install-recommends lintian >/dev/null 2>&1 ||
            { im bau apt-get update -qq; im bau apt-get install -y -qq --no-install-recommends lintian >/dev/null; }
        als_bauer sh -c 'lintian -I -E --pedantic --fail-on error,warning /build/*.changes \
            /wie-im-baum/*.changes'
        echo "== $aus: lintian $(im bau dpkg-query -W -f '${Version}' lintian) has nothing to say"
        mkdir -p "$aus"
        cp "$ARBEIT"/bau/build/*.deb "$ARBEIT"/bau/build/*.changes "$ARBEIT"/bau/build/*.buildinfo "$aus"
        cp -r "$ARBEIT/bau/build/lotto-simulator" "$aus/quelle"
    )
    echo "${ZWEIMAL:+reproducible: }$(cd "$aus" && sha256sum ./*.deb)"
    dpkg-deb -x "$aus"/lotto-simulator_*.deb "$aus/inhalt"
    if readelf -d "$aus/inhalt/usr/bin/lotto-simulator" | grep -E 'R(UN)?PATH'; then
        echo "the packaged program carries a library search path" >&2
        return 1
    fi
}

# A package cross-built for a processor, from the source quelle() laid out in FOLDER; then once
# more from a copy in another folder: both must give the same bits. Linted by the release's lintian.
kreuzpaket() { # folder architecture
    install_debian "dpkg-dev, debhelper, lintian, crossbuild-essential-$2"
    fremde_architektur "$2"
    mit_listen build-dep -y -qq -a "$2" -Pcross,nocheck "$(pwd)/$1/lotto-simulator" >/dev/null
    mkdir -p "$1/anderswo"
    cp -a "$1/lotto-simulator" "$1/anderswo/"
    for ordner in "$1" "$1/anderswo"; do
        anfang=$(date +%s)
        (cd "$ordner/lotto-simulator" && DEB_BUILD_OPTIONS=nocheck \
            dpkg-buildpackage -us -uc -b -jauto -a "$2" -Pcross,nocheck >../bau.log 2>&1) ||
            { tail -50 "$ordner/bau.log"; return 1; }
        echo "== $ordner: cross-built in $(($(date +%s) - anfang)) s"
    done
    for d in "$1"/*.deb; do
        cmp "$d" "$1/anderswo/$(basename "$d")" || { echo "not reproducible: $d" >&2; return 1; }
    done
    rm -r "$1/anderswo"
    lintian -I -E --pedantic --fail-on error,warning "$1"/*.changes
    echo "== $1: reproducible; lintian $(dpkg-query -W -f '${Version}' lintian) has nothing to say"
}

# Each line of the table, in its order: with "deb" its package and the package's try on a fresh
# system, each package built twice; with "ci" its suite where CI runs it, amd64's package (built
# once) and its try. Each line says how long it took.
alle() { # deb|ci
    install_debian "dpkg-dev, debhelper, lintian, debootstrap, mmdebstrap, autopkgtest, git, binutils"
    rm -rf build-deb
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
