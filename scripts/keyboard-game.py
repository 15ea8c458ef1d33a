#!/usr/bin/env python3
"""Plays a game against the computer with the keyboard alone under a real X server.

The window runs on a private Xvfb display and gets X key events from xdotool; nothing touches
it through Qt. kelvara-engine, started in the same folder (so with the same stored answers),
plays the same steps: after every keyboard step and the computer's answer the board is read
from a screenshot of the window and compared with the engine's board. Screenshots of the
focus ring, the rules page (F1) and the end banner are kept.

    python3 scripts/keyboard-game.py [--build build] [--scale 1] [--out DIR]

Run it from the source folder after building kelvara and kelvara-engine. Needs Xvfb, xdotool
and ImageMagick (import, convert). Exit status 0 when every step matched and black won.
"""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

# Black's steps: against the classic computer they wall white in after 13 steps. Even steps
# are played with the ring (arrows, Space, arrow, Space), odd ones typed ("11u", Enter).
LINE = ["12R", "11U", "22U", "42L", "32U", "21U", "31U", "22D", "23U", "41U", "21L", "32L",
        "22L"]
SCENE_W, SCENE_H = 542, 400


def run(*args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw).stdout


def start_display(work):
    """Xvfb on a free display number; returns (process, display)."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-noreset", "-screen", "0",
                             "2400x1800x24", "-nolisten", "tcp"], pass_fds=(write,),
                            stdout=open(os.path.join(work, "xvfb.log"), "w"),
                            stderr=subprocess.STDOUT)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            raise SystemExit("Xvfb gave no display number")
        number += chunk
    os.close(read)
    return xvfb, ":" + number.decode().strip()


class Engine:
    def __init__(self, path, cwd):
        self.proc = subprocess.Popen([path], cwd=cwd, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)

    def ask(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        return self.proc.stdout.readline().strip()


def window_geometry(win):
    out = run("xdotool", "getwindowgeometry", "--shell", win)
    values = dict(line.split("=", 1) for line in out.split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def screenshot(path):
    run("import", "-window", "root", path)


def read_ppm(path):
    """Pixels of an image as (width, height, bytes) through ImageMagick's PPM."""
    data = subprocess.run(["convert", path, "ppm:-"], check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def board_from_screen(path, geometry, scale):
    """The board text ('b', 'w', '.', bottom row first) read from a screenshot.

    The canvas fills the window below the menu bar and shows the scene at `scale` (the window
    has its smallest size). Each point is judged by the mean colour of a 3 x 3 patch beside its
    centre, off the board's lines and the marks' strokes but inside a piece: a black piece is
    dark, a white one bright and grey, the wood (or a mark's ring on it) warm.
    """
    width, _, pixels = read_ppm(path)
    x0, y0, w, h = geometry
    top = y0 + h - round(SCENE_H * scale)
    text = ""
    for row in range(1, 5):
        for column in range(1, 5):
            cx = x0 + (95 * column - 80 + 6) * scale
            cy = top + (475 - 95 * row + 3.5) * scale
            total = [0, 0, 0]
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    i = (int(cy + dy * scale) * width + int(cx + dx * scale)) * 3
                    for k in range(3):
                        total[k] += pixels[i + k]
            red, green, blue = (t / 9 for t in total)
            bright = (red + green + blue) / 3
            if bright < 70:
                text += "b"
            elif max(red, green, blue) - min(red, green, blue) < 30 and bright > 150:
                text += "w"
            else:
                text += "."
    return text


def key(*names):
    run("xdotool", "key", "--delay", "60", *names)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--out", default="keyboard-game-shots")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    # First, so that a missing engine leaves no display or window behind.
    engine = Engine(os.path.join(args.build, "tools", "kelvara-engine"), os.getcwd())
    work = tempfile.mkdtemp(prefix="kelvara-keys-")
    xvfb, display = start_display(work)
    # A port of its own: the game reads 0 as "the game port", which may be taken or in use.
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    env = dict(os.environ, DISPLAY=display, QT_SCALE_FACTOR=str(args.scale), HOME=work,
               KELVARA_LISTEN_PORT=str(port), LANG="C.UTF-8")
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    os.environ["DISPLAY"] = display
    app = subprocess.Popen([os.path.join(args.build, "app", "kelvara")], env=env,
                           stdout=open(os.path.join(work, "app.log"), "w"),
                           stderr=subprocess.STDOUT)
    failures = 0
    try:
        win = ""
        for _ in range(100):
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "六子棋"],
                                   capture_output=True, text=True).stdout.split()
            if found:
                win = found[0]
                break
            time.sleep(0.2)
        if not win:
            raise SystemExit("no window: " + open(os.path.join(work, "app.log")).read())
        time.sleep(1.0)
        run("xdotool", "windowfocus", "--sync", win)
        geometry = window_geometry(win)
        crop = "%dx%d+%d+%d" % (geometry[2], geometry[3], geometry[0], geometry[1])

        def shot(name):
            path = os.path.join(args.out, name + ".png")
            screenshot(os.path.join(work, "full.png"))
            run("convert", os.path.join(work, "full.png"), "-crop", crop, "+repage", path)
            return os.path.join(work, "full.png")

        shot("first-screen")
        key("ctrl+n")  # the first screen's 开始: the start dialog, one player by default
        time.sleep(1.0)
        key("Return")
        time.sleep(1.0)
        run("xdotool", "windowfocus", "--sync", win)
        engine.ask("start")
        expected = engine.ask("board").split()[0]
        seen = board_from_screen(shot("start"), geometry, args.scale)
        print("start      engine %s  screen %s %s" % (expected, seen,
                                                      "ok" if seen == expected else "DIFFERS"))
        failures += seen != expected

        key("Left")  # the first arrow shows the ring on (1, 1)
        focus = (1, 1)
        shot("focus-ring")
        for k, move in enumerate(LINE):
            fx, fy, d = int(move[0]), int(move[1]), move[2]
            if k % 2 == 0:
                keys = []
                keys += ["Right"] * max(0, fx - focus[0]) + ["Left"] * max(0, focus[0] - fx)
                keys += ["Up"] * max(0, fy - focus[1]) + ["Down"] * max(0, focus[1] - fy)
                keys += ["space", {"U": "Up", "D": "Down", "L": "Left", "R": "Right"}[d], "space"]
                key(*keys)
                dx = {"L": -1, "R": 1}.get(d, 0)
                dy = {"D": -1, "U": 1}.get(d, 0)
                focus = (fx + dx, fy + dy)
            else:
                key(move[0], move[1], move[2].lower(), "Return")
                dx = {"L": -1, "R": 1}.get(d, 0)
                dy = {"D": -1, "U": 1}.get(d, 0)
                focus = (fx + dx, fy + dy)  # the ring follows a typed step to its target
            reply = engine.ask("play " + move)
            answer = ""
            if engine.ask("result") == "none":
                answer = engine.ask("go").split()[1]
                engine.ask("play " + answer)
            expected = engine.ask("board").split()[0]
            seen = ""
            deadline = time.time() + 15
            while time.time() < deadline:  # the answer slides for 400 ms
                time.sleep(0.5)
                seen = board_from_screen(shot("step-%02d-%s" % (k + 1, move)), geometry,
                                         args.scale)
                if seen == expected:
                    break
            ok = seen == expected
            failures += not ok
            print("%-4s %-5s engine %s  screen %s %s  (%s)" % (move, answer or "-", expected,
                                                              seen, "ok" if ok else "DIFFERS",
                                                              reply))
        result = engine.ask("result")
        print("result", result)
        failures += result != "black"
        time.sleep(0.5)
        shot("end-banner")
        key("F1")
        time.sleep(1.5)
        found = run("xdotool", "search", "--onlyvisible", "--name", "游戏规则").split()
        rules = window_geometry(found[0])
        crop = "%dx%d+%d+%d" % (rules[2], rules[3], rules[0], rules[1])
        for page in range(1, 6):  # the page scrolls by keys
            shot("rules-page-%d" % page)
            key("Next")
            time.sleep(0.5)
        key("Escape")
        time.sleep(0.5)
        still = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "六子棋"],
                               capture_output=True, text=True).stdout.split()
        print("window open after the rules page's Escape:", bool(still))
        failures += not still
    finally:
        engine.ask("quit")
        app.terminate()
        app.wait(10)
        xvfb.terminate()
        xvfb.wait(10)
        if not failures:
            shutil.rmtree(work, ignore_errors=True)
    print("FAILED: %d" % failures if failures else "all steps matched")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
