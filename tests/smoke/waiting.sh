# Sourced by the smoke tests: they wait for the state they need, never for a time, so that a busy
# machine only makes them slower.

# wait_until SECONDS WHAT COMMAND...: runs COMMAND every tenth of a second until it succeeds.
# The seconds only bound a wait for what never comes.
wait_until() {
    local tries=$(($1 * 10)) what=$2
    shift 2
    until "$@"; do
        if [ $((tries -= 1)) -le 0 ]; then
            echo "gave up waiting: $what" >&2
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
