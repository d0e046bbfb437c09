#!/usr/bin/env bash
# The Windows window program for real, under wine on a screen of its own, driven as its user
# drives it: load the dictionary through the file dialog, search, tick the stop box, save
# through the same dialog, and compare the file with what the Linux headless search writes when
# it finds as many words.  Every click is the user's one click; every step waits for what it
# needs (the status line, which a probe of the same wine prefix reads, as wine makes no X window
# for a control; a dialog with the keyboard focus; the file written and closed), so a busy
# machine only makes it slower.  WIN32_SMOKE_SHOTS=DIR keeps a screenshot of each step there.
#   win32_smoke.sh WINE_PREFIX BUKVOTOK_EXE WINDOW_PROBE_EXE BUKVOTOK_SEARCH DICTIONARY
set -euo pipefail
if [ -z "${WIN32_SMOKE_DISPLAY:-}" ]; then
    # Runs itself again on a screen of its own.
    WIN32_SMOKE_DISPLAY=1 exec "$(dirname "$0")/on_new_screen.sh" 1280x800 "$0" \
        "$(realpath -m "$1")" "$(realpath "$2")" "$(realpath "$3")" "$(realpath "$4")" \
        "$(realpath "$5")"
fi
source "$(dirname "$0")/waiting.sh"
wine_run=$(realpath "$(dirname "$0")/../../cmake/WineRun.sh")
prefix=$1
window_program=$2
probe_program=$3
search_program=$4
work=$(mktemp -d)
cp "$5" "$work/dictionary.txt"
# Wine takes the command line and the keys in the locale's encoding.
export LANG=C.UTF-8
program=
# What the program and wine said, when something went wrong.  The prefix's wine server ends with
# its programs: the next test's may start on another screen.
trap 'status=$?; [ $status -eq 0 ] || cat "$work/stderr.txt" >&2
      [ -z "$program" ] || kill $program 2>/dev/null || true
      WINEPREFIX=$prefix wineserver -w || true
      kill $window_manager 2>/dev/null || true; rm -rf "$work"' EXIT
window_manager=
: >"$work/stderr.txt"

# A file of this machine as wine's programs name it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
probe() { "$wine_run" "$prefix" "$probe_program" "$@" 2>>"$work/stderr.txt"; }
shot() {
    [ -z "${WIN32_SMOKE_SHOTS:-}" ] || import -window root "$WIN32_SMOKE_SHOTS/win32-smoke-$1.png"
}
fail() { echo "$*" >&2; exit 1; }  # and the trap shows what the program said

# Under a window manager, as on a desktop: wine leaves the keyboard focus to it.  It runs before
# the program starts, as in a session.
window_manager_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
openbox >>"$work/stderr.txt" 2>&1 &
window_manager=$!
wait_until 60 "openbox" window_manager_ready
# A fresh prefix is made by the first program started on it, here on this screen.
"$wine_run" "$prefix" "$window_program" 2>>"$work/stderr.txt" &
program=$!
# A search over windows that wine makes and destroys meanwhile can end in an X error: it only
# looks again.
main_shown() {
    main=$(xdotool search --onlyvisible --pid $program --name '^Буквоток$' 2>/dev/null |
        head -n 1) && [ -n "$main" ]
}
wait_until 300 "the window" main_shown
# The window shows with the focus on "Загрузить словарь".
wait_until 60 "the window to have the focus" focused "$main"
declare -A place
while read -r name x y; do place[$name]="$x $y"; done < <(probe places)
[ ${#place[@]} -eq 5 ] || fail "the probe found no controls"
shot 1-started

shown() { xdotool search --onlyvisible --pid $program 2>/dev/null | wc -l; }
only_main_shown() { [ "$(shown)" -eq 1 ]; }
# The program's other window, a dialog, once it has the keyboard focus.
focused_dialog() {
    dialog=$({ xdotool search --onlyvisible --pid $program 2>/dev/null || true; } |
        grep -vx "$main" | head -n 1)
    [ -n "$dialog" ] && focused "$dialog"
}
# click NAME: the control's middle, with the left button.
click() {
    # shellcheck disable=SC2086  # x and y
    xdotool mousemove ${place[$1]} click 1
}
# answer_dialog PATH STEP: the file dialog's name, replaced by the file's Windows path.
answer_dialog() {
    wait_until 60 "the file dialog" focused_dialog
    xdotool key ctrl+a
    xdotool type --delay 2 "$(windows_path "$1")"
    shot "$2"
    frame=$(frame_of "$dialog")
    xdotool key Return
    # A click meant for the window must not land on the frame, which outlives the dialog for a
    # moment.
    wait_until 60 "the file dialog to close" eval '! viewable "$frame"'
}
status() { probe status "$1" 120 || fail "the program did not reach this state"; }
# Once the program has written the file and closed it.  Wine's server need not keep the file
# open meanwhile, so the probe asks as a Windows program would.
written() { probe written "$(windows_path "$1")" 120 || fail "the save did not end"; }
# search_for TICKS: lets the running search use that much processor time.
search_for() {
    local until=$(($(cpu_ticks $program) + $1))
    wait_until 600 "the search to run" eval '[ "$(cpu_ticks $program)" -ge $until ]'
}

click Button2                    # Загрузить словарь
answer_dialog "$work/dictionary.txt" 2-load-dialog
status "Статус: Загрузка словаря выполнена!"
shot 3-loaded
click Button4                    # Найти совпадения
status "Статус: Поиск совпадений!"
search_for 30
shot 4-searching
click CheckBox1                  # Остановить
status "Статус: Поиск совпадений остановлен!"
shot 5-stopped
click Button5                    # Сохранить найденное в файл
answer_dialog "$work/results.txt" 6-save-dialog
written "$work/results.txt"
wait_until 60 "only the main window to be left on screen" only_main_shown
shot 7-saved

test -s "$work/results.txt" || fail "the search found nothing, or the save wrote nothing"
matches=$(tr -cd ' ' <"$work/results.txt" | wc -c)
"$search_program" --matches "$matches" "$work/dictionary.txt" >"$work/expected.txt"
cmp "$work/results.txt" "$work/expected.txt" ||
    fail "the Windows window's $matches words differ from the Linux headless search's"
echo "the Windows window and the Linux headless search agree on $matches words" \
    "($(stat -c %s "$work/results.txt") bytes)"
