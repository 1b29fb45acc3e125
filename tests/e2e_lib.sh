# Shared steps of the end-to-end scripts, sourced by them: a private virtual
# X display, private XDG folders and no session bus, so a run never meets the
# user's own Corvane, settings or desktop.
#
#   source tests/e2e_lib.sh
#   e2e_setup                 # $E2E_WORK, Xvfb on $DISPLAY, XDG_* exported
#   ... start the program, drive it with xdotool ...
#   e2e_fail "message"        # prints, kills what was started, exits 1
#
# Cleanup (program, X server, folders) runs on exit. Programs started in the
# background should be registered with `e2e_track PID` so a failure ends them.

E2E_PIDS=()

e2e_cleanup() {
    local p
    for p in "${E2E_PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    [[ -n "${E2E_XVFB_PID:-}" ]] && kill "$E2E_XVFB_PID" 2>/dev/null || true
    [[ -n "${E2E_WORK:-}" ]] && rm -rf "$E2E_WORK"
    return 0
}

e2e_fail() {
    echo "FAIL: $*" >&2
    e2e_cleanup
    trap - EXIT
    exit 1
}

e2e_track() { E2E_PIDS+=("$1"); }

# e2e_setup [WIDTHxHEIGHT]
e2e_setup() {
    local screen=${1:-1280x800}
    E2E_WORK=$(mktemp -d)
    trap e2e_cleanup EXIT
    mkdir -p "$E2E_WORK/data" "$E2E_WORK/config" "$E2E_WORK/runtime" "$E2E_WORK/home" "$E2E_WORK/tmp"
    chmod 700 "$E2E_WORK/runtime"
    # Xvfb chooses a free display itself (-displayfd): picking a number
    # first, as xvfb-run -a does, races with other X servers starting at the
    # same time.
    # No key auto-repeat (-r): on a loaded machine the release of a shortcut
    # can reach the server late, and the repeats then land in whatever text
    # field gets the focus next.
    Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -r 3>"$E2E_WORK/display" 2>"$E2E_WORK/xvfb.log" &
    E2E_XVFB_PID=$!
    local _
    for _ in $(seq 200); do [[ -s "$E2E_WORK/display" ]] && break; sleep 0.05; done
    [[ -s "$E2E_WORK/display" ]] || { cat "$E2E_WORK/xvfb.log" >&2; e2e_fail "Xvfb did not start"; }
    unset QT_QPA_PLATFORM
    export DISPLAY=":$(tr -d '[:space:]' < "$E2E_WORK/display")"
    export HOME="$E2E_WORK/home" XDG_DATA_HOME="$E2E_WORK/data" XDG_CONFIG_HOME="$E2E_WORK/config"
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
    # A private temporary folder too: nothing of this run meets another
    # program that uses the shared one.
    export TMPDIR="$E2E_WORK/tmp"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_WORK/no-bus"
}

# e2e_wait_window NAME_REGEX [SECONDS] -> prints the window id
e2e_wait_window() {
    local wid
    wid=$(timeout "${2:-30}" xdotool search --sync --onlyvisible --name "$1" | head -n 1) || return 1
    [[ -n "$wid" ]] || return 1
    echo "$wid"
}

# e2e_position WID -> X,Y: where the window stands on the screen.
e2e_position() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p'; }

# e2e_window_manager WM: starts the tests' small window manager, which moves
# windows on request the way real ones do (tests/widget/drag_window_manager.cpp),
# and waits until it runs.
e2e_window_manager() {
    "$1" > "$E2E_WORK/wm.log" 2>&1 &
    e2e_track $!
    local _
    for _ in $(seq 100); do grep -q '^ready$' "$E2E_WORK/wm.log" && break; sleep 0.05; done
    grep -q '^ready$' "$E2E_WORK/wm.log" || { cat "$E2E_WORK/wm.log" >&2; e2e_fail "window manager did not start"; }
}

# e2e_drag X Y DX DY: presses the left button at X,Y on the screen, moves the
# pointer by DX,DY in ten steps at the pace of a hand and lets go there.
e2e_drag() {
    local x=$1 y=$2 dx=$3 dy=$4 step
    xdotool mousemove --sync "$x" "$y"
    xdotool mousedown 1
    for step in $(seq 10); do
        xdotool mousemove --sync $((x + dx * step / 10)) $((y + dy * step / 10))
        sleep 0.02
    done
    sleep 0.2
    xdotool mouseup 1
}

# e2e_stop PID [LOG]: SIGTERM (what a log-out sends), then waits; fails
# (showing LOG) unless the program ended with 0.
e2e_stop() {
    local rc=0
    kill -TERM "$1"
    wait "$1" || rc=$?
    if [[ $rc -ne 0 ]]; then
        [[ -n "${2:-}" ]] && cat "$2" >&2
        e2e_fail "program ended with $rc after SIGTERM"
    fi
}

# e2e_settings: the settings file of this run.
e2e_settings() { echo "$XDG_DATA_HOME/Corvane/settings.json"; }

# e2e_alarms_probe PROBE: runs the alarms page test's layout probe offscreen
# and takes the positions it writes (shell variables such as category_x,
# category_y) into this script.
e2e_alarms_probe() {
    CORVANE_E2E_PROBE="$E2E_WORK/probe.txt" QT_QPA_PLATFORM=offscreen "$1" --gtest_filter='AlarmsEndToEnd.*' \
        > "$E2E_WORK/probe.log" 2>&1 || { cat "$E2E_WORK/probe.log" >&2; e2e_fail "probe failed"; }
    # shellcheck disable=SC1091
    source "$E2E_WORK/probe.txt"
}
