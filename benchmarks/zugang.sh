#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The continuous run on a real X server (Xvfb), once as on a desktop without a screen reader and
# once with an accessibility client listening on the AT-SPI bus, as Orca does.
#   benchmarks/zugang.sh path/to/lotto_benchmark
set -eu
programm=$(realpath "$1")
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
export XDG_RUNTIME_DIR="$arbeit"

echo "== On Xvfb, no accessibility client"
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- "$programm" --lauf

echo "== On Xvfb, an accessibility client listening"
cat > "$arbeit/mit-zuhoerer.sh" <<'INNEN'
set -eu
/usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
sleep 1
/usr/bin/python3 "$ZUHOERER_SKRIPT" "$LOTTO_ZUHOERER" & zuhoerer=$!
for i in $(seq 50); do [ -s "$LOTTO_ZUHOERER" ] && break; sleep 0.1; done
# The bus: the accessibility bus's own dbus-daemon and the registry.
LOTTO_BUS="$(pgrep -f 'at-spi2/accessibility.conf' || true) $(pgrep -f at-spi2-registryd || true)"
export LOTTO_BUS
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROGRAMM" --lauf
kill $zuhoerer $launcher 2>/dev/null || true
INNEN
ZUHOERER_SKRIPT="$(dirname "$(realpath "$0")")/zuhoerer.py" LOTTO_ZUHOERER="$arbeit/gehoert" \
    PROGRAMM="$programm" xvfb-run -a -s "-screen 0 1024x768x24" \
    dbus-run-session -- sh "$arbeit/mit-zuhoerer.sh"
