# Prints the players' display's game timer as a screen reader reads it, in seconds, each
# time a line comes on standard input; see page_control.sh.
import os
import sys

import pyatspi

pid = int(os.environ["APP_PID"])


def labels():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app.get_process_id() != pid:
            continue
        for window in app:
            if window is not None and window.name == "Chiplark display":
                stack = [window]
                while stack:
                    node = stack.pop()
                    if node is None:
                        continue
                    if node.getRole() == pyatspi.ROLE_LABEL:
                        yield node.name
                    stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))


for _ in sys.stdin:
    shown = next((name for name in labels() if name.startswith("Game Timer: ")), "")
    parts = shown[len("Game Timer: "):].split(":")
    try:
        seconds = sum(int(p) * 60 ** i for i, p in enumerate(reversed(parts)))
    except ValueError:
        seconds = -1
    print(seconds, flush=True)
