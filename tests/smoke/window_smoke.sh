#!/usr/bin/env bash
# The window program for real, under Xvfb: load a dictionary through the file dialog, search,
# stop, save through the same dialog, and compare the file with the headless search that found
# as many words.
#   window_smoke.sh BUKVOTOK BUKVOTOK_SEARCH DICTIONARY
set -euo pipefail
window_program=$1
search_program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$3" "$work/dictionary.txt"
export WORK=$work WINDOW_PROGRAM=$window_program

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    export LANG=C.UTF-8
    unset QT_QPA_PLATFORM  # a real X window, whatever the other tests run on
    "$WINDOW_PROGRAM" &
    program=$!
    if ! timeout 30 xdotool search --sync --name "Буквоток" >/dev/null; then
        echo "the window did not appear" >&2
        kill $program
        exit 1
    fi
    sleep 1
    # Without a window manager the client area starts at the laid-out 749, 191.
    click() { xdotool mousemove $((749 + $1)) $((191 + $2)) click 1; sleep "${3:-0.5}"; }
    answer_dialog() {
        sleep 1
        xdotool key ctrl+a
        xdotool type --delay 2 "$1"
        xdotool key Return
        sleep 1
        # The name field'"'"'s completion list may outlive the dialog for a moment and would take
        # the next click: spend that click on an empty corner of the window.
        click 340 235
    }
    click 88 20                      # Загрузить словарь
    answer_dialog "$WORK/dictionary.txt"
    click 256 20 1.5                 # Найти совпадения
    click 16 51                      # Остановить
    click 256 51                     # Сохранить найденное в файл
    answer_dialog "$WORK/results.txt"
    kill $program
    wait $program || true
'

test -s "$work/results.txt" || { echo "no results file was saved" >&2; exit 1; }
matches=$(tr -cd ' ' <"$work/results.txt" | wc -c)
"$search_program" --matches "$matches" "$work/dictionary.txt" >"$work/expected.txt"
if ! cmp "$work/results.txt" "$work/expected.txt"; then
    echo "the window's $matches words differ from the headless search's" >&2
    exit 1
fi
echo "window and headless search agree on $matches words"
