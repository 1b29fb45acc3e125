#!/usr/bin/env bash
# The real program on a virtual X display, started on its map screen with one
# clock: the pointer goes to Tokyo's dot, the card's "Hinzufügen" is clicked,
# SIGTERM ends the program, and settings.json must hold Tokyo as clock 2.
set -euo pipefail
corvane=$1
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800

settings=$(e2e_settings)
mkdir -p "$(dirname "$settings")"
cat > "$settings" <<'JSON'
{"Clocks": [{"Id": "6F1C2A52-2E35-4C39-9C55-1B2B3C4D5E6F", "TimeZone": "Europe/Berlin", "Name": ""}],
 "ShowWorldMap": true, "DisplayMode": "digital",
 "WindowLeft": 40, "WindowTop": 40, "WindowWidth": 1100, "WindowHeight": 640}
JSON

CORVANE_TRACE_MAP=1 "$corvane" > "$E2E_WORK/run.log" 2>&1 &
pid=$!
e2e_track "$pid"
e2e_wait_window '^Corvane$' > /dev/null || e2e_fail "no window mapped"

# Where the map stands on the screen, as the program reports it.
read -r mx my mw mh < <(timeout 20 bash -c "until grep -m1 '^corvane: map ' '$E2E_WORK/run.log'; do sleep 0.1; done" |
                        awk '{print $3, $4, $5, $6}') || { cat "$E2E_WORK/run.log" >&2; e2e_fail "map never shown"; }
# Tokyo: 35.685 N, 139.7514 E in the map's projection.
tx=$(awk -v x="$mx" -v w="$mw" 'BEGIN { printf "%d", x + w * (139.7514 + 180) / 360 + 0.5 }')
ty=$(awk -v y="$my" -v h="$mh" 'BEGIN { printf "%d", y + h * (84 - 35.685) / 142 + 0.5 }')
# Arrive from a little way off, as a hand would.
xdotool mousemove $((tx - 30)) $((ty + 20))
sleep 0.3
xdotool mousemove "$tx" "$ty"

line=$(timeout 10 bash -c "until grep -m1 '^corvane: card ' '$E2E_WORK/run.log'; do sleep 0.1; done") ||
    { cat "$E2E_WORK/run.log" >&2; e2e_fail "no card appeared over Tokyo"; }
[[ "$line" == "corvane: card Tokio "* ]] || e2e_fail "card shows another city: $line"
read -r bx by < <(echo "$line" | awk '{print $(NF-1), $NF}')
sleep 0.3
xdotool mousemove "$bx" "$by"
sleep 0.2
xdotool click 1
sleep 1.5

e2e_stop "$pid" "$E2E_WORK/run.log"
grep -q '"Asia/Tokyo"' "$settings" || { cat "$settings" >&2; e2e_fail "Tokyo was not added as a clock"; }
[[ $(grep -c '"TimeZone"' "$settings") -eq 2 ]] || { cat "$settings" >&2; e2e_fail "expected exactly two clocks"; }
echo "end-to-end: hovered Tokyo, added it from the card, SIGTERM saved two clocks"
