# The program's windows as a screen reader finds them on the accessibility bus: what the
# scripts that read them share.
import os
import sys
import time

import pyatspi
from gi.repository import GLib

pid = int(os.environ["APP_PID"])


def fail(why):
    print("FAIL: " + why)
    sys.exit(1)


# Waits up to `seconds` for test() to give something, letting the bus's events in meanwhile.
def until(what, test, seconds=15, on_fail=lambda: ""):
    end = time.monotonic() + seconds
    while True:
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        found = test()
        if found:
            return found
        if time.monotonic() > end:
            fail("timed out: %s %s" % (what, on_fail()))
        time.sleep(0.1)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


# The program's window of that name, or None.
def window(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return next((w for w in app if w is not None and w.name == name), None)
    return None


def text(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)
