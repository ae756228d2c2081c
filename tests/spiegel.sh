#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The set-up's apt-get against a mirror in the middle of its sync, served on 127.0.0.1: a Packages
# file that its Release does not describe fails the update, which is tried again and passes once
# the mirror is whole; a mirror that stays broken fails after the last try, with apt's message.
# As root, with python3:
#   tests/spiegel.sh
set -eu
cd "$(dirname "$0")/.."
arbeit=$(mktemp -d)
server=
trap '[ -z "$server" ] || kill $server; rm -rf "$arbeit"' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }
. tools/apt.sh
APT_PAUSE=1

index=$arbeit/spiegel/dists/probe/main/binary-amd64
mkdir -p "$index"
printf 'Package: probe\nVersion: 1\nArchitecture: all\nFilename: pool/probe_1_all.deb\nSize: 1\n\n' > "$arbeit/heil"
head -c 40 "$arbeit/heil" > "$arbeit/halb" # the sync midway
printf 'Suite: probe\nDate: %s\nArchitectures: amd64\nComponents: main\nSHA256:\n %s %s main/binary-amd64/Packages\n' \
    "$(date -R -u)" "$(sha256sum < "$arbeit/heil" | cut -d' ' -f1)" "$(wc -c < "$arbeit/heil")" \
    > "$arbeit/spiegel/dists/probe/Release"
python3 -m http.server --bind 127.0.0.1 0 --directory "$arbeit/spiegel" > "$arbeit/server.log" 2>&1 &
server=$!
until port=$(grep -o 'port [0-9]*' "$arbeit/server.log" | cut -d' ' -f2) && [ -n "$port" ]; do
    kill -0 $server 2>/dev/null || fehler "no web server: $(cat "$arbeit/server.log")"
    sleep 0.1
done
echo "deb [trusted=yes] http://127.0.0.1:$port probe main" > "$arbeit/sources.list"
mkdir -p "$arbeit/listen/partial"
# apt-get update of this suite alone, counting its tries; after the first the mirror is whole, or not.
printf '#!/bin/sh\necho >> "%s/versuche"\nstatus=0\napt-get -o Dir::Etc::SourceList=%s/sources.list -o Dir::Etc::SourceParts=- -o Dir::State::Lists=%s/listen -o APT::Architectures::=amd64 -o Acquire::Languages=none "$@" || status=$?\n[ "$WIE" = bleibt-halb ] || cp %s/heil %s/Packages\nexit $status\n' \
    "$arbeit" "$arbeit" "$arbeit" "$arbeit" "$index" > "$arbeit/apt"
chmod +x "$arbeit/apt"

# what the mirror does  status  tries  said
while read -r wie soll versuche gesagt; do
    : > "$arbeit/versuche"
    cp "$arbeit/halb" "$index/Packages"
    rm -f "$arbeit/listen"/*Packages*
    status=0
    WIE=$wie apt_versuchen "$arbeit/apt" update -qq 2> "$arbeit/meldungen" || status=$?
    [ "$status" = "$soll" ] || fehler "$wie: status $status, not $soll: $(cat "$arbeit/meldungen")"
    [ "$(wc -l < "$arbeit/versuche")" = "$versuche" ] || fehler "$wie: $(wc -l < "$arbeit/versuche") tries"
    grep -q "$(echo "$gesagt" | tr _ ' ')" "$arbeit/meldungen" || fehler "$wie: not \"$gesagt\": $(cat "$arbeit/meldungen")"
    echo "== a mirror that $wie: status $status after $versuche tries"
done <<'FAELLE'
heilt       0 2 once_more_in_1_s
bleibt-halb 1 3 Mirror_sync_in_progress
FAELLE
