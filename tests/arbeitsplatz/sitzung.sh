#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# In a root of a Debian release with GNOME Shell, Orca and the package installed, as root: starts
# GNOME Shell headless as the desktop a user logs into, and checks what the shell and the screen
# reader make of the simulator.
#   sitzung.sh x11        GNOME on X11 (on Xvfb): the window's app-id, started from a terminal and
#                         from the launcher; then Orca, driven by the keyboard, by what it says
#   sitzung.sh x11 WM     Orca as above under the window manager of Xfce (xfwm4), MATE (marco) or
#                         KDE Plasma (kwin_x11) instead of GNOME Shell
#   sitzung.sh wayland    GNOME on Wayland: the app-id without Qt's Wayland plugin and with it
set -eu
hier=$(dirname "$(realpath "$0")")
ID=org.example.lottosimmulator
TITEL="Lotto Simmulator!"
PROGRAMM="KDE-QT Schaltprobe test!" # what the simulator calls itself towards screen readers

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

# Orca 48 keeps the objects it found dead, of any application, by their address for up to a
# minute, and takes a new object that gets such an address for dead as well: it then says nothing
# of it. Whether that befell one of ours since line ZEILE of Orca's record: the focus or a mark
# going to an object that it names [DEAD] without having just asked the program and been told so.
fuer_tot_genommen() { # zeile
    tail -n +"$1" /tmp/orca-debug.out | awk -v p="for [DEAD] in $PROGRAMM" '
        index($0, p) && /state-changed:(focused.*\(1, 0, |checked)/ && vor !~ /known dead/ &&
            vorvor !~ /known dead/ { gefunden = 1 }
        { vorvor = vor; vor = $0 }
        END { exit !gefunden }'
}

# Presses a key, and waits until Orca says what is expected after it (an extended regex), for
# SEKUNDEN (300) at most; or, when moving over the controls (not with NUR_GESAGT), until Orca's
# record shows that it took the object the key went to for dead.
taste() { # key expected [seconds]
    vorher=$(gesagt | wc -c)
    zeile=$(($(wc -l < /tmp/orca-debug.out) + 1))
    xdotool key "$1"
    neu() { gesagt | tail -c +$((vorher + 1)); }
    ende=$(($(date +%s) + ${3:-300}))
    until neu | grep -Eq "$2"; do
        if [ -z "${NUR_GESAGT:-}" ] && fuer_tot_genommen $zeile; then
            echo "after $1 Orca took an object of ours for dead, one it had not met: $2" >&2
            return
        fi
        [ "$(date +%s)" -lt $ende ] || fehler "after $1 Orca did not say /$2/ but: $(neu)"
        sleep 0.1
    done
}

# The window's controls in its tab order, as Orca names them, from the one that has the focus when
# the window opens; the ticket last, and Tab wraps round to the first.
STEUERUNG="Neuer Spielschein|Step|Start/Stop|Info|Auto-Tip|Gewinnstatistik|Tipps des Spielscheins|Stop bei 6-Richtige|Spielschein"
steuerung() { echo "$STEUERUNG" | cut -d '|' -f $(($1 + 1)); }

# Moves the focus, from the control at position HIER, with KEY (Tab or shift+Tab) to the control
# at position ZIEL; "runde" for once round, back to HIER. In the ticket over two fields, and with
# KREUZEN pressing the second and pressing it again.
zu() { # ziel key [kreuzen]
    weiter=1 ziel=$1
    [ "$2" = Tab ] || weiter=8 # one back
    [ "$ziel" != runde ] || ziel=$HIER
    while :; do
        HIER=$(((HIER + weiter) % 9))
        taste "$2" "$(steuerung $HIER)"
        if [ $HIER -eq 8 ]; then
            taste Right "Block [0-9]+, Zahl [0-9]+"
            taste Down "Block [0-9]+, Zahl [0-9]+"
            [ "${3:-}" != kreuzen ] || { taste space "([^t]|^) checked" && taste space "not checked"; }
        fi
        [ $HIER -ne "$ziel" ] || return 0
    done
}

# Where Orca's own record names what it made of our announcements, shown when it said none.
orca_spur() {
    grep -E "(notification|announcement).*(Ziehung|Lauf)|Not processing|Skipping|Ignoring.*(notification|announcement)|DELUGE|FLOOD" \
        /tmp/orca-debug.out | cut -c 1-240 | tail -30
}

# Waits until Orca says, after KEY, what a draw or a run's end must say, or fails with Orca's record.
ergebnis() { # key expected
    ( NUR_GESAGT=1 taste "$1" "$2" 120 ) || fehler "Orca said nothing of the result; its record: $(orca_spur)"
}

orca_pruefen() {
    mkdir -p /root/.config/speech-dispatcher/modules
    printf 'AudioOutputMethod "alsa"\nAddModule "mitschrift" "sd_generic" "mitschrift.conf"\nDefaultModule mitschrift\n' \
        > /root/.config/speech-dispatcher/speechd.conf
    cp "$hier/mitschrift.conf" /root/.config/speech-dispatcher/modules/
    printf 'pcm.!default { type null }\n' > /etc/asound.conf # no sound card needed
    rm -f /tmp/gesagt /tmp/orca-debug.out
    touch /tmp/gesagt
    orca --replace --debug-file=/tmp/orca-debug.out >/tmp/orca.log 2>&1 &
    bis 120 "Orca" grep -q "Screen reader on" /tmp/gesagt
    lotto-simulator >/dev/null 2>&1 &
    bis 60 "the window" xdotool search --name "$TITEL"
    [ "$WM" != gnome-shell ] || xdotool key Escape # out of the overview, where GNOME starts
    xdotool search --name "$TITEL" windowactivate --sync
    # Orca names the window, unless the Escape's echo cuts it short: what counts is that it takes
    # the window's application as the active one, and follows its focus. Now and then a headless Orca
    # does so only late, or never: it echoes the keys and nothing else. The session is then
    # started anew.
    ( bis 60 "Orca on the window" grep -q "Setting active script.*$PROGRAMM" /tmp/orca-debug.out &&
        taste Tab Step 60 ) || { echo "Orca follows no focus in the window" >&2; exit 75; }
    taste shift+Tab "Neuer Spielschein"
    HIER=0
    # Every control both ways, a field of the ticket pressed and again, the stop at a six off;
    # Auto-Tip, and every control once more; then the Step that Orca must tell of.
    zu runde Tab kreuzen
    zu runde shift+Tab
    zu 7 Tab && taste space "not checked"
    zu 4 shift+Tab && taste space space
    zu runde Tab && zu 1 shift+Tab
    schritt=$(gesagt | wc -c)
    ergebnis space "Ziehung 1: ([0-9]+, ){6}Zusatzzahl [0-9]+\. (Kein Gewinn|[0-9]+ mal [3-6].*Richtige)\."
    # A run, and every control, the filled lists and the ticket, while it goes on.
    zu runde Tab && zu 2 Tab && taste space "Lauf gestartet bei Ziehung 1\."
    zu runde shift+Tab
    ergebnis space "Lauf beendet bei Ziehung [0-9]+\. Im Lauf gewonnen: [0-9]+ mal 3 Richtige.*\."
    # The stop at a six on again: the next run ends by itself.
    zu 7 Tab && taste space "([^t]|^) checked"
    zu 2 shift+Tab
    ergebnis space "6 Richtige! Lauf beendet bei Ziehung [0-9]+\. Im Lauf gewonnen: .*1 mal 6 Richtige\."
    echo "== Orca $(orca --version | grep -o "[0-9][0-9.]*" | head -1) under $WM said, from the Step on:"
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
        if [ "$WM" = gnome-shell ]; then
            gnome-shell --x11 --replace >/tmp/shell.log 2>&1 &
            prozesse="$prozesse $!"
            bis 120 "GNOME Shell" shell_da
            for wie in terminal launcher; do
                starten X11 – $wie
            done
        else
            "$WM" >/tmp/shell.log 2>&1 &
            prozesse="$prozesse $!"
            # A window manager names itself on the root window once it manages the screen.
            bis 120 "$WM" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
        fi
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
WM=${2:-gnome-shell}
case $WM in
    gnome-shell) desktop=GNOME ;;
    xfwm4) desktop=XFCE ;;
    marco) desktop=MATE ;;
    kwin_x11) desktop=KDE ;;
    *) fehler "no such window manager here: $WM" ;;
esac
export XDG_RUNTIME_DIR=/tmp/rt XDG_CURRENT_DESKTOP=$desktop HOME=/root WM
RELEASE=$(. /etc/os-release && echo "$VERSION_ID")
export RELEASE
for versuch in 1 2 3; do
    pkill -x "$WM" || true
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
    echo "XWayland did not start, or Orca followed no focus: $WM once more" >&2
done
exit 1
