#!/usr/bin/env bash
# The real program on a virtual X display with two, three and six named
# clocks in different zones at the default window size: the window is
# photographed for each (captions with their dates, to look at), and the
# frame left in settings.json after SIGTERM is still the default one.
set -euo pipefail
corvane=$1
probe=$2
shots=$3
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800
mkdir -p "$shots"

zones=(America/New_York Europe/Berlin Asia/Tokyo Australia/Sydney America/Los_Angeles Asia/Kolkata)
names=("Büro New York" "Zuhause" "Tokio" "Sydney" "Kalifornien" "Bangalore")
alarm='{"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": []}'

for count in 2 3 6; do
    clocks=""
    for ((i = 0; i < count; i++)); do
        [[ -n "$clocks" ]] && clocks+=","
        clocks+=$(printf '{"Id": "00000000-0000-4000-8000-%012d", "TimeZone": "%s", "Name": "%s"}' \
            "$i" "${zones[i]}" "${names[i]}")
    done
    mkdir -p "$XDG_DATA_HOME/Corvane"
    cat > "$(e2e_settings)" <<JSON
{"UserName": "Anna", "UseSystemUserName": false, "ShowGreeting": true, "ShowDate": true,
 "DisplayMode": "Analog", "DialStyle": "Classic", "SmoothSecondHand": false, "Theme": "Dark",
 "Alarms": [$alarm, $alarm, $alarm, $alarm],
 "WindowLeft": 40, "WindowTop": 40, "WindowWidth": 760, "WindowHeight": 460, "Clocks": [$clocks]}
JSON
    "$corvane" > "$E2E_WORK/run$count.log" 2>&1 &
    pid=$!
    e2e_track "$pid"
    wid=$(e2e_wait_window '^Corvane$') || e2e_fail "no window for $count clocks"
    sleep 1.5
    geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
    [[ "$geometry" == 760x460 ]] || e2e_fail "window of $count clocks is $geometry"
    "$probe" "$wid" "$shots/e2e-captions-$count.png" || e2e_fail "no picture of $count clocks"
    e2e_stop "$pid" "$E2E_WORK/run$count.log"
    grep -Eq '"WindowWidth": 760(\.0)?,' "$(e2e_settings)" || e2e_fail "frame of $count clocks not kept"
done
echo "captions end-to-end: 2, 3 and 6 clocks photographed in $shots"
