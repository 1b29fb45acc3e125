#!/usr/bin/env bash
# What the open display page of the settings adds to the program's CPU use:
# the real program with 24 digital clocks on a virtual X display, measured
# first with the settings closed, then with the settings open on the display
# page (24 rows ticking, 33 live dials). Each phase reads utime+stime from
# /proc/<pid>/stat over the measuring time (20 s by default).
#
#   bench/settings_display_cpu.sh [path/to/corvane] [seconds]
#
# Target: the page adds <= 1 % of one core. Exits non-zero when missed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
corvane=${1:-$here/../build/src/shell/corvane}
seconds=${2:-20}
settle=3
source "$here/../tests/e2e_lib.sh"
source "$here/bench_lib.sh"
bench_require "$corvane"
e2e_setup 1600x1000

zones=(Europe/Berlin America/New_York Asia/Tokyo Europe/London Australia/Sydney America/Los_Angeles
       Asia/Shanghai Asia/Dubai Asia/Kolkata America/Sao_Paulo Asia/Singapore Africa/Johannesburg
       Pacific/Auckland America/Chicago Europe/Moscow Europe/Paris Europe/Madrid Asia/Seoul
       America/Mexico_City Africa/Cairo Asia/Bangkok America/Toronto Europe/Istanbul Asia/Jakarta)
clocks=""
for ((i = 0; i < 24; i++)); do
    [[ -n "$clocks" ]] && clocks+=","
    clocks+=$(printf '{"Id": "00000000-0000-4000-8000-%012d", "TimeZone": "%s", "Name": ""}' "$i" "${zones[i]}")
done
mkdir -p "$XDG_DATA_HOME/Corvane"
cat > "$(e2e_settings)" <<JSON
{"DisplayMode": "Digital", "Theme": "Dark", "ShowWorldMap": false,
 "WindowLeft": 0, "WindowTop": 0, "WindowWidth": 640, "WindowHeight": 900,
 "Clocks": [$clocks]}
JSON

"$corvane" > "$E2E_WORK/app.log" 2>&1 &
pid=$!
e2e_track "$pid"
wid=$(e2e_wait_window '^Corvane$') || e2e_fail "no clock window"

measure() { cpu_share "$pid" "$seconds"; }

sleep "$settle"
closed=$(measure)
xdotool key --window "$wid" ctrl+comma
e2e_wait_window '^Einstellungen' 15 > /dev/null || e2e_fail "the settings did not open"
sleep "$settle"
open=$(measure)
e2e_stop "$pid" "$E2E_WORK/app.log"

added=$(awk -v o="$open" -v c="$closed" 'BEGIN { printf "%.2f", o - c }')
echo "24 digital clocks, settings closed:          $closed % of a core"
echo "the same with the display page open:        $open % of a core"
bench_check "added by the page" "$added" 1 "%"
exit "$bench_failed"
