#!/usr/bin/env bash
# Installs the build into a fresh prefix and starts that copy on a virtual X display from a
# working directory without set/: the main window must come up, and no error box with it.
# usage: installed_layout_test.sh <build dir> <listening port>
set -euo pipefail
build=$1
port=$2
work=$(mktemp -d)
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid"; rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
test -x "$work/prefix/games/kelvara"
test -f "$work/prefix/share/kelvara/set/kelvara.ini"
# The record files' type, as the MIME database builds it, and the menu entry that opens them.
mime=$work/prefix/share/mime
if command -v update-mime-database >/dev/null; then
    update-mime-database "$mime"
    grep -qx 'application/x-kelvara-game:\*\.kvr' "$mime/globs"
fi
grep -qx 'MimeType=application/x-kelvara-game;' \
    "$work/prefix/share/applications/org.kelvara.Kelvara.desktop"
grep -qx 'Exec=kelvara %f' "$work/prefix/share/applications/org.kelvara.Kelvara.desktop"
mkdir "$work/home"

cat >"$work/probe.sh" <<'PROBE'
#!/usr/bin/env bash
# Runs inside the virtual display: start the program, wait for its window, look for boxes.
set -u
"$1" &
pid=$!
found=""
for _ in $(seq 1 300); do
    if ! kill -0 "$pid" 2>/dev/null; then echo "program ended early"; exit 1; fi
    found=$(xdotool search --onlyvisible --name '^六子棋$' 2>/dev/null | head -n1 || true)
    [ -n "$found" ] && break
    sleep 0.1
done
# The error box would be shown before the main window comes up, so it is there by now.
error=$(xdotool search --onlyvisible --name '^ERROR$' 2>/dev/null | head -n1 || true)
kill "$pid"
wait "$pid" 2>/dev/null
if [ -z "$found" ]; then echo "no main window"; exit 1; fi
if [ -n "$error" ]; then echo "an error box was shown"; exit 1; fi
echo "main window shown, no error box"
PROBE
chmod +x "$work/probe.sh"

source "$(dirname "$0")/../../scripts/private-display.sh"
start_private_display "$work" 30
cd "$work/home"
HOME="$work/home" KELVARA_LISTEN_PORT="$port" "$work/probe.sh" "$work/prefix/games/kelvara"
