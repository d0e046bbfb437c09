#!/usr/bin/env bash
# The window program for real, under Xvfb: load a dictionary through the file dialog, search
# for ten seconds (megabytes of results), save during the search, stop, save twice more through
# the same dialog, and compare the file with the headless search that found as many words;
# then replace the results with a letter and undo that, saving both.  Every click is the user's one click:
# after each dialog no other window of the program may be left on screen to swallow it.
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
    # As on a Wayland desktop with Xwayland: the window must still open on X11, where it stands
    # at its place, without a word from Qt about Wayland.
    export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-smoke-absent
    "$WINDOW_PROGRAM" 2>"$WORK/stderr.txt" &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT
    if ! timeout 30 xdotool search --sync --name "Буквоток" >/dev/null; then
        echo "the window did not appear" >&2
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
        local shown
        shown=$(xdotool search --onlyvisible --pid $program | wc -l)
        if [ "$shown" -ne 1 ]; then
            echo "after the dialog for $1, $shown windows of the program are on screen" >&2
            exit 1
        fi
    }
    click 88 20                      # Загрузить словарь
    answer_dialog "$WORK/dictionary.txt"
    click 256 20 5                   # Найти совпадения
    click 256 51                     # Сохранить найденное в файл, during the search
    answer_dialog "$WORK/during.txt"
    sleep 3
    click 16 51                      # Остановить
    click 256 51
    answer_dialog "$WORK/results.txt"
    click 256 51
    answer_dialog "$WORK/again.txt"
    click 100 130                    # into the results box: all of it replaced by a letter
    xdotool key ctrl+a
    xdotool type x
    click 256 51
    answer_dialog "$WORK/replaced.txt"
    click 100 130                    # and back
    xdotool key ctrl+z
    click 256 51
    answer_dialog "$WORK/undone.txt"
'

if grep -q "qt.qpa" "$work/stderr.txt"; then
    echo "the window program warned about its platform:" >&2
    cat "$work/stderr.txt" >&2
    exit 1
fi
for file in during results again; do
    test -s "$work/$file.txt" || { echo "no file $file.txt was saved" >&2; exit 1; }
done
if ! cmp -s "$work/results.txt" "$work/again.txt"; then
    echo "the search went on after the click on the stop box" >&2
    exit 1
fi
if [ "$(cat "$work/replaced.txt")" != x ] || ! cmp -s "$work/results.txt" "$work/undone.txt"; then
    echo "Ctrl+A, a letter and Ctrl+Z did not give the results back" >&2
    exit 1
fi
if ! cmp -s -n "$(stat -c %s "$work/during.txt")" "$work/during.txt" "$work/results.txt"; then
    echo "the file saved during the search is not the beginning of the final results" >&2
    exit 1
fi
matches=$(tr -cd ' ' <"$work/results.txt" | wc -c)
"$search_program" --matches "$matches" "$work/dictionary.txt" >"$work/expected.txt"
if ! cmp "$work/results.txt" "$work/expected.txt"; then
    echo "the window's $matches words differ from the headless search's" >&2
    exit 1
fi
echo "window and headless search agree on $matches words ($(stat -c %s "$work/results.txt") bytes)"
