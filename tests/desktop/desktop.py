"""A real desktop for Cindral's desktop tests: an X server (Xvfb) with a
window manager (openbox), the `cindral` program on it, and the user's real
mouse and keyboard through xdotool (XTest events that go through the X server
and the window manager like a person's).

The program is started with CINDRAL_DESKTOP_PROBE, so it writes what a person
sees of its windows to a state file: each control's dump line and its place on
the screen, computed from the window model's twips and the window's origin.
The tests find controls there, move the real mouse to them, and read the same
file to see what the input did. Screenshots of the whole screen go to the
output folder, one per step, for a person to look at."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN = "1600x1000x24"
WAIT_SECONDS = 20.0
POLL_SECONDS = 0.05

_FIELD = re.compile(r'(\w+)=("(?:[^"\\]|\\.)*"|\S+)')


def _unquote(value):
    if not value.startswith('"'):
        return value
    body, out, i = value[1:-1], [], 0
    while i < len(body):
        if body[i] == "\\" and i + 1 < len(body):
            out.append({"t": "\t", "r": "\r", "n": "\n"}.get(body[i + 1], body[i + 1]))
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


def _fields(text):
    return {key: _unquote(value) for key, value in _FIELD.findall(text)}


class Control:
    """One control as the state file shows it."""

    def __init__(self, kind, name, fields):
        self.kind, self.name, self.fields = kind, name, fields
        self.rect = None  # x, y, width, height on the screen
        self.entries = []  # list and combo entries; grid rows as lists of cells
        self.cols = {}  # grid column: (x, width)
        self.rows = {}  # grid row shown: (y, height)
        self.items = []  # list box rows shown: (text, (x, y, width, height))

    @property
    def visible(self):
        return self.fields.get("visible") == "1"

    @property
    def enabled(self):
        return self.fields.get("enabled") == "1"

    def value(self, key):
        return self.fields.get(key)

    def centre(self):
        x, y, w, h = self.rect
        return x + w // 2, y + h // 2

    def cell(self, row, col):
        return self.entries[row][col] if row < len(self.entries) and col < len(self.entries[row]) else ""

    def cell_centre(self, row, col):
        x, w = self.cols[col]
        y, h = self.rows[row]
        return x + w // 2, y + h // 2

    def item_centre(self, text):
        for shown, (x, y, w, h) in self.items:
            if shown == text:
                return x + w // 2, y + h // 2
        raise AssertionError(f"{self.name} shows no row {text!r}")

    def row_of(self, col, text):
        for index, cells in enumerate(self.entries):
            if index > 0 and col < len(cells) and cells[col] == text:
                return index
        raise AssertionError(f"{self.name}: no row with {text!r} in column {col}")


class State:
    """The whole state file, parsed."""

    def __init__(self, text):
        self.text = text
        self.windows, self.controls, self.hosts, self.popup = {}, {}, [], []
        self.active, self.focus, self.qtfocus, self.modal = None, None, None, None
        current = None
        for line in text.splitlines():
            if line.startswith("  ") and current is not None:
                index, _, rest = line[2:].partition("\t")
                cells = rest.split("\t")
                current.entries.append(cells if current.kind == "grid" else rest)
                continue
            word, _, rest = line.partition(" ")
            if word == "window":
                name = rest.split(" ", 1)[0]
                self.windows[name] = _fields(rest)
                current = None
            elif word == "rect":
                name, *numbers = rest.split(" ")
                self.controls[name].rect = tuple(int(n) for n in numbers)
            elif word in ("cols", "rows"):
                name, *parts = rest.split(" ")
                target = self.controls[name].cols if word == "cols" else self.controls[name].rows
                for part in parts:
                    key, at, size = (int(n) for n in part.split(":"))
                    target[key] = (at, size)
            elif word == "active":
                parts = rest.split(" ")
                self.active = parts[0]
                self.focus = f"{parts[0]}.{parts[1]}" if len(parts) > 1 else None
            elif word == "qtfocus":
                self.qtfocus = rest
            elif word == "modal":
                self.modal = _fields(rest)
            elif word == "popup":
                match = re.match(r'(\d+) ("(?:[^"\\]|\\.)*") (-?\d+) (-?\d+) (\d+) (\d+)', rest)
                row, text, x, y, w, h = match.groups()
                self.popup.append((_unquote(text), (int(x), int(y), int(w), int(h))))
            elif word == "item":
                match = re.match(r'(\S+) ("(?:[^"\\]|\\.)*") (-?\d+) (-?\d+) (\d+) (\d+)', rest)
                name, text, x, y, w, h = match.groups()
                self.controls[name].items.append((_unquote(text), (int(x), int(y), int(w), int(h))))
            elif word == "host":
                fields = _fields(rest)
                view = [float(n) for n in fields["view"].split(",")]
                centre = [float(n) for n in fields["center"].split(",")]
                fields["view"], fields["center"], fields["scale"] = view, centre, float(fields["scale"])
                self.hosts.append(fields)
            elif "." in rest.split(" ", 1)[0]:
                name = rest.split(" ", 1)[0]
                current = Control(word, name, _fields(rest))
                self.controls[name] = current
            else:
                current = None

    def control(self, name):
        if name not in self.controls:
            raise AssertionError(f"{name} is not on the screen")
        return self.controls[name]

    def window_visible(self, name):
        window = self.windows.get(name)
        return window is not None and window.get("loaded") == "1" and window.get("visible") == "1"


class Desktop:
    """An X display with openbox, and the `cindral` program started on it."""

    def __init__(self, output_dir, name):
        self.output_dir = os.path.join(output_dir, name)
        shutil.rmtree(self.output_dir, ignore_errors=True)
        os.makedirs(self.output_dir)
        self.work = tempfile.mkdtemp(prefix="cindral-desktop-")
        self.probe = os.path.join(self.work, "probe.txt")
        self.shots = 0
        self.program = None
        self._start_display()

    # ---- the X server and the window manager ----

    def _start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ)
        self.env.update({"DISPLAY": ":" + number, "XDG_CONFIG_HOME": os.path.join(self.work, "config"),
                         "XDG_RUNTIME_DIR": self.work, "CINDRAL_DESKTOP_PROBE": self.probe,
                         "HOME": self.work})
        self.env.pop("QT_QPA_PLATFORM", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False), "the window manager to start")

    def _run(self, command, check=True):
        done = subprocess.run(command, env=self.env, capture_output=True, text=True)
        if check and done.returncode != 0:
            raise RuntimeError(f"{command}: {done.stderr.strip()}")
        return done.stdout

    def close(self):
        if self.program is not None and self.program.poll() is None:
            self.program.send_signal(signal.SIGTERM)
            try:
                self.program.wait(5)
            except subprocess.TimeoutExpired:
                self.program.kill()
        for process in (self.wm, self.xvfb):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(self.work, ignore_errors=True)

    # ---- the program ----

    def start(self, program, *arguments):
        self.stdout = open(os.path.join(self.output_dir, "program.log"), "w")
        self.program = subprocess.Popen([program, *arguments], env=self.env, cwd=self.work,
                                        stdout=self.stdout, stderr=subprocess.STDOUT)

    def exit_status(self, seconds=WAIT_SECONDS):
        try:
            return self.program.wait(seconds)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end") from None

    def running(self):
        return self.program.poll() is None

    def state(self):
        try:
            with open(self.probe, encoding="utf-8") as file:
                return State(file.read())
        except FileNotFoundError:
            return State("")

    def wait(self, condition, what, seconds=WAIT_SECONDS):
        """Waits until `condition()` (given the state where it takes one) is
        true, and returns the state then."""
        deadline = time.monotonic() + seconds
        while True:
            state = self.state()
            try:
                met = condition(state)
            except TypeError:
                met = condition()
            except (AssertionError, KeyError, IndexError):
                met = False
            if met:
                return state
            if self.program is not None and self.program.poll() is not None and what != "the end":
                raise AssertionError(f"the program ended while waiting for {what}")
            if time.monotonic() > deadline:
                self.screenshot("timeout")
                with open(os.path.join(self.output_dir, "timeout-state.txt"), "w", encoding="utf-8") as file:
                    file.write(state.text)
                raise AssertionError(f"timed out waiting for {what}")
            time.sleep(POLL_SECONDS)

    def settle(self, seconds=0.3):
        """Waits until what the screen shows has not changed for `seconds`,
        as a person waits for windows to stop moving before clicking."""
        deadline = time.monotonic() + WAIT_SECONDS
        last, since = None, time.monotonic()
        while time.monotonic() < deadline:
            text = self.state().text
            if text != last:
                last, since = text, time.monotonic()
            elif time.monotonic() - since >= seconds:
                return self.state()
            time.sleep(POLL_SECONDS)
        raise AssertionError("the screen never settled")

    # ---- the user's hands and eyes ----

    def click(self, x, y, button=1, double=False):
        self._run(["xdotool", "mousemove", "--sync", str(x), str(y)])
        time.sleep(0.05)
        self._run(["xdotool", "click", "--repeat", "2" if double else "1", "--delay", "80", str(button)])

    def click_control(self, name):
        self.click(*self.state().control(name).centre())

    def click_cell(self, grid, row, col):
        self.click(*self.state().control(grid).cell_centre(row, col))

    def choose_in_popup(self, combo, text):
        """Opens a combo's drop-down with a click on its arrow and clicks the entry."""
        x, y, w, h = self.state().control(combo).rect
        self.click(x + w - 8, y + h // 2)
        state = self.wait(lambda s: any(entry == text for entry, _ in s.popup), f"the drop-down of {combo}")
        x, y, w, h = next(rect for entry, rect in state.popup if entry == text)
        self.click(x + w // 2, y + h // 2)

    def key(self, *keys):
        self._run(["xdotool", "key", "--delay", "60", *keys])

    def type(self, text):
        self._run(["xdotool", "type", "--delay", "80", text])

    def window_ids(self, title_pattern):
        out = self._run(["xdotool", "search", "--onlyvisible", "--name", title_pattern], check=False)
        return [line for line in out.split() if line]

    def activate(self, title_pattern):
        """Brings the window whose title matches to the front as a click on
        its task bar entry would (through the window manager)."""
        self.wait(lambda: self.window_ids(title_pattern), f"a window titled {title_pattern!r}")
        ids = self.window_ids(title_pattern)
        self._run(["xdotool", "windowactivate", "--sync", ids[0]])
        time.sleep(0.2)

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.output_dir, f"{self.shots:02d}-{name}.png")
        self._run(["import", "-window", "root", path], check=False)
        return path
