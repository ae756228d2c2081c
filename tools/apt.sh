# SPDX-License-Identifier: GPL-2.0-or-later
# apt-get as the set-up and the roots of tools/wurzel.sh run it. Sourced; run as root.
#
#   apt_get ARGUMENTS...           apt-get on this machine
#   apt_versuchen COMMAND...       any apt command (apt-get in a root, debootstrap, mmdebstrap)
#
# Both wait up to 10 minutes while another package manager holds dpkg's lock (a desktop that has
# just started often runs unattended-upgrades or a software centre), saying so; and both try a
# failed download twice more, a minute apart: a mirror in the middle of its sync serves for a while
# files that its Release file does not describe ("Mirror sync in progress?"), and a connection may
# drop. What failed is shown only when the last try fails too.

APT_VERSUCHE=${APT_VERSUCHE:-3}
APT_PAUSE=${APT_PAUSE:-60}

# To standard error, or to descriptor 3 where the caller keeps one open for what must be seen even
# where apt's own messages are not.
apt_meldung() {
    if { true >&3; } 2>/dev/null; then echo "$*" >&3; else echo "$*" >&2; fi
}

apt_versuchen() { # command...
    export DEBIAN_FRONTEND=noninteractive
    meldungen=$(mktemp)
    gewartet=0
    versuch=1
    until "$@" 2>"$meldungen"; do
        sperre=$(grep -o 'Could not get lock .*' "$meldungen" | head -1)
        if [ -n "$sperre" ] && [ $gewartet -lt 600 ]; then
            [ $gewartet -gt 0 ] ||
                apt_meldung "Waiting up to 10 minutes for another package manager: $sperre"
            sleep 5
            gewartet=$((gewartet + 5))
        elif [ -z "$sperre" ] && [ $versuch -lt "$APT_VERSUCHE" ] &&
            grep -Eq 'Failed to fetch|Unable to fetch|Mirror sync in progress|Hash Sum mismatch|unexpected size|Temporary failure|Could not connect|Connection failed|Couldn.t download|Failed getting release file|Failed to download|apt-get update failed' "$meldungen"; then
            apt_meldung "$1: a download failed ($(grep -Eo '(E|W): .{0,100}' "$meldungen" | head -1)); once more in $APT_PAUSE s"
            sleep "$APT_PAUSE"
            versuch=$((versuch + 1))
        else
            cat "$meldungen" >&2
            rm -f "$meldungen"
            return 1
        fi
    done
    cat "$meldungen" >&2
    rm -f "$meldungen"
}

apt_get() { # apt-get arguments...
    apt_versuchen apt-get -o Acquire::Retries=3 "$@"
}
