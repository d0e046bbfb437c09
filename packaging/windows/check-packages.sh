#!/usr/bin/env bash
# Makes the Windows packages with the README's command, `cpack` in the build folder, and uses
# them as a user would, under wine: the portable ZIP unpacked and its program run; the installer
# run silently (/S), the installed programs run (the window until its window shows, then closed
# as a user closes it), its Start menu entries there, and the uninstaller run silently, after
# which nothing of it is left.  Runs on an X screen (xvfb-run), for the window.
#   check-packages.sh CPACK BUILD_DIR VERSION TARGET WINE_RUN PREFIX
#   (TARGET: x86_64; WINE_RUN PREFIX: the tests' cmake/WineRun.sh and the windows' prefix)
set -euo pipefail
cpack_program=$1
build=$2
version=$3
target=$4
wine_run=$5
prefix=$6
scratch=$(mktemp -d)
# The prefix's wine server ends with this screen, as the next user of the prefix has another.
trap 'WINEPREFIX=$prefix wineserver -w; rm -rf "$scratch"' EXIT
status=0
fail() {
    echo "$*" >&2
    status=1
}
Wine() { "$wine_run" "$prefix" "$@"; }

cd "$build"
if ! env -u SOURCE_DATE_EPOCH "$cpack_program" -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "cpack failed in $build" >&2
    exit 1
fi
name=bukvotok-$version-windows-$target
setup=$scratch/$name-setup.exe
zip=$scratch/$name.zip
for package in "$setup" "$zip"; do
    [ -f "$package" ] || { cat "$scratch/cpack.log" >&2; echo "cpack wrote no $package" >&2; exit 1; }
done
file "$setup" | grep -q 'PE32+ executable (GUI) x86-64' || fail "$setup is not a 64-bit program: $(file -b "$setup")"

# A dictionary of the one word "а", which ten passes find.
dictionary=$scratch/a.txt
printf '\xe0\r\n' >"$dictionary"
Search() {
    local found
    found=$(Wine "$1" --passes 10 --utf8 "Z:$dictionary") || fail "$1 failed"
    [ "$found" = " а" ] || fail "$1 found '$found', not ' а'"
    found=$(Wine "$1" --version) || fail "$1 --version failed"
    [ "$found" = "bukvotok-search $version" ] || fail "$1 --version says '$found'"
}

# The portable ZIP: one folder, named as the ZIP, with the program and its texts.
expected="$name/LICENSE.txt
$name/README.txt
$name/bukvotok-search.exe
$name/bukvotok.exe"
(cd "$scratch" && unzip -q "$zip")
[ "$(cd "$scratch" && find "$name" -type f | sort)" = "$expected" ] ||
    fail "the ZIP holds $(cd "$scratch" && find "$name" -type f | sort | tr '\n' ' ')"
Search "Z:$scratch/$name/bukvotok-search.exe"

# The installer, into Program Files, with its Start menu folder and its entry among Windows'
# installed programs.
installed="$prefix/drive_c/Program Files/Bukvotok"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Буквоток $version"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bukvotok'
# Over an entry in the list whose uninstaller is gone (a folder removed by hand, or a run of this
# stopped half-way), as over nothing: a silent install neither waits on a box nor fails.
rm -rf "$installed" "$menu"
Wine reg add "$key" /v UninstallString /d '"C:\Program Files\Bukvotok\Uninstall.exe"' /f >/dev/null
Wine "$setup" /S || fail "the silent install over a stale entry failed"
[ "$(ls "$installed" 2>/dev/null | tr '\n' ' ')" = "LICENSE.txt README.txt Uninstall.exe bukvotok-search.exe bukvotok.exe " ] ||
    fail "the installer put '$(ls "$installed" 2>/dev/null | tr '\n' ' ')' in Program Files\\Bukvotok"
Search 'C:\Program Files\Bukvotok\bukvotok-search.exe'
# The window program: its window shows, and closing it ends the program without an error.
Wine 'C:\Program Files\Bukvotok\bukvotok.exe' &
window_program=$!
shown=
while kill -0 $window_program 2>/dev/null; do
    if xdotool search --onlyvisible --name '^Буквоток$' >/dev/null; then
        shown=1
        break
    fi
    sleep 0.2
done
if [ -n "$shown" ]; then
    Wine taskkill /im bukvotok.exe >/dev/null || fail "taskkill found no bukvotok.exe to close"
    wait $window_program || fail "the installed bukvotok.exe ended with an error when closed"
else
    wait $window_program || true
    fail "the installed bukvotok.exe ended without showing its window"
fi
for link in "Буквоток" "Uninstall" "Буквоток — прочти меня" "Буквоток — командная строка"; do
    [ -f "$menu/$link.lnk" ] || fail "the Start menu has no '$link'"
done
Wine reg query "$key" >/dev/null 2>&1 || fail "Windows' list of installed programs lacks it"

# The uninstaller, run as it runs itself: started from the folder, it starts a copy of itself
# elsewhere with _?= and ends, so that the copy can remove the folder.  The copy is started here,
# and waited for, as the first one may not have ended before the copy removes the folder.  _?=
# takes the rest of the command line as it stands, which only cmd hands over unquoted.
cp "$installed/Uninstall.exe" "$scratch/Uninstall.exe"
Wine cmd /c "start \"\" /wait Z:${scratch//\//\\}\\Uninstall.exe /S _?=C:\\Program Files\\Bukvotok"
[ ! -e "$installed" ] || fail "the uninstaller left '$(ls "$installed" | tr '\n' ' ')' in Program Files\\Bukvotok"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu folder"
! Wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left its entry in Windows' list"
exit $status
