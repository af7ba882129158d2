#!/usr/bin/env python3
"""a11y-tree.py ZELBIN LINK_NAME -- what a screen reader finds in zelbin over AT-SPI, as Orca does.

Run by run-a11y. It starts zelbin and checks:
  - every control of the main window has its own meaningful French name and the right role; the
    link is a link named LINK_NAME ("Aide de Zelbin", or the web page's site);
  - a new score arrives as a notification that shows (what Orca speaks whatever has the focus),
    named "Score : 0 sur 1, précédent : K" (1 sur 1 when it was an A), inside a status bar;
  - Play gives the focus to its Stop, and Stop gives it back;
  - the Menu key opens the context menu on its first item; its checkable item is a check box;
  - Tab reaches the link;
  - the progress window opens on its accuracy chart, named and summarised in words.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

import a11y_session as session
from a11y_session import Failure, key

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
MANY_CHILDREN = 100  # the heat map's 1296 cells are not walked


def app_windows():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Zelbin":
            return [window for window in app if window is not None]
    return []


def window_named(name):
    return next((window for window in app_windows() if window.name == name), None)


def walk(node, found):
    if node.childCount > MANY_CHILDREN:
        return
    for child in node:
        if child is not None:
            found.append(child)
            walk(child, found)


def focused():
    """The object with the keyboard focus in zelbin's windows (not in its menus), or None."""
    for window in app_windows():
        nodes = []
        walk(window, nodes)
        for node in nodes:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
    return None


class FocusEvents:
    """Follows the focus as AT-SPI reports it, menus included."""

    def __init__(self):
        self.last = None
        pyatspi.Registry.registerEventListener(self._on_focused, "object:state-changed:focused")

    def _on_focused(self, event):
        if event.detail1 == 1 and event.source is not None:
            self.last = event.source

    def wait_for(self, accept, what):
        """Runs the event loop until the focus goes to an object accept() takes; returns it."""
        context = GLib.MainContext.default()
        end = time.monotonic() + session.TIMEOUT_S
        while self.last is None or not accept(self.last):
            if time.monotonic() > end:
                last = self.last.name if self.last is not None else None
                raise Failure(f"timed out waiting for {what}; the focus is on {last!r}")
            GLib.timeout_add(100, lambda: False)  # wakes the loop to look at the clock
            context.iteration(True)
        print(f"  focus: {self.last.getRoleName()} {self.last.name!r}")
        return self.last

    def wait_for_name(self, name, what):
        return self.wait_for(lambda node: node.name == name, what)


def check_names(window, link_name):
    nodes = []
    walk(window, nodes)
    found = [(n.getRole(), n.name) for n in nodes]
    for role, name in EXPECTED:
        if (role, name) not in found:
            raise Failure(f"missing {name!r} (role {role})")
    names = [n for r, n in found if r in CONTROL_ROLES]
    duplicates = sorted({n for n in names if names.count(n) > 1})
    if duplicates:
        raise Failure(f"names shared by several controls: {duplicates}")
    if any(not n for n in names) or "Slider1" in names:
        raise Failure("a control has no name of its own")
    links = [n for r, n in found if r == pyatspi.ROLE_LINK]
    if links != [link_name]:
        raise Failure(f"links {links}, expected one named {link_name!r}")
    print(f"  {len(names)} controls, each with its own name; the link {link_name!r}")


def first_score_shows(window):
    """Presses Play through its action and waits for the first score's notification to show."""
    nodes = []
    walk(window, nodes)
    play = next(n for n in nodes if n.name == "Play (dictée simple)")
    shown = []

    def on_showing(event):
        source = event.source
        if event.detail1 == 1 and source is not None and source.getRole() == pyatspi.ROLE_NOTIFICATION \
                and " sur 1, précédent : " in source.name:
            shown.append((source.name, source.parent.getRole()))
            loop.quit()

    loop = GLib.MainLoop()
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    play.queryAction().doAction(0)
    GLib.timeout_add(int(session.TIMEOUT_S * 1000), loop.quit)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_showing, "object:state-changed:showing")
    if not shown:
        raise Failure("no notification showed the score after a tick")
    name, parent_role = shown[0]
    # No key was pressed: the answer is still that of the window's start, A, so the first
    # character counts as right exactly when it is an A.
    played = name.rsplit(" ", 1)[-1]
    expected = f"Score : {1 if played == 'A' else 0} sur 1, précédent : {played}"
    if name != expected or parent_role != pyatspi.ROLE_STATUS_BAR:
        raise Failure(f"the score showed as {name!r} in a {parent_role}")
    print(f"  the score shows as a notification: {name!r}")


def main():
    zelbin, link_name = sys.argv[1], sys.argv[2]
    session.start_program(zelbin)
    window = session.wait_until(lambda: window_named("Zelbin"), "the main window on the accessibility bus")
    check_names(window, link_name)
    session.wait_until(lambda: (lambda n: n is not None and n.name == "OK")(focused()), "the first focus on OK")

    focus = FocusEvents()
    first_score_shows(window)
    focus.wait_for_name("Stop (dictée simple)", "Play to give the focus to its Stop")
    nodes = []
    walk(window, nodes)
    next(n for n in nodes if n.name == "Stop (dictée simple)").queryAction().doAction(0)
    focus.wait_for_name("Play (dictée simple)", "Stop to give the focus back to Play")

    key("Menu")
    focus.wait_for_name("Progrès...", "the Menu key to open the menu on its first item")
    for name in ("Copie...", "Manipulation...", "Conditions de bande...", "Attaque douce"):
        key("Down")
        item = focus.wait_for_name(name, "the menu's next item")
    if item.getRole() != pyatspi.ROLE_CHECK_BOX or item.getState().contains(pyatspi.STATE_CHECKED):
        raise Failure(f"Attaque douce is a {item.getRoleName()}, not an unchecked check box")
    key("Escape")
    focus.wait_for_name("Play (dictée simple)", "the focus back from the menu")

    for _ in range(20):
        previous = focus.last.name
        key("Tab")
        node = focus.wait_for(lambda n, previous=previous: n.name != previous, "Tab to move the focus")
        if node.getRole() == pyatspi.ROLE_LINK:
            break
    else:
        raise Failure("Tab never reached the link")

    key("Menu")
    focus.wait_for_name("Progrès...", "the menu")
    key("Return")
    chart = focus.wait_for_name("Réussite par caractère", "the progress window on its accuracy chart")
    if not chart.description.startswith("les plus faibles "):
        raise Failure(f"the accuracy chart says {chart.description!r}")
    print(f"  the accuracy chart says {chart.description!r}")
    print("a11y-tree: as expected")


if __name__ == "__main__":
    sys.exit(session.run(main))
