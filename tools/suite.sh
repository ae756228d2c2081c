#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The whole test suite, set up, built and run where this is started: in a root that build.sh made
# of the release for it (LOTTO_IN_WURZEL set), or here for this machine's own processor. As root:
#   tools/suite.sh amd64 [RUNS]                           normally and under ASan/UBSan
#   tools/suite.sh ARCHITECTURE TRIPLET EMULATOR [RUNS]   cross-built, run through the emulator
# With RUNS, that many times in a row with the machine oversubscribed (tools/bauen.sh).
set -eu
cd "$(dirname "$0")/.."
exec 3>&2
. tools/apt.sh
. tools/bauen.sh

install_packages
if [ "$1" = amd64 ]; then
    if [ -n "${2:-}" ]; then last_amd64 "$2"; else unit_tests; fi
else
    kreuztest "$@"
fi
