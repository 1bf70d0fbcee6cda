#!/usr/bin/env bash
# The game ended by SIGTERM (the session's end) while the desktop's sound
# server misbehaves: it ends within a second, with its settings written.
#   stopped  a private PulseAudio with a null sink, playing the music, then
#            stopped (SIGSTOP: hung, or swapped out)
#   mute     a socket that takes the connection and never answers: the game
#            starts, plays nothing, and still answers the signal
# Without pulseaudio and pactl the test is skipped (exit 77).  A sanitized
# build, whose exit alone checks every allocation, is given END_LIMIT_MS.
#
#   stalled_server_ending_test.sh stopped|mute FERROX_BINARY RESOURCES_FOLDER
set -euo pipefail

way=$1
binary=$(realpath "$2")
resources=$(realpath "$3")
limit=${END_LIMIT_MS:-1000}
if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    echo "SKIP: pulseaudio and pactl are needed (Debian's pulseaudio and pulseaudio-utils)"
    exit 77
fi
scratch=$(mktemp -d)
pid=
server=
listener=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    [ -n "$listener" ] && kill -KILL "$listener" 2>/dev/null || true
    if [ -n "$server" ]; then
        kill -CONT "$server" 2>/dev/null || true
        kill -KILL "$server" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($way): $*" >&2
    exit 1
}

await() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

mkdir -p "$scratch/home/.config/Olvane" "$scratch/run" "$scratch/play"
chmod 700 "$scratch/home" "$scratch/run"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/run
export PULSE_RUNTIME_PATH=$scratch/run PULSE_SERVER=unix:$scratch/native QT_QPA_PLATFORM=offscreen
# The game finds the server as on a desktop: no driver forced, no session bus.
unset SDL_AUDIODRIVER DBUS_SESSION_BUS_ADDRESS

if [ "$way" = mute ]; then
    # Takes every connection and reads nothing, as a hung server's socket does.
    python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(16)
held = []
while True:
    held.append(s.accept()[0])
' "$scratch/native" &
    listener=$!
    disown "$listener"
    listening() { [ -S "$scratch/native" ]; }
    await listening || fail "the mute socket did not open"
else
    cat >"$scratch/server.pa" <<PA
load-module module-null-sink sink_name=null rate=48000
load-module module-native-protocol-unix auth-anonymous=1 socket=$scratch/native
set-default-sink null
PA
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
        --log-level=error -F "$scratch/server.pa" >/dev/null 2>&1 &
    server=$!
    disown "$server"
    answers() { pactl info >/dev/null 2>&1; }
    await answers || fail "the private sound server did not start"
fi

cp "$resources/Ferrox.MOD" "$resources/Ferrox.M3U" "$scratch/play/"
store=$XDG_CONFIG_HOME/Olvane/Ferrox.conf
printf 'MUSIC=1\nRECNAME=Before\n' >"$store"

env --default-signal "$binary" --folder "$scratch/play" &
pid=$!
if [ "$way" = mute ]; then
    # Long enough for the game to have asked the socket and be waiting on it.
    sleep 2
    kill -0 "$pid" 2>/dev/null || fail "the game did not start"
else
    playing() { pactl list sink-inputs 2>/dev/null | grep -q 'application.name = "Ferrox"'; }
    await playing || fail "the music never reached the sound server"
    sleep 0.5
    kill -STOP "$server"
fi
start=$(date +%s%N)
kill -TERM "$pid"
for _ in $(seq 500); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
done
elapsed=$((($(date +%s%N) - start) / 1000000))
kill -0 "$pid" 2>/dev/null && fail "the game still runs ${elapsed} ms after SIGTERM"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the game ended with status $status"
[ "$elapsed" -le "$limit" ] || fail "the game took ${elapsed} ms to end"
for name in SIZE QUESTION WINPRESS CROSS BORDERS NEIGHBOURS COLS ROWS MINES MUSIC RECNAME; do
    grep -q "^$name=" "$store" || fail "the settings lack $name"
done
grep -q '^MUSIC=1$' "$store" || fail "the music's switch was not kept"
echo "ended in ${elapsed} ms with the sound server $way: ok"
