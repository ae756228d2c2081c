#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The try by piuparts fails what it should fail: the release's package, changed so that installing
# it leaves a file of its own that its purge does not remove, and, unchanged, against a version
# before that piuparts cannot find (the upgrade would go untried). As root:
#   tests/piuparts_faengt.sh RELEASE NUMBER lotto-simulator_VERSION_amd64.deb
set -eu
cd "$(dirname "$0")/.."
release=$1
nummer=$2
deb=$(realpath "$3")
arbeit=$(mktemp -d /var/tmp/faengt.XXXXXX)
trap 'rm -rf "$arbeit"' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }

dpkg-deb -R "$deb" "$arbeit/paket"
cat > "$arbeit/paket/DEBIAN/postinst" <<'EOF'
#!/bin/sh
set -e
mkdir -p /var/lib/lotto-simulator
echo "left behind" > /var/lib/lotto-simulator/rest
EOF
chmod 755 "$arbeit/paket/DEBIAN/postinst"
dpkg-deb -b "$arbeit/paket" "$arbeit/$(basename "$deb")" >/dev/null
status=0
tools/piuparts.sh "$release" "$nummer" "$arbeit/$(basename "$deb")" "$arbeit/rest" \
    >"$arbeit/rest.out" 2>&1 || status=$?
[ $status -ne 0 ] || fehler "piuparts passed a package that leaves /var/lib/lotto-simulator/rest"
grep -q "/var/lib/lotto-simulator/rest" "$arbeit/rest/piuparts.log" ||
    fehler "piuparts failed, but not for the file left: $(tail -5 "$arbeit/rest.out")"

# An empty repository for the version before.
mkdir "$arbeit/leer"
status=0
tools/piuparts.sh "$release" "$nummer" "$deb" "$arbeit/ohne" "$arbeit/leer" \
    >"$arbeit/ohne.out" 2>&1 || status=$?
[ $status -ne 0 ] || fehler "an upgrade from no version before passed for one"
grep -q "Installation, upgrade and purging tests" "$arbeit/ohne.out" ||
    fehler "without the version before, it failed otherwise: $(tail -5 "$arbeit/ohne.out")"
echo "== piuparts on $release fails a package that leaves a file, and an upgrade it did not try"
