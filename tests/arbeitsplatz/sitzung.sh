#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# In a root of a Debian release with GNOME Shell, Orca and the package installed, as root: starts
# GNOME Shell headless as the desktop a user logs into, and checks what the shell and the screen
# reader make of the simulator.
#   sitzung.sh x11        GNOME on X11 (on Xvfb): the window's app-id, started from a terminal and
#                         from the launcher; then Orca, driven by the keyboard, by what it says
#   sitzung.sh wayland    GNOME on Wayland: the app-id without Qt's Wayland plugin and with it
set -eu
hier=$(dirname "$(realpath "$0")")
ID=org.example.lottosimmulator
TITEL="Lotto Simmulator!"

fehler() { echo "FAIL: $*" >&2; exit 1; }

# Waits until a command succeeds, for SEKUNDEN at most: however slow the machine, only a failing
# check takes that long.
bis() { # seconds what command...
    sekunden=$1 was=$2
    shift 2
    ende=$(($(date +%s) + sekunden))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -lt $ende ] || fehler "$was: not within $sekunden s"
        sleep 0.1
    done
}

shell_da() { gdbus introspect --session --dest org.gnome.Shell --object-path /org/gnome/Shell/Introspect; }

# The app-id GNOME Shell gives the simulator's window, once it has one.
app_id() {
    gjs "$hier/fenster.js" | awk -F '\t' -v t="$TITEL" '$2 == t { print $1 }'
}

# Starts the simulator from a terminal or its launcher and prints the row of the table.
starten() { # session plugin how
    if [ "$3" = launcher ]; then
        gtk-launch "$ID"
    else
        lotto-simulator >/dev/null 2>&1 &
    fi
    bis 60 "the window in GNOME Shell" sh -c "gjs '$hier/fenster.js' | grep -q '$TITEL'"
    id=$(app_id)
    echo "| $RELEASE | $1 | $2 | $3 | \`$id\` |"
    pkill -x lotto-simulator
    bis 30 "the window closed" sh -c "! pgrep -x lotto-simulator"
    [ "$id" = "$ID.desktop" ] || fehler "GNOME Shell does not know whose window it is: $id"
}

# What Orca has said so far, on one line.
gesagt() { tr '\n' ' ' < /tmp/gesagt | tr -s ' '; }

# Presses a key, and waits until Orca says what is expected after it (an extended regex), for
# SEKUNDEN (300) at most.
taste() { # key expected [seconds]
    vorher=$(gesagt | wc -c)
    xdotool key "$1"
    neu() { gesagt | tail -c +$((vorher + 1)); }
    ende=$(($(date +%s) + ${3:-300}))
    until neu | grep -Eq "$2"; do
        [ "$(date +%s)" -lt $ende ] || fehler "after $1 Orca did not say /$2/ but: $(neu)"
        sleep 0.1
    done
}

orca_pruefen() {
    mkdir -p /root/.config/speech-dispatcher/modules
    printf 'AudioOutputMethod "alsa"\nAddModule "mitschrift" "sd_generic" "mitschrift.conf"\nDefaultModule mitschrift\n' \
        > /root/.config/speech-dispatcher/speechd.conf
    cp "$hier/mitschrift.conf" /root/.config/speech-dispatcher/modules/
    printf 'pcm.!default { type null }\n' > /etc/asound.conf # no sound card needed
    rm -f /tmp/gesagt
    touch /tmp/gesagt
    orca --replace >/tmp/orca.log 2>&1 &
    bis 120 "Orca" grep -q "Screen reader on" /tmp/gesagt
    lotto-simulator >/dev/null 2>&1 &
    bis 60 "the window" xdotool search --name "$TITEL"
    xdotool key Escape # out of the overview, where GNOME starts
    xdotool search --name "$TITEL" windowactivate --sync
    bis 60 "Orca on the window" grep -q "$TITEL" /tmp/gesagt
    # From "Neuer Spielschein": the empty lists have names; the stop at a six off; Auto-Tip.
    # Now and then the headless Orca reads the window's title but follows none of its focus: it
    # echoes the keys and nothing else. The session is then started anew.
    ( taste Tab Step 60 ) || { echo "Orca follows no focus in the window" >&2; exit 75; }
    for was in Start/Stop Info Auto-Tip Gewinnstatistik "Tipps des Spielscheins" \
        "Stop bei 6-Richtige"; do
        taste Tab "$was"
    done
    taste space "not checked"
    for was in "Tipps des Spielscheins" Gewinnstatistik Auto-Tip; do
        taste shift+Tab "$was"
    done
    taste space space
    for was in Info Start/Stop Step; do
        taste shift+Tab "$was"
    done
    schritt=$(gesagt | wc -c)
    # Now and then Orca 48 says nothing of the draw once every control had the focus (under
    # xfwm4 Orca 43 never does): the session is started anew, and a third time fails.
    ( taste space "Ziehung 1: ([0-9]+, ){6}Zusatzzahl [0-9]+\. (Kein Gewinn|[0-9]+ mal [3-6].*Richtige)\." 120 ) ||
        { echo "Orca said nothing of the draw after Step: $(gesagt | tail -c +$((schritt + 1)))" >&2; exit 75; }
    taste Tab Start/Stop
    taste space "Lauf gestartet bei Ziehung 1\."
    sleep 2 # the run goes on
    taste space "Lauf beendet bei Ziehung [0-9]+\. Im Lauf gewonnen: [0-9]+ mal 3 Richtige.*\."
    # The stop at a six on again: the next run ends by itself.
    for was in Info Auto-Tip Gewinnstatistik "Tipps des Spielscheins" "Stop bei 6-Richtige"; do
        taste Tab "$was"
    done
    taste space "checked"
    for was in "Tipps des Spielscheins" Gewinnstatistik Auto-Tip Info Start/Stop; do
        taste shift+Tab "$was"
    done
    taste space "6 Richtige! Lauf beendet bei Ziehung [0-9]+\. Im Lauf gewonnen: .*1 mal 6 Richtige\."
    echo "== Orca $(orca --version | grep -o "[0-9][0-9.]*" | head -1) said, from the Step on:"
    gesagt | tail -c +$((schritt + 1)) | fold -s -w 100
    echo
    for einmal in "Ziehung 1:" "Lauf gestartet bei Ziehung 1\." "6 Richtige!"; do
        [ "$(gesagt | grep -Eo "$einmal" | wc -l)" -eq 1 ] || fehler "not once: $einmal"
    done
    [ "$(gesagt | grep -o "Lauf beendet" | wc -l)" -eq 2 ] || fehler "a run's end not once"
}

aufraeumen() {
    pkill -x lotto-simulator || true
    pkill -f "orca --replace" || true
    kill $prozesse 2>/dev/null || true
}

innen() { # session, on the session bus
    # What the session started ends with it, also when a check fails.
    trap aufraeumen EXIT
    if [ "$1" = x11 ]; then
        export DISPLAY=:7 XDG_SESSION_TYPE=x11
        Xvfb :7 +extension GLX -screen 0 1280x800x24 >/tmp/xvfb.log 2>&1 &
        prozesse=$!
        bis 30 "Xvfb" xdpyinfo
        gnome-shell --x11 --replace >/tmp/shell.log 2>&1 &
        prozesse="$prozesse $!"
        bis 120 "GNOME Shell" shell_da
        for wie in terminal launcher; do
            starten X11 – $wie
        done
        orca_pruefen
    else
        export XDG_SESSION_TYPE=wayland
        gnome-shell --headless --wayland --virtual-monitor 1280x800 >/tmp/shell.log 2>&1 &
        prozesse=$!
        bis 120 "GNOME Shell" shell_da
        bis 60 "XWayland's authority" sh -c 'ls /tmp/rt/.mutter-Xwaylandauth.*'
        export WAYLAND_DISPLAY=wayland-0 DISPLAY=:0
        XAUTHORITY=$(ls /tmp/rt/.mutter-Xwaylandauth.*)
        export XAUTHORITY
        # GNOME 43 starts XWayland for the first X client; now and then it hangs there for good, a
        # child of the shell stuck between fork and exec. The session is then started anew.
        ( bis 60 "XWayland" timeout 10 xdpyinfo ) || exit 75
        for wie in terminal launcher; do
            starten Wayland "not installed" $wie
        done
        apt-get install -y -qq --no-install-recommends qt6-wayland >/dev/null
        for wie in terminal launcher; do
            starten Wayland "\`qt6-wayland\` installed" $wie
        done
        apt-get purge -y -qq qt6-wayland >/dev/null
    fi
}

if [ "${1:-}" = innen ]; then
    shift
    innen "$@"
    exit 0
fi
export XDG_RUNTIME_DIR=/tmp/rt XDG_CURRENT_DESKTOP=GNOME HOME=/root
RELEASE=$(. /etc/os-release && echo "$VERSION_ID")
export RELEASE
for versuch in 1 2 3; do
    pkill -x gnome-shell || true
    pkill -x Xwayland || true
    # A system bus, and no systemd: the shell then takes its stand-in for logind.
    rm -rf /run/systemd /tmp/rt /tmp/.X11-unix /tmp/.X*-lock
    mkdir -p -m 700 /tmp/rt
    mkdir -p -m 1777 /tmp/.X11-unix
    mkdir -p /run/dbus
    [ -e /run/dbus/pid ] && kill -0 "$(cat /run/dbus/pid)" 2>/dev/null ||
        { rm -f /run/dbus/pid; dbus-daemon --system --fork; }
    status=0
    dbus-run-session -- sh "$0" innen "$1" || status=$?
    [ $status -eq 75 ] || exit $status
    echo "XWayland did not start, or Orca followed no focus or said nothing of the draw: GNOME Shell once more" >&2
done
exit 1
