#!/usr/bin/env bash
# The game in a real X window (run on an X server of its own), ended from
# outside with a game under way: by SIGTERM (the session's end) or the media
# controls' Quit on a private session bus.  Started again, it shows that game paused,
# the clock at the seconds it had; a click on the board ends the pause and
# every cell and the mine counter are as they were, the clock running on.
#
#   resume_test.sh TERM|QUIT FERROX_BINARY
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
# Easy: an 8 x 8 board with 10 mines, laid by the first click.
printf 'SIZE=0\n' >"$XDG_CONFIG_HOME/Olvane/Ferrox.conf"
saved="$scratch/play/Ferrox game.sav"

unset DBUS_SESSION_BUS_ADDRESS
if [ "$way" = QUIT ]; then
    dbus-daemon --session --fork --address="unix:dir=$scratch" \
        --print-address=3 --print-pid=4 3>"$scratch/bus-address" 4>"$scratch/bus-pid"
    bus=$(head -1 "$scratch/bus-pid")
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$scratch/bus-address")
    export DBUS_SESSION_BUS_ADDRESS
fi

window() { xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -1; }
geometry() { xdotool getwindowgeometry --shell "$wid"; }
settled() {
    local before
    before=$(geometry)
    sleep 0.5
    [ "$before" = "$(geometry)" ]
}

start() {
    env --default-signal "$binary" --folder "$scratch/play" &
    pid=$!
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
    await settled || fail "the window's size did not settle"
    eval "$(geometry)"
    # The menu bar above the 32-pixel counter strip, the grid 26 pixels
    # into the board panel at 53 (see real_window_test.sh).
    menu=$((HEIGHT - 32 - 188 - 19))
    grid_x=$((53 + 26))
    grid_y=$((menu + 32 + 26))
}

end() {
    case $way in
    TERM) kill -TERM "$pid" ;;
    QUIT)
        dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.ferrox \
            /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit
        ;;
    esac
    ended() { ! kill -0 "$pid" 2>/dev/null; }
    polls=300 await ended || fail "the game did not end"
    local status=0
    wait "$pid" || status=$?
    pid=
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

# Parts of the window: the board grid, the time and the mines counters.
shot() { import -window "$wid" "$scratch/$1.png"; }
part() {
    case $2 in
    board) convert "$scratch/$1.png" -crop 136x136+$grid_x+$grid_y +repage rgb:- | md5sum ;;
    time) convert "$scratch/$1.png" -crop 57x24+44+$((menu + 3)) +repage rgb:- | md5sum ;;
    mines) convert "$scratch/$1.png" -crop 57x24+160+$((menu + 3)) +repage rgb:- | md5sum ;;
    esac
}
click() { xdotool mousemove --window "$wid" $((grid_x + $1 * 17 + 8)) $((grid_y + $2 * 17 + 8)) click "$3"; }

start
click 0 0 1
sleep 0.3
[ -z "$(window '^New Record!$')" ] || fail "the first opening won the game: nothing to keep"
click 7 7 3
sleep 1.3
shot playing
# Paused, the clock stands still for the comparison; the game is still under way.
xdotool key --window "$wid" ctrl+p
sleep 0.3
shot paused
end
[ -f "$saved" ] || fail "no saved game was written"

start
shot resumed
[ "$(part resumed time)" = "$(part paused time)" ] || fail "the clock is not at its saved seconds"
[ "$(part resumed mines)" = "$(part playing mines)" ] || fail "the mine counter is not as before"
[ "$(part resumed board)" = "$(part paused board)" ] || fail "the board is not covered as in a pause"
[ "$(part resumed board)" != "$(part playing board)" ] || fail "the board shows its cells while paused"
[ ! -e "$saved" ] || fail "the resumed game was left in the file"

click 4 4 1
sleep 0.3
shot unpaused
[ "$(part unpaused board)" = "$(part playing board)" ] || fail "the cells are not as before"
sleep 1.5
shot running
[ "$(part running time)" != "$(part paused time)" ] || fail "the clock did not run on"
end
[ -f "$saved" ] || fail "the resumed game, still under way, was not kept again"
echo "resumed after $way: ok"
