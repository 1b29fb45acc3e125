#!/usr/bin/env bash
# Drags the real program's window by its clock, on a bare X server and under
# a window manager that offers to do the moving: each time the window goes
# exactly as far as the pointer, and that is the frame left in settings.json
# after SIGTERM.
set -euo pipefail
corvane=$1
wm=$2
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800

# drag_once WHAT: starts at 100,120, drags the clock by 200,120, ends.
drag_once() {
    mkdir -p "$XDG_DATA_HOME/Corvane"
    echo '{"WindowLeft": 100, "WindowTop": 120, "WindowWidth": 760, "WindowHeight": 460}' > "$(e2e_settings)"
    "$corvane" > "$E2E_WORK/$1.log" 2>&1 &
    local pid=$!
    e2e_track "$pid"
    local wid
    wid=$(e2e_wait_window '^Corvane$') || e2e_fail "$1: no window mapped"
    sleep 1
    [[ $(e2e_position "$wid") == "100,120" ]] || e2e_fail "$1: not restored at 100,120 but $(e2e_position "$wid")"
    # The middle of the window: the clock, which takes no press itself.
    e2e_drag 480 350 200 120
    sleep 0.5
    local now
    now=$(e2e_position "$wid")
    echo "$1: dragged by 200,120 from 100,120 to $now"
    [[ "$now" == "300,240" ]] || e2e_fail "$1: a drag by 200,120 moved the window to $now"
    e2e_stop "$pid" "$E2E_WORK/$1.log"
    grep -Eq '"WindowLeft": 300(\.0)?,' "$(e2e_settings)" && grep -Eq '"WindowTop": 240(\.0)?,' "$(e2e_settings)" ||
        { cat "$(e2e_settings)" >&2; e2e_fail "$1: the frame after the drag was not stored"; }
}

drag_once "without a window manager"
e2e_window_manager "$wm"
drag_once "under the window manager"
grep -q '^move ' "$E2E_WORK/wm.log" && { cat "$E2E_WORK/wm.log" >&2; e2e_fail "the move was handed to the window manager"; }
echo "drag end-to-end: the window followed the pointer exactly, with and without a window manager"
