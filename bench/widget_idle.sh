#!/usr/bin/env bash
# The desktop widget at rest: CPU and memory of the real program on a virtual
# X display between its once-a-minute repaints.
#
#   bench/widget_idle.sh [path/to/tickora-widget] [seconds]
#
# Starts the widget in fresh folders with a snapshot of four analog clocks at
# the medium size, lets it settle, then reads utime+stime from
# /proc/<pid>/stat over the measuring time (120 s by default) and the resident
# memory (VmRSS) at its end. The main thread's voluntary context switches show
# how often it woke up.
#
# Targets: <= 0.05 % of one core, <= 40 MB resident. Exits non-zero when one
# is missed. Needs Xvfb and xdotool.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
widget=${1:-$here/../build/src/widget/tickora-widget}
seconds=${2:-120}
settle=3
source "$here/../tests/e2e_lib.sh"
source "$here/bench_lib.sh"
bench_require "$widget"
e2e_setup 1280x800
work=$E2E_WORK
display=$DISPLAY

mkdir -p "$work/data/Q7RM2ZX5KD.de.velmor.corvane" "$work/config" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
theme='"background":"#202020","surface":"#2D2D2D","control":"#353535","controlHover":"#444444","border":"#525252","foreground":"#F2F2F2","secondaryForeground":"#B3B3B3","accent":"#4CC2FF","accentForeground":"#000000","isDark":true'
clocks='{"timeZoneID":"","title":"Hier","dial":"Classic"},{"timeZoneID":"Asia\/Tokyo","title":"Tokyo","dial":"Roman"},{"timeZoneID":"America\/New_York","title":"New York","dial":"Modern"},{"timeZoneID":"Australia\/Sydney","title":"Sydney","dial":"Night"}'
echo "{\"clocks\":[$clocks],\"digital\":false,\"fontFamily\":\"DejaVu Sans\",\"theme\":{$theme},\"nextAlarm\":\"Wecker Mo 07:00\"}" \
    > "$work/data/Q7RM2ZX5KD.de.velmor.corvane/widget.json"

env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" \
    HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    "$widget" > "$work/stdout" 2> "$work/stderr" &
app_pid=$!
e2e_track "$app_pid"
DISPLAY="$display" timeout 30 xdotool search --sync --onlyvisible --name '^Corvane-Widget$' > /dev/null || {
    echo "no widget window" >&2; cat "$work/stderr" >&2; exit 1; }
sleep "$settle"

switches() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$1/task/$1/status"; }

t0=$(cpu_ticks "$app_pid"); w0=$(switches "$app_pid")
sleep "$seconds"
t1=$(cpu_ticks "$app_pid"); w1=$(switches "$app_pid")
rss_kb=$(awk '/^VmRSS/ { print $2 }' "/proc/$app_pid/status")
kill -TERM "$app_pid"
wait "$app_pid" 2>/dev/null || true

cpu=$(ticks_to_share $((t1 - t0)) "$seconds" 3)
rss=$(awk -v k="$rss_kb" 'BEGIN { printf "%.1f", k / 1024 }')
echo "program: $widget"
echo "display $display, ${seconds} s after ${settle} s settling"
bench_check "CPU between minutes" "$cpu" 0.05 "%"
bench_check "resident memory" "$rss" 40 "MB"
echo "main thread woke $((w1 - w0)) times in ${seconds} s"
exit "$bench_failed"
