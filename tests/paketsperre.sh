#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# While another package manager holds dpkg's lock, the set-up says so and waits for it instead of
# failing. As root, on a machine with python3 (which holds the lock as apt does, with fcntl):
#   tests/paketsperre.sh
set -eu
cd "$(dirname "$0")/.."
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }

# The lock is held until the set-up has said that it waits, however slow the machine.
python3 -c 'import fcntl, os, sys, time
f = open("/var/lib/dpkg/lock-frontend", "w"); fcntl.lockf(f, fcntl.LOCK_EX)
open(sys.argv[1], "w").close()
while not os.path.exists(sys.argv[2]): time.sleep(0.1)' "$arbeit/gesperrt" "$arbeit/frei" &
until [ -e "$arbeit/gesperrt" ]; do sleep 0.1; done
./build.sh >/dev/null 2>"$arbeit/meldung" &
einrichtung=$!
until grep -q "Waiting up to 10 minutes for another package manager: .*python3" "$arbeit/meldung"
do
    kill -0 $einrichtung 2>/dev/null || fehler "the set-up went on without waiting: $(cat "$arbeit/meldung")"
    sleep 0.1
done
kill -0 $einrichtung 2>/dev/null || fehler "the set-up said it waits, but did not"
touch "$arbeit/frei"
status=0
wait $einrichtung || status=$?
# Without a command the set-up ends with its usage, once the packages are there.
[ $status -eq 2 ] || fehler "status $status once the lock was free: $(cat "$arbeit/meldung")"
echo "the set-up waited for dpkg's lock, then went on"
