# Drives the real program through the accessibility bus and its keys; see e2e_chips.sh.
import os
import subprocess

import pyatspi
from atspi import fail, until, walk, window

shots = os.environ.get("SHOTS", "")


def named(root, role, name):
    return next((n for n in walk(root) if n.getRole() == role and n.name == name), None)


def labels(root):
    return [n.name for n in walk(root) if n.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATUS_BAR)
            and n.getState().contains(pyatspi.STATE_SHOWING)]


def gone(name):
    w = window(name)
    return w is None or not w.getState().contains(pyatspi.STATE_SHOWING)


def press(root, name):
    until("the button " + name, lambda: named(root, pyatspi.ROLE_PUSH_BUTTON, name)).queryAction().doAction(0)


def key(*keys):
    subprocess.run(["xdotool", "key"] + list(keys), check=True)


def shot(name):
    if shots:
        subprocess.run(["import", "-window", "root", os.path.join(shots, name)], check=True)


settings = until("the settings window", lambda: window("Chiplark! - version 1.0"))
press(settings, "More options…")
dialog = until("More options", lambda: window("More options"))
tab = until("the chips' page", lambda: named(dialog, pyatspi.ROLE_PAGE_TAB, "Chips & plan"))
tab.queryAction().doAction(0)
until("the chips' page showing", lambda: tab.getState().contains(pyatspi.STATE_SHOWING))
# Typed as a host types them: a box focused, the keys pressed.
for box, typed in (("Chip 1 value", "50"), ("Chip 1 colour", "white"), ("Chip 2 value", "100"), ("Chip 2 colour", "red"),
                   ("Chip 3 value", "500"), ("Chip 3 colour", "green"), ("Players expected", "10"),
                   ("Starts at", "19:30")):
    node = until(box, lambda: named(dialog, pyatspi.ROLE_TEXT, box))
    node.queryComponent().grabFocus()
    until(box + " focused", lambda: node.getState().contains(pyatspi.STATE_FOCUSED))
    subprocess.run(["xdotool", "type", typed], check=True)
says = until("the stack suggested", lambda: next((t for t in labels(dialog) if t.startswith("Starting stack 5,000")), None),
             on_fail=lambda: labels(dialog))
print("the page says: " + says.replace("\n", " | "))
shot("chips-page.png")
press(dialog, "Close")
until("the dialog closed", lambda: gone("More options"))

# The automatic structure shown: 25/50, 50/100 … with the 50s the smallest chip, round 1 cannot
# be made; the times from 19:30, 20 minutes a round and 10 a break after every second.
opt = until("the automatic option", lambda: named(settings, pyatspi.ROLE_RADIO_BUTTON, "Use an automatic blind structure:"))
opt.queryAction().doAction(0)
press(settings, "Show Me")
times = until("the times beside the list", lambda: (lambda l: l and [c.name for c in walk(l) if c.getRole() == pyatspi.ROLE_LIST_ITEM])(
    named(settings, pyatspi.ROLE_LIST, "Time of day of each round")))
expected = ["19:30 ✗", "19:50", "20:20", "20:40", "21:10", "21:30", "22:00", "22:20"]
if times != expected:
    fail("the times beside the list read %r, not %r" % (times, expected))
plan = until("the plan under the list", lambda: next((t for t in labels(settings) if " levels and " in t), None),
             on_fail=lambda: labels(settings))
for part in ("8 levels and 3 breaks: 3 h 10 min, 19:30 to 22:40", "ends around 22:20 (round 8)",
             "Round 1 cannot be made with the 50s."):
    if part not in plan:
        fail("the plan reads %r, without %r" % (plan, part))
print("beside the list: %s; under it: %s" % (" ".join(times), plan.replace("\n", " | ")))
shot("settings-chips.png")

# The game: level 1, then level 2 warns of the break's colour-up, the break colours up the 50s.
press(settings, "Start the game!")
display = until("the display", lambda: window("Chiplark display"))
warning, colourUp = "At the next break the 50s leave.", "Colour up: the 50s"


def shows(text):
    return any(text in t for t in labels(display))


if shows(warning) or shows(colourUp):
    fail("level 1 already speaks of the colour-up: %r" % labels(display))
subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Chiplark display$", "windowfocus", "--sync"], check=True)
key("space")
until("level 2 warning a level ahead", lambda: shows(warning) and shows("Current Round: Round 2."))
shot("display-warning.png")
key("space")
until("the break's colour-up", lambda: shows(colourUp))
if shows(warning):
    fail("the warning stays up in the break: %r" % labels(display))
shot("display-colourup.png")
key("space")
until("level 3", lambda: shows("Current Round: Round 3."))
if shows(colourUp) or shows(warning):
    fail("level 3 still speaks of the colour-up: %r" % labels(display))
print("level 2 warns %r; the break shows %r; level 3 neither" % (warning, colourUp))
key("Escape")
until("the display gone", lambda: gone("Chiplark display"))
