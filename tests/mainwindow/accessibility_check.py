#!/usr/bin/python3
"""The game through the accessibility bus, as a screen reader sees it.

accessibility_check.py PID WINDOW MINES

Finds the game's board as a table, reads its cells by name and wins a game
with key presses only (xdotool), reading the cells back after every key;
a lost game is followed by a new one.  Reads the counters and the status
bar, and listens for the announcements of the cursor's moves, of changed
cells and of the end.  Exits 0 when all holds, 1 with the reason otherwise.
"""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

pid, window, mines = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
heard = {"focus": [], "name": [], "description": []}


def fail(reason):
    print("FAIL: " + reason, file=sys.stderr)
    sys.exit(1)


def listen(event):
    try:
        if event.type.startswith("object:state-changed:focused") and event.detail1:
            heard["focus"].append(event.source.name)
        elif event.type.startswith("object:property-change:accessible-name"):
            heard["name"].append(event.source.name)
        elif event.type.startswith("object:property-change:accessible-description"):
            heard["description"].append(event.source.description)
    except Exception:  # an object gone by the time it is read
        pass


def pump(seconds=0.0):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(100):
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    fail("the game is not on the accessibility bus")


def walk(node, depth=0):
    yield node
    if depth > 8 or node.getRole() == pyatspi.ROLE_TABLE:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def find(app, role, name=None):
    for node in walk(app):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    fail("no %s named %r" % (role, name))


def await_(condition, seconds=10.0):
    """Polls while the game takes the keys in: the X events and the bus's
    questions reach it by different ways."""
    end = time.monotonic() + seconds
    while True:
        pump()
        result = condition()
        if result or time.monotonic() >= end:
            return result
        time.sleep(0.05)


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "30"] + list(keys),
                   check=True)
    pump(0.05)


app = find_app()
pyatspi.Registry.registerEventListener(
    listen, "object:state-changed:focused", "object:property-change:accessible-name",
    "object:property-change:accessible-description")
board = find(app, pyatspi.ROLE_TABLE, "Board")
table = board.queryTable()
cols, rows = table.nColumns, table.nRows
if (cols, rows) != (8, 8) or board.childCount != 64:
    fail("the board is a table of %d x %d" % (cols, rows))


def letters(col):
    return chr(ord("A") + col)


def read():
    """What every cell shows, by (col, row), checked against its place."""
    shown = {}
    for row in range(rows):
        for col in range(cols):
            name = table.getAccessibleAt(row, col).name
            place, _, words = name.partition(", ")
            if place != "%s%d" % (letters(col), row + 1):
                fail("cell (%d, %d) is named %r" % (col, row, name))
            shown[(col, row)] = words
    return shown


def focused():
    for row in range(rows):
        for col in range(cols):
            if table.getAccessibleAt(row, col).getState().contains(pyatspi.STATE_FOCUSED):
                return (col, row)
    return None


def value(name):
    return find(app, pyatspi.ROLE_LABEL, name).queryValue().currentValue


if set(read().values()) != {"covered"}:
    fail("a fresh board is not all covered")
if value("Mines left") != mines or value("Time") != 0:
    fail("the counters say %s mines and %s seconds" % (value("Mines left"), value("Time")))
status = find(app, pyatspi.ROLE_STATUS_BAR)
if not re.match(r"Best Time: \d+ by: ", status.name):
    fail("the status bar says %r" % status.name)

subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
key("Down")
cursor = await_(focused)
if cursor != (4, 4):
    fail("the first arrow showed the cursor on %s, not the middle" % (cursor,))
if not await_(lambda: any(name.startswith("E5, ") for name in heard["focus"])):
    fail("the cursor's cell was not announced: %s" % heard["focus"])


def move_to(target):
    global cursor
    col, row = cursor
    keys = (["Right"] * (target[0] - col) + ["Left"] * (col - target[0]) +
            ["Down"] * (target[1] - row) + ["Up"] * (row - target[1]))
    if keys:
        key(*keys)
    cursor = await_(lambda: focused() == target and target) or focused()
    if cursor != target:
        fail("the cursor went to %s, not %s" % (cursor, target))


def neighbours(col, row):
    for dc in (-1, 0, 1):
        for dr in (-1, 0, 1):
            c, r = col + dc, row + dr
            if (dc or dr) and 0 <= c < cols and 0 <= r < rows:
                yield (c, r)


def next_move(shown):
    """(cell, key): a sure opening or flag, else a guess."""
    for cell, words in shown.items():
        if not words.isdigit():
            continue
        around = list(neighbours(*cell))
        flags = [n for n in around if shown[n] == "flag"]
        covered = [n for n in around if shown[n] == "covered"]
        if covered and len(flags) == int(words):
            return covered[0], "space"
        if covered and len(flags) + len(covered) == int(words):
            return covered[0], "f"
    guesses = [cell for cell, words in shown.items() if words == "covered"]
    return guesses[len(guesses) // 2], "space"


won = False
for game in range(20):
    key("space")
    shown = await_(lambda: (lambda now: now[cursor] != "covered" and now)(read())) or read()
    if shown[cursor] in ("covered", "flag"):
        fail("Space did not open %s: %s" % (cursor, shown[cursor]))
    for _ in range(80):
        if await_(lambda: board.description, 0.3):
            break
        cell, pressed = next_move(shown)
        move_to(cell)
        before = shown[cell]
        heard["name"].clear()
        key(pressed)
        shown = await_(lambda: (lambda now: now[cell] != before and now)(read())) or read()
        if shown[cell] == before:
            fail("%s on %s left it %r" % (pressed, cell, before))
        told = "%s%d, " % (letters(cell[0]), cell[1] + 1)
        if not await_(lambda: any(name.startswith(told) for name in heard["name"])):
            fail("the change of %s was not announced: %s" % (cell, heard["name"]))
    if board.description.startswith("Game won in "):
        won = True
        break
    if board.description != "Game lost" or "exploded mine" not in shown.values():
        fail("the game ended unsaid: %r" % board.description)
    key("f")  # after the end, a right click's new game
    if not await_(lambda: set(read().values()) == {"covered"} and not board.description):
        fail("F after a lost game did not start a new one")

if not won:
    fail("no game won in twenty")
if not await_(lambda: any(d.startswith("Game won in ") for d in heard["description"])):
    fail("the win was not announced: %s" % heard["description"])
print("won game %d: %r; mines left %s, time %s; status bar %r" %
      (game + 1, board.description, value("Mines left"), value("Time"), status.name))
