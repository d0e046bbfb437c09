# Sourced by the smoke tests: they wait for the state they need, never for a time, so that a busy
# machine only makes them slower; a wait that gives up shows what was on the screen.

# wait_until SECONDS WHAT COMMAND...: runs COMMAND every tenth of a second until it succeeds.
# The seconds only bound a wait for what never comes.
wait_until() {
    local tries=$(($1 * 10)) what=$2
    shift 2
    until "$@"; do
        if [ $((tries -= 1)) -le 0 ]; then
            echo "gave up waiting: $what" >&2
            show_screen
            return 1
        fi
        sleep 0.1
    done
}

# The processor time a process has used, in clock ticks: how much it has done, however busy the
# machine is.
cpu_ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

# Whether the window that has the keyboard focus is the one given.
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# The windows on the screen: id, name, size and place of each one shown.
show_screen() {
    local id
    echo "windows on the screen:" >&2
    for id in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ {print $1}'); do
        xwininfo -id "$id" 2>/dev/null | awk -v id="$id" '
            /xwininfo:/ {sub(/.*Window id: [^ ]* /, ""); name = $0}
            /Map State:/ {state = $3}
            /Absolute upper-left X/ {x = $NF}
            /Absolute upper-left Y/ {y = $NF}
            /Width:/ {w = $NF}
            /Height:/ {h = $NF}
            END {if (state == "IsViewable") printf "    %s %s %dx%d at %d,%d\n", id, name, w, h, x, y}' >&2
    done
}

# Whether a window is on the screen.
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

# The outermost window around a client, below the root: a window manager's frame.
frame_of() {
    local window=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    while parent=$(xwininfo -id "$window" -children | awk '/Parent window id/ {print $4}') &&
        [ -n "$parent" ] && [ "$parent" != "$root" ]; do
        window=$parent
    done
    echo "$window"
}
