# Prints the players' display's game timer as a screen reader reads it, in seconds, each
# time a line comes on standard input; see page_control.sh.
import sys

import pyatspi
from atspi import walk, window

for _ in sys.stdin:
    shown = next((n.name for n in walk(window("Chiplark display"))
                  if n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith("Game Timer: ")), "")
    parts = shown[len("Game Timer: "):].split(":")
    try:
        seconds = sum(int(p) * 60 ** i for i, p in enumerate(reversed(parts)))
    except ValueError:
        seconds = -1
    print(seconds, flush=True)
