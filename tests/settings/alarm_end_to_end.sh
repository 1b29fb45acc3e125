#!/usr/bin/env bash
# Sets a one-time alarm for the next minute through the real program's
# settings window, with the pointer, and waits for it to ring: the alarm
# switches itself off after ringing, and settings.json says so after the
# shutdown.
#
#   alarm_end_to_end.sh <corvane> <settings_alarms_page_test>
#
# The second program tells where the first alarm card's controls stand in a
# fresh settings window (same fonts, same size), so the clicks follow the
# layout.
set -euo pipefail
corvane=$1
probe=$2
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800
export TZ=UTC

e2e_alarms_probe "$probe"

# Every alarm off, alarm 1 at 07:00 every day; digital clocks.
mkdir -p "$XDG_DATA_HOME/Corvane"
cat > "$(e2e_settings)" <<'JSON'
{
  "UserName": "Test", "UseSystemUserName": false, "DisplayMode": "Digital", "Theme": "Dark",
  "Alarms": [
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1, 2, 3, 4, 5, 6, 7]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1, 2, 3, 4, 5, 6, 7]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1, 2, 3, 4, 5, 6, 7]},
    {"IsEnabled": false, "Hour": 7, "Minute": 0, "Weekdays": [1, 2, 3, 4, 5, 6, 7]}
  ],
  "Clocks": [{"Id": "00000000-0000-4000-8000-000000000001", "TimeZone": "Europe/Berlin", "Name": ""}]
}
JSON

"$corvane" > "$E2E_WORK/corvane.log" 2>&1 &
pid=$!
e2e_track "$pid"
clock=$(e2e_wait_window '^Corvane$') || e2e_fail "no clock window"

# Leave enough of the minute for the clicks; the alarm is for the next one.
while (( 10#$(date +%S) > 35 )); do sleep 1; done
target=$(date -d '+1 minute' +%H:%M)
hour=${target%:*}
minute=${target#*:}

xdotool windowactivate --sync "$clock" 2>/dev/null || xdotool windowfocus --sync "$clock"
xdotool key --clearmodifiers ctrl+comma
settings=$(e2e_wait_window '^Einstellungen – Corvane$' 15) || e2e_fail "no settings window"
sleep 0.5

click() {  # x y
    xdotool mousemove --window "$settings" "$1" "$2" click 1
    sleep 0.4
}
# A picker: its menu opens under the pointer, typing the two digits finds the
# entry, Return takes it.
pick() {  # x y text
    click "$1" "$2"
    xdotool type --delay 80 "$3"
    xdotool key Return
    sleep 0.4
}

click "$category_x" "$category_y"                # "Wecker"
pick "$hour_x" "$hour_y" "$hour"
pick "$minute_x" "$minute_y" "$minute"
for i in 0 1 2 3 4 5 6; do
    xv="day${i}_x"; yv="day${i}_y"
    click "${!xv}" "${!yv}"                          # every weekday off
done
click "$switch_x" "$switch_y"                    # "Wecker 1" on
xdotool key Escape                                # close the settings
sleep 1.5

file=$(e2e_settings)
# The first alarm's object of settings.json on one line (its sound is an
# object inside it, so braces are counted).
first_alarm() {
    tr -d '\n' < "$file" | sed 's/.*"Alarms": *\[//' | awk '{
        d = 0; s = ""
        for (i = 1; i <= length($0); i++) {
            c = substr($0, i, 1)
            if (c == "{") d++
            if (d > 0) s = s c
            if (c == "}") { d--; if (d == 0) { print s; exit } }
        }
    }' | tr -s ' '
}
# alarm_is true|false: alarm 1 is a one-time alarm at the target time, on or off.
alarm_is() {
    local a
    a=$(first_alarm)
    grep -q "\"IsEnabled\": $1" <<<"$a" && grep -Eq "\"Hour\": $((10#$hour))[,} ]" <<<"$a" &&
        grep -Eq "\"Minute\": $((10#$minute))[,} ]" <<<"$a" && grep -Eq '"Weekdays": \[ ?\]' <<<"$a"
}
alarm_is true || { first_alarm >&2; e2e_fail "alarm 1 not set as one-time alarm at $target"; }

# It rings within its minute and switches itself off; the change is saved.
deadline=$(( $(date +%s) + 90 ))
until alarm_is false; do
    (( $(date +%s) < deadline )) || { cat "$E2E_WORK/corvane.log" >&2; e2e_fail "alarm for $target did not ring"; }
    sleep 1
done
rang_at=$(date +%H:%M)

[[ "$rang_at" == "$target" ]] || e2e_fail "alarm for $target switched off at $rang_at"
e2e_stop "$pid" "$E2E_WORK/corvane.log"
alarm_is false || { first_alarm >&2; e2e_fail "after the shutdown alarm 1 is not the one-time alarm, switched off"; }
echo "end-to-end: one-time alarm set for $target through the settings, rang at $rang_at and switched itself off"
