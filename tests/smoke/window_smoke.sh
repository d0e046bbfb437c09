#!/usr/bin/env bash
# The window program for real, under Xvfb: load a dictionary through the file dialog, search
# for ten seconds (megabytes of results), save during the search, stop, save twice more through
# the same dialog, and compare the file with the headless search that found as many words;
# then replace the results with a letter and undo that; delete everything before a click into
# the text and undo that; clear the box and undo that; saving after each.  Every click is the
# user's one click: after each dialog no other window of the program may be left on screen to
# swallow it.
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
    if ! main=$(timeout 30 xdotool search --sync --onlyvisible --name "^Буквоток$"); then
        echo "the window did not appear" >&2
        exit 1
    fi
    # wait_until SECONDS WHAT COMMAND...: runs COMMAND every tenth of a second until it succeeds.
    wait_until() {
        local tries=$(($1 * 10)) what=$2
        shift 2
        until "$@"; do
            if [ $((tries -= 1)) -le 0 ]; then
                echo "gave up waiting: $what" >&2
                exit 1
            fi
            sleep 0.1
        done
    }
    # The one window of the program besides its main window is up and has the keyboard.
    dialog_ready() {
        local window
        window=$(xdotool search --onlyvisible --pid $program 2>/dev/null | grep -vx "$main") &&
            [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]
    }
    # Only the main window: no dialog left to swallow the next click.
    alone() { [ "$(xdotool search --onlyvisible --pid $program 2>/dev/null | wc -l)" -eq 1 ]; }
    # The save into the file has ended: the program made it and holds it open no more.
    saved() { [ -e "$1" ] && ! ls -l /proc/$program/fd 2>/dev/null | grep -qF -- "$1"; }
    # Without a window manager the client area starts at the laid-out 749, 191.  X delivers a
    # click and the keys after it in order, and the program handles them in order; what it
    # does in a dialog or a save is waited for.  The search steps sleep only to let the search
    # run or the stop box be read.
    press() { xdotool mousemove $((749 + $1)) $((191 + $2)) click 1; }
    click() { press "$1" "$2"; sleep "${3:-0.5}"; }
    answer_dialog() {
        wait_until 30 "the dialog for $1" dialog_ready
        xdotool key ctrl+a
        xdotool type --delay 2 "$1"
        xdotool key Return
    }
    save_as() {
        press 256 51                 # Сохранить найденное в файл
        answer_dialog "$1"
        wait_until 60 "the save into $1" saved "$1"
        # The progress dialog of a long save goes with it.
        wait_until 30 "the dialog for $1 to go, leaving the main window alone" alone
    }
    click 88 20                      # Загрузить словарь
    answer_dialog "$WORK/dictionary.txt"
    wait_until 30 "the load dialog to go, leaving the main window alone" alone
    click 256 20 5                   # Найти совпадения
    save_as "$WORK/during.txt"       # during the search
    sleep 3
    click 16 51                      # Остановить
    save_as "$WORK/results.txt"
    save_as "$WORK/again.txt"
    press 100 130                    # into the results box: all of it replaced by a letter
    xdotool key ctrl+a
    xdotool type x
    save_as "$WORK/replaced.txt"
    press 100 130                    # and back
    xdotool key ctrl+z
    save_as "$WORK/undone.txt"
    press 100 130                    # into the text: all before the click deleted
    xdotool key ctrl+shift+Home Delete
    save_as "$WORK/deleted.txt"
    press 100 130                    # and back
    xdotool key ctrl+z
    save_as "$WORK/restored.txt"
    press 132 52                     # Очистить
    save_as "$WORK/cleared.txt"
    press 100 130                    # and back
    xdotool key ctrl+z
    save_as "$WORK/unclear.txt"
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
kept=$(stat -c %s "$work/deleted.txt")
if [ "$kept" -eq 0 ] || [ "$kept" -ge "$(stat -c %s "$work/results.txt")" ] ||
    ! tail -c "$kept" "$work/results.txt" | cmp -s - "$work/deleted.txt"; then
    echo "Ctrl+Shift+Home and Delete after a click into the text did not keep just its end" >&2
    exit 1
fi
if ! cmp -s "$work/results.txt" "$work/restored.txt"; then
    echo "Ctrl+Z after deleting everything before the click did not give the results back" >&2
    exit 1
fi
if [ -s "$work/cleared.txt" ] || ! cmp -s "$work/results.txt" "$work/unclear.txt"; then
    echo "Очистить and Ctrl+Z did not empty the box and give the results back" >&2
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
