#!/usr/bin/env bash
# Copies of the game on a network of their own: two network namespaces joined by a veth pair
# (192.0.2.0/24 only), each with a private /run, its own system bus and avahi-daemon.
# Checks that each copy finds the other with --list-players and avahi-browse sees both, that a
# copy that exits leaves the other's list, that a second player of the same name is announced
# under another service name, that one copy invites the other at the address found and they
# play a game to its end (busy in the TXT record and in the live lists while it runs), that a
# player whose host answers late is listed all the same, and that without a daemon a copy
# still starts. Exit 77 (skipped) where namespaces cannot be made.
# Usage: discovery_netns_test.sh <kelvara binary> <source dir> <kelvara-netns-player binary>
set -uo pipefail
game=$(readlink -f "$1")
src=$(readlink -f "$2")
player=$(readlink -f "$3")
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root to make network namespaces"
for tool in ip unshare nsenter ss dbus-daemon avahi-daemon avahi-browse avahi-publish iconv perl; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
# The copies run without leak checking in a sanitizer tree: the system bus library keeps its
# own allocations until exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
tag=kv$$
nsA=${tag}a nsB=${tag}b nsC=${tag}c
work=$(mktemp -d)
pids=()
cleanup() {
    local p q
    kill "$watchdog" 2>/dev/null
    for p in "${pids[@]}"; do kill -- "$p" 2>/dev/null; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
    # The daemons forked away from their hosts; their pids were written down.
    for p in $(cat "$work"/*/daemons 2>/dev/null); do kill -- "$p" 2>/dev/null; done
    # Anything else still running in the namespaces goes with them.
    for p in "$nsA" "$nsB" "$nsC"; do
        for q in $(ip netns pids "$p" 2>/dev/null); do kill "$q" 2>/dev/null; done
        ip netns del "$p" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
# Ends the test (through the clean-up) well before ctest would kill it without one.
(
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    sleep 240 &
    nap=$!
    wait "$nap"
    echo "FAILED: the test ran out of time"
    kill -TERM $$
) &
watchdog=$!
ip netns add "$nsA" 2>/dev/null || skip "cannot make a network namespace here"
ip netns add "$nsB" || skip "cannot make a second network namespace"
# IPv4 only: no link-local IPv6 addresses on the pair.
noipv6() {
    ip netns exec "$1" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 \
        net.ipv6.conf.default.disable_ipv6=1 2>/dev/null || true
}
noipv6 "$nsA"
noipv6 "$nsB"
ip link add "${tag}x" netns "$nsA" type veth peer name "${tag}y" netns "$nsB" ||
    skip "cannot make a veth pair"
ip -n "$nsA" addr add 192.0.2.1/24 dev "${tag}x"
ip -n "$nsB" addr add 192.0.2.2/24 dev "${tag}y"
ip -n "$nsA" link set "${tag}x" up multicast on
ip -n "$nsB" link set "${tag}y" up multicast on

fail=0
check() {  # check <what> <command...>
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; fi
}
# within <seconds> <command...>: true once the command succeeds, tried again until then.
within() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
}

# machine <ns> <daemon yes|no>: the namespace's private /run (a mount namespace kept by a
# holder process), with its own system bus and avahi-daemon when asked for.
machine() {
    local ns=$1 dir=$work/$1
    mkdir -p "$dir"
    ip -n "$ns" link set lo up
    ip netns exec "$ns" unshare -m --propagation private bash -c '
        mount -t tmpfs tmpfs /run && mkdir -p /run/dbus /run/avahi-daemon || exit 1
        if [ "$2" = yes ]; then
            dbus-daemon --system --fork --print-pid >>"$1/daemons" || exit 1
            avahi-daemon --no-drop-root --no-chroot --no-rlimits -D || exit 1
            cat /run/avahi-daemon/pid >>"$1/daemons"
        fi
        touch "$1/up"
        exec sleep infinity' _ "$dir" "$2" >"$dir/log" 2>&1 &
    pids+=($!)
    echo $! >"$dir/holder"
    within 30 test -e "$dir/up" || { echo "FAILED: machine $ns did not come up"; exit 1; }
}
# inside <ns> <command...>: runs in that machine's network and mount namespace.
inside() {
    local ns=$1
    shift
    nsenter -t "$(cat "$work/$ns/holder")" -m -n "$@"
}
# copy <id> <ns> <player name> <program> [args...]: a copy of the game in a directory of its
# own holding the settings and the address book, offscreen; its pid in $work/<id>/pid, its
# output in $work/<id>/log.
copy() {
    local ns=$2 name=$3 dir=$work/$1
    shift 3
    mkdir -p "$dir"
    cp -r "$src/set" "$src/res" "$dir/"
    printf 'playercount=1\ndef4=0\n[player0]\nname=%s\n' "$name" |
        iconv -f UTF-8 -t GBK >"$dir/set/player.information"
    HOME=$dir QT_QPA_PLATFORM=offscreen KELVARA_GATE=$dir/gate \
        QT_LOGGING_RULES=kelvara.discovery.info=true \
        nsenter -t "$(cat "$work/$ns/holder")" -m -n --wd="$dir" "$@" >"$dir/log" 2>&1 &
    pids+=($!)
    echo $! >"$dir/pid"
}
stop() {  # stop <id>: ends the copy and waits for it
    local pid
    pid=$(cat "$work/$1/pid")
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}
listening() {  # listening <ns>...: a copy listens on the game port in each
    local ns
    for ns; do inside "$ns" ss -ltn | grep -q ':2003 ' || return 1; done
}
players() { inside "$1" "$game" --list-players --timeout 1; }
# listed <ns> <line pattern>...: one look from <ns> lists a line of each pattern.
listed() {
    local out pattern
    out=$(players "$1") || return 1
    shift
    for pattern; do grep -qP "$pattern" <<<"$out" || return 1; done
}
unlisted() { ! players "$1" | grep -qP "$2"; }
# browsed <ns> <line pattern>...: one avahi-browse from <ns> shows a line of each pattern,
# its \DDD escapes turned back into bytes; every output is kept in $work/browse/log.
browsed() {
    local pattern
    mkdir -p "$work/browse"
    echo "-- from $1" >>"$work/browse/log"
    # A service that does not resolve holds avahi-browse until its resolver gives up: what
    # it printed by then is looked at all the same.
    browsedOut=$(inside "$1" timeout 10 avahi-browse -rpt _kelvara._tcp |
        perl -pe 's/\\(\d{3})/chr($1)/ge' | tee -a "$work/browse/log")
    shift
    for pattern; do grep -qP "$pattern" <<<"$browsedOut" || return 1; done
}
# renamed <ns> <name>: avahi-browse from <ns> shows <name> and Avahi's next name for it
# ("<name> #2"), one on each machine.
renamed() {
    local first second
    browsed "$1" || return 1
    first=$(awk -F';' -v n="$2" '$1 == "=" && $2 != "lo" && $4 == n { print $8 }' <<<"$browsedOut")
    second=$(awk -F';' -v n="$2 #2" '$1 == "=" && $2 != "lo" && $4 == n { print $8 }' \
        <<<"$browsedOut")
    [[ $first == 192.0.2.[12] && $second == 192.0.2.[12] && $first != "$second" ]]
}
said() { grep -qP "$2" "$work/$1/log"; }  # said <id> <line pattern>: the copy printed it
# lastly <id> <name> <busy>: the copy's live list last showed <name> with that busy mark.
lastly() { grep -P "^found $2\t" "$work/$1/log" | tail -n 1 | grep -qP "\t$3\$"; }

machine "$nsA" yes
machine "$nsB" yes

copy a "$nsA" "甲方" "$game"
copy b "$nsB" "乙方" "$game"
check "both copies listen" within 30 listening "$nsA" "$nsB"
check "A lists B" within 3 listed "$nsA" '^乙方\t192\.0\.2\.2\t2003\t0$'
check "B lists A" within 3 listed "$nsB" '^甲方\t192\.0\.2\.1\t2003\t0$'
check "avahi-browse sees both" within 10 browsed "$nsA" ';192\.0\.2\.1;2003;' ';192\.0\.2\.2;2003;'
stop b
check "B is gone from A's list after it exits" within 5 unlisted "$nsA" '^乙方\t'

# A second 甲方, on the other machine: the daemons find the name taken twice and one of the
# two takes Avahi's next one (the newcomer, unless its probes went unanswered on a slow
# machine and the first copy yields), so both are announced and listed.
copy clash "$nsB" "甲方" "$game"
within 30 listening "$nsB"
check "a second player of the same name is listed beside the first" within 10 listed "$nsA" \
    '^甲方\t192\.0\.2\.1\t2003\t0$' '^甲方\t192\.0\.2\.2\t2003\t0$'
check "one of the two is announced under Avahi's next name" within 10 renamed "$nsB" 甲方
stop clash
stop a

# A game between two copies of the window: B waits for the invitation, A invites B at the
# address and port that --list-players gives and chooses it in its start dialog. A holds its
# last step until the gate file exists, so that the running game can be looked at.
copy gb "$nsB" "乙方" "$player" answer
check "A lists B's window" within 10 listed "$nsA" '^乙方\t192\.0\.2\.2\t2003\t0$'
read -r address port < <(players "$nsA" | awk -F'\t' '$1 == "乙方" { print $2, $3; exit }')
copy ga "$nsA" "甲方" "$player" invite "${address:-none}" "${port:-0}"
check "B is asked by A" within 30 said gb '^asked 来自 192\.0\.2\.1 的朋友邀请你'
# B never started a game from its menu: its hello carries an empty name.
check "the game starts on A, black against B" within 30 said ga \
    '^started 战局：   黑:甲方\(本机\)   VS   白:\(192\.0\.2\.2\)$'
check "the game starts on B, white against A" within 30 said gb \
    '^started 战局：   白:\(本机\)   VS   黑:甲方\(192\.0\.2\.1\)$'
check "A busy while the game runs, seen from B" within 10 listed "$nsB" \
    '^甲方\t192\.0\.2\.1\t2003\t1$'
check "B busy while the game runs, seen from A" within 10 listed "$nsA" \
    '^乙方\t192\.0\.2\.2\t2003\t1$'
check "busy in avahi-browse" within 10 browsed "$nsA" '^=;.*;192\.0\.2\.2;2003;.*"busy=1"'
check "A's live list marks B busy" within 10 lastly ga 乙方 1
check "B's live list marks A busy" within 10 lastly gb 甲方 1
touch "$work/ga/gate"
check "A wins" within 30 said ga '^over 游戏结束，恭喜你，你赢了!!$'
check "B loses" within 30 said gb '^over 游戏结束，你输了 :\($'
check "B free again, seen from A" within 10 listed "$nsA" '^乙方\t192\.0\.2\.2\t2003\t0$'
check "A's live list shows B free again" within 10 lastly ga 乙方 0
check "B's live list shows A free again" within 10 lastly gb 甲方 0
# A player whose host does not answer at first is listed once it does: 丁方's service names
# a host without an address until A's window has given up resolving it.
inside "$nsB" avahi-publish -s -H ghost.local 丁方 _kelvara._tcp 2004 name=丁方 >/dev/null 2>&1 &
pids+=($!)
check "A's window cannot resolve a player whose host has no address" within 30 said ga \
    '^kelvara.discovery: cannot resolve 丁方'
inside "$nsB" avahi-publish -a -R ghost.local 192.0.2.9 >/dev/null 2>&1 &
pids+=($!)
check "A's window lists that player once its host has an address" within 15 said ga \
    '^found 丁方\t192\.0\.2\.9\t2004\t0$'
check "neither window reported a fault" bash -c "! grep -h '^FAILED' $work/ga/log $work/gb/log"
stop ga
stop gb

ip netns add "$nsC"
noipv6 "$nsC"
machine "$nsC" no
copy c "$nsC" "丙方" "$game"
nodaemon() {
    local out
    within 30 listening "$nsC" || return 1
    out=$(inside "$nsC" "$game" --list-players --timeout 1 2>&1)
    [ $? -eq 1 ] && grep -q 'avahi-daemon' <<<"$out"
}
check "without a daemon the copy starts and the look fails with a word" nodaemon
[ $fail -eq 0 ] && echo "discovery: all checks passed" || tail -n 30 "$work"/*/log
exit $fail
