#!/usr/bin/env bash
# The display page through the real program and the pointer: open the
# settings, add two clocks, label the new last one, choose its zone in the
# chooser by typing, end with SIGTERM and check settings.json.
#
# Positions are those of the settings window at its first size (940 x 640):
# the page pane starts right of the 190-wide sidebar, and the clock rows
# start under the card's header.
set -euo pipefail
corvane=$1
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800

mkdir -p "$XDG_DATA_HOME/Corvane"
cat > "$(e2e_settings)" <<'JSON'
{"DisplayMode": "Digital", "Theme": "Light", "ShowWorldMap": false,
 "Clocks": [{"Id": "00000000-0000-4000-8000-000000000001", "TimeZone": "Europe/Berlin", "Name": ""}]}
JSON

"$corvane" > "$E2E_WORK/app.log" 2>&1 &
pid=$!
e2e_track "$pid"
wid=$(e2e_wait_window '^Corvane$') || e2e_fail "no clock window"
sleep 0.5
xdotool key --window "$wid" ctrl+comma
sid=$(e2e_wait_window '^Einstellungen' 15) || e2e_fail "the settings did not open"
sleep 2
geometry=$(xdotool getwindowgeometry "$sid")
grep -q "Geometry: 940x640" <<<"$geometry" || e2e_fail "settings window not at its first size: $geometry"

# Generous pauses: the machine running the tests may be busy.
click() {  # x y, inside the settings window
    xdotool mousemove --window "$sid" "$1" "$2" click 1
    sleep 0.8
}

# "Uhr hinzufügen", right in the card's header, twice.
click 822 98
click 822 98

# The third row: its label field, then its zone button.
click 598 208
xdotool type --delay 30 "Basislager"
sleep 0.8
popup=
for _ in 1 2 3; do
    click 400 208
    popup=$(timeout 5 xdotool search --sync --onlyvisible --name '^Zeitzone' | head -n 1) && break
done
[[ -n "$popup" ]] || e2e_fail "no zone chooser"
sleep 0.5
xdotool type --delay 30 "kathmandu"
sleep 1
# The first entry of the filtered list, under the search field.
xdotool mousemove --window "$popup" 160 59 click 1
sleep 1

e2e_stop "$pid" "$E2E_WORK/app.log"

settings=$(e2e_settings)
clocks=$(grep -c '"Id":' "$settings" || true)
[[ "$clocks" == 3 ]] || { cat "$settings" >&2; e2e_fail "expected 3 clocks, found $clocks"; }
# The last clock (everything after the last "Id") holds the zone and the label.
last=$(awk '/"Id":/ { block = "" } { block = block $0 "\n" } END { printf "%s", block }' "$settings")
grep -q '"TimeZone": "Asia/Kathmandu"' <<<"$last" || { cat "$settings" >&2; e2e_fail "last clock not on Asia/Kathmandu"; }
grep -q '"Name": "Basislager"' <<<"$last" || { cat "$settings" >&2; e2e_fail "last clock without its label"; }
echo "end-to-end: two clocks added, labelled and moved to Kathmandu through the display page"
