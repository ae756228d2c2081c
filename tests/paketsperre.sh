#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# While another package manager holds dpkg's lock, the set-up says so and waits for it instead of
# failing. As root, on a machine with python3 (which holds the lock as apt does, with fcntl):
#   tests/paketsperre.sh
set -eu
cd "$(dirname "$0")/.."
python3 -c 'import fcntl, time
f = open("/var/lib/dpkg/lock-frontend", "w"); fcntl.lockf(f, fcntl.LOCK_EX); time.sleep(8)' &
sleep 1
anfang=$(date +%s)
status=0
meldung=$(./build.sh 2>&1 >/dev/null) || status=$?
dauer=$(($(date +%s) - anfang))
echo "$meldung" | grep -q "Waiting up to 10 minutes for another package manager: .*python3" &&
    [ $status -eq 2 ] && [ $dauer -ge 5 ] ||
    { echo "FAIL: status $status after $dauer s: $meldung" >&2; exit 1; }
echo "the set-up waited $dauer s for dpkg's lock, then went on"
