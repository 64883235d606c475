# Reads the "More options" dialog through the accessibility bus, as Orca does; see
# dialog_atspi.sh.
import os
import re
import subprocess
import sys
import time

import pyatspi

kept = dict(line.split("=", 1) for line in open(os.environ["KEPT"]).read().split() if "=" in line)
pid = int(os.environ["APP_PID"])


def fail(why):
    print("FAIL: " + why)
    sys.exit(1)


def until(what, test, seconds=15):
    end = time.monotonic() + seconds
    while True:
        found = test()
        if found:
            return found
        if time.monotonic() > end:
            fail("timed out: " + what)
        time.sleep(0.1)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def dialog():
    app = application()
    if app is None:
        return None
    for window in app:
        if window is not None and window.name == "More options":
            return window
    return None


def text(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


window = until("the dialog on the accessibility bus", dialog)
nodes = list(walk(window))
pages = [n.name for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB]
if pages != ["Phone & TV", "Players' display", "Breaks", "Players & prizes", "Tables & names"]:
    fail("pages named %r" % pages)
fields = {n.name: n for n in nodes if n.getRole() == pyatspi.ROLE_TEXT}
for name in ("Address", "Control PIN", "Buy-in amount", "Buy-in chips", "Payouts in percent"):
    if name not in fields:
        fail("no text named %r among %r" % (name, sorted(fields)))
for name in ("Address", "Control PIN"):
    states = fields[name].getState()
    if not states.contains(pyatspi.STATE_FOCUSABLE) or not states.contains(pyatspi.STATE_READ_ONLY):
        fail("%s is not read-only text that Tab reaches: %s" % (name, [pyatspi.stateToString(s) for s in states.getStates()]))
address, pin = text(fields["Address"]), text(fields["Control PIN"])
if not re.fullmatch(r"http://[0-9.]+:%s/%s/" % (kept["Port"], kept["Token"]), address):
    fail("the address reads %r" % address)
if pin != kept["PIN"]:
    fail("the PIN reads %r" % pin)
print("pages %s; Address %s; Control PIN %s" % (", ".join(pages), address.replace(kept["Token"], "<token>"), "*" * 6))

# Off and on again: the address takes the focus, and with it its description, the PIN.
subprocess.run(["xdotool", "key", "alt+s"], check=True)
until("the clock turned off", lambda: not dialog() or not fields["Address"].getState().contains(pyatspi.STATE_SHOWING))
subprocess.run(["xdotool", "key", "alt+s"], check=True)
until("the address focused", lambda: fields["Address"].getState().contains(pyatspi.STATE_FOCUSED))
if fields["Address"].description != "Control PIN " + kept["PIN"]:
    fail("the address is described as %r" % fields["Address"].description)
print("turned on, the address has the focus, described with the PIN")
print("1 passed, 0 failed")
