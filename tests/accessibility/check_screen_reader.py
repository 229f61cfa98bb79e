# SPDX-FileCopyrightText: 2026 The clampmeter developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The demo as a screen reader user meets it, checked through the accessibility bus.

Run inside the session at_spi_session.sh makes, with the demo started; the argument is the
file the demo's standard error goes to. Prints each check and exits 1 at the first failure.
"""

import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

APP_NAME = "clampmeter-demo"
GRID_NAME = "Readings list"
MAX_SECONDS = 240


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def passed(message):
    print("ok: " + message, flush=True)


def pump(seconds):
    """Lets the bus deliver events for a while."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, condition, seconds=20.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            value = condition()
        except Exception:  # an object that went away while we asked it
            value = None
        if value:
            return value
        pump(0.1)
    fail("timed out waiting for " + what)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == APP_NAME:
            return app
    return None


def find(root, name, role=None):
    def matches(acc):
        return acc is not None and acc.name == name and (role is None or acc.getRole() == role)

    return pyatspi.findDescendant(root, matches)


def find_all(root, role):
    return pyatspi.findAllDescendants(root, lambda acc: acc is not None and acc.getRole() == role)


def text_of(acc):
    return acc.queryText().getText(0, -1)


def press(acc, action_name):
    actions = acc.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) == action_name:
            actions.doAction(i)
            return
    names = [actions.getName(i) for i in range(actions.nActions)]
    fail("%s has no action %r (it has %s)" % (acc.name, action_name, names))


def ancestor_names(acc, depth=4):
    names = []
    while acc is not None and depth > 0:
        names.append(acc.name)
        acc = acc.parent
        depth -= 1
    return names


class Events:
    """Records focus, selection and text events as they arrive."""

    TYPES = (
        "focus:",
        "object:state-changed:focused",
        "object:selection-changed",
        "object:active-descendant-changed",
        "object:text-changed",
    )

    def __init__(self):
        self.seen = []
        pyatspi.Registry.registerEventListener(self.record, *self.TYPES)

    def record(self, event):
        try:
            names = ancestor_names(event.source)
        except Exception:
            names = []
        self.seen.append((event.type, event.detail1, names))

    def clear(self):
        self.seen = []

    def from_grid(self):
        return [e for e in self.seen if GRID_NAME in e[2] and not e[0].startswith("object:text")]

    def focused_names(self):
        return [
            e[2][0]
            for e in self.seen
            if e[0].startswith("object:state-changed:focused") and e[1] == 1 and e[2]
        ]

    def text_changes_of(self, name):
        return [e for e in self.seen if e[0].startswith("object:text-changed") and e[2][:1] == [name]]


def screenshot_black_pixels(acc):
    """Pure black pixels of an object's area on the screen."""
    x, y, width, height = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    ppm = subprocess.run(
        ["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "ppm:-"],
        check=True,
        capture_output=True,
    ).stdout
    # Binary PPM: "P6\n<w> <h>\n<max>\n" then RGB triples.
    header_end = 0
    for _ in range(3):
        header_end = ppm.index(b"\n", header_end) + 1
    pixels = ppm[header_end:]
    return sum(1 for i in range(0, len(pixels) - 2, 3) if pixels[i : i + 3] == b"\x00\x00\x00")


def check_readings(app, events):
    main = wait_for("the main reading", lambda: find(app, "Main reading"))
    first = wait_for(
        "a reading on the panel",
        lambda: text_of(main).strip() not in ("", "000.0") and text_of(main),
    )
    wait_for("the main reading to change", lambda: text_of(main) != first)
    passed("the main reading is text a screen reader reads (%r, then %r)" % (first, text_of(main)))
    if not wait_for("text changes of the main reading", lambda: events.text_changes_of("Main reading")):
        fail("no text change event from the main reading")
    passed("a new reading is announced as a text change")

    # The display, as the keyboard reaches it, says the whole reading when asked.
    display = find(app, "Display")
    unit = text_of(find(app, "Unit of the main reading"))
    for _ in range(20):
        shown, said = text_of(main), display.description
        if said.startswith("%s %s" % (shown, unit)):
            break
        pump(0.05)
    else:
        fail("the display says %r while the panel shows %r %s" % (said, shown, unit))
    passed("the display says %r" % said)
    return main


def check_list_window(app, events, main):
    events.clear()
    pump(4.0)
    if events.from_grid():
        fail("the hidden list's grid sent %s" % events.from_grid()[:3])
    passed("the grid is silent while the list window is hidden")

    press(find(app, "List", pyatspi.ROLE_PUSH_BUTTON), "Press")
    latest = wait_for("the list window", lambda: find(app, "Latest reading"))
    # The panel and the list show the same reading; a frame may land between the two reads.
    for _ in range(20):
        shown, listed = text_of(main), text_of(latest)
        if shown == listed and shown:
            break
        pump(0.05)
    else:
        fail("the main reading %r never equals the list's latest %r" % (shown, listed))
    unit = find(app, "Unit of the main reading")
    passed("the panel shows %r %s, as the list's latest reading does" % (shown, text_of(unit)))

    clear = find(app, "Clear list", pyatspi.ROLE_PUSH_BUTTON)
    clear.queryComponent().grabFocus()
    pump(1.0)
    events.clear()
    pump(4.0)
    if events.from_grid():
        fail("the grid sent %s while another control held the focus" % events.from_grid()[:3])
    passed("the grid is silent while another control holds the focus")


def check_tab_order(app, events):
    subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--name", "^KR-610$", "windowactivate", "--sync"],
        check=True,
        capture_output=True,
        timeout=20,
    )
    pump(0.5)
    events.clear()
    reached = set()
    for _ in range(8):
        subprocess.run(["xdotool", "key", "Tab"], check=True, timeout=10)
        pump(0.4)
        reached.update(events.focused_names())
        if {"List", "Graph", "Exit"} <= reached:
            break
    if not {"List", "Graph", "Exit"} <= reached:
        fail("Tab reached only %s" % sorted(reached))
    passed("Tab reaches List, Graph and Exit")


def check_graph_window(app):
    press(find(app, "Graph", pyatspi.ROLE_PUSH_BUTTON), "Press")
    cross = wait_for("the graph window", lambda: find(app, "Cross", pyatspi.ROLE_CHECK_BOX))
    combos = find_all(app, pyatspi.ROLE_COMBO_BOX)
    purposes = set()
    for combo in combos:
        for relation in combo.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                purposes.update(
                    relation.getTarget(i).name for i in range(relation.getNTargets())
                )
    if purposes != {"Records per window", "Full scale"}:
        fail("the scale choosers are labelled by %s" % sorted(purposes))
    passed("the scale choosers are labelled by their purpose")

    if "grid" not in cross.description:
        fail("'Cross' is described as %r" % cross.description)
    plot = find(app, "Graph of readings")
    pump(1.0)
    checked = cross.getState().contains(pyatspi.STATE_CHECKED)
    before = screenshot_black_pixels(plot)
    press(cross, "Toggle")
    wait_for("the check mark to change", lambda: cross.getState().contains(pyatspi.STATE_CHECKED) != checked)
    pump(1.0)
    after = screenshot_black_pixels(plot)
    grid_went = (after < before - 1000) if checked else (after > before + 1000)
    if not grid_went:
        fail("the Toggle action left the grid as it was (%d black pixels, then %d)" % (before, after))
    passed("the Toggle action on 'Cross' switches the grid lines (%d black pixels, then %d)" % (before, after))


def check_no_warning_flood(log):
    with open(log, encoding="utf-8", errors="replace") as f:
        warnings = [line for line in f if "no ValueInterface" in line]
    if warnings:
        fail("%d warnings like %r" % (len(warnings), warnings[0].strip()))
    passed("no accessibility warnings on standard error")


def main():
    signal.alarm(MAX_SECONDS)
    app = wait_for("the demo on the accessibility bus", application, 60.0)
    events = Events()
    main_reading = check_readings(app, events)
    check_list_window(app, events, main_reading)
    check_tab_order(app, events)
    check_graph_window(app)
    check_no_warning_flood(sys.argv[1])


if __name__ == "__main__":
    main()
