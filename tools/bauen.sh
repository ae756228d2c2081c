# SPDX-License-Identifier: GPL-2.0-or-later
# How the program is set up, built and tested: what it needs of Debian, a CMake build, its test
# suite (also with the machine oversubscribed, also cross-built and run through qemu), and the
# table tools/ziele that names every release and processor. Sourced, after tools/apt.sh, from the
# top of the tree by build.sh, tools/suite.sh and tools/pakete.sh; run as root.
#
#   ziel ARCHITECTURE [CODENAME] [FLAG]   a processor's line of the table (see there)
#   install_debian DEPENDENCIES           what a comma-separated list of dependencies asks for
#   install_packages                      what building and testing the program needs
#   build DIR TARGET [CMAKE OPTIONS...]   a CMake build
#   unit_tests | last_amd64 RUNS          this machine's suite, normally and under ASan/UBSan
#   kreuztest ARCH TRIPLET EMULATOR [RUNS]
#                                         a processor's suite (in a root of its release only)

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

# The three faces that "courier" becomes on common desktops are all tested; so is the German locale.
# The accessibility tests act as a screen reader's bridge through Qt's platform interface
# (qt6-base-private-dev). Qt's SVG plugins draw the window's icon; Debian 13 moved them out of
# libqt6svg6. ccache keeps what was compiled for the next build of the same sources.
PACKAGES="g++, make, cmake, ccache, qt6-base-dev, qt6-base-private-dev,
          qt6-svg-plugins | libqt6svg6 (<< 6.7.2-5~), fonts-liberation2, fonts-urw-base35,
          fonts-dejavu-core, locales, xvfb, xauth, x11-utils, imagemagick, desktop-file-utils,
          appstream"

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

# Through ccache, which takes paths below the tree as relative to it: a build in another clone of
# the same sources finds what this one compiled.
build() { # build-dir target [cmake options...]
    dir=$1
    target=$2
    shift 2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
        "$@" >/dev/null
    CCACHE_BASEDIR=$(pwd) CCACHE_NOHASHDIR=1 cmake --build "$dir" -j "$jobs" --target "$target"
}

suite() { # build-dir
    (cd "$1" && ctest --output-on-failure -j "$jobs")
}

unit_tests() {
    build build all
    suite build
    build build-asan all -DLOTTO_SANITIZE=ON -DLOTTO_BENCHMARK=OFF
    suite build-asan
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

last_amd64() { # runs
    build build all
    build build-asan all -DLOTTO_SANITIZE=ON
    unter_last build "$1"
    unter_last build-asan "$1"
}

# The program cross-built with the release's cross compiler and the processor's own Qt; the tests
# run in its emulator, RUNS times with the machine oversubscribed if asked. Without debug
# information, a quarter of the compile time: these runs are read by their results. The processor
# is added to dpkg in a root only: this machine's apt never fetches an index of it.
kreuztest() { # architecture triplet emulator [runs]
    [ -n "${LOTTO_IN_WURZEL:-}" ] || { echo "not adding $1 to this machine's dpkg" >&2; exit 1; }
    dpkg --print-foreign-architectures | grep -qx "$1" || dpkg --add-architecture "$1"
    install_debian "dpkg-dev, g++-$2, qt6-base-dev:$1, qt6-base-private-dev:$1,
                    qt6-svg-plugins:$1 | libqt6svg6:$1 (<< 6.7.2-5~)"
    command -v "$3" >/dev/null || install_debian qemu-user-static
    dir=build-$1
    build "$dir" all -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DTRIPEL="$2" \
        -DEMULATOR="$3" -DMULTIARCH="$(dpkg-architecture -a"$1" -qDEB_HOST_MULTIARCH)" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DLOTTO_BENCHMARK=OFF
    if [ -n "${4:-}" ]; then
        unter_last "$dir" "$4"
    else
        suite "$dir"
    fi
}
