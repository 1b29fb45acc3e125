# Shared steps of the CPU scripts in this folder. Source tests/e2e_lib.sh
# first: it gives the private X display (Xvfb's pid in $E2E_XVFB_PID), the
# private folders and the cleanup on exit.
#
#   bench_require PROGRAM...      exits (2) unless each is an executable file
#                                 and Xvfb and xdotool are installed
#   cpu_ticks PID                 utime + stime so far, in clock ticks
#   cpu_share PID SECONDS [DIGITS]  per cent of one core over the next SECONDS
#   ticks_to_share TICKS SECONDS [DIGITS]
#   bench_check NAME VALUE LIMIT UNIT
#                                 prints the figure against its target; a
#                                 missed (or missing) one sets bench_failed=1
#
# The figures are of one core, with the resolution of one scheduler tick
# (1 / CLK_TCK s) over the measuring time.

bench_failed=0

bench_require() {
    local program
    for program in "$@"; do
        [[ -x "$program" ]] || { echo "no program at $program (build it or pass its path)" >&2; exit 2; }
    done
    command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; exit 2; }
    command -v xdotool >/dev/null || { echo "xdotool is missing (apt-get install xdotool)" >&2; exit 2; }
}
bench_ticks_per_second=$(getconf CLK_TCK)

cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

ticks_to_share() {
    awk -v d="$1" -v t="$bench_ticks_per_second" -v s="$2" -v p="${3:-2}" \
        'BEGIN { printf "%." p "f", d / t / s * 100 }'
}

cpu_share() {
    local a0 a1
    a0=$(cpu_ticks "$1")
    sleep "$2"
    a1=$(cpu_ticks "$1")
    ticks_to_share $((a1 - a0)) "$2" "${3:-2}"
}

bench_check() {
    local verdict=ok
    if awk -v v="$2" -v l="$3" 'BEGIN { exit !(v == "" || v > l) }'; then verdict=MISSED; bench_failed=1; fi
    printf '%-52s %8s %-3s (target <= %s %s) %s\n' "$1" "$2" "$4" "$3" "$4" "$verdict"
}
