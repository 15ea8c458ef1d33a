#!/usr/bin/python3
"""Reads the running game through AT-SPI as a screen reader would, and plays it by keys.

Started by scripts/atspi-run.sh inside its own X display, session bus and accessibility bus,
with the game already running. It finds the application 六子棋, walks its tree (the window,
the menus, the board table and its 16 cells), listens for focus, name, description, value,
text and announcement events, then starts a one-player game with Ctrl+N and the start
dialog's Enter and plays black's steps by keys through xdotool: even steps with the ring
(arrows, Space, an arrow, Space), odd ones typed ("11u", Enter). It prints what would be
heard: the cell at the focus as it moves, each step announced, the status line.

    /usr/bin/python3 scripts/atspi-probe.py [--steps N]

Exit status 0 when the board table has its 16 named cells, the focus moves over named cells,
and every step played (black's and the computer's) was announced; 1 otherwise.
"""

import argparse
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

APP_NAME = "六子棋"
CELL_NAME = re.compile(r"^第 ([1-4]) 列 第 ([1-4]) 行，(黑棋|白棋|空)(，已拿起)?$")
STEP_SAID = re.compile(r"^(黑棋|白棋)走 ([1-4][1-4][UDLR])(，吃掉 \d+ 子)?$")
# Black's steps: against the classic computer they wall white in after 13 steps.
LINE = ["12R", "11U", "22U", "42L", "32U", "21U", "31U", "22D", "23U", "41U", "21L", "32L",
        "22L"]
EVENTS = ["object:state-changed:focused", "object:property-change:accessible-name",
          "object:property-change:accessible-description",
          "object:property-change:accessible-value", "object:value-changed",
          "object:text-changed", "object:announcement", "window:activate"]

# The game clock's label changes every second; counted, not printed.
CLOCK = re.compile(r"^\s*\d+:\s*\d+:\s*\d+$")

heard = []  # (kind, text, role of the source)
problems = []
clock_ticks = 0


def say(line):
    print(line, flush=True)


def pump(seconds, until=None):
    """Runs the event loop until `until()` holds or `seconds` have passed; returns whether it
    held."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        if until is not None and until():
            return True
        time.sleep(0.02)
    while context.pending():
        context.iteration(False)
    return until is not None and until()


def fresh(accessible, attribute):
    """A property read from the application, not from the client's cache."""
    try:
        accessible.clear_cache()
    except AttributeError:
        pass
    try:
        return getattr(accessible, attribute) or ""
    except Exception:  # the object has gone
        return ""


def role_of(accessible):
    try:
        return accessible.getRoleName()
    except Exception:
        return "?"


def on_event(event):
    source = event.source
    kind = event.type
    role = role_of(source)
    if kind.startswith("object:state-changed:focused"):
        if event.detail1 != 1:
            return
        text = fresh(source, "name")
        heard.append(("focus", text, role))
        say("  [焦点 %s] %s" % (role, text))
    elif kind.startswith("object:property-change:accessible-name"):
        text = fresh(source, "name")
        if CLOCK.match(text):
            global clock_ticks
            clock_ticks += 1
            return
        heard.append(("name", text, role))
        say("  [名称 %s] %s" % (role, text))
    elif kind.startswith("object:property-change:accessible-description"):
        text = fresh(source, "description")
        heard.append(("description", text, role))
        say("  [描述 %s] %s" % (role, text))
    elif kind.startswith("object:text-changed"):
        text = event.any_data if isinstance(event.any_data, str) else ""
        heard.append(("text", text, role))
        say("  [文本 %s %s] %s" % (role, kind.rsplit(":", 1)[-1], text))
    elif kind.startswith("object:announcement"):
        text = event.any_data if isinstance(event.any_data, str) else str(event.any_data)
        heard.append(("announcement", text, role))
        say("  [通告 %s] %s" % (role, text))
    elif kind.startswith("window:activate"):
        text = fresh(source, "name")
        heard.append(("window", text, role))
        say("  [窗口 %s] %s" % (role, text))
    else:
        try:
            text = str(source.queryValue().currentValue)
        except Exception:
            text = ""
        heard.append(("value", text, role))
        say("  [值 %s] %s" % (role, text))


def find_application(seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and fresh(app, "name") == APP_NAME:
                return app
        pump(0.2)
    return None


def walk(node, depth, found):
    """Prints the tree below `node` (cells apart) and collects the tables and the menus."""
    role = role_of(node)
    name = fresh(node, "name")
    states = node.getState().getStates()
    marks = [pyatspi.stateToString(s) for s in states
             if s in (pyatspi.STATE_FOCUSED, pyatspi.STATE_ACTIVE)]
    if role == "table cell":
        return
    say("%s%s「%s」%s" % ("  " * depth, role, name, " (" + ", ".join(marks) + ")"
                         if marks else ""))
    if role == "table":
        found.setdefault("tables", []).append(node)
    if role == "menu bar":
        found["menubar"] = node
    if depth > 12:
        return
    for child in node:
        if child is not None:
            walk(child, depth + 1, found)


def read_menus(menubar):
    """The menu bar's menus and their items, as names."""
    for menu in menubar:
        items = [fresh(item, "name") for item in menu if item is not None]
        say("  %s: %s" % (fresh(menu, "name"), " | ".join(i or "—" for i in items)))


def read_board(table):
    """Checks the board as a 4 × 4 table of named cells; returns the 16 names top row first."""
    grid = table.queryTable()
    rows, columns = grid.nRows, grid.nColumns
    say("棋盘「%s」: %d 行 × %d 列, %d 个子项" % (fresh(table, "name"), rows, columns,
                                             table.childCount))
    if (rows, columns, table.childCount) != (4, 4, 16):
        problems.append("the board is not a 4 x 4 table of 16 cells")
    names = []
    for row in range(rows):
        line = []
        for column in range(columns):
            cell = grid.getAccessibleAt(row, column)
            name = fresh(cell, "name") if cell is not None else ""
            match = CELL_NAME.match(name)
            if match is None or (int(match.group(1)), int(match.group(2))) != (column + 1,
                                                                               4 - row):
                problems.append("cell (%d, %d) is named %r" % (row, column, name))
            line.append(name)
            names.append(name)
        say("  " + " | ".join(line))
    return names


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True,
                          text=True).stdout


def keys(*names):
    xdotool("key", "--delay", "80", *names)


def press(name, until, seconds=10):
    """One key, then the events it causes: the names are read while they are still true."""
    mark = len(heard)
    say("  <%s>" % name)
    keys(name)
    return pump(seconds, lambda: until(mark))


def window_id(title, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        pump(0.2)
    return None


def heard_since(mark, kind, pattern):
    return [text for k, text, _ in heard[mark:] if k == kind and re.search(pattern, text)]


def step_announced(mark, side, move):
    """Whether the step was told through any of the routes a screen reader follows."""
    said = "%s走 %s" % (side, move)
    return any(text.startswith(said) for k, text, _ in heard[mark:]
               if k in ("description", "announcement", "name", "text", "value"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--steps", type=int, default=len(LINE))
    args = parser.parse_args()

    app = find_application(60)
    if app is None:
        say("no application named %s on the accessibility bus" % APP_NAME)
        return 1
    say("== 应用「%s」" % fresh(app, "name"))
    found = {}
    walk(app, 0, found)
    say("== 菜单")
    if "menubar" in found:
        read_menus(found["menubar"])
    else:
        problems.append("no menu bar")
    say("== 棋盘")
    boards = [t for t in found.get("tables", []) if fresh(t, "name") == "棋盘"]
    if not boards:
        say("no table named 棋盘")
        return 1
    board = boards[0]
    read_board(board)

    for kind in EVENTS:
        pyatspi.Registry.registerEventListener(on_event, kind)
    pump(0.5)

    win = window_id(APP_NAME, 30)
    xdotool("windowfocus", "--sync", win)
    say("== Ctrl+N: 开始")
    mark = len(heard)
    keys("ctrl+n")
    if not pump(15, lambda: heard_since(mark, "window", "开始|游戏")):
        window_id("开始", 15)
    pump(0.5)
    say("== Enter: 接受")
    mark = len(heard)
    keys("Return")
    pump(15, lambda: heard_since(mark, "window", APP_NAME))
    xdotool("windowfocus", "--sync", win)
    pump(1.0)

    say("== 方向键: 焦点环")
    mark = len(heard)
    keys("Left")  # the first arrow shows the ring on (1, 1)
    if not pump(10, lambda: heard_since(mark, "focus", CELL_NAME.pattern)):
        problems.append("the ring's first point reached no accessible focus")
    focus = (1, 1)
    for k, move in enumerate(LINE[:args.steps]):
        fx, fy, d = int(move[0]), int(move[1]), move[2]
        dx = {"L": -1, "R": 1}.get(d, 0)
        dy = {"D": -1, "U": 1}.get(d, 0)
        mark = len(heard)
        if k % 2 == 0:
            say("== 第 %d 步 %s: 方向键与空格" % (k + 1, move))
            path = ["Right"] * max(0, fx - focus[0]) + ["Left"] * max(0, focus[0] - fx)
            path += ["Up"] * max(0, fy - focus[1]) + ["Down"] * max(0, focus[1] - fy)
            arrow = {"U": "Up", "D": "Down", "L": "Left", "R": "Right"}[d]
            for name in path + ["space", arrow]:
                if not press(name, lambda m: heard_since(m, "focus", CELL_NAME.pattern)):
                    problems.append("step %s: the key %s moved no accessible focus" %
                                    (move, name))
            press("space", lambda m: step_announced(m, "黑棋", move), 15)
        else:
            say("== 第 %d 步 %s: 键入" % (k + 1, move))
            for name in [move[0], move[1], move[2].lower()]:
                press(name, lambda m: False, 0.3)  # the ring stays: nothing is said
            press("Return", lambda m: step_announced(m, "黑棋", move), 15)
        focus = (fx + dx, fy + dy)
        if not pump(15, lambda: step_announced(mark, "黑棋", move)):
            problems.append("step %s was not announced" % move)
            continue
        # The computer answers unless the game is over.
        over = lambda: heard_since(mark, "name", "胜|负|和|结束")  # noqa: E731
        answered = lambda: heard_since(mark, "description", "^白棋走") or over()  # noqa: E731
        if not pump(30, answered):
            problems.append("the computer's answer to %s was not announced" % move)
        pump(0.3)
        if over():
            break

    focused = [text for kind, text, role in heard if kind == "focus" and role == "table cell"]
    steps = [text for kind, text, _ in heard if STEP_SAID.match(text)]
    status = [text for kind, text, role in heard if kind == "name" and role == "label"]
    say("== 听到: %d 次焦点落在格上, %d 步通告, %d 次状态行变化 (计时 %d 次不计)" %
        (len(focused), len(steps), len(status), clock_ticks))
    if not focused:
        problems.append("no focus event on a cell")
    if not steps:
        problems.append("no step announced")
    if not status:
        problems.append("no status line change heard")
    for problem in problems:
        say("PROBLEM: " + problem)
    say("FAILED" if problems else "OK")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
