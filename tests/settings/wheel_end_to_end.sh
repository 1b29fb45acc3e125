#!/usr/bin/env bash
# The wheel in the real program's alarms page: turned over the hour menu of
# alarm 1, which the user has not clicked, it scrolls the page and the hour
# stays; once a click gave the menu the focus, one notch changes the hour,
# and settings.json says so after the shutdown.
#
#   wheel_end_to_end.sh <corvane> <settings_alarms_page_test>
#
# The second program tells where the first alarm card's controls stand in a
# fresh settings window (same fonts, same size).
set -euo pipefail
corvane=$1
probe=$2
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800
export TZ=UTC

e2e_alarms_probe "$probe"

mkdir -p "$XDG_DATA_HOME/Corvane"
cat > "$(e2e_settings)" <<'JSON'
{
  "UserName": "Test", "UseSystemUserName": false, "DisplayMode": "Digital", "Theme": "Dark",
  "Alarms": [
    {"IsEnabled": false, "Hour": 7, "Minute": 30, "Weekdays": [2]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1]}
  ],
  "Clocks": [{"Id": "00000000-0000-4000-8000-000000000001", "TimeZone": "Europe/Berlin", "Name": ""}]
}
JSON

"$corvane" > "$E2E_WORK/corvane.log" 2>&1 &
pid=$!
e2e_track "$pid"
clock=$(e2e_wait_window '^Corvane$') || e2e_fail "no clock window"
xdotool windowactivate --sync "$clock" 2>/dev/null || xdotool windowfocus --sync "$clock"
xdotool key --clearmodifiers ctrl+comma
settings=$(e2e_wait_window '^Einstellungen – Corvane$' 15) || e2e_fail "no settings window"
sleep 0.5
xdotool mousemove --window "$settings" "$category_x" "$category_y" click 1   # "Wecker"
sleep 0.6

first_hour() { tr -d '\n' < "$(e2e_settings)" | grep -o '"Hour": *[0-9]*' | head -n 1 | grep -o '[0-9]*$'; }

# Button 5 is one notch of the wheel towards the user, 4 one away.
xdotool mousemove --window "$settings" "$hour_x" "$hour_y"
sleep 0.2
xdotool click --repeat 3 --delay 150 5
sleep 1.5   # longer than the save delay
[[ "$(first_hour)" == 7 ]] || e2e_fail "the wheel over the unfocused hour menu stored hour $(first_hour)"

# Back to the top; a click on the menu opens it, Esc closes it, the focus
# stays on it and the wheel is its own.
xdotool click --repeat 6 --delay 150 4
sleep 0.5
xdotool mousemove --window "$settings" "$hour_x" "$hour_y" click 1
sleep 0.6
xdotool key Escape
sleep 0.4
xdotool click 5
sleep 0.3
e2e_stop "$pid" "$E2E_WORK/corvane.log"
[[ "$(first_hour)" == 8 ]] || e2e_fail "one notch over the focused hour menu gave hour $(first_hour), not 8"
echo "end-to-end: the wheel scrolled past the hour menu of alarm 1 and changed it only after a click"
