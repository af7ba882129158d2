#!/usr/bin/env python3
"""orca-session.py ZELBIN LINK_NAME -- a keyboard-only session with the screen reader Orca.

Run by run-a11y, which gives it a D-Bus session with the AT-SPI bus, an X server and a window
manager. Orca runs for real; what it speaks is read from its log. Every step is made with X key
events only, and each waits for what Orca says of it:
  - the sound is set up in Configuration: a value field reads once, with its label and value;
    its keys step it; a step button's new value is said;
  - the keyboard practice says the typed letter's code ("A : point trait");
  - the random dictation: Play hands the focus to its Stop, each new score is said ("Score : 0
    sur 1, précédent : K") while the focus stays on Stop, and Stop hands the focus back to Play;
  - the file dictation opens a file through the file dialog, plays it, and says "Fin";
  - the Menu key opens the context menu on its first item, "Progrès...", and "Attaque douce" is
    a check box said to be checked or not;
  - Progrès opens on the accuracy chart, which names the weakest characters; the heat map is
    walked with the arrow keys;
  - the copy window: "Écouter" hands the focus to the answer field, and the score and the errors
    are said once, in words;
  - the band conditions: a preset is said with the values it brings, a value field once with its
    label and value;
  - the sending window says the target as it opens, a sign keyed with Space as it is read, and
    the score with the next target;
  - the About box says the version and the line that leads to its link, which Tab reaches;
  - the link of the main window is reached with Tab, said as a link, and opened with Return.
"""
import os
import re
import stat
import subprocess
import sys

import a11y_session as session
from a11y_session import Failure, key, type_text

INTERVAL_MS = 1500  # the dictation interval set in Configuration: a few characters in seconds


def main():
    zelbin, link_name = sys.argv[1], re.escape(sys.argv[2])
    link = "^" + link_name + " link"

    # What the links open is recorded, not shown: a stand-in for xdg-open comes first in PATH.
    bin_dir = os.path.join(session.WORK, "bin")
    os.makedirs(bin_dir, exist_ok=True)
    opened = os.path.join(session.WORK, "opened")
    opener = os.path.join(bin_dir, "xdg-open")
    with open(opener, "w") as script:
        script.write(f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{opened}"\n')
    os.chmod(opener, stat.S_IRWXU)
    os.environ["PATH"] = bin_dir + os.pathsep + os.environ["PATH"]
    dictated = os.path.join(session.WORK, "dictee.txt")
    with open(dictated, "w") as text:
        text.write("TE")

    orca = session.Orca()
    program = session.start_program(zelbin, cwd=session.WORK)
    orca.expect_all([r"^Zelbin frame", r"^OK push button"], "the main window")

    print("Configuration: the sound")
    orca.tab_to(r"^Configuration$")
    orca.press("space", r"^Configuration frame", "the configuration dialog")
    orca.tab_to(r"^Fréquence plus 100$")
    orca.press("space", r"^Fréquence en Hertz : 540\.00\.?$", "the stepped frequency, said with the focus on its button")
    orca.tab_to(r"^Temps dictée en ms$", "shift+Tab")
    orca.expect(r"^Temps dictée en ms 3000 spin button\.?$", "the interval field, read once with label and value")
    for expected in range(2900, INTERVAL_MS - 1, -100):
        orca.press("Page_Down", rf"^{expected}\.?$", f"the interval stepped down to {expected}")
    orca.press("Return", r"^(Zelbin frame|Configuration push button)", "OK: the main window again")

    print("Keyboard practice")
    orca.tab_to(r"^Montrer \(clavier\)$")
    orca.press("space", r"^checked", "the box ticked")
    orca.press("a", r"^A : point trait\.?$", "the typed letter and its code")

    print("Random dictation")
    orca.tab_to(r"^Play \(dictée simple\)$")
    orca.press("space", r"^Stop \(dictée simple\) push button", "Play: the focus on Stop")
    # Each new score is said while the focus stays on Stop. When Orca falls behind, it says only
    # the newest of the scores waiting: the totals said rise, not always one by one.
    said_total = 0
    while said_total < 3:
        said = orca.expect(r"^Score : \d+ sur \d+, précédent : [A-Z0-9]\.?$", "a new score")
        total = int(said.split(" sur ")[1].split(",")[0])
        if total <= said_total:
            raise Failure(f"the score {said!r} came after the total {said_total}")
        said_total = total
    orca.press("space", r"^Play \(dictée simple\) push button", "Stop: the focus back on Play")

    print("File dictation")
    orca.tab_to(r"^Ouvrir \(dictée fichier\)$")
    orca.press("space", r"dialog", "the file dialog")
    # The dialog opens in zelbin's working folder, which holds the file. The file name field
    # offers completions in a popup of its own, after which Orca may lose track of the windows:
    # whether the dialog closed is asked of AT-SPI, and the focus is found again with Tab.
    dialogs = [name for name in session.window_names() if name != "Zelbin"]
    type_text(os.path.basename(dictated))
    for attempt in range(3):
        key("Return")
        try:
            session.wait_until(lambda: not set(dialogs) & set(session.window_names()), "the file dialog to close",
                               session.NUDGE_S)
            break
        except Failure:
            if attempt == 2:
                raise
            key("shift")  # releases a Return held back (see Orca.press), or the next Return picks the file
    # The name's completion popup may still be up when Return closes the dialog: the main window
    # takes the keyboard back all the same.
    session.wait_active("Zelbin", "the main window to have the keyboard back after the file dialog")
    orca.tab_to(r"^Play \(dictée fichier\)$")
    orca.press("space", r"^Stop \(dictée fichier\) push button", "Play: the focus on Stop")
    orca.expect(r"\bFin\b", "the end of the file")
    orca.press("Return", r"^Stop \(dictée fichier\) push button", "back on Stop")
    orca.press("space", r"^Play \(dictée fichier\) push button", "Stop: the focus back on Play")

    print("Context menu")
    orca.press("Menu", r"^Progrès\.\.\.\.?$", "the menu's first item")
    for item in (r"Copie", r"Manipulation", r"Conditions de bande"):
        orca.press("Down", rf"^{item}\.\.\.\.?$", "the next item")
    orca.press("Down", r"^Attaque douce check box not checked", "the checkable item and its state")
    orca.press("Escape", r"Play \(dictée fichier\)", "the menu closed, the focus back on Play")
    orca.press("Menu", r"^Progrès\.\.\.\.?$", "the menu again on its first item")
    orca.press("Return", r"^Progrès frame", "the progress window")

    print("Progrès")
    orca.expect_all([r"^Réussite par caractère\.?$",
                     r"^les plus faibles [A-Z0-9] \d+ % \(\d+ réponses?\).* ; moyenne \d+ %$"],
                    "the progress window on its weakest characters")
    orca.tab_to(r"^Confusions$")
    orca.press("Right", r"^K joué, M tapé : \d+ fois\.?$", "the next cell of the heat map")
    orca.press("Down", r"^M joué, M tapé : \d+ fois\.?$", "the cell below")
    main_again = r"^(Zelbin frame|Play \(dictée fichier\) push button)"
    orca.press("Escape", main_again, "the main window again")

    print("Copy practice")
    orca.press("Menu", r"^Progrès\.\.\.\.?$", "the menu")
    orca.press("Down", r"^Copie\.\.\.\.?$", "its copy item")
    orca.press("Return", r"^Réponse \(copie\) text", "the copy window on its answer field")
    orca.tab_to(r"^Écouter$", "shift+Tab")
    orca.press("space", r"^Réponse \(copie\) text", "Écouter: the focus on the answer field")
    type_text("e")
    orca.press("Return", r"^Score : \d+ sur \d+ \(\d+ %\)\. (Erreurs : .+|Tout est juste)\.$",
               "the score and the errors, said once")
    orca.press("alt+F4", main_again, "the main window again")

    print("Band conditions")
    orca.press("Menu", r"^Progrès\.\.\.\.?$", "the menu")
    for item in (r"Copie", r"Manipulation", r"Conditions de bande"):
        orca.press("Down", rf"^{item}\.\.\.\.?$", "the next item")
    orca.press("Return", r"^Conditions de bande (frame|dialog)", "the band conditions' dialog")
    orca.tab_to(r"^Préréglage$")
    orca.press("Up", r"^Bande difficile ; Signal/bruit 0 dB, QSB, profondeur 70 %", "a preset, with its values")
    orca.press("Tab", r"^Signal/bruit : 0 dB spin button\.?$", "a value field, read once with label and value")
    orca.press("Escape", main_again, "the main window again")

    print("Sending practice")
    orca.press("Menu", r"^Progrès\.\.\.\.?$", "the menu")
    for item in (r"Copie", r"Manipulation"):
        orca.press("Down", rf"^{item}\.\.\.\.?$", "the next item")
    orca.press("Return", r"^À envoyer : .+\. Touche : ", "the sending window: the key, and the target")
    orca.press("space", r"^[ET]\b", "a sign keyed with Space, said as it is read")
    orca.tab_to(r"^Nouveau texte à envoyer$")
    orca.press("Return", r"^Dernier envoi : \d+ sur \d+ justes\. À envoyer : ", "the score, then the new target")
    orca.press("alt+F4", main_again, "the main window again")

    print("About box")
    orca.tab_to(r"^A propos$")
    orca.press("space", r"^A propos de Zelbin dialog .*site suivant: " + link_name + r"\.+ Version 1\.0\.0\.549 de Zelbin",
                "the About box, its link named after its line and its version")
    orca.tab_to("^" + link_name + "$")
    orca.expect(link, "the About box's link")
    orca.press("Escape", r"^A propos push button", "back in the main window")

    print("The link")
    orca.tab_to("^" + link_name + "$")
    orca.expect(link, "the link, as a link")
    key("Return")
    try:
        session.wait_until(lambda: os.path.exists(opened) and os.path.getsize(opened) > 0, "the link to be opened",
                           session.NUDGE_S)
    except Failure:
        key("shift")  # releases a Return held back (see Orca.press)
        session.wait_until(lambda: os.path.exists(opened) and os.path.getsize(opened) > 0, "the link to be opened")
    with open(opened) as record:
        address = record.read().strip()
    if "utm_source=principale" not in address:
        raise Failure(f"the link opened {address!r}")
    print(f"  opened {address}")

    orca.tab_to(r"^OK$")
    key("space")
    try:
        status = program.wait(timeout=session.NUDGE_S)
    except subprocess.TimeoutExpired:
        key("shift")
        status = program.wait(timeout=session.TIMEOUT_S)
    if status != 0:
        raise Failure(f"zelbin ended with status {status}")
    print("orca-session: as expected")


if __name__ == "__main__":
    sys.exit(session.run(main))
