#!/usr/bin/python3
"""Reads the program's accessibility tree over AT-SPI, as a screen reader
does, while driving the real window by keyboard with xdotool.

usage: atspi_tree.py PROGRAM WORK_FOLDER PID_FILE

Runs inside its own D-Bus session (dbus-run-session), which starts the
accessibility bus on demand. Every wait is bounded; the program's id goes
into PID_FILE so that the runner ends it whatever happens here.
"""
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import GLib  # noqa: E402
import pyatspi  # noqa: E402

TIMEOUT = float(os.environ.get("E2E_TIMEOUT", "15"))
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message, file=sys.stderr)
    return condition


def pump(seconds=0.05):
    """Lets AT-SPI deliver what has arrived, for about `seconds`."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def wait_for(what, probe):
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        try:
            found = probe()
        except Exception:  # the tree changes under a walk; try again
            found = None
        if found:
            return found
        pump(0.1)
    raise SystemExit("timed out waiting for " + what)


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "40", "--", text], check=True)


def active_window_name():
    result = subprocess.run(["xdotool", "getactivewindow", "getwindowname"],
                            capture_output=True, text=True)
    return result.stdout.strip()


def wait_active(name):
    wait_for("the active window '%s'" % name, lambda: active_window_name() == name)


def children(node):
    """The node's children; none of a node that went away meanwhile."""
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except GLib.Error:
        return []


def walk(node, depth=0):
    yield node, depth
    if depth < 12:
        for child in children(node):
            if child is not None:
                yield from walk(child, depth + 1)


def find(node, role, name=None):
    for found, _ in walk(node):
        try:
            if found.getRole() == role and (name is None or found.name == name):
                return found
        except GLib.Error:
            continue
    return None


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def top_window(app, name):
    for window in children(app):
        if window is not None and window.name == name:
            return window
    return None


def main():
    program, work, pid_file = sys.argv[1:4]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    log = open(os.path.join(os.path.dirname(pid_file), "atspi-program.log"), "ab")
    process = subprocess.Popen([program], cwd=work, env=env, stdout=log, stderr=log)
    with open(pid_file, "a") as pids:
        pids.write("%d\n" % process.pid)

    announced = []

    heard = []

    def on_name(event):
        source = event.source
        if source is None:
            return
        # The name is read afresh, not from the cache of the name before.
        source.clear_cache()
        heard.append((source.getRoleName(), source.name))
        if source.getRole() == pyatspi.ROLE_FRAME:
            announced.append(source.name)

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    try:
        app = wait_for("the program on the accessibility bus", lambda: application(process.pid))
        main = wait_for("the main window", lambda: top_window(app, "<Untitled>"))
        wait_active("<Untitled>")

        entries = wait_for("the list named 'Entries'", lambda: find(main, pyatspi.ROLE_LIST, "Entries"))
        table = entries.queryTable()
        check(table.nColumns == 3, "the list has %d columns, not 3" % table.nColumns)
        names = [table.getColumnDescription(i) for i in range(table.nColumns)]
        check(names == ["Family Name", "Short Name", "Phone No"],
              "the list's column names are %r" % names)

        # A line added by the Add dialog is named by its fields.
        keys("alt+a")
        wait_active("Add New Entry")
        for family, short, phone in (("Baker", "Tom", "12-345-67"), ("adams", "Ann", "+49-555-12")):
            type_text(family)
            keys("Tab")
            type_text(short)
            keys("Tab")
            type_text(phone)
            keys("Return")
        keys("Escape")
        wait_active("<Untitled>")
        lines = wait_for("two lines in the list", lambda: entries.childCount == 2 and
                         [line.name for line in children(entries)])
        check(lines == ["adams, Ann, +49-555-12", "Baker, Tom, 12-345-67"],
              "the lines are named %r" % lines)
        line = entries.getChildAtIndex(1)
        check(line.getRole() == pyatspi.ROLE_LIST_ITEM, "a line is a %s" % line.getRoleName())
        span = table.getColumnExtentAt(1, 0)
        check(span == 3, "a line spans %d columns, not 3" % span)
        check(table.getAccessibleAt(1, 2).name == "Baker, Tom, 12-345-67",
              "the cell at the line's third column is %r" % table.getAccessibleAt(1, 2).name)

        # The chooser: the drive list named, no header numbered "1", every
        # list and box named.
        keys("alt+f", "a")
        wait_active("Save as to")
        chooser = wait_for("the chooser", lambda: top_window(app, "Save as to"))
        check(find(chooser, pyatspi.ROLE_COMBO_BOX, "Drive") is not None,
              "no drive list named 'Drive'; boxes: %r" %
              [n.name for n, _ in walk(chooser) if n.getRole() == pyatspi.ROLE_COMBO_BOX])
        stray = [n.getRoleName() for n, _ in walk(chooser) if n.name == "1"]
        check(not stray, "the chooser holds something named '1': %r" % stray)
        for node, _ in walk(chooser):
            if node.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE,
                                  pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT):
                check(node.name.strip() != "" and node.name != "/",
                      "a %s of the chooser is named %r" % (node.getRoleName(), node.name))
        type_text("book")
        keys("Return")
        saved = os.path.join(work, "book.CVA")
        wait_active(saved)
        wait_for("the announced caption after Save As", lambda: saved in announced)

        # Save under the same name changes no caption, and is announced all
        # the same.
        del announced[:]
        keys("ctrl+s")
        wait_for("the announced caption after Save", lambda: saved in announced)

        # The Find dialog's group: named without padding, holding its two
        # check boxes.
        keys("alt+i")
        wait_active("Find an Item")
        find_form = wait_for("the Find dialog", lambda: top_window(app, "Find an Item"))
        group = None
        for node, _ in walk(find_form):
            if node.name.strip() == "Options":
                group = node
        check(group is not None and group.name == "Options",
              "the options group is named %r" % (group.name if group else None))
        if group is not None:
            inside = sorted(n.name for n, _ in walk(group) if n.getRole() == pyatspi.ROLE_CHECK_BOX)
            check(inside == ["Match Case", "Whole Word"],
                  "check boxes inside the group: %r" % inside)
        keys("Escape")
        wait_active(saved)

        # Open, from the chooser's file list by keyboard, is announced too.
        del announced[:]
        keys("ctrl+o")
        wait_active("Open a Callvista")
        keys("Tab", "Tab", "Tab", "Down", "Return")
        wait_for("the announced caption after Open", lambda: saved in announced)
        lines = wait_for("the opened lines", lambda: entries.childCount == 2 and
                         [line.name for line in children(entries)])
        check(lines == ["adams, Ann, +49-555-12", "Baker, Tom, 12-345-67"],
              "the opened lines are named %r" % lines)

        keys("ctrl+x")
        process.wait(timeout=TIMEOUT)
    except SystemExit:
        print("name changes heard: %r" % heard, file=sys.stderr)
        raise
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    if failures:
        raise SystemExit("%d check(s) failed" % len(failures))
    print("accessibility tree: all checks passed")


if __name__ == "__main__":
    main()
