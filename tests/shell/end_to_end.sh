#!/usr/bin/env bash
# Starts the real program on a virtual X display with its own folders, moves
# its window, starts it a second time, ends it with SIGTERM (what a log-out
# sends) and checks what it left in settings.json.
set -euo pipefail
corvane=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/config" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"

cat > "$work/inner.sh" <<'INNER'
set -euo pipefail
corvane=$1; work=$2
fail() { echo "FAIL: $*" >&2; kill -9 "$pid" 2>/dev/null || true; exit 1; }

"$corvane" > "$work/first.log" 2>&1 &
pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Corvane$' | head -n 1) || fail "no window mapped"
[[ -n "$wid" ]] || fail "no window id"
xdotool windowmove "$wid" 100 120
sleep 1

# A second start hands over to the running one and ends at once.
timeout 15 "$corvane" > "$work/second.log" 2>&1 || fail "second start did not end cleanly ($?)"
kill -0 "$pid" 2>/dev/null || fail "first instance ended when the second started"

kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
[[ $rc -eq 0 ]] || { cat "$work/first.log" >&2; fail "first instance ended with $rc after SIGTERM"; }
INNER

# Xvfb chooses a free display itself (-displayfd): picking a number first,
# as xvfb-run -a does, races with other X servers starting at the same time.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 200); do [[ -s "$work/display" ]] && break; sleep 0.05; done
[[ -s "$work/display" ]] || { echo "FAIL: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }

env -u QT_QPA_PLATFORM DISPLAY=":$(tr -d '[:space:]' < "$work/display")" \
    HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    bash "$work/inner.sh" "$corvane" "$work"

settings="$work/data/Corvane/settings.json"
[[ -f "$settings" ]] || { echo "FAIL: no settings.json written" >&2; exit 1; }
grep -Eq '"WindowLeft": 100(\.0)?,' "$settings" || { echo "FAIL: window left not stored" >&2; cat "$settings" >&2; exit 1; }
grep -Eq '"WindowTop": 120(\.0)?,' "$settings" || { echo "FAIL: window top not stored" >&2; cat "$settings" >&2; exit 1; }
grep -Eq '"WindowWidth": 460(\.0)?,' "$settings" || { echo "FAIL: single analog clock window not square" >&2; exit 1; }
echo "end-to-end: window mapped, second start handed over, SIGTERM saved the frame"
