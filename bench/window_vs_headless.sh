#!/usr/bin/env bash
# The window program against the headless command on the same dictionary, as a user drives it
# under Xvfb: load the dictionary through the file dialog, search for SECONDS, tick the stop box,
# save; then the headless command finds as many words, and both speeds are printed.
#
#   bench/window_vs_headless.sh [DICTIONARY] [SECONDS]      (defaults: build/ru-forms.txt, 10)
#
# Uses build/release/app; set BUKVOTOK_BIN to another folder of the two programs.  Not a test.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${BUKVOTOK_BIN:-build/release/app}
dictionary=$(realpath "${1:-build/ru-forms.txt}")
seconds=${2:-10}
if [ $# -gt 2 ] || [ ! -f "$dictionary" ] || ! [[ $seconds =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
    echo "usage: bench/window_vs_headless.sh [DICTIONARY] [SECONDS]   (a file, and seconds such as 10 or 2.5)" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WORK=$work WINDOW_PROGRAM=$bin/bukvotok DICTIONARY=$dictionary SECONDS_TO_RUN=$seconds

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    export LANG=C.UTF-8
    unset QT_QPA_PLATFORM
    "$WINDOW_PROGRAM" 2>/dev/null &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT
    timeout 30 xdotool search --sync --name "Буквоток" >/dev/null
    sleep 1
    click() { xdotool mousemove $((749 + $1)) $((191 + $2)) click 1; }
    answer_dialog() {
        sleep 1
        xdotool key ctrl+a
        xdotool type --delay 2 "$1"
        xdotool key Return
    }
    resident() { awk "/^VmRSS/ { print \$2 }" /proc/$program/status; }
    click 88 20
    answer_dialog "$DICTIONARY"
    sleep 3
    resident >"$WORK/resident-loaded"
    date +%s.%N >"$WORK/started"
    click 256 20                     # Найти совпадения
    sleep "$SECONDS_TO_RUN"
    click 16 51                      # Остановить
    date +%s.%N >"$WORK/stopped"
    sleep 1
    resident >"$WORK/resident-searched"
    click 256 51
    answer_dialog "$WORK/results.txt"
    sleep 2
'

matches=$(tr -cd " " <"$work/results.txt" | wc -c)
# The machine's speed drifts from one run to the next: the headless figure is the median of three.
for run in 1 2 3; do
    "$bin/bukvotok-search" --matches "$matches" --stats "$dictionary" >"$work/expected.txt" \
        2>>"$work/stats"
done
cmp -s "$work/results.txt" "$work/expected.txt" || echo "warning: the window's words differ" >&2
read -r letters headless_rate < <(awk '{ print $3, $(NF - 1) }' "$work/stats" | sort -k2 -g |
    sed -n 2p)
window_seconds=$(awk -v a="$(cat "$work/started")" -v b="$(cat "$work/stopped")" \
    'BEGIN { print b - a }')
results_bytes=$(stat -c %s "$work/results.txt")
awk -v letters="$letters" -v seconds="$window_seconds" -v headless="$headless_rate" \
    -v bytes="$results_bytes" -v loaded="$(cat "$work/resident-loaded")" \
    -v searched="$(cat "$work/resident-searched")" 'BEGIN {
        window = letters / seconds
        printf "window:   %.1f million letters/s (%.0f letters in %.2f s)\n", window / 1e6, letters, seconds
        printf "headless: %.1f million letters/s (median of three runs)\n", headless / 1e6
        printf "window / headless: %.0f %%\n", 100 * window / headless
        printf "results: %.1f MB; the window grew by %.0f MB while searching (%.2f bytes per byte)\n",
            bytes / 1e6, (searched - loaded) / 1024, (searched - loaded) * 1024 / bytes
    }'
