#!/usr/bin/env bash
# The settings window of the real program, driven as a user would: opened
# with Ctrl+, on the general page to untick "Datum anzeigen", closed with Esc;
# then a 3-second countdown started from the countdown page, whose alert must
# darken the clock window. SIGTERM ends it; settings.json must hold the change.
set -euo pipefail
corvane=$1
probe=$2
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800

mkdir -p "$XDG_DATA_HOME/Corvane"
cat > "$(e2e_settings)" <<'JSON'
{
  "Theme": "Light", "DisplayMode": "Digital", "ShowDate": true,
  "Countdowns": [{"DurationSeconds": 3}, {"DurationSeconds": 600}]
}
JSON

"$corvane" > "$E2E_WORK/corvane.log" 2>&1 &
pid=$!
e2e_track "$pid"
clock=$(e2e_wait_window '^Corvane$') || e2e_fail "no clock window"
sleep 1

open_settings() {
    xdotool windowfocus --sync "$clock"
    xdotool key ctrl+comma
    settings=$(e2e_wait_window '^Einstellungen' 30) || e2e_fail "Ctrl+, opened no settings window"
    # The layout at the smallest size is the one the page tests measure.
    xdotool windowsize --sync "$settings" 820 520
    xdotool windowfocus --sync "$settings"
    sleep 0.5
}
click_in() {  # window x y
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.4
}
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

open_settings
click_in "$settings" 90 93     # sidebar: "Allgemein"
click_in "$settings" 262 208   # "Datum anzeigen"
xdotool key Escape
sleep 0.5
visible '^Einstellungen' && e2e_fail "Esc left the settings window open"

# Bottom left of the clock window: the light background, until an alert
# lays its shade over the clocks.
read -r _ _ height < <(xdotool getwindowgeometry "$clock" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/x \1 \2/p')
before=$("$probe" "$clock" 6 $((height - 6))) || e2e_fail "could not read the clock window"

open_settings
click_in "$settings" 90 258    # sidebar: "Countdown"
click_in "$settings" 360 255   # "Start" of countdown 1 (the cards stand in one column here)
xdotool key Escape
lum() { local c=${1#\#}; echo $(( (16#${c:0:2} * 30 + 16#${c:2:2} * 59 + 16#${c:4:2} * 11) / 100 )); }
(( $(lum "$before") > 150 )) || e2e_fail "clock window not light before the countdown ($before)"
# The alert is due 3 s after the start; a loaded machine may take longer.
sleep 2.5
for _ in $(seq 30); do
    after=$("$probe" "$clock" 6 $((height - 6))) || e2e_fail "could not read the clock window"
    (( $(lum "$after") < $(lum "$before") * 6 / 10 )) && break
    sleep 0.5
done
(( $(lum "$after") < $(lum "$before") * 6 / 10 )) || e2e_fail "no alert over the clocks after the countdown ($before -> $after)"

e2e_stop "$pid" "$E2E_WORK/corvane.log"
settings_file=$(e2e_settings)
grep -Eq '"ShowDate": false' "$settings_file" || { cat "$settings_file" >&2; e2e_fail "ShowDate not stored as false"; }
echo "end-to-end: date switched off on the general page and saved; 3-second countdown rang over the clocks"
