#!/bin/sh
# Runs a Windows program under wine on a prefix of its own, which the first run makes (wineboot,
# about 20 to 40 s), once even when several tests start together.  The tests of the Windows
# build run through this (CMAKE_CROSSCOMPILING_EMULATOR).
#   WineRun.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
WINEPREFIX=$1
shift
# Wine's own messages (fixme:, err:) would mix with what the program writes.
WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX WINEDEBUG
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    flock "$WINEPREFIX.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1'
fi
exec wine "$@"
