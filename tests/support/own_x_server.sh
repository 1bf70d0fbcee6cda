#!/usr/bin/env bash
# Runs a command on an X server of its own, as xvfb-run does, but lets Xvfb
# choose a free display itself (-displayfd): two servers started at the same
# moment, by two test runs or by a test and a person's own Xvfb, never race
# for one number as xvfb-run -a's guesses do.  As with xvfb-run, the server
# is not reset when its last client goes, which would close its socket for
# a moment under the next one.
#
#   own_x_server.sh COMMAND [ARGUMENT...]
set -euo pipefail

scratch=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$scratch/display" 2>"$scratch/log" &
server=$!
for _ in $(seq 200); do
    [ -s "$scratch/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
if ! [ -s "$scratch/display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$scratch/log" >&2
    exit 1
fi
export DISPLAY=":$(head -1 "$scratch/display")"
status=0
"$@" || status=$?
exit "$status"
