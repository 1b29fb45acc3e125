#!/usr/bin/env bash
# The settings window beside the clock window on a virtual X display, on the
# stopwatch page with one stopwatch running: CPU of the program (both windows
# are one process) over the measuring time, and how long the settings window
# takes to open the first time.
#
#   bench/settings_cpu_under_xvfb.sh [path/to/corvane] [seconds]
#
# The opening time runs from making the settings window's content to its
# first paint (CORVANE_REPORT_FIRST_FRAME), median of three fresh starts.
# Targets: <= 1.5 % of one core, opening <= 150 ms. Exits non-zero when one
# is missed. Needs Xvfb and xdotool.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
corvane=${1:-$here/../build/src/shell/corvane}
seconds=${2:-20}
settle=3

source "$here/../tests/e2e_lib.sh"
source "$here/bench_lib.sh"
bench_require "$corvane"
e2e_setup 1920x1080
unset WAYLAND_DISPLAY
work=$E2E_WORK
xvfb_pid=$E2E_XVFB_PID
app_pid=

# Starts the program in fresh folders with the clock window on the left; sets
# app_pid and clock (the clock window's id).
start_case() {
    local dir=$1
    mkdir -p "$dir/data/Corvane" "$dir/config" "$dir/runtime" "$dir/home" "$dir/tmp"
    chmod 700 "$dir/runtime"
    cat > "$dir/data/Corvane/settings.json" <<'JSON'
{
  "Theme": "Dark", "DisplayMode": "Analog", "SmoothSecondHand": false, "ShowWorldMap": false,
  "WindowLeft": 40, "WindowTop": 40, "WindowWidth": 760, "WindowHeight": 460
}
JSON
    env HOME="$dir/home" XDG_DATA_HOME="$dir/data" XDG_CONFIG_HOME="$dir/config" \
        XDG_RUNTIME_DIR="$dir/runtime" TMPDIR="$dir/tmp" DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-bus" \
        CORVANE_REPORT_FIRST_FRAME=1 "$corvane" > "$dir/stdout" 2> "$dir/stderr" &
    app_pid=$!
    e2e_track "$app_pid"
    clock=$(timeout 30 xdotool search --sync --onlyvisible --name '^Corvane$' | head -n 1)
}

open_settings() {  # clock-window-id dir -> prints the settings window's id
    xdotool windowfocus --sync "$1"
    xdotool key ctrl+comma
    timeout 15 xdotool search --sync --onlyvisible --name '^Einstellungen' | head -n 1
}

opening_ms() {
    local dir=$1
    for _ in $(seq 100); do
        grep -q 'settings window painted' "$dir/stderr" 2>/dev/null && break
        sleep 0.05
    done
    sed -n 's/.*settings window painted \([0-9]*\) ms.*/\1/p' "$dir/stderr" | head -n 1
}

stop_case() {
    kill -TERM "$app_pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}

echo "program: $corvane"
echo "display $DISPLAY 1920x1080, ${seconds} s after ${settle} s settling"
echo

dir="$work/cpu"
start_case "$dir"
[[ -n "$clock" ]] || { echo "no clock window" >&2; cat "$dir/stderr" >&2; exit 1; }
sleep 1
settings=$(open_settings "$clock")
[[ -n "$settings" ]] || { echo "no settings window" >&2; exit 1; }
xdotool windowsize --sync "$settings" 820 520
xdotool windowmove --sync "$settings" 820 40
sleep 0.5
xdotool mousemove --window "$settings" 90 291 click 1   # sidebar: "Stoppuhr"
sleep 0.5
xdotool mousemove --window "$settings" 266 231 click 1  # "Start" of stopwatch 1
xdotool mousemove 1900 1060                             # pointer away from both windows
sleep "$settle"
a0=$(cpu_ticks "$app_pid"); x0=$(cpu_ticks "$xvfb_pid")
sleep "$seconds"
a1=$(cpu_ticks "$app_pid"); x1=$(cpu_ticks "$xvfb_pid")
stop_case
cpu=$(ticks_to_share $((a1 - a0)) "$seconds")
xcpu=$(ticks_to_share $((x1 - x0)) "$seconds")
bench_check "clock + settings on a running stopwatch" "$cpu" 1.5 "%"
echo "    X server meanwhile: $xcpu %"

opens=()
for run in 1 2 3; do
    dir="$work/open$run"
    start_case "$dir"
    sleep 1
    open_settings "$clock" > /dev/null
    opens+=("$(opening_ms "$dir")")
    stop_case
done
median=$(printf '%s\n' "${opens[@]}" | sort -n | sed -n 2p)
echo "settings window, first opening (runs: ${opens[*]} ms)"
bench_check "  median" "$median" 150 "ms"

exit "$bench_failed"
