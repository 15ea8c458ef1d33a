#!/usr/bin/env bash
# Start-up of the game against a bare Qt 6 dialog with a menu bar and two lists, side by side
# in one run on a private virtual X display: time from exec to the window being mapped, and
# resident memory once it is shown. Runs each program RUNS times (default 7) in turn, one
# after the other, and prints the medians and the minimum, median and maximum of the ratios
# of each pair of runs.
#   bash bench/startup.sh [build dir]
# A run that fails (no window, the program gone before it was measured, no display) ends the
# script with a message and a non-zero status; nothing is retried.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-7}
game=$(realpath "$build/app/kelvara")
bare=$(realpath "$build/bench/kelvara-bench-bare-dialog")
# The longest wait for a window to show, in seconds: generous, for a machine under load.
window_wait=${WINDOW_WAIT:-60}

fail() {
    echo "startup.sh: $*" >&2
    if [ -n "$xvfb_pid" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "startup.sh: the X server has gone: $(tr '\n' ' ' <"$work/xvfb.log")" >&2
    fi
    exit 1
}

work=$(mktemp -d)
xvfb_pid=""
child_pid=""
cleanup() {
    [ -n "$child_pid" ] && kill "$child_pid" 2>/dev/null && wait "$child_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A display of our own, so no other program's display or server reset gets in the way.
source scripts/private-display.sh
start_private_display "$work" "$window_wait" || fail "no display"

# A TCP port that nobody listens on now, from the kernel, for the game's listener.
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])'
}

# measure <program> <window name>: prints "<milliseconds> <RSS kB>"
measure() {
    local start wid="" now rss port deadline
    port=$(free_port)
    start=$(date +%s%N)
    KELVARA_LISTEN_PORT=$port "$1" >"$work/program.log" 2>&1 &
    child_pid=$!
    deadline=$((start + window_wait * 1000000000))
    while [ -z "$wid" ]; do
        kill -0 "$child_pid" 2>/dev/null ||
            fail "$(basename "$1") ended before its window showed: $(tr '\n' ' ' <"$work/program.log")"
        [ "$(date +%s%N)" -lt "$deadline" ] ||
            fail "$(basename "$1") showed no window \"$2\" within $window_wait s"
        wid=$(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | head -n1 || true)
        [ -z "$wid" ] && sleep 0.005
    done
    now=$(date +%s%N)
    sleep 0.5 # let the first paint finish before reading the memory
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$child_pid/status" 2>/dev/null || true)
    [ -n "$rss" ] || fail "$(basename "$1") ended before its memory was read"
    kill "$child_pid"
    wait "$child_pid" 2>/dev/null || true
    child_pid=""
    echo "$(((now - start) / 1000000)) $rss"
}

# The median of the numbers on stdin (the mean of the middle two of an even count).
median() { sort -g | awk '{a[NR]=$1} END {print (a[int((NR + 1) / 2)] + a[int(NR / 2) + 1]) / 2}'; }
# "min median max" of the numbers on stdin
spread() {
    sort -g | awk '{a[NR]=$1}
        END {printf "%.2f %.2f %.2f\n", a[1], (a[int((NR + 1) / 2)] + a[int(NR / 2) + 1]) / 2, a[NR]}'
}

# The game reads set/ and res/ from the working directory, as a player's copy does.
game_ms=() game_kb=() bare_ms=() bare_kb=() ms_ratio=() kb_ratio=()
measure "$bare" bare-dialog >"$work/warm" # warm the file cache
measure "$game" 六子棋 >"$work/warm"
for _ in $(seq 1 "$runs"); do
    measure "$bare" bare-dialog >"$work/run"
    read -r bms bkb <"$work/run"
    measure "$game" 六子棋 >"$work/run"
    read -r gms gkb <"$work/run"
    bare_ms+=("$bms") bare_kb+=("$bkb") game_ms+=("$gms") game_kb+=("$gkb")
    # A window mapped within the same millisecond counts as one millisecond.
    ms_ratio+=("$(awk -v g="$gms" -v b="$bms" 'BEGIN {print g / (b > 0 ? b : 1)}')")
    kb_ratio+=("$(awk -v g="$gkb" -v b="$bkb" 'BEGIN {print g / b}')")
done
printf '%-12s %10s %10s\n' "" "start ms" "RSS kB"
printf '%-12s %10s %10s\n' "bare dialog" "$(printf '%s\n' "${bare_ms[@]}" | median)" \
    "$(printf '%s\n' "${bare_kb[@]}" | median)"
printf '%-12s %10s %10s\n' "kelvara" "$(printf '%s\n' "${game_ms[@]}" | median)" \
    "$(printf '%s\n' "${game_kb[@]}" | median)"
read -r tmin tmed tmax < <(printf '%s\n' "${ms_ratio[@]}" | spread)
read -r rmin rmed rmax < <(printf '%s\n' "${kb_ratio[@]}" | spread)
printf '%-12s %10s %10s\n' "ratio" "start ms" "RSS kB"
printf '%-12s %10s %10s\n' "  min" "$tmin" "$rmin"
printf '%-12s %10s %10s\n' "  median" "$tmed" "$rmed"
printf '%-12s %10s %10s\n' "  max" "$tmax" "$rmax"
