#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The try by reprotest fails a source package that does not build to the same bits: the release's,
# changed so that its package carries the umask and the locale it was built under, as a build that
# reads its environment would. As root:
#   tests/reprotest_faengt.sh RELEASE lotto-simulator_VERSION.dsc
set -eu
cd "$(dirname "$0")/.."
release=$1
dsc=$(realpath "$2")
arbeit=$(mktemp -d /var/tmp/reprofaengt.XXXXXX)
trap 'rm -rf "$arbeit"' EXIT
fehler() { echo "FAIL: $*" >&2; exit 1; }

dpkg-source -x "$dsc" "$arbeit/baum" >/dev/null 2>&1
cat >> "$arbeit/baum/debian/rules" <<'EOF'

override_dh_install:
	dh_install
	mkdir -p debian/lotto-simulator/usr/share/lotto-simulator
	echo "$$(umask) $$LC_ALL $$LANG" > debian/lotto-simulator/usr/share/lotto-simulator/gebaut
EOF
(cd "$arbeit" && dpkg-source -b baum >/dev/null 2>&1) || fehler "the changed source does not pack"
status=0
tools/reprotest.sh "$release" "$(ls "$arbeit"/*.dsc)" "$arbeit/aus" >"$arbeit/aus.out" 2>&1 || status=$?
[ $status -ne 0 ] || fehler "reprotest passed a package that carries its builder's umask and locale"
grep -q "usr/share/lotto-simulator/gebaut" "$arbeit/aus/reprotest.log" ||
    fehler "reprotest failed, but not for the file that differs: $(tail -5 "$arbeit/aus.out")"
echo "== reprotest on $release fails a package that carries its builder's umask and locale"
