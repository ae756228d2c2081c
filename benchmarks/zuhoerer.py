#!/usr/bin/python3
# SPDX-License-Identifier: GPL-2.0-or-later
# An accessibility client as a screen reader is one: it listens on the AT-SPI bus to the events
# that a screen reader follows (text, name, state and children changes, focus) and writes how
# many it has had, ten times a second, into the file named as its argument.
import sys

import pyatspi
from gi.repository import GLib

EREIGNISSE = (
    "object:text-changed",
    "object:property-change",
    "object:children-changed",
    "object:state-changed",
    "object:visible-data-changed",
    "object:active-descendant-changed",
    "object:selection-changed",
    "object:text-caret-moved",
    "focus:",
)

datei = sys.argv[1]
anzahl = 0


def gehoert(_ereignis):
    global anzahl
    anzahl += 1


def schreiben():
    with open(datei + ".neu", "w") as f:
        f.write(f"{anzahl}\n")
    import os
    os.replace(datei + ".neu", datei)
    return True


pyatspi.Registry.registerEventListener(gehoert, *EREIGNISSE)
GLib.timeout_add(100, schreiben)
pyatspi.Registry.start()
