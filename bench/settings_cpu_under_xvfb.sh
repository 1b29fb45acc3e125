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
[[ -x "$corvane" ]] || { echo "no program at $corvane (build it or pass its path)" >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "xdotool is missing (apt-get install xdotool)" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [[ -n "$app_pid" ]] && kill -9 "$app_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 2; }
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
ticks_per_second=$(getconf CLK_TCK)

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

failed=0
check() {  # name value limit unit
    local verdict=ok
    if awk -v v="$2" -v l="$3" 'BEGIN { exit !(v == "" || v > l) }'; then verdict=MISSED; failed=1; fi
    printf '%-52s %8s %-3s (target <= %s %s) %s\n' "$1" "$2" "$4" "$3" "$4" "$verdict"
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
cpu=$(awk -v a=$((a1 - a0)) -v t="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.2f", a / t / s * 100 }')
xcpu=$(awk -v a=$((x1 - x0)) -v t="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.2f", a / t / s * 100 }')
check "clock + settings on a running stopwatch" "$cpu" 1.5 "%"
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
check "  median" "$median" 150 "ms"

exit "$failed"
