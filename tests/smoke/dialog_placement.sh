#!/usr/bin/env bash
# The file dialog under a real window manager (openbox), opened five times, by the load and the
# save button in turn: each time its outer frame, the window manager's decorations included,
# must lie centred across the screen and a third of the way down.  Every step waits for what it
# needs (a window on screen, framed, focused, or gone), so a busy machine only makes it slower.
#   dialog_placement.sh BUKVOTOK
set -euo pipefail
if [ -z "${DIALOG_PLACEMENT_DISPLAY:-}" ]; then
    # Runs itself again on a screen of its own.
    DIALOG_PLACEMENT_DISPLAY=1 exec "$(dirname "$0")/on_new_screen.sh" 1280x1024 "$0" \
        "$(realpath "$1")"
fi
source "$(dirname "$0")/waiting.sh"
window_program=$1
export LANG=C.UTF-8
unset QT_QPA_PLATFORM  # a real X window, whatever the other tests run on
work=$(mktemp -d)
cd "$work"  # the dialog shows this empty folder

window_manager_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
# x y width height of a window, as the X server has it.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                             /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
framed() { [ "$(frame_of "$1")" != "$1" ]; }
# The one window of the program other than the main window, once it is visible.
dialog() {
    { xdotool search --onlyvisible --pid "$program" 2>/dev/null || true; } | grep -vx "$main" |
        head -n 1
}
framed_dialog() {
    window=$(dialog) && [ -n "$window" ] && framed "$window"
}
# x,y of the frame, and where it belongs.
placed() {
    read -r x y width height < <(geometry "$frame")
    expected="$(((screen_width - width) / 2)),$(((screen_height - height) / 3))"
    [ "$x,$y" = "$expected" ]
}

openbox >"$work/openbox.log" 2>&1 &
window_manager=$!
trap 'kill $window_manager ${program:-} 2>/dev/null || true; rm -rf "$work"' EXIT
# As in a desktop session, the window manager runs before the program starts: a window mapped
# while openbox is still starting can stay unmapped for good.
if ! wait_until 60 "openbox" window_manager_ready; then
    cat "$work/openbox.log" >&2
    exit 1
fi
"$window_program" &
program=$!
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
main=$(timeout 60 xdotool search --sync --onlyvisible --name '^Буквоток$' | head -n 1)
wait_until 60 "the main window's frame" framed "$main"
read -r main_x main_y _ _ < <(geometry "$main")
read -r _ _ screen_width screen_height < <(geometry "$root")

for opening in 1 2 3 4 5; do
    if [ $((opening % 2)) -eq 1 ]; then
        button="load" dx=88 dy=20  # Загрузить словарь
    else
        button="save" dx=256 dy=51  # Сохранить найденное в файл
    fi
    xdotool mousemove $((main_x + dx)) $((main_y + dy)) click 1
    wait_until 60 "dialog $opening" framed_dialog
    frame=$(frame_of "$window")
    # The window manager may still be placing it, and the program moves it once it knows the
    # frame: wait for it to get where it belongs, and report where it stayed if it never does.
    if ! wait_until 60 "dialog $opening in place" placed; then
        echo "opening $opening ($button): frame ${width}x$height at $x,$y, expected $expected" >&2
        echo "the dialog is not where it belongs" >&2
        exit 1
    fi
    echo "opening $opening ($button): frame ${width}x$height at $x,$y, expected $expected"
    # Escape goes to the window with the keyboard focus, which the window manager gives the
    # dialog some time after it shows.
    wait_until 60 "dialog $opening to have the focus" focused "$window"
    xdotool key Escape
    # The next click must not land on the frame, which outlives the dialog for a moment.
    wait_until 60 "dialog $opening to close" eval '! viewable "$frame"'
done
