"""What the accessibility end-to-end scripts share, inside the session tests/e2e/run-a11y makes
(a private D-Bus session with its AT-SPI bus, an X server and a window manager):

- start_program: the program under test, with Qt's AT-SPI bridge on;
- Orca: the real screen reader, whose debug log is read for what it speaks;
- key: real X key events (XTEST), as a keyboard-only user types them.

Nothing here sleeps for a fixed time to let something happen: each step waits, with a generous
timeout, for the event that shows it has happened (a line Orca speaks, an AT-SPI state).
"""
import atexit
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WORK = os.environ.get("ZELBIN_A11Y_WORK", "/tmp")
TIMEOUT_S = 60.0  # for a step on a loaded machine; a step that works takes well under a second
NUDGE_S = 15.0    # a key that shows no effect after this long is followed by a Shift (see Orca.press)
QUIET_S = 0.4     # Orca's log silent this long: it has caught up with the events

_children = []


def _stop_children():
    for child in reversed(_children):
        if child.poll() is None:
            child.terminate()
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()


atexit.register(_stop_children)


class Failure(Exception):
    pass


def start_program(path, log_name="zelbin.log", cwd=None):
    """Starts the program under test, its output in WORK/log_name."""
    log = open(os.path.join(WORK, log_name), "w")
    child = subprocess.Popen([os.path.abspath(path)], stdout=log, stderr=subprocess.STDOUT, cwd=cwd)
    _children.append(child)
    return child


def window_names():
    """The names of zelbin's windows on the accessibility bus, as AT-SPI lists them."""
    import pyatspi  # Debian's own Python has it; only the scripts that look at windows need it

    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Zelbin":
            return [window.name for window in app if window is not None]
    return []


def window_is_active(name):
    """Whether zelbin's window named name is the active window, as AT-SPI tells."""
    import pyatspi

    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Zelbin":
            return any(w is not None and w.name == name and w.getState().contains(pyatspi.STATE_ACTIVE) for w in app)
    return False


def wait_active(name, what):
    """Waits until zelbin's window named name is the active window again, as AT-SPI tells."""
    wait_until(lambda: window_is_active(name), what)


def key(*names):
    """Presses and releases each key in turn (xdotool key names: Tab, space, shift+Tab, Menu)."""
    subprocess.run(["xdotool", "key", "--delay", "50", *names], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "80", text], check=True)


def wait_until(predicate, what, timeout_s=TIMEOUT_S, poll_s=0.05):
    end = time.monotonic() + timeout_s
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(poll_s)
    raise Failure(f"timed out after {timeout_s:.0f} s waiting for {what}")


_SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'\s?(\{.*\})?\s*$")
WINDOW_ROLES = {"frame", "dialog", "window", "alert"}
_FOCUS = re.compile(r"ORCA: Changing locusOfFocus from .* to \[(.*?) \| (.*)\]\. Notify")


class Orca:
    """Orca 43 run on the session's buses and display, its speech read from its debug log.

    No speech synthesiser is needed: Orca logs each utterance before it hands it to speech
    dispatcher, and without one (spawning it is switched off here) it goes on all the same.
    """

    def __init__(self):
        self.log_path = os.path.join(WORK, "orca-debug.log")
        prefs = os.path.join(WORK, "orca-prefs")
        os.makedirs(prefs, exist_ok=True)
        env = dict(os.environ)
        env["SPEECHD_CMD"] = "/bin/false"  # no speech-dispatcher is spawned
        env["SPEECHD_ADDRESS"] = "unix_socket:" + os.path.join(WORK, "no-speech-dispatcher")
        env.setdefault("GSETTINGS_BACKEND", "memory")
        self.process = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(HERE, "orca-logged.py"), self.log_path, prefs],
            stdout=open(os.path.join(WORK, "orca.out"), "w"), stderr=subprocess.STDOUT, env=env)
        _children.append(self.process)
        self.heard = []  # every utterance so far, in order
        self.focus = []  # every object Orca's focus went to, as (role, name)
        self.cursor = 0  # utterances before it have been matched or passed over
        self._offset = 0
        self.expect(r"^Screen reader on\.$", "Orca to start")

    def _read(self):
        if not os.path.exists(self.log_path):
            return
        with open(self.log_path, "rb") as log:
            log.seek(self._offset)
            chunk = log.read()
        complete = chunk[: chunk.rfind(b"\n") + 1]  # a line still being written waits
        self._offset += len(complete)
        for line in complete.decode("utf-8", errors="replace").splitlines():
            found = _SPOKEN.search(line)
            if found:
                self.heard.append(found.group(1))
            moved = _FOCUS.search(line)
            if moved:
                self.focus.append((moved.group(1), moved.group(2)))

    def settle(self, quiet_s=QUIET_S):
        """Waits until Orca has logged nothing for quiet_s: it has dealt with every event that came
        before (it logs events well after they happen, and nothing while idle)."""
        end = time.monotonic() + TIMEOUT_S
        size, since = -1, time.monotonic()
        while time.monotonic() < end:
            now = os.path.getsize(self.log_path) if os.path.exists(self.log_path) else 0
            if now != size:
                size, since = now, time.monotonic()
            elif time.monotonic() - since >= quiet_s:
                return
            time.sleep(0.05)

    def mark(self):
        """Passes over what has been said so far: expect() looks only at what comes after."""
        self._read()
        self.cursor = len(self.heard)

    def expect(self, pattern, what=None, timeout_s=TIMEOUT_S):
        """Waits until Orca says something matching pattern (a regular expression, searched in
        each utterance after the cursor) and returns it; the cursor moves past it."""
        regex = re.compile(pattern)

        def found():
            if self.process.poll() is not None:
                raise Failure(f"Orca ended with status {self.process.returncode}")
            self._read()
            for index in range(self.cursor, len(self.heard)):
                if regex.search(self.heard[index]):
                    self.cursor = index + 1
                    return self.heard[index]
            return None

        try:
            said = wait_until(found, what or pattern, timeout_s)
        except Failure as failure:
            recent = self.heard[max(0, len(self.heard) - 15):]
            raise Failure(f"{failure}; Orca's last words: {recent}") from None
        print(f"  Orca: {said!r}")
        return said

    def expect_all(self, patterns, what=None, timeout_s=TIMEOUT_S):
        """Waits until Orca has said something matching each pattern, in any order, after the
        cursor (things said for one key press come in an order of Orca's own); the cursor moves
        past the last of them. Returns the utterances, in the order of the patterns."""
        regexes = [re.compile(pattern) for pattern in patterns]

        def found():
            if self.process.poll() is not None:
                raise Failure(f"Orca ended with status {self.process.returncode}")
            self._read()
            hits = []
            for regex in regexes:
                index = next((i for i in range(self.cursor, len(self.heard)) if regex.search(self.heard[i])), None)
                if index is None:
                    return None
                hits.append(index)
            return hits

        try:
            hits = wait_until(found, what or " and ".join(patterns), timeout_s)
        except Failure as failure:
            recent = self.heard[max(0, len(self.heard) - 15):]
            raise Failure(f"{failure}; Orca's last words: {recent}") from None
        self.cursor = max(hits) + 1
        said = [self.heard[i] for i in hits]
        for line in said:
            print(f"  Orca: {line!r}")
        return said

    def press(self, key_name, pattern, what=None):
        """Presses key_name, and waits until Orca says something matching pattern after it.

        While a screen reader listens, Qt hands each key to the AT-SPI registry and holds it until
        the registry answers, or until a timeout flushes the keys held. On a loaded machine a key
        can stay held until the next one comes: after NUDGE_S without the effect, a Shift (which
        does nothing here) is pressed to release it; the key itself is never pressed twice."""
        self.mark()
        key(key_name)
        try:
            return self.expect(pattern, what, timeout_s=NUDGE_S)
        except Failure:
            key("shift")
            return self.expect(pattern, what)

    def tab_to(self, name_pattern, key_name="Tab", limit=40):
        """Presses key_name (Tab, shift+Tab) until the focus, as Orca follows it, reaches an
        object whose name matches name_pattern; waits for each move. Returns its (role, name).
        A Tab held back (see press) is followed by another: the search goes round the window."""
        regex = re.compile(name_pattern)
        for _ in range(limit):
            # A focus change still on its way from before this Tab would be taken for its move.
            self.settle()
            self.mark()  # what it says of the control reached comes after
            seen = len(self.focus)

            def moved():
                # A window taking the focus back (after a dialog) is no move of Tab's.
                self._read()
                return any(role not in WINDOW_ROLES for role, _ in self.focus[seen:])

            key(key_name)
            try:
                wait_until(moved, f"the focus to move on {key_name}", NUDGE_S)
            except Failure:
                continue
            role, name = next(f for f in reversed(self.focus) if f[0] not in WINDOW_ROLES)
            if regex.search(name):
                print(f"  focus: {role} {name!r}")
                return role, name
        raise Failure(f"{key_name} pressed {limit} times never reached {name_pattern}")

    def said_since_mark(self):
        self._read()
        return self.heard[self.cursor:]


def run(steps):
    """Runs the script's steps, printing each; returns the exit status for sys.exit."""
    try:
        steps()
    except Failure as failure:
        print(f"{os.path.basename(sys.argv[0])}: {failure}", file=sys.stderr)
        return 1
    return 0
