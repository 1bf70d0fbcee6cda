#!/usr/bin/env bash
# The game ended by SIGTERM (the session's end) while the desktop's sound
# server that plays its music is stopped (SIGSTOP: hung, or swapped out):
# it ends within a second, with its settings written.  The server is a
# private PulseAudio with a null sink; without pulseaudio and pactl the test
# is skipped (exit 77).
#
#   stalled_server_ending_test.sh FERROX_BINARY RESOURCES_FOLDER
set -euo pipefail

binary=$(realpath "$1")
resources=$(realpath "$2")
if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    echo "SKIP: pulseaudio and pactl are needed (Debian's pulseaudio and pulseaudio-utils)"
    exit 77
fi
scratch=$(mktemp -d)
pid=
server=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    if [ -n "$server" ]; then
        kill -CONT "$server" 2>/dev/null || true
        kill -KILL "$server" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
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

cp "$resources/Ferrox.MOD" "$resources/Ferrox.M3U" "$scratch/play/"
store=$XDG_CONFIG_HOME/Olvane/Ferrox.conf
printf 'MUSIC=1\nRECNAME=Before\n' >"$store"

env --default-signal "$binary" --folder "$scratch/play" &
pid=$!
playing() { pactl list sink-inputs 2>/dev/null | grep -q 'application.name = "Ferrox"'; }
await playing || fail "the music never reached the sound server"
sleep 0.5

kill -STOP "$server"
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
[ "$elapsed" -le 1000 ] || fail "the game took ${elapsed} ms to end"
for name in SIZE QUESTION WINPRESS CROSS BORDERS NEIGHBOURS COLS ROWS MINES MUSIC RECNAME; do
    grep -q "^$name=" "$store" || fail "the settings lack $name"
done
grep -q '^MUSIC=1$' "$store" || fail "the music's switch was not kept"
echo "ended in ${elapsed} ms with the sound server stopped: ok"
