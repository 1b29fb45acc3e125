#!/usr/bin/env bash
# CPU the open alarms page adds to the real program on a virtual X display.
#
#   bench/alarms_page_cpu.sh [path/to/corvane] [path/to/settings_alarms_page_test] [seconds]
#
# Starts the program (one digital clock, two alarms armed, one of them with
# the radio, nothing ringing), measures utime+stime of the process for the
# measuring time (20 s by default) with only the clock window, then opens
# the settings with Ctrl+, and the "Wecker" page with the pointer (where the
# page test says its sidebar entry stands) and measures again. Prints both
# as per cent of one core and the difference.
#
# Target: the page adds <= 0.5 % of a core. Exits non-zero when missed.
# Needs Xvfb and xdotool.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
corvane=${1:-$here/../build/src/shell/corvane}
probe=${2:-$here/../build/tests/settings_alarms_page_test}
seconds=${3:-20}
source "$here/../tests/e2e_lib.sh"
source "$here/bench_lib.sh"
bench_require "$corvane" "$probe"
e2e_setup 1600x1000
export TZ=UTC

e2e_alarms_probe "$probe"

# Armed for 03:00, which the measuring never reaches unless run right then.
mkdir -p "$XDG_DATA_HOME/Corvane"
cat > "$(e2e_settings)" <<'JSON'
{
  "UserName": "Bench", "UseSystemUserName": false, "DisplayMode": "Digital", "Theme": "Dark",
  "Alarms": [
    {"IsEnabled": true, "Hour": 3, "Minute": 0, "Weekdays": [2, 3, 4, 5, 6]},
    {"IsEnabled": true, "Hour": 3, "Minute": 0, "Weekdays": [], "WakeWithRadio": true, "RadioMode": "station"},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1, 2, 3, 4, 5, 6, 7]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1, 2, 3, 4, 5, 6, 7]}
  ],
  "Clocks": [{"Id": "00000000-0000-4000-8000-000000000001", "TimeZone": "Europe/Berlin", "Name": ""}]
}
JSON

measure() { cpu_share "$pid" "$seconds"; }

"$corvane" > "$E2E_WORK/corvane.log" 2>&1 &
pid=$!
e2e_track "$pid"
clock=$(e2e_wait_window '^Corvane$') || e2e_fail "no clock window"
sleep 3
alone=$(measure)

xdotool windowactivate --sync "$clock" 2>/dev/null || xdotool windowfocus --sync "$clock"
xdotool key --clearmodifiers ctrl+comma
settings=$(e2e_wait_window '^Einstellungen – Corvane$' 15) || e2e_fail "no settings window"
sleep 0.5
xdotool mousemove --window "$settings" "$category_x" "$category_y" click 1
xdotool mousemove 1590 990  # away from every control, so nothing stays hovered
sleep 3
with_page=$(measure)
e2e_stop "$pid" "$E2E_WORK/corvane.log"

added=$(awk -v a="$alone" -v b="$with_page" 'BEGIN { printf "%.2f", b - a }')
echo "clock window alone:               $alone % of a core"
echo "with the alarms page open beside: $with_page % of a core"
bench_check "added by the page" "$added" 0.5 "%"
exit "$bench_failed"
