#!/usr/bin/env bash
# Starts the real program on a virtual X display with its own folders, moves
# its window, starts it a second time, ends it with SIGTERM (what a log-out
# sends) and checks what it left in settings.json.
set -euo pipefail
corvane=$1
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800

"$corvane" > "$E2E_WORK/first.log" 2>&1 &
pid=$!
e2e_track "$pid"
wid=$(e2e_wait_window '^Corvane$') || e2e_fail "no window mapped"
xdotool windowmove "$wid" 100 120
sleep 1

# A second start hands over to the running one and ends at once.
timeout 15 "$corvane" > "$E2E_WORK/second.log" 2>&1 || e2e_fail "second start did not end cleanly ($?)"
kill -0 "$pid" 2>/dev/null || e2e_fail "first instance ended when the second started"

e2e_stop "$pid" "$E2E_WORK/first.log"

settings=$(e2e_settings)
[[ -f "$settings" ]] || e2e_fail "no settings.json written"
grep -Eq '"WindowLeft": 100(\.0)?,' "$settings" || { cat "$settings" >&2; e2e_fail "window left not stored"; }
grep -Eq '"WindowTop": 120(\.0)?,' "$settings" || { cat "$settings" >&2; e2e_fail "window top not stored"; }
grep -Eq '"WindowWidth": 460(\.0)?,' "$settings" || e2e_fail "single analog clock window not square"
echo "end-to-end: window mapped, second start handed over, SIGTERM saved the frame"
