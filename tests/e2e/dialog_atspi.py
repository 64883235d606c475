# Reads the "More options" dialog through the accessibility bus, as Orca does; see
# dialog_atspi.sh.
import os
import re
import subprocess

import pyatspi
from atspi import fail, text, until, walk, window as named_window

kept = dict(line.split("=", 1) for line in open(os.environ["KEPT"]).read().split() if "=" in line)


# What the program tells a screen reader of its own accord: the changes of names and descriptions.
heard = []
pyatspi.Registry.registerEventListener(lambda e: heard.append((e.type, e.source.getRole(), e.source.name, e.source.description)),
                                       "object:property-change:accessible-name", "object:property-change:accessible-description")


def key(*keys):
    subprocess.run(["xdotool", "key", *keys], check=True)


def dialog():
    return named_window("More options")


def showing(*roles):
    return [n for n in walk(window) if n.getRole() in roles and n.getState().contains(pyatspi.STATE_SHOWING)]


# The page of that name opened, as a click on its tab does.
def open_page(name):
    tab = next(n for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB and n.name == name)
    tab.queryAction().doAction(0)
    until("the page %s showing" % name, lambda: tab.getState().contains(pyatspi.STATE_SHOWING))


window = until("the dialog on the accessibility bus", dialog)
nodes = list(walk(window))
pages = [n.name for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB]
if pages != ["Phone & TV", "Players' display", "Breaks", "Players & prizes", "Tables & names", "Chips & plan",
             "Season"]:
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
key("alt+s")
until("the clock turned off", lambda: not dialog() or not fields["Address"].getState().contains(pyatspi.STATE_SHOWING))
key("alt+s")
until("the address focused", lambda: fields["Address"].getState().contains(pyatspi.STATE_FOCUSED))
if fields["Address"].description != "Control PIN " + kept["PIN"]:
    fail("the address is described as %r" % fields["Address"].description)
print("turned on, the address has the focus, described with the PIN")

# "Players & prizes": every box named by its caption, never by what it holds; the rounding box's
# text too.
open_page("Players & prizes")
boxes = showing(pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON)
rounding = [n for n in boxes if n.name == "Round payouts down to"]
if [n.getRole() for n in rounding] != [pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT] or text(rounding[1]) != "1":
    fail("the rounding box and its text: %r" % [(n.getRoleName(), n.name) for n in rounding])
for n in boxes:
    value = text(n) if n.getRole() == pyatspi.ROLE_TEXT else ""
    if not n.name.strip() or n.name == value:
        fail("a %s named %r, holding %r" % (n.getRoleName(), n.name, value))
for name in ("Rebuys until round", "Re-entries until round", "House cut", "Guaranteed prize pool"):
    if not [n for n in boxes if n.name == name]:
        fail("no box named %r among %r" % (name, sorted(n.name for n in boxes)))
print("Players & prizes: %d boxes, each named by its caption, the rounding box's text too" % len(boxes))

# A letter in a number: the problem reaches a screen reader as it appears, as the status bar's new
# name and as the description of the box typed in.
key("alt+c")
buyIn = next(n for n in boxes if n.name == "Buy-in amount")
until("the count on", lambda: buyIn.getState().contains(pyatspi.STATE_ENABLED))
key("alt+b")
until("the buy-in focused", lambda: buyIn.getState().contains(pyatspi.STATE_FOCUSED))
subprocess.run(["xdotool", "type", "2x"], check=True)
problem = '"Buy-in" must be a whole number from 0 to 9,223,372,036,854,775,807.'
told = [("object:property-change:accessible-description", pyatspi.ROLE_TEXT, "Buy-in amount", problem),
        ("object:property-change:accessible-name", pyatspi.ROLE_STATUS_BAR, problem, "")]
until("the problem told, once each way", lambda: sorted(e for e in heard if problem in e) == told)
bars = showing(pyatspi.ROLE_STATUS_BAR)
if [n.name for n in bars] != [problem]:
    fail("the status bars read %r" % [n.name for n in bars])
key("BackSpace")
until("the problem gone", lambda: buyIn.description == "" and not bars[0].name.startswith('"Buy-in"'))
print("a letter in the buy-in: %r told as the status bar's name and the box's description, gone when fixed" % problem)

# "Tables & names", "Chips & plan" (the chips' grid by row and column, the plan by captions) and "Season":
# their boxes named by their captions too.
chips = ["Chip %d %s" % (row, column) for row in range(1, 9) for column in ("value", "colour", "how many")]
for name, expected in (("Tables & names", ["Players' names", "Seats per table", "Tables", "Tables break in the order"]),
                       ("Chips & plan", chips + ["Starting stack", "Players expected", "Rebuys expected",
                                                 "Re-entries expected", "Add-ons expected", "Starts at"]),
                       ("Season", ["Season", "Points by place, from the first", "Points below the table", "Scale",
                                   "Points for playing a night", "Points per knock-out", "Best nights that count",
                                   "Nights needed for an average"])):
    open_page(name)
    shown = sorted(n.name for n in showing(pyatspi.ROLE_TEXT))
    if shown != sorted(expected):
        fail("the boxes of %s are named %r, not %r" % (name, shown, sorted(expected)))
    print("%s: %d boxes, each named by its caption" % (name, len(shown)))
print("1 passed, 0 failed")
