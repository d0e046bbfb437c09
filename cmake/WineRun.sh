#!/bin/sh
# Runs a Windows program under wine on a prefix of its own, which the first run makes (wineboot,
# about 20 to 40 s), once even when several tests start together.  The tests of the Windows
# build run through this (CMAKE_CROSSCOMPILING_EMULATOR).  Without a program it only makes the
# prefix, as scripts/test does while it builds.
#   WineRun.sh PREFIX [PROGRAM [ARGUMENT...]]
set -eu
WINEPREFIX=$1
shift
# Wine's own messages (fixme:, err:) would mix with what the program writes.
WINEDEBUG=${WINEDEBUG:--all}
# Wine's menu builder would copy the prefix's file associations and Start menu, with their icons,
# into the user's own desktop menu (~/.local/share, ~/.config/menus), and leave some there.
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
# Wine turns Windows' names into this system's in the locale's character set: in the C locale, a
# minimal Debian's with LANG unset, a file named in Cyrillic cannot be made ("No such file or
# directory") and a window's title loses its letters.  Any UTF-8 locale keeps them.
case $(locale charmap 2>/dev/null) in
UTF-8) ;;
*) export LC_ALL=C.UTF-8 ;;
esac
# A prefix is whole once wineboot has ended and the tests' settings are in (WinePrefix.reg): the
# mark comes after them.
if [ ! -f "$WINEPREFIX/.made" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    flock "$WINEPREFIX.lock" sh -c '
        [ -f "$WINEPREFIX/.made" ] && exit
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 &&
        wine reg import "Z:$0" >/dev/null 2>&1 && touch "$WINEPREFIX/.made"' \
        "$(cd "$(dirname "$0")" && pwd)/WinePrefix.reg"
fi
[ $# -gt 0 ] || exit 0
exec wine "$@"
