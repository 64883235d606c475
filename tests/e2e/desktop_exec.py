#!/usr/bin/env python3
"""Prints the command line a launcher runs for a desktop entry: the Exec key of its
[Desktop Entry] group, unescaped and split into arguments the way the desktop-entry rules
say, field codes dropped (no files are given). Arguments are printed NUL-terminated.
  desktop_exec.py FILE
Exits 1 with a message when the entry has no Exec key or the key breaks the rules."""
import re
import sys


def refuse(why):
    sys.exit("desktop_exec: " + why)


def split_arguments(command):
    args, current, in_argument = [], "", False
    # Outside quotes: a blank ends an argument; a field code is dropped, %% is %.
    for token in re.finditer(r' |"((?:[^"\\]|\\.)*)("?)|%(.?)|(.)', command, re.S):
        quoted, closed, code, char = token.groups()
        if token.group(0) == " ":
            if in_argument:
                args.append(current)
            current, in_argument = "", False
        elif token.group(0).startswith('"'):
            if not closed:
                refuse("an argument's quotes are not closed")
            bad = re.search(r'\\([^"`$\\])|%', re.sub("%%", "", quoted))
            if bad:
                refuse("\\" + bad.group(1) + " inside quotes" if bad.group(1) else "a field code inside quotes")
            current += re.sub(r"\\(.)", r"\1", quoted).replace("%%", "%")
            in_argument = True
        elif code is not None:
            if code == "%":
                current, in_argument = current + "%", True
            elif code == "":
                refuse("a lone % ends the command")
            elif code not in "fFuUdDnNickvm":
                refuse("unknown field code %" + code)
        elif char in "\t\n'\\><~|&;$*?#()`":
            refuse("a reserved character outside quotes: " + char)
        else:
            current, in_argument = current + char, True
    if in_argument:
        args.append(current)
    return args


if len(sys.argv) != 2:
    refuse("usage: desktop_exec.py FILE")
group, execs = None, []
for line in open(sys.argv[1], encoding="utf-8").read().split("\n"):
    group = line if line.startswith("[") else group
    if group == "[Desktop Entry]" and line.startswith("Exec="):
        execs.append(line[5:])
if not execs:
    refuse("no Exec key in the [Desktop Entry] group")
escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
value = re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(0)), execs[0])
arguments = split_arguments(value)
if not arguments:
    refuse("an empty command")
sys.stdout.write("".join(a + "\0" for a in arguments))
