#!/usr/bin/env python3
"""Reads the main window of a running zelbin over AT-SPI and checks what a screen reader hears.

Usage: a11y-tree.py [SITE]  -- SITE is the expected name of the link when the build names a web
page; without it the link must be named "Aide de Zelbin".
"""
import sys
import time

import pyatspi
from gi.repository import GLib

EXPECTED = [
    # (role, name) of every control of the main window
    (pyatspi.ROLE_PUSH_BUTTON, "OK"),
    (pyatspi.ROLE_PUSH_BUTTON, "Annuler"),
    (pyatspi.ROLE_PUSH_BUTTON, "Dernière lettre"),
    (pyatspi.ROLE_PUSH_BUTTON, "Configuration"),
    (pyatspi.ROLE_PUSH_BUTTON, "A propos"),
    (pyatspi.ROLE_CHECK_BOX, "Bruit"),
    (pyatspi.ROLE_SLIDER, "Volume"),
    (pyatspi.ROLE_PUSH_BUTTON, "Play (dictée fichier)"),
    (pyatspi.ROLE_PUSH_BUTTON, "Stop (dictée fichier)"),
    (pyatspi.ROLE_PUSH_BUTTON, "Ouvrir (dictée fichier)"),
    (pyatspi.ROLE_CHECK_BOX, "Montrer (dictée fichier)"),
    (pyatspi.ROLE_CHECK_BOX, "Montrer (dictée simple)"),
    (pyatspi.ROLE_PUSH_BUTTON, "Play (dictée simple)"),
    (pyatspi.ROLE_PUSH_BUTTON, "Stop (dictée simple)"),
    (pyatspi.ROLE_CHECK_BOX, "Montrer (clavier)"),
]
CONTROL_ROLES = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_SLIDER, pyatspi.ROLE_LINK}


def find_window(timeout_s=30.0):
    end = time.monotonic() + timeout_s
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == "Zelbin":
                    return window
        time.sleep(0.2)
    return None


def walk(node, found):
    for child in node:
        if child is None:
            continue
        found.append((child.getRole(), child.name, child.getRoleName()))
        walk(child, found)


def score_change_is_heard(window, timeout_ms=8000):
    """Presses "Play (dictée simple)" through its AT-SPI action and waits for the first tick's
    score to arrive as a change of the score label's value, as a screen reader hears it."""
    nodes = []
    collect(window, nodes)
    play = [n for n in nodes if n.name == "Play (dictée simple)"]
    if not play:
        print("a11y-tree: no Play (dictée simple) to press", file=sys.stderr)
        return False
    heard = []

    def on_value(event):
        if event.source is not None and " sur 1\nPrécédent:" in event.source.name:
            heard.append(event.source.name)
            loop.quit()

    loop = GLib.MainLoop()
    pyatspi.Registry.registerEventListener(on_value, "object:property-change:accessible-value")
    play[0].queryAction().doAction(0)
    GLib.timeout_add(timeout_ms, loop.quit)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_value, "object:property-change:accessible-value")
    if not heard:
        print("a11y-tree: no value change of the score was heard after a tick", file=sys.stderr)
        return False
    print(f"  heard the score change: {heard[0]!r}")
    return True


def collect(node, nodes):
    for child in node:
        if child is not None:
            nodes.append(child)
            collect(child, nodes)


def main():
    site = sys.argv[1] if len(sys.argv) > 1 and sys.argv[1] else None
    window = find_window()
    if window is None:
        print("a11y-tree: no window named Zelbin on the accessibility bus", file=sys.stderr)
        return 1
    found = []
    walk(window, found)
    for role, name, role_name in found:
        print(f"  {role_name}: {name!r}")
    ok = True
    for role, name in EXPECTED:
        if not any(r == role and n == name for r, n, _ in found):
            print(f"a11y-tree: missing {name!r} (role {role})", file=sys.stderr)
            ok = False
    controls = [(r, n) for r, n, _ in found if r in CONTROL_ROLES]
    names = [n for _, n in controls]
    duplicates = sorted({n for n in names if names.count(n) > 1})
    if duplicates:
        print(f"a11y-tree: names shared by several controls: {duplicates}", file=sys.stderr)
        ok = False
    if any(not n for n in names):
        print("a11y-tree: a control has no name", file=sys.stderr)
        ok = False
    if any(n == "Slider1" for _, n, _ in found):
        print("a11y-tree: the slider is still named Slider1", file=sys.stderr)
        ok = False
    link_name = site or "Aide de Zelbin"
    links = [n for r, n, _ in found if r == pyatspi.ROLE_LINK]
    if links != [link_name]:
        print(f"a11y-tree: links {links}, expected one named {link_name!r}", file=sys.stderr)
        ok = False
    if not score_change_is_heard(window):
        ok = False
    print("a11y-tree: " + ("as expected" if ok else "NOT as expected"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
