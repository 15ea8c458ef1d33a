#!/usr/bin/env bash
# Start-up of the game against a bare Qt 6 dialog with a menu bar and two lists, side by side
# in one run on one virtual X display: time from exec to the window being mapped, and resident
# memory once it is shown. Runs each program RUNS times (default 7) in turn and prints the
# medians and the ratios.
#   bash bench/startup.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-7}
game=$(realpath "$build/app/kelvara")
bare=$(realpath "$build/bench/kelvara-bench-bare-dialog")

if [ -z "${KELVARA_BENCH_INNER:-}" ]; then
    exec env -u QT_QPA_PLATFORM KELVARA_BENCH_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
        bash "$0" "$build"
fi

# measure <program> <window name>: prints "<milliseconds> <RSS kB>"
measure() {
    local start pid wid now rss
    start=$(date +%s%N)
    KELVARA_LISTEN_PORT=20473 "$1" >/dev/null 2>&1 &
    pid=$!
    wid=""
    local tries=0
    while [ -z "$wid" ] && [ "$tries" -lt 4000 ]; do
        tries=$((tries + 1))
        wid=$(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | head -n1 || true)
        [ -z "$wid" ] && sleep 0.005
    done
    now=$(date +%s%N)
    sleep 0.5  # let the first paint finish before reading the memory
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$(((now - start) / 1000000)) $rss"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

# The game reads set/ and res/ from the working directory, as a player's copy does.
game_ms=() game_kb=() bare_ms=() bare_kb=()
measure "$bare" bare-dialog >/dev/null  # warm the file cache
measure "$game" 六子棋 >/dev/null
for _ in $(seq 1 "$runs"); do
    read -r ms kb < <(measure "$bare" bare-dialog)
    bare_ms+=("$ms") bare_kb+=("$kb")
    read -r ms kb < <(measure "$game" 六子棋)
    game_ms+=("$ms") game_kb+=("$kb")
done
bm=$(printf '%s\n' "${bare_ms[@]}" | median)
bk=$(printf '%s\n' "${bare_kb[@]}" | median)
gm=$(printf '%s\n' "${game_ms[@]}" | median)
gk=$(printf '%s\n' "${game_kb[@]}" | median)
printf '%-12s %10s %10s\n' "" "start ms" "RSS kB"
printf '%-12s %10s %10s\n' "bare dialog" "$bm" "$bk"
printf '%-12s %10s %10s\n' "kelvara" "$gm" "$gk"
awk -v gm="$gm" -v bm="$bm" -v gk="$gk" -v bk="$bk" \
    'BEGIN {printf "%-12s %10.2f %10.2f\n", "ratio", gm / bm, gk / bk}'
