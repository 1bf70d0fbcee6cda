#!/usr/bin/env bash
# The game as a screen reader meets it (run on an X server of its own): a private
# session bus with the accessibility bus launched on it, the game with Qt's
# accessibility always on, and accessibility_check.py reading and playing a
# small board through AT-SPI with key presses only.  Exits 77 (skipped),
# saying why, where the accessibility bus or its Python binding is missing.
#
#   accessibility_test.sh FERROX_BINARY
set -euo pipefail

binary=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
# Debian's own Python: the binding is a Debian package.
python=/usr/bin/python3
if [ ! -x "$launcher" ]; then
    echo "SKIP: no $launcher (Debian package at-spi2-core)"
    exit 77
fi
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: $python cannot import pyatspi (Debian package python3-pyatspi)"
    exit 77
fi

scratch=$(mktemp -d)
pid=
bus=
a11y=
cleanup() {
    # The game writes its settings and its history as it ends: the folder
    # goes once it has, or once it is made to.
    if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    [ -n "$a11y" ] && kill "$a11y" 2>/dev/null || true
    [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$scratch/game.log" ]; then
        echo "The game said:" >&2
        tail -20 "$scratch/game.log" >&2
    fi
    exit 1
}

mkdir -p "$scratch/home/.config/Olvane" "$scratch/play"
chmod 700 "$scratch/home"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config
export XDG_RUNTIME_DIR=$scratch/home QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
# A custom 8 x 8 board with few mines: most games are won by reasoning.
mines=5
printf 'SIZE=3\nCOLS=8\nROWS=8\nMINES=%d\nBORDERS=1\nQUESTION=0\n' "$mines" \
    >"$XDG_CONFIG_HOME/Olvane/Ferrox.conf"

unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
dbus-daemon --session --fork --address="unix:dir=$scratch" \
    --print-address=3 --print-pid=4 3>"$scratch/bus-address" 4>"$scratch/bus-pid"
bus=$(head -1 "$scratch/bus-pid")
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$scratch/bus-address")
export DBUS_SESSION_BUS_ADDRESS
"$launcher" --launch-immediately &
a11y=$!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

"$binary" --folder "$scratch/play" 2>"$scratch/game.log" &
pid=$!
wid=
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before showing its window"
    wid=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Ferrox$' 2>/dev/null | head -1) || true
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window titled Ferrox appeared"
timeout 240 "$python" "$here/accessibility_check.py" "$pid" "$wid" "$mines" ||
    fail "the game read through the accessibility bus differs (above)"
