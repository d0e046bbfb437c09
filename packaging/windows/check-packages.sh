#!/usr/bin/env bash
# Makes the Windows packages with the README's command, `cpack` in the build folder, and uses
# them as a user would, under wine: the portable ZIP unpacked and its program run; the installer
# run silently for all users (/S) and for the current user (/S /CurrentUser), the installed
# programs run (the window until its window shows, then closed as a user closes it), the Start
# menu entries there, and each uninstaller run silently, after which nothing of its install is
# left.  Runs on an X screen (xvfb-run), for the window.
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
}
Version() {
    local said
    said=$(Wine "$1" --version) || fail "$1 --version failed"
    [ "$said" = "bukvotok-search $version" ] || fail "$1 --version says '$said'"
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
Version "Z:$scratch/$name/bukvotok-search.exe"

# The installer, silently: for all users, as it installs for an administrator (which wine's user
# is) unless told otherwise, and then for the current user alone (/CurrentUser), the two side by
# side.  Each has its folder, its Start menu folder and its entry among Windows' installed
# programs, in the computer's registry (HKLM) or the user's (HKCU), and each uninstaller removes
# its own install and leaves the other.
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Bukvotok'
vendor='Software\Bukvotok'
UnixPath() { local path=${1#C:\\}; echo "$prefix/drive_c/${path//\\//}"; }
# Each wine process takes about a second here, so the registry is asked in one, by a batch file:
# wine's cmd runs what follows && even when the command before it failed.
ExistingKeys() { # KEY...: prints those that exist, one a line
    local key
    {
        printf '@echo off\r\n'
        for key; do printf 'reg query %s >nul 2>&1\r\nif not errorlevel 1 echo %s\r\n' "$key" "$key"; done
        printf 'exit /b 0\r\n'
    } >"$scratch/keys.cmd"
    Wine cmd /c "Z:${scratch//\//\\}\\keys.cmd" | tr -d '\r'
}
Installed() { # FOLDER MENU HIVE
    local files
    files=$(ls "$(UnixPath "$1")" 2>/dev/null | tr '\n' ' ') || true
    [ "$files" = "LICENSE.txt README.txt Uninstall.exe bukvotok-search.exe bukvotok.exe " ] ||
        fail "$1 holds '$files'"
    for link in "Буквоток" "Uninstall" "Буквоток — прочти меня" "Буквоток — командная строка"; do
        [ -f "$2/$link.lnk" ] || fail "the Start menu of $3 has no '$link'"
    done
}
# The uninstaller, run as it runs itself: started from the folder, it starts a copy of itself
# elsewhere with _?= and ends, so that the copy can remove the folder.  The copy is started here,
# and waited for, as the first one may not have ended before the copy removes the folder.  _?=
# takes the rest of the command line as it stands, which only cmd hands over unquoted.
Uninstall() { # FOLDER MENU HIVE
    cp "$(UnixPath "$1")/Uninstall.exe" "$scratch/Uninstall.exe"
    Wine cmd /c "start \"\" /wait Z:${scratch//\//\\}\\Uninstall.exe /S _?=$1"
    [ ! -e "$(UnixPath "$1")" ] || fail "the uninstaller left '$(ls "$(UnixPath "$1")" | tr '\n' ' ')' in $1"
    [ ! -e "$2" ] || fail "the uninstaller left the Start menu folder of $3"
}

# What a run stopped half-way left of an install for the current user goes, as that install's
# mode would be the default; and an entry among the installed programs whose uninstaller is gone
# (a folder removed by hand, or such a run) is installed over as over nothing: a silent install
# neither waits on a box nor fails.
profile=$(Wine cmd /c "reg delete HKCU\\$entry /f >nul 2>&1 & reg delete HKCU\\$vendor /f >nul 2>&1 & echo %USERPROFILE%" | tr -d '\r') || true
case $profile in
C:\\*) ;;
*) echo "wine names no user's folder on drive C: '$profile'" >&2; exit 1 ;;
esac
Wine reg add "HKLM\\$entry" /v UninstallString /d '"C:\Program Files\Bukvotok\Uninstall.exe"' /f >/dev/null
machine_folder='C:\Program Files\Bukvotok'
machine_menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Буквоток $version"
user_folder="$profile\\AppData\\Local\\Programs\\Bukvotok"
user_menu="$(UnixPath "$profile")/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Буквоток $version"
rm -rf "$(UnixPath "$machine_folder")" "$machine_menu" "$(UnixPath "$user_folder")" "$user_menu"
Wine "$setup" /S || fail "the silent install over a stale entry failed"
Installed "$machine_folder" "$machine_menu" HKLM
Search "$machine_folder\\bukvotok-search.exe"
Version "$machine_folder\\bukvotok-search.exe"
# The window program: its window shows, and closing it ends the program without an error.
Wine "$machine_folder\\bukvotok.exe" &
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

Wine "$setup" /S /CurrentUser || fail "the silent install for the current user failed"
Installed "$user_folder" "$user_menu" HKCU
Search "$user_folder\\bukvotok-search.exe"
[ "$(ExistingKeys "HKLM\\$entry" "HKCU\\$entry")" = "HKLM\\$entry
HKCU\\$entry" ] || fail "Windows' lists of installed programs lack one of the two installs"
Uninstall "$user_folder" "$user_menu" HKCU
Installed "$machine_folder" "$machine_menu" HKLM
left=$(ExistingKeys "HKLM\\$entry" "HKCU\\$entry" "HKCU\\$vendor")
[ "$left" = "HKLM\\$entry" ] || fail "after the current user's uninstall the registry holds '$left'"
Uninstall "$machine_folder" "$machine_menu" HKLM
left=$(ExistingKeys "HKLM\\$entry" "HKLM\\$vendor")
[ -z "$left" ] || fail "after the uninstall for all users the registry holds '$left'"
exit $status
