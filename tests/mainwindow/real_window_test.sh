#!/usr/bin/env bash
# The game in a real X window (run on an X server of its own): it starts in an empty
# folder with an empty settings store, shows the Easy board, opens cells on a
# click, turns the board with Borders off, and on Alt+F4 ("&Quit") ends
# cleanly, leaving its eleven settings.
#
#   real_window_test.sh FERROX_BINARY [SCREENSHOT.png]
set -euo pipefail

binary=$(realpath "$1")
shot=$(realpath "${2:-$(mktemp --suffix=.png)}")
scratch=$(mktemp -d)
pid=
cleanup() {
    # Ended at once, so that it writes nothing into the folder going away.
    if [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; then
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

mkdir -p "$scratch/home" "$scratch/work"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config
export XDG_RUNTIME_DIR=$scratch/home QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
cd "$scratch/work"

"$binary" &
pid=$!

wid=
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before showing its window"
    wid=$(xdotool search --onlyvisible --name '^Ferrox$' 2>/dev/null | head -1) || true
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window titled Ferrox appeared"
sleep 1

# The window's client area: 294 pixels wide for Easy (300 less the frame),
# and the menu bar, the 32-pixel counter strip, the 188-pixel board panel and
# the 19-pixel status bar high.
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -eq 294 ] || fail "window is $WIDTH pixels wide, not 294"
menu=$((HEIGHT - 32 - 188 - 19))
[ "$menu" -gt 10 ] && [ "$menu" -lt 60 ] || fail "window height $HEIGHT leaves no room for a menu bar"

# The board grid: panel left 53, grid 26 pixels into the panel.
grid_x=$((53 + 26))
grid_y=$((menu + 32 + 26))

pixel() { # image x y -> "r,g,b"
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# A covered tile has a white top-left pixel; an open one is flat grey.
cell_corner() { pixel "$1" $((grid_x + $2 * 17)) $((grid_y + $3 * 17)); }

import -window "$wid" "$shot"
for cell in "0 0" "7 0" "0 7" "7 7" "3 4"; do
    set -- $cell
    [ "$(cell_corner "$shot" "$1" "$2")" = "255,255,255" ] || fail "cell ($1, $2) is not covered at start"
done
# Nothing left of the board and nothing past its eighth column or row.
[ "$(cell_corner "$shot" 8 0)" != "255,255,255" ] || fail "a ninth column shows"
[ "$(cell_corner "$shot" 0 8)" != "255,255,255" ] || fail "a ninth row shows"

xdotool mousemove --window "$wid" $((grid_x + 3 * 17 + 8)) $((grid_y + 3 * 17 + 8)) click 1
sleep 0.5
import -window "$wid" "$scratch/after.png"
[ "$(cell_corner "$scratch/after.png" 3 3)" != "255,255,255" ] || fail "the clicked cell did not open"

# Borders off (a new game), one opening, then the right edge's upper button:
# the board's contents move one column left, what left at the left edge
# coming back at the right.
xdotool windowfocus --sync "$wid"
xdotool key --clearmodifiers alt+o b
sleep 0.3
xdotool mousemove --window "$wid" $((grid_x + 4 * 17 + 8)) $((grid_y + 4 * 17 + 8)) click 1
sleep 0.5
import -window "$wid" "$scratch/before-turn.png"
xdotool mousemove --window "$wid" $((53 + 162 + 12)) $((menu + 32 + 26 + 12)) click 1
sleep 0.5
import -window "$wid" "$scratch/after-turn.png"
columns() { # image first-column count -> the board's columns as one picture
    convert "$1" -crop $(($3 * 17))x$((8 * 17))+$((grid_x + $2 * 17))+$grid_y +repage "$scratch/cols-$2-$3.png"
    echo "$scratch/cols-$2-$3.png"
}
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]; }
cmp -s "$scratch/before-turn.png" "$scratch/after-turn.png" && fail "the edge button turned nothing"
same "$(columns "$scratch/before-turn.png" 1 7)" "$(columns "$scratch/after-turn.png" 0 7)" \
    || fail "the board did not move one column left"
same "$(columns "$scratch/before-turn.png" 0 1)" "$(columns "$scratch/after-turn.png" 7 1)" \
    || fail "the left column did not come back at the right"

xdotool key --clearmodifiers alt+F4
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Alt+F4"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

store=$XDG_CONFIG_HOME/Olvane/Ferrox.conf
[ -f "$store" ] || fail "no settings store at $store"
for name in SIZE QUESTION WINPRESS CROSS BORDERS NEIGHBOURS NOGUESS COLS ROWS MINES MUSIC RECNAME; do
    grep -q "^$name=" "$store" || fail "settings store lacks $name"
done
grep -q '^COLS=8$' "$store" || fail "COLS is not 8"
[ -z "$(ls -A "$scratch/work")" ] || fail "the program left files in its working directory"
# At 120 pixels per inch the window is not magnified: the cells keep their
# 17 pixels and only the frame allowance grows, to Round(7.5) = 8.
rm -rf "$XDG_CONFIG_HOME"
QT_FONT_DPI=120 "$binary" &
pid=$!
wid=
for _ in $(seq 200); do
    wid=$(xdotool search --onlyvisible --name '^Ferrox$' 2>/dev/null | head -1) || true
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window at 120 pixels per inch"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -eq 292 ] || fail "at 120 pixels per inch the window is $WIDTH pixels wide, not 292"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

echo "real window: ok (screenshot $shot)"
