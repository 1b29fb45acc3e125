#!/usr/bin/env bash
# Starts the real program against what a careless or hostile user leaves in
# its data folder — a pipe, a link to a device, a link to a foreign file, a
# full disk — and checks that it starts, ends on SIGTERM and loses nothing.
set -euo pipefail
corvane=$1
source "$(dirname "$0")/../e2e_lib.sh"
e2e_setup 1280x800
data="$XDG_DATA_HOME/Corvane"

# run_once NAME: starts the program, moves its window (a save of its own),
# ends it with SIGTERM.
run_once() {
    "$corvane" > "$E2E_WORK/$1.log" 2>&1 &
    local pid=$!
    e2e_track "$pid"
    local wid
    wid=$(e2e_wait_window '^Corvane$' 20) || { cat "$E2E_WORK/$1.log" >&2; e2e_fail "$1: no window"; }
    xdotool windowmove "$wid" 140 90
    sleep 1.5
    e2e_stop "$pid" "$E2E_WORK/$1.log"
}

expect_fresh_file() {
    [[ -f "$data/settings.json" && ! -L "$data/settings.json" ]] || e2e_fail "$1: settings.json is no regular file"
    grep -q '"WindowLeft": 140' "$data/settings.json" || e2e_fail "$1: frame not saved"
    if ls "$data" | grep -q '\.tmp\.'; then e2e_fail "$1: temporary file left"; fi
}

# A pipe: start-up must not hang on it; it is kept as the backup.
mkdir -p "$data"
mkfifo "$data/settings.json"
run_once fifo
[[ -p "$data/settings.json.defekt.bak" ]] || e2e_fail "fifo: not set aside"
expect_fresh_file fifo

# A link to a device: the device stays a device.
rm -f "$data/settings.json" "$data/settings.json.defekt.bak"
ln -s /dev/zero "$data/settings.json"
run_once device
[[ -c /dev/zero ]] || e2e_fail "device: /dev/zero replaced"
[[ -L "$data/settings.json.defekt.bak" ]] || e2e_fail "device: link not set aside"
expect_fresh_file device

# A link to a foreign file: never written through.
rm -f "$data/settings.json" "$data/settings.json.defekt.bak"
printf 'meine Notizen\n' > "$E2E_WORK/notizen.txt"
ln -s "$E2E_WORK/notizen.txt" "$data/settings.json"
run_once foreign
[[ "$(cat "$E2E_WORK/notizen.txt")" == "meine Notizen" ]] || e2e_fail "foreign: the linked file was written"
expect_fresh_file foreign

# A link to someone else's JSON object (a project's package.json): it would
# decode, but it is no settings file, so the link goes aside unwritten.
rm -f "$data/settings.json" "$data/settings.json.defekt.bak"
mkdir -p "$E2E_WORK/projekt"
printf '{"name": "mein-projekt", "version": "1.0.0"}\n' > "$E2E_WORK/projekt/package.json"
cp "$E2E_WORK/projekt/package.json" "$E2E_WORK/package.orig"
ln -s "$E2E_WORK/projekt/package.json" "$data/settings.json"
run_once package
cmp -s "$E2E_WORK/projekt/package.json" "$E2E_WORK/package.orig" || e2e_fail "package: the linked file was written"
[[ -L "$data/settings.json.defekt.bak" ]] || e2e_fail "package: link not set aside"
[[ $(ls "$E2E_WORK/projekt") == package.json ]] || e2e_fail "package: something was left beside the project's file"
expect_fresh_file package

# A link to settings kept elsewhere: followed, the link kept, and what a
# killed save left beside that file goes at the start, but only that.
rm -f "$data/settings.json" "$data/settings.json.defekt.bak"
dotfiles="$E2E_WORK/Dotfiles"
mkdir -p "$dotfiles"
printf '{"UserName": "Anna"}\n' > "$dotfiles/corvane.json"
printf 'halb' > "$dotfiles/corvane.json.tmp.Ab3xZ9"
printf 'meins' > "$dotfiles/corvane.json.tmp.alt"
ln -s "$dotfiles/corvane.json" "$data/settings.json"
run_once dotfiles
[[ -L "$data/settings.json" ]] || e2e_fail "dotfiles: the link was replaced"
grep -q '"UserName": "Anna"' "$dotfiles/corvane.json" || e2e_fail "dotfiles: settings lost"
grep -q '"WindowLeft": 140' "$dotfiles/corvane.json" || e2e_fail "dotfiles: frame not saved through the link"
[[ ! -e "$dotfiles/corvane.json.tmp.Ab3xZ9" ]] || e2e_fail "dotfiles: stray temporary file kept"
[[ -e "$dotfiles/corvane.json.tmp.alt" ]] || e2e_fail "dotfiles: the user's own file was removed"
[[ ! -e "$data/settings.json.defekt.bak" ]] || e2e_fail "dotfiles: set aside"

# A number no double holds costs its own key, not the file.
rm -f "$data/settings.json"
printf '{"UserName": "Zahl", "FontSize": 1e400, "Theme": "Dark"}\n' > "$data/settings.json"
run_once number
[[ ! -e "$data/settings.json.defekt.bak" ]] || e2e_fail "number: file set aside"
grep -q '"UserName": "Zahl"' "$data/settings.json" || e2e_fail "number: user name lost"
grep -q '"Theme": "Dark"' "$data/settings.json" || e2e_fail "number: theme lost"
grep -q '"FontSize": 120' "$data/settings.json" || e2e_fail "number: font size not back at its default"
expect_fresh_file number

# A full disk: the good file stays as it was (needs the right to mount).
if [[ $(id -u) -eq 0 ]] && mkdir -p "$E2E_WORK/small" && mount -t tmpfs -o size=256k tmpfs "$E2E_WORK/small" 2>/dev/null; then
    trap 'umount -l "$E2E_WORK/small" 2>/dev/null || true; e2e_cleanup' EXIT
    export XDG_DATA_HOME="$E2E_WORK/small"
    data="$XDG_DATA_HOME/Corvane"
    mkdir -p "$data"
    printf '{"UserName": "Anna", "WindowLeft": 10}\n' > "$data/settings.json"
    cp "$data/settings.json" "$E2E_WORK/good.json"
    head -c 1M /dev/zero > "$XDG_DATA_HOME/fueller" 2>/dev/null || true
    run_once full
    cmp -s "$data/settings.json" "$E2E_WORK/good.json" || e2e_fail "full: settings.json changed on a full disk"
    if ls "$data" | grep -q '\.tmp\.'; then e2e_fail "full: temporary file left"; fi
    umount -l "$E2E_WORK/small"
    echo "hostile storage: full disk kept the file"
else
    echo "hostile storage: full disk skipped (no permission to mount)"
fi
echo "hostile storage: pipe, device link and foreign links set aside, nothing written through; own link followed"
