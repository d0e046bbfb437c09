#!/bin/sh
# Runs a Windows program that makes windows under wine, on an X screen of its own (Xvfb) and on
# a wine prefix of its own.  Wine's desktop belongs to the display of the first program started
# on a prefix: a program that makes windows fails to on a prefix whose desktop began without a
# display (as for the other tests), or on one whose screen is gone.  So this prefix is used by
# windows' programs only, and its wine server is let end with the screen.
# Without a program it only makes the prefix, on a screen, as scripts/test does while it builds.
#   WineWindowRun.sh PREFIX [PROGRAM [ARGUMENT...]]
set -eu
if [ -z "${BUKVOTOK_ON_XVFB:-}" ]; then
    BUKVOTOK_ON_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
status=0
"$(dirname "$0")/WineRun.sh" "$@" || status=$?
WINEPREFIX=$1 wineserver -w
exit $status
