#!/usr/bin/env bash
# Plays a short game the way a screen reader user meets it: the game built in the build folder
# runs on a private X display with a session bus and an accessibility bus of its own, and
# scripts/atspi-probe.py reads it through AT-SPI while it drives the keys.
#   scripts/atspi-run.sh [build dir] [output file] [probe options...]
# Needs Xvfb, xdotool, dbus-daemon, at-spi2-core and python3-pyatspi. The game runs in a
# scratch folder with a copy of set/ whose listening is off, so no port is taken. Exit status
# is the probe's: 0 when the board, its cells' names and the steps' announcements all reached
# AT-SPI.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
output=${2:-}
shift $(($# < 2 ? $# : 2))

if [ -z "${KELVARA_ATSPI_WORK:-}" ]; then
    work=$(mktemp -d "${TMPDIR:-/tmp}/kelvara-atspi-XXXXXX")
    xvfb_pid=""
    finish() {
        [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
        rm -rf "$work"
    }
    trap finish EXIT
    # shellcheck source=private-display.sh
    source "$source_dir/scripts/private-display.sh"
    start_private_display "$work" 30
    set +e
    KELVARA_ATSPI_WORK=$work dbus-run-session -- "$0" "$build" "" "$@" | tee "${output:-/dev/null}"
    status=${PIPESTATUS[0]}
    set -e
    if [ "$status" -ne 0 ] && [ -f "$work/app.log" ]; then
        echo "-- the game's log:" >&2
        tail -n 40 "$work/app.log" >&2
    fi
    exit "$status"
fi

# Inside the session bus: the accessibility bus and its registry, then the game.
work=$KELVARA_ATSPI_WORK
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=0
pids=()
finish() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap finish EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
address=""
for _ in $(seq 100); do
    address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') || true
    [ -n "$address" ] && break
    sleep 0.1
done
if [ -z "$address" ]; then
    echo "the accessibility bus did not start: $(cat "$work/bus.log")" >&2
    exit 1
fi
/usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &
pids+=($!)

mkdir -p "$work/game/set" "$work/home"
cp "$source_dir"/set/* "$work/game/set/"
sed -i 's/^listen=.*/listen=no/' "$work/game/set/kelvara.ini"
ln -s "$source_dir/res" "$work/game/res"
(
    cd "$work/game"
    HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config \
        LANG=C.UTF-8 QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        exec "$build/app/kelvara"
) >"$work/app.log" 2>&1 &
pids+=($!)

/usr/bin/python3 "$source_dir/scripts/atspi-probe.py" "$@"
