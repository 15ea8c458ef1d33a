#!/usr/bin/env bash
# Whole processes on the same 100 MB experience file: kelvara-engine answering one "go" (look-up
# and, when nothing fits, the search) against `grep -c` counting the fitting line. Only the last
# line fits the looked-up position. Uses hyperfine when it is installed, else a timed loop.
# usage: bench/engine_vs_grep.sh <kelvara-engine> [runs]
set -euo pipefail
engine=$(realpath "$1")
runs=${2:-20}
entry=202222021001111113R

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvara-engine-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/set"
file="$work/set/experience.dat"
# Near misses (one point changed) with CR LF ends, then the fitting entry.
awk -v pattern="${entry:0:16}" -v entry="$entry" -v bytes=$((100 << 20)) 'BEGIN {
    srand(12345); n = int((bytes - 21) / 21)
    for (i = 0; i < n; i++) {
        at = int(rand() * 16) + 1; c = substr(pattern, at, 1)
        d = c == "0" ? (rand() < 0.5 ? "1" : "2") : c == "1" ? (rand() < 0.5 ? "0" : "2") : (rand() < 0.5 ? "0" : "1")
        printf "%s%s%s43L\r\n", substr(pattern, 1, at - 1), d, substr(pattern, at + 1)
    }
    printf "%s\r\n", entry
}' >"$file"
printf 'play 21U\ngo\nquit\n' >"$work/input"

answer=$(cd "$work" && "$engine" <input | sed -n 2p)
[ "$answer" = "bestmove 13R" ] || { echo "engine answered '$answer'" >&2; exit 1; }
[ "$(grep -c "^$entry" "$file")" = 1 ] || { echo "grep -c did not count one line" >&2; exit 1; }

engine_cmd="cd '$work' && '$engine' <input >/dev/null"
grep_cmd="grep -c '^$entry' '$file' >/dev/null"
if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/times.json" \
        "sh -c \"$engine_cmd\"" "sh -c \"$grep_cmd\"" >/dev/null
    read -r engine_ms grep_ms < <(python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results']; print(r[0]['mean']*1e3, r[1]['mean']*1e3)" "$work/times.json")
else
    # The two commands take turns, so that a change in the machine's load hits both alike.
    elapsed_ns() {
        local start end
        start=$(date +%s%N)
        sh -c "$1"
        end=$(date +%s%N)
        echo $((end - start))
    }
    for i in 1 2 3; do sh -c "$engine_cmd"; sh -c "$grep_cmd"; done
    engine_ns=0
    grep_ns=0
    for ((i = 0; i < runs; i++)); do
        engine_ns=$((engine_ns + $(elapsed_ns "$engine_cmd")))
        grep_ns=$((grep_ns + $(elapsed_ns "$grep_cmd")))
    done
    engine_ms=$(awk -v t="$engine_ns" -v n="$runs" 'BEGIN { print t / n / 1e6 }')
    grep_ms=$(awk -v t="$grep_ns" -v n="$runs" 'BEGIN { print t / n / 1e6 }')
fi
awk -v e="$engine_ms" -v g="$grep_ms" 'BEGIN {
    printf "kelvara-engine go %.1f ms, grep -c %.1f ms as whole processes on the same 100 MB file: ratio %.2f\n", e, g, e / g }'
