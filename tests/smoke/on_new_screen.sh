#!/usr/bin/env bash
# Runs COMMAND with DISPLAY set to a screen of its own: an Xvfb that the X server itself gives a
# free display number (-displayfd), so that runs side by side, in other checkouts or in a chroot
# that shares the machine's sockets, never take the same one.  Ends the server afterwards.
# The server keeps going when its last client leaves (-noreset): by default it resets then, and a
# client that connects meanwhile, such as the program started again after one that was closed,
# or an xdotool between two others, is refused ("Can't open display").
#   on_new_screen.sh WIDTHxHEIGHT COMMAND...
set -euo pipefail
size=$1
shift
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$number" 2>"$number.log" &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; rm -f "$number" "$number.log"' EXIT
# The number is written once the server takes connections.
until [ -s "$number" ]; do
    if ! kill -0 $server 2>/dev/null; then
        echo "Xvfb did not start:" >&2
        cat "$number.log" >&2
        exit 1
    fi
    sleep 0.05
done
DISPLAY=:$(head -n 1 "$number") "$@"
