#!/usr/bin/env bash
# The game in a real X window (run on an X server of its own), ended from outside while
# its "New Record!" dialog waits for a name: by SIGTERM (the session's end),
# SIGHUP (the terminal closed), SIGINT (Ctrl+C) or the media controls' Quit
# on a private session bus.  The name typed so far is stored with the
# record and remembered, and the settings are written with all their values.
#
#   ending_test.sh TERM|HUP|INT|QUIT FERROX_BINARY
set -euo pipefail

way=$1
binary=$(realpath "$2")
scratch=$(mktemp -d)
pid=
bus=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($way): $*" >&2
    exit 1
}

# Polls a command for up to ten seconds (thirty in a sanitized build, which
# runs several times slower).
await() {
    for _ in $(seq "${polls:-100}"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

mkdir -p "$scratch/home/.config/Olvane" "$scratch/play"
chmod 700 "$scratch/home"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config
export XDG_RUNTIME_DIR=$scratch/home QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
store=$XDG_CONFIG_HOME/Olvane/Ferrox.conf
# A custom 8 x 8 board with 63 mines: the first click, never on a mine, wins.
printf 'SIZE=3\nCOLS=8\nROWS=8\nMINES=63\nRECNAME=Before\n' >"$store"

unset DBUS_SESSION_BUS_ADDRESS
if [ "$way" = QUIT ]; then
    dbus-daemon --session --fork --address="unix:dir=$scratch" \
        --print-address=3 --print-pid=4 3>"$scratch/bus-address" 4>"$scratch/bus-pid"
    bus=$(head -1 "$scratch/bus-pid")
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$scratch/bus-address")
    export DBUS_SESSION_BUS_ADDRESS
fi

# Started with every signal's default action, as from a terminal: a
# background job of a script would ignore SIGINT, and the test itself may
# have been started to ignore SIGHUP.
env --default-signal "$binary" --folder "$scratch/play" &
pid=$!

# Only this game's windows, whatever else the display shows.
window() { xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -1; }
await window '^Ferrox$' >/dev/null || fail "no window titled Ferrox appeared"
wid=$(window '^Ferrox$')
if [ "$way" = QUIT ]; then
    offered() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.mpris.MediaPlayer2.ferrox |
            grep -q 'boolean true'
    }
    await offered || fail "the media controls are not on the bus"
fi
# The window is laid out for its board once shown: its size has to settle
# before the board's place can be reckoned from it.
geometry() { xdotool getwindowgeometry --shell "$wid"; }
settled() {
    local before
    before=$(geometry)
    sleep 0.5
    [ "$before" = "$(geometry)" ]
}
await settled || fail "the window's size did not settle"

# The board grid, as in real_window_test.sh: the menu bar above the 32-pixel
# counter strip, the grid 26 pixels into the board panel at 53.
eval "$(xdotool getwindowgeometry --shell "$wid")"
menu=$((HEIGHT - 32 - 188 - 19))
xdotool mousemove --window "$wid" $((53 + 26 + 8)) $((menu + 32 + 26 + 8)) click 1
polls=300 await window '^New Record!$' >/dev/null || fail "the won game opened no New Record dialog"
dialog=$(window '^New Record!$')
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 30 QuitTest
sleep 0.5
[ -n "$(window '^New Record!$')" ] || fail "the dialog closed before the game was ended"

case $way in
TERM | HUP | INT) kill -"$way" "$pid" ;;
QUIT)
    dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.ferrox \
        /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit
    ;;
esac
ended() { ! kill -0 "$pid" 2>/dev/null; }
polls=300 await ended || fail "the game did not end"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"

records="$scratch/play/Ferrox for Windows.hi"
[ -f "$records" ] || fail "no record was stored"
[ "$(stat -c %s "$records")" -eq 48 ] || fail "the best-times file does not hold one record"
grep -aq QuitTest "$records" || fail "the record was stored without the name typed"
for name in SIZE QUESTION WINPRESS CROSS BORDERS NEIGHBOURS NOGUESS COLS ROWS MINES MUSIC RECNAME; do
    grep -q "^$name=" "$store" || fail "the settings lack $name"
done
grep -q '^RECNAME=QuitTest$' "$store" || fail "the name typed is not remembered"
grep -q '^MINES=63$' "$store" || fail "the board was not kept"
echo "ended by $way: ok"
