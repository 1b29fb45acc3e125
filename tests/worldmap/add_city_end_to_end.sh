#!/usr/bin/env bash
# The real program on a virtual X display, started on its map screen with two
# clocks, the second on the old zone name "Asia/Calcutta": Kolkata must carry
# its badge 2 and its card must say so. Then the pointer goes to Tokyo's dot,
# the card's "Hinzufügen" is clicked, SIGTERM ends the program, and
# settings.json must hold Tokyo as clock 3.
set -euo pipefail
corvane=$1
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800

settings=$(e2e_settings)
mkdir -p "$(dirname "$settings")"
cat > "$settings" <<'JSON'
{"Clocks": [{"Id": "6F1C2A52-2E35-4C39-9C55-1B2B3C4D5E6F", "TimeZone": "Europe/Berlin", "Name": ""},
            {"Id": "0B7D4C2E-8A41-4F7B-9D0E-2C6A1F3B5D70", "TimeZone": "Asia/Calcutta", "Name": ""}],
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
# The badges the map draws: the clock on the link stands for Kolkata.
marks=$(grep -m1 '^corvane: marks ' "$E2E_WORK/run.log") || e2e_fail "the map reported no badges"
[[ "$marks" == *"2 Kalkutta|Indien"* ]] || e2e_fail "no badge 2 on Kalkutta: $marks"

# A city's point on the screen, from its latitude and longitude.
point() {
    awk -v x="$mx" -v y="$my" -v w="$mw" -v h="$mh" -v lat="$1" -v lon="$2" \
        'BEGIN { printf "%d %d\n", x + w * (lon + 180) / 360 + 0.5, y + h * (84 - lat) / 142 + 0.5 }'
}
# Arrive from a little way off (dx, dy; open water), as a hand would.
hover() {
    xdotool mousemove $(($1 + $3)) $(($2 + $4))
    sleep 0.3
    xdotool mousemove "$1" "$2"
}
card_line() {
    timeout 10 bash -c "until grep -m1 '^corvane: card $1 ' '$E2E_WORK/run.log'; do sleep 0.1; done"
}

read -r kx ky < <(point 22.495 88.3247)
hover "$kx" "$ky" 20 40
line=$(card_line Kalkutta) || { cat "$E2E_WORK/run.log" >&2; e2e_fail "no card appeared over Kolkata"; }
[[ "$line" == *"(Bereits als Uhr 2 eingerichtet)"* ]] || e2e_fail "Kolkata's card does not know its clock: $line"
# Out to the open Pacific until the card has gone: it would cover Tokyo.
read -r px py < <(point 0 -150)
xdotool mousemove "$px" "$py"
sleep 1

# Tokyo: 35.685 N, 139.7514 E.
read -r tx ty < <(point 35.685 139.7514)
hover "$tx" "$ty" -30 20
line=$(card_line Tokio) || { cat "$E2E_WORK/run.log" >&2; e2e_fail "no card appeared over Tokyo"; }
read -r bx by < <(echo "$line" | awk '{print $(NF-1), $NF}')
sleep 0.3
xdotool mousemove "$bx" "$by"
sleep 0.2
xdotool click 1
sleep 1.5

e2e_stop "$pid" "$E2E_WORK/run.log"
grep -q '"Asia/Tokyo"' "$settings" || { cat "$settings" >&2; e2e_fail "Tokyo was not added as a clock"; }
[[ $(grep -c '"TimeZone"' "$settings") -eq 3 ]] || { cat "$settings" >&2; e2e_fail "expected exactly three clocks"; }
echo "end-to-end: Asia/Calcutta badged on Kalkutta; hovered Tokyo, added it from the card, SIGTERM saved three clocks"
