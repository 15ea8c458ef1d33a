#!/usr/bin/env bash
# Two copies of the game on a network of their own: two network namespaces joined by a veth
# pair (192.0.2.0/24 only), each with a private /run, its own system bus and avahi-daemon.
# Each copy must find the other with --list-players, avahi-browse must see both, and a copy
# that exits must leave the other's list. Exit 77 (skipped) where namespaces cannot be made.
# Usage: discovery_netns_test.sh <kelvara binary> <source dir>
set -uo pipefail
game=$(readlink -f "$1")
src=$(readlink -f "$2")
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root to make network namespaces"
for tool in ip unshare nsenter dbus-daemon avahi-daemon avahi-browse iconv; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
# The copies run without leak checking in a sanitizer tree: the system bus library keeps its
# own allocations until exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
tag=kv$$
nsA=${tag}a nsB=${tag}b
work=$(mktemp -d)
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill -- "$p" 2>/dev/null; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
    # The daemons forked away from the copies; their pids were written down.
    for p in $(cat "$work"/*/daemons 2>/dev/null); do kill -- "$p" 2>/dev/null; done
    ip netns del "$nsA" 2>/dev/null
    ip netns del "$nsB" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
ip netns add "$nsA" 2>/dev/null || skip "cannot make a network namespace here"
ip netns add "$nsB" || skip "cannot make a second network namespace"
ip link add "${tag}x" netns "$nsA" type veth peer name "${tag}y" netns "$nsB" ||
    skip "cannot make a veth pair"
ip -n "$nsA" addr add 192.0.2.1/24 dev "${tag}x"
ip -n "$nsB" addr add 192.0.2.2/24 dev "${tag}y"
for ns in "$nsA" "$nsB"; do
    ip -n "$ns" link set lo up
done
ip -n "$nsA" link set "${tag}x" up multicast on
ip -n "$nsB" link set "${tag}y" up multicast on

fail=0
check() {  # check <what> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}

# host <ns> <player name> <daemon yes|no>: a private /run, the bus, the daemon and the game,
# kept running in one mount namespace; its pid is in $work/<ns>.pid.
host() {
    local ns=$1 name=$2 daemon=$3 dir=$work/$1
    mkdir -p "$dir"
    cp -r "$src/set" "$src/res" "$dir/"
    printf '[player0]\nname=%s\n' "$name" | cat <(printf 'playercount=1\ndef4=0\n') - |
        iconv -f UTF-8 -t GBK >"$dir/set/player.information"
    ip netns exec "$ns" unshare -m --propagation private bash -c '
        mount -t tmpfs tmpfs /run && mkdir -p /run/dbus /run/avahi-daemon || exit 1
        if [ "$3" = yes ]; then
            dbus-daemon --system --fork --print-pid >>"$2/daemons" || exit 1
            avahi-daemon --no-drop-root --no-chroot --no-rlimits -D || exit 1
            cat /run/avahi-daemon/pid >>"$2/daemons"
        fi
        cd "$2" && QT_QPA_PLATFORM=offscreen exec "$1"' _ "$game" "$dir" "$daemon" \
        >"$dir/log" 2>&1 &
    pids+=($!)
    echo $! >"$dir/pid"
}
# in <ns> <command...>: runs in that copy's network and mount namespace.
inside() {
    local ns=$1
    shift
    nsenter -t "$(pgrep -P "$(cat "$work/$ns/pid")" -x kelvara || cat "$work/$ns/pid")" -m -n "$@"
}
listed() {  # listed <ns> <line pattern>: within 3 s
    local end=$((SECONDS + 3))
    while :; do
        inside "$1" "$game" --list-players --timeout 1 | grep -qP "$2" && return 0
        [ $SECONDS -ge $end ] && return 1
    done
}

host "$nsA" "甲方" yes
host "$nsB" "乙方" yes
# The games are up once each listens on the game port.
for ns in "$nsA" "$nsB"; do
    for _ in $(seq 100); do
        ip netns exec "$ns" ss -ltn 2>/dev/null | grep -q ':2003 ' && break
        sleep 0.1
    done
done
check "A lists B" listed "$nsA" '^乙方\t192\.0\.2\.2\t2003\t0$'
check "B lists A" listed "$nsB" '^甲方\t192\.0\.2\.1\t2003\t0$'
check "avahi-browse sees both" bash -c "
    out=\$(nsenter -t $(cat "$work/$nsA/pid") -m -n timeout 5 avahi-browse -rpt _kelvara._tcp)
    grep -q '192.0.2.1;2003' <<<\"\$out\" && grep -q '192.0.2.2;2003' <<<\"\$out\""
kill "$(pgrep -P "$(cat "$work/$nsB/pid")" -x kelvara || cat "$work/$nsB/pid")" 2>/dev/null
gone() {
    local end=$((SECONDS + 5))
    while [ $SECONDS -lt $end ]; do
        inside "$nsA" "$game" --list-players --timeout 1 | grep -q '乙方' || return 0
    done
    return 1
}
check "B is gone from A's list after it exits" gone
nsC=${tag}c
ip netns add "$nsC"
host "$nsC" "丙方" no
check "without a daemon the copy starts and the look fails with a word" bash -c "
    sleep 1; kill -0 $(cat "$work/$nsC/pid") &&
    out=\$(nsenter -t $(cat "$work/$nsC/pid") -n -m $game --list-players --timeout 1 2>&1)
    [ \$? -eq 1 ] && grep -q 'avahi-daemon' <<<\"\$out\""
ip netns del "$nsC"
[ $fail -eq 0 ] && echo "discovery: all checks passed" || { tail -n 20 "$work"/*/log; }
exit $fail
