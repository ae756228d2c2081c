#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Runs a command and fails if it has left this machine otherwise than it found it, but for the
# packages it installed and their files: the architectures of dpkg, apt's sources, configuration and keys, what is
# mounted, a process still running in a root. CI runs itself through it. As root:
#   tests/unveraendert.sh COMMAND...
set -eu
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT

zustand() {
    echo "dpkg architectures: $(dpkg --print-architecture) $(dpkg --print-foreign-architectures | sort | paste -sd ' ')"
    # A package's own files there (appstream's hook, say) came with the set-up.
    find /etc/apt -type f -not -name '*.save' -not -name '*~' | sort | while read -r datei; do
        dpkg -S "$datei" >/dev/null 2>&1 || echo "apt: $(sha256sum "$datei")"
    done
    # The emulators' registration with the kernel is the set-up's (qemu-user-static).
    awk '$3 != "binfmt_misc" { print "mounted: " $2 }' /proc/mounts | sort -u
    # Our roots are below /var/tmp (sbuild's chroots are sbuild's own to end).
    for p in /proc/[0-9]*; do
        wurzel=$(readlink "$p/root" 2>/dev/null) || continue
        case $wurzel in /var/tmp/* | /var/cache/lotto-simulator/*)
            echo "running in $wurzel: $(tr '\0' ' ' < "$p/cmdline" | cut -c1-80)" ;;
        esac
    done
}

zustand > "$arbeit/vorher"
status=0
"$@" || status=$?
zustand > "$arbeit/nachher"
if ! diff -u "$arbeit/vorher" "$arbeit/nachher" > "$arbeit/unterschied"; then
    echo "FAIL: $* left the machine otherwise than it found it:" >&2
    grep '^[-+][^-+]' "$arbeit/unterschied" >&2
    exit 1
fi
echo "== $*: the machine's dpkg architectures, apt sources, mounts and roots as before"
exit $status
