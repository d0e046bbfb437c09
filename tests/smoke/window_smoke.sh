#!/usr/bin/env bash
# The window program for real, under Xvfb: load a dictionary through the file dialog, search
# (megabytes of results), save during the search, stop, save twice more through the same
# dialog, and compare the file with the headless search that found as many words; then replace
# the results with a letter, delete all before a click into them, and empty them, undoing each
# and saving before and after; drag a few letters elsewhere in the box, copy them there with
# Ctrl, and paste them with a middle click, and all of it after Ctrl+A, saving after each.  Then,
# in a box of a megabyte, what the search does when only removed text that is in no file stands
# in its way.  Every click is the user's one click: after each dialog no other window of the
# program may be left on screen to swallow it.  The search runs for as much processor time, and
# every step waits for what it needs, so a busy machine only makes it slower.
#   window_smoke.sh BUKVOTOK BUKVOTOK_SEARCH DICTIONARY
set -euo pipefail
if [ -z "${WINDOW_SMOKE_DISPLAY:-}" ]; then
    # Runs itself again on a screen of its own.
    WINDOW_SMOKE_DISPLAY=1 exec "$(dirname "$0")/on_new_screen.sh" 1280x800 "$0" \
        "$(realpath "$1")" "$(realpath "$2")" "$(realpath "$3")"
fi
source "$(dirname "$0")/waiting.sh"
window_program=$1
search_program=$2
work=$(mktemp -d)
cp "$3" "$work/dictionary.txt"
export LANG=C.UTF-8
unset QT_QPA_PLATFORM  # a real X window, whatever the other tests run on
program=
# What the program said, when something went wrong.
trap 'status=$?; [ $status -eq 0 ] || cat "$work/stderr.txt" >&2
      [ -z "$program" ] || kill $program 2>/dev/null || true; rm -rf "$work"' EXIT
# start [NAME=VALUE...]: the program, in that environment, and its window.
start() {
    # As on a Wayland desktop with Xwayland: the window must still open on X11, where it stands
    # at its place, without a word from Qt about Wayland.
    env "$@" XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-smoke-absent \
        "$window_program" 2>>"$work/stderr.txt" &
    program=$!
    main=$(timeout 60 xdotool search --sync --onlyvisible --pid $program --name '^Буквоток$' |
        head -n 1)
    if [ -z "$main" ]; then
        echo "the window did not appear" >&2
        exit 1
    fi
}
start

shown() { xdotool search --onlyvisible --pid $program 2>/dev/null | wc -l; }
# The program's other window, a dialog, once it has the keyboard focus; not the dialog given,
# which keys just sent may not have closed yet.
focused_dialog() {
    local window
    window=$({ xdotool search --onlyvisible --pid $program 2>/dev/null || true; } |
        grep -vx -e "$main" -e "${1:-$main}" | head -n 1)
    [ -n "$window" ] && focused "$window"
}
only_main_shown() { [ "$(shown)" -eq 1 ]; }
# Without a window manager the client area starts at the laid-out 749, 191.  click X Y [BUTTON]
click() { xdotool mousemove $((749 + $1)) $((191 + $2)) click "${3:-1}"; }
answer_dialog() {
    wait_until 60 "the dialog for $1" focused_dialog
    xdotool key ctrl+a
    xdotool type --delay 2 "$1"
    xdotool key Return
}
# Whether the program has written a file and closed it again.
saved() { [ -e "$1" ] && ! find /proc/$program/fd -lname "$1" 2>/dev/null | grep -q .; }
# save_as PATH: "Сохранить найденное в файл", into a new file.
save_as() {
    click 256 51
    answer_dialog "$1"
    wait_until 60 "the save of $1" saved "$1"
    # Neither the file dialog nor the save's progress dialog may stay.
    wait_until 60 "only the main window to be left on screen ($(shown) windows)" only_main_shown
}
# search_for TICKS: lets the running search use that much processor time.
search_for() {
    local until=$(($(cpu_ticks $program) + $1))
    wait_until 600 "the search to run" eval '[ "$(cpu_ticks $program)" -ge $until ]'
}
# Once the search has ended, the program waits for events: asleep, and using no processor time.
idle() {
    local before
    before=$(cpu_ticks $program)
    sleep 0.2
    [ "$(cpu_ticks $program)" = "$before" ] &&
        [ "$(awk '{ sub(/.*\) /, ""); print $1 }' /proc/$program/stat)" = S ]
}
fail() { echo "$*" >&2; exit 1; }  # and the trap shows what the program said
type_in_results_box() {
    click 100 130
    wait_until 60 "the main window to have the focus" focused "$main"
    xdotool key "$@"
}

click 88 20                      # Загрузить словарь
answer_dialog "$work/dictionary.txt"
wait_until 60 "the file dialog to close" only_main_shown
click 256 20                     # Найти совпадения
search_for 30
save_as "$work/during.txt"       # during the search
search_for 30
click 16 51                      # Остановить
wait_until 60 "the search to stop" idle
save_as "$work/results.txt"
save_as "$work/again.txt"
type_in_results_box ctrl+a x     # all of it replaced by a letter
save_as "$work/replaced.txt"
type_in_results_box ctrl+z       # and back
save_as "$work/undone.txt"
type_in_results_box ctrl+shift+Home Delete  # all before a click into the text deleted
save_as "$work/deleted.txt"
type_in_results_box ctrl+z       # and back
save_as "$work/restored.txt"
click 132 52                     # Очистить
save_as "$work/cleared.txt"
type_in_results_box ctrl+z       # and back
save_as "$work/unclear.txt"
type_in_results_box --repeat 6 shift+Right  # six letters selected
# Pressed in the selection, not as a second click, moved past the drag distance, let go three
# lines below; until the program has seen the drop, the drag holds the mouse for itself.
xdotool mousemove $((749 + 118)) $((191 + 130)) mousedown 1 mousemove_relative 0 45 mouseup 1
wait_until 60 "the drag to end" idle
save_as "$work/dragged.txt"
type_in_results_box --repeat 6 shift+Right  # anew, and dragged with Ctrl held at the release
xdotool mousemove $((749 + 118)) $((191 + 130)) mousedown 1 mousemove_relative 0 45 \
    keydown ctrl mouseup 1 keyup ctrl
wait_until 60 "the drag with Ctrl to end" idle
save_as "$work/copied.txt"
type_in_results_box ctrl+z       # and back
save_as "$work/uncopied.txt"
type_in_results_box --repeat 6 shift+Right  # anew: the file dialog took the selection
click 40 110 2                   # a middle click
save_as "$work/middle.txt"
type_in_results_box ctrl+End shift+Left shift+Left shift+Left  # three letters deleted,
xdotool key Delete
save_as "$work/shortened.txt"    # the file dialog's name takes the selection,
type_in_results_box ctrl+z       # and what the undo puts back highlighted is the selection
click 40 110 2
save_as "$work/undone-middle.txt"
type_in_results_box ctrl+a       # all of it, though the file dialog took the selection,
click 40 110 2                   # pasted into itself
save_as "$work/doubled.txt"

if grep -q "qt.qpa" "$work/stderr.txt"; then fail "the window program warned about its platform"; fi
for file in during results again; do
    test -s "$work/$file.txt" || fail "no file $file.txt was saved"
done
cmp -s "$work/results.txt" "$work/again.txt" ||
    fail "the search went on after the click on the stop box"
{ [ "$(cat "$work/replaced.txt")" = x ] && cmp -s "$work/results.txt" "$work/undone.txt"; } ||
    fail "Ctrl+A, a letter and Ctrl+Z did not give the results back"
size=$(stat -c %s "$work/results.txt")
kept=$(stat -c %s "$work/deleted.txt")
{ [ "$kept" -gt 0 ] && [ "$kept" -lt "$size" ] &&
    tail -c "$kept" "$work/results.txt" | cmp -s - "$work/deleted.txt"; } ||
    fail "Ctrl+Shift+Home and Delete after a click into the text did not keep just its end"
cmp -s "$work/results.txt" "$work/restored.txt" ||
    fail "Ctrl+Z after deleting everything before the click did not give the results back"
{ [ ! -s "$work/cleared.txt" ] && cmp -s "$work/results.txt" "$work/unclear.txt"; } ||
    fail "Очистить and Ctrl+Z did not empty the box and give the results back"
{ [ "$(stat -c %s "$work/dragged.txt")" -eq "$size" ] &&
    ! cmp -s "$work/results.txt" "$work/dragged.txt"; } ||
    fail "a drag of six letters within the box did not move them"
{ [ "$(stat -c %s "$work/copied.txt")" -eq $((size + 6)) ] &&
    cmp -s "$work/dragged.txt" "$work/uncopied.txt"; } ||
    fail "a drag of six letters with Ctrl held, and Ctrl+Z, did not copy them and take them back"
[ "$(stat -c %s "$work/middle.txt")" -eq $((size + 6)) ] ||
    fail "a middle click did not paste the six letters selected in the box"
[ "$(stat -c %s "$work/undone-middle.txt")" -eq $((size + 9)) ] ||
    fail "a middle click after Ctrl+Z did not paste the three letters it put back"
[ "$(stat -c %s "$work/doubled.txt")" -eq $((2 * (size + 9))) ] ||
    fail "a middle click after Ctrl+A did not paste all of the box's text"
cmp -s -n "$(stat -c %s "$work/during.txt")" "$work/during.txt" "$work/results.txt" ||
    fail "the file saved during the search is not the beginning of the final results"
matches=$(tr -cd ' ' <"$work/results.txt" | wc -c)
"$search_program" --matches "$matches" "$work/dictionary.txt" >"$work/expected.txt"
cmp "$work/results.txt" "$work/expected.txt" ||
    fail "the window's $matches words differ from the headless search's"
echo "window and headless search agree on $matches words ($(stat -c %s "$work/results.txt") bytes)"

# A box that holds only a megabyte, full in a moment.  Removed text that is in no file is not
# pushed out by the search's words without a question: "Нет", Escape's answer, stops the search
# with the box as it was, and Ctrl+Z gives the text back; "Да" lets the search go on; text
# removed just after a save goes without a question.
kill $program
wait $program 2>/dev/null || true
start BUKVOTOK_RESULTS_LIMIT=1048576
# filled NAME: the file saved as NAME.txt holds a full box: near the limit, and not past it (a
# box that ignored the limit would fill too, at its own size, given a minute or two).
filled() {
    local size
    size=$(stat -c %s "$work/$1.txt")
    [ "$size" -gt 1000000 ] || fail "the search did not fill the box again ($1.txt)"
    [ "$size" -le 1048576 ] || fail "the box held $size bytes, past its limit ($1.txt)"
}
# search_until_full: until the box is full; the error box that says so is closed.
search_until_full() {
    click 256 20
    wait_until 120 "the box to fill" focused_dialog
    xdotool key Return
    wait_until 60 "the error box to close" only_main_shown
}
click 88 20
answer_dialog "$work/dictionary.txt"
wait_until 60 "the file dialog to close" only_main_shown
search_until_full
save_as "$work/full.txt"
type_in_results_box ctrl+End BackSpace  # changed since the save
click 132 52                     # Очистить
click 256 20                     # Найти совпадения: the question
wait_until 120 "the question" focused_dialog
xdotool key Escape
wait_until 60 "the question to close" only_main_shown
wait_until 60 "the search to stop" idle
save_as "$work/kept.txt"
[ ! -s "$work/kept.txt" ] || fail "the search went on after Escape in the question"
type_in_results_box ctrl+z
save_as "$work/back.txt"
head -c -1 "$work/full.txt" | cmp -s - "$work/back.txt" ||
    fail "Ctrl+Z after the question did not give the cleared text back"
type_in_results_box ctrl+End BackSpace
click 132 52
click 256 20
wait_until 120 "the question" focused_dialog
question=$(xdotool getwindowfocus)
xdotool key shift+Tab space      # "Да"
wait_until 120 "the box to fill again" focused_dialog "$question"
xdotool key Return
wait_until 60 "the error box to close" only_main_shown
save_as "$work/refilled.txt"     # saved: what is cleared now may go
filled refilled
click 132 52
search_until_full
save_as "$work/again-full.txt"
filled again-full                # else the middle click below would find room, and no error
type_in_results_box ctrl+a       # all selected, pasted into itself: refused,
click 40 110 2
wait_until 60 "the error box of the middle click" focused_dialog
xdotool key Return
wait_until 60 "the error box to close" only_main_shown
xdotool windowfocus --sync "$main"  # without a click, which would end the selection,
xdotool key Delete               # and the selection is still all of it
save_as "$work/all-deleted.txt"

[ ! -s "$work/all-deleted.txt" ] || fail "a middle click refused for room lost the selection"
echo "a full box of 1 MiB: the question kept the cleared text, and let it go when told"
