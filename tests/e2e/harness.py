"""Runs the real pinwhirl binary under X with real input, for the end-to-end tests.

Each game runs in a fresh temporary directory that holds the scene list, the scene
files and the meshes a test writes. Its standard output and standard error are
captured separately; input goes through xdotool to the X display in $DISPLAY, and
screenshots come from ImageMagick's `import`.

Keys are read by the game as state once per frame, so a key must be held for a
few frames to be seen at all, and a held key acts on every frame. For F12 and F5,
which end a level, a test can make the next scene file a named pipe ("gated"):
the game then waits inside its scene load until the test feeds the file, by which
time the key has been released and the next level sees it up. Every key press
therefore ends exactly one level. Input sent while the game waits reaches the next
level's first frame all at once, which makes same-frame cases deterministic.

Every test runs once per SDL 1.2 runtime: the classic library the game was built
against, and sdl12-compat through LD_LIBRARY_PATH.
"""

import errno
import fcntl
import faulthandler
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
import types
import unittest

COMPAT_DIR = "/usr/lib/x86_64-linux-gnu/sdl12-compat"

# Messages of the game, for building transcripts.
LOADING_LIST = "loading list of scenes...\n"
LIST_LOADED = "done loading scene list\n"
DONE = "\n....Done....\n"
UNLOADING = "unloading scene...\n"
COMPLETED = "completed game...\n"
PRIOR_TO_PINS = "error in scene file somewhere prior to pin specific information\n"
PINS_SHORT = "file didn't contain enough correctly formatted information about pins\n"
BAD_LIST = "Error in scene list file, scenelist.txt\n"
MESH_ERROR = ("encountered file error, possibly an invalid first line\nor an invalid file\n"
              " or no file\nor something else\nwhen trying to load %s")

# A pause or resume locks the next change out for a quarter second; wait a little longer.
DEBOUNCE = 0.35

# Stands for the three OpenGL identification lines, whose values vary.
GL_LINES = "<OpenGL vendor, renderer and version>\n"
GL_PATTERN = re.compile(r"OpenGL Vendor:   [^\n]+\nOpenGL Renderer: [^\n]+\nOpenGL Version:  [^\n]+\n")


def loaded(name):
    return "done loading scene from file %s\n" % name


def scenes(n):
    return "%d scenes\n" % n


class Runtime:
    def __init__(self, name, env):
        self.name = name
        self.env = env

    def available(self):
        return self.name == "classic" or os.path.exists(os.path.join(COMPAT_DIR, "libSDL-1.2.so.0"))


RUNTIMES = [Runtime("classic", {}), Runtime("compat", {"LD_LIBRARY_PATH": COMPAT_DIR})]


# ---------------------------------------------------------------------------
# Data files

def fmt(v):
    return "%g" % v


def triple(label, v):
    return "%s [%s, %s, %s]\n" % (label, fmt(v[0]), fmt(v[1]), fmt(v[2]))


def meshText(triangles):
    """A mesh file: triangles are (normal, [(colour, position)] * 3), ending with a line break."""
    out = ["triangles %d\n" % len(triangles)]
    for normal, corners in triangles:
        out.append(triple("normal", normal))
        for colour, pos in corners:
            out.append("colour [%d, %d, %d]\n" % tuple(colour))
            out.append(triple("position", pos))
    return "".join(out)


def rectangle(x0, y0, x1, y1, z, colour):
    """Two upward-facing triangles covering x0..x1, y0..y1 at height z, counter-clockwise from above."""
    a, b, c, d = (x0, y0, z), (x1, y0, z), (x1, y1, z), (x0, y1, z)
    return [((0, 0, 1), [(colour, a), (colour, b), (colour, c)]),
            ((0, 0, 1), [(colour, a), (colour, c), (colour, d)])]


def octahedron(r, colour, height=None):
    """A closed octahedron around the origin, every face counter-clockwise seen from outside."""
    h = r if height is None else height
    tris = []
    for sx in (1, -1):
        for sy in (1, -1):
            for sz in (1, -1):
                x, y, z = (sx * r, 0, 0), (0, sy * r, 0), (0, 0, sz * h)
                order = (x, y, z) if sx * sy * sz > 0 else (x, z, y)
                tris.append(((sx, sy, sz), [(colour, p) for p in order]))
    return tris


def sceneText(background=(0.2, 0.2, 0.4), text=(1.0, 1.0, 0.0), lowest=-5.0, world="world.txt",
              collide="collide.txt", camera=(0, -12, 3), ball=((0, -8, 0.5), 0.5, 5.0, "ball.txt"),
              pins=(((0, 1, 0.5), 0.5, 1.0, "pin.txt"),), pinCount=None):
    """A scene file, one entry to a line; ball and each pin are (location, radius, mass, mesh)."""
    out = [triple("background", background), triple("text", text), "lowest %s\n" % fmt(lowest),
           "world %s\n" % world, "collide %s\n" % collide, triple("camera", camera),
           "pins %d\n" % (len(pins) if pinCount is None else pinCount)]
    for label, (loc, radius, mass, mesh) in [("ball", ball)] + [("pin", p) for p in pins]:
        out += [triple(label, loc), "radius %s\n" % fmt(radius), "mass %s\n" % fmt(mass),
                "mesh %s\n" % mesh]
    return "".join(out)


def sceneList(names, count=None):
    n = len(names) if count is None else count
    return "scenes %d\n" % n + "".join("level%d %s\n" % (i, name) for i, name in enumerate(names))


# Colours of the standard meshes, chosen far from each other and from the text colour.
FLOOR = (0, 200, 0)
BALL = (220, 0, 0)
PIN = (255, 255, 255)


def laneMeshes(floorEnd=2.0):
    """A lane from y -10 to floorEnd, 6 wide, at height 0; beyond its end a pit.

    The ball and the pins are octahedra (radius 0.5) coloured BALL and PIN, the lane FLOOR.
    """
    lane = meshText(rectangle(-3, -10, 3, floorEnd, 0, FLOOR))
    return {"world.txt": lane, "collide.txt": lane,
            "ball.txt": meshText(octahedron(0.5, BALL)), "pin.txt": meshText(octahedron(0.5, PIN))}


# ---------------------------------------------------------------------------
# Screenshots

class Shot:
    """A screenshot of the whole X screen; (x, y) from the top-left corner."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def count(self, x0, y0, x1, y1, predicate):
        """Pixels in x0 <= x < x1, y0 <= y < y1 for which predicate((r, g, b)) holds."""
        n = 0
        for y in range(y0, y1):
            row = self.data[3 * (y * self.width + x0):3 * (y * self.width + x1)]
            n += sum(1 for p in zip(row[0::3], row[1::3], row[2::3]) if predicate(p))
        return n


def near(colour, tolerance=12):
    """A predicate for pixels within tolerance of colour, per component (16-bit modes round)."""
    return lambda p: all(abs(a - b) <= tolerance for a, b in zip(p, colour))


def unitColour(c):
    return tuple(round(255 * v) for v in c)


def readPpm(data):
    # P6, width, height, maxval, then one white-space byte and the pixels.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("unexpected screenshot format %r" % fields)
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + 3 * width * height]
    return Shot(width, height, pixels)


# ---------------------------------------------------------------------------
# The game process

class Game:
    """One run of the binary in its own directory.

    files maps file names to their text; gated maps names of scene files to their text:
    those are named pipes that the game can read only after the test calls feed(name).
    """

    def __init__(self, runtime, files, gated=None, args=(), display=True, env=None, wrapper=()):
        self.runtime = runtime
        self.dir = tempfile.TemporaryDirectory(prefix="pinwhirl-e2e-")
        for name, text in files.items():
            with open(os.path.join(self.dir.name, name), "w") as f:
                f.write(text)
        self.gated = dict(gated or {})
        for name in self.gated:
            os.mkfifo(os.path.join(self.dir.name, name))
        self.env = dict(os.environ)
        self.env.pop("SDL_VIDEODRIVER", None)
        self.env.pop("CACA_DRIVER", None)
        self.env.pop("LD_LIBRARY_PATH", None)
        self.env.update(runtime.env)
        # Sanitizer builds name a library to keep loaded in the game (not in the tools).
        if os.environ.get("PINWHIRL_PRELOAD"):
            self.env["LD_PRELOAD"] = os.environ["PINWHIRL_PRELOAD"]
        if not display:
            self.env.pop("DISPLAY", None)
        self.env.update(env or {})
        self.out = bytearray()
        self.err = bytearray()
        self.cursor = 0
        self.cond = threading.Condition()
        self.feeders = []
        self.stopFeeding = threading.Event()
        command = list(wrapper) + [os.environ["PINWHIRL_BIN"]] + list(args)
        self.proc = subprocess.Popen(command, cwd=self.dir.name, env=self.env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, start_new_session=True)
        self.readers = [threading.Thread(target=self._read, args=(self.proc.stdout, self.out), daemon=True),
                        threading.Thread(target=self._read, args=(self.proc.stderr, self.err), daemon=True)]
        for r in self.readers:
            r.start()

    def _read(self, pipe, buf):
        fd = pipe.fileno()
        while True:
            chunk = os.read(fd, 65536)
            with self.cond:
                if not chunk:
                    self.cond.notify_all()
                    return
                buf += chunk
                self.cond.notify_all()

    # --- output

    def stdout(self):
        with self.cond:
            return self.out.decode("utf-8", "replace")

    def stderr(self):
        with self.cond:
            return self.err.decode("utf-8", "replace")

    def running(self):
        return self.proc.poll() is None

    def waitFor(self, text, timeout=10.0):
        """Waits until text appears on standard output after what earlier waits consumed."""
        needle = text.encode()
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                i = self.out.find(needle, self.cursor)
                if i >= 0:
                    self.cursor = i + len(needle)
                    return
                left = deadline - time.monotonic()
                if left <= 0 or (self.proc.poll() is not None and not self._readersAlive()):
                    raise AssertionError("game did not print %r within %.1f s (%s); stdout so far:\n%s"
                                         "\nstderr:\n%s" % (text, timeout, self._status(), self.out.decode(
                                             "utf-8", "replace"), self.err.decode("utf-8", "replace")))
                self.cond.wait(min(left, 0.1))

    def _readersAlive(self):
        return any(r.is_alive() for r in self.readers)

    def _status(self):
        rc = self.proc.poll()
        return "still running" if rc is None else "exited with status %d" % rc

    def assertQuiet(self, seconds):
        """Asserts that for the given time the game keeps running and prints nothing new."""
        time.sleep(seconds)
        with self.cond:
            extra = self.out[self.cursor:].decode("utf-8", "replace")
        if extra or not self.running():
            raise AssertionError("expected the game to run on silently; %s, new output %r"
                                 % (self._status(), extra))

    def waitExit(self, timeout=10.0):
        try:
            rc = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("game did not exit within %.1f s; stdout:\n%s" % (timeout, self.stdout()))
        for r in self.readers:
            r.join(5)
        return rc

    # --- gated scene files

    def feed(self, name, timeout=10.0):
        """Lets the game read the gated file name once, as soon as it opens it."""
        path = os.path.join(self.dir.name, name)
        data = self.gated[name].encode()
        t = threading.Thread(target=self._feed, args=(path, data, time.monotonic() + timeout), daemon=True)
        t.start()
        self.feeders.append(t)

    def _feed(self, path, data, deadline):
        while not self.stopFeeding.is_set() and time.monotonic() < deadline:
            try:
                fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
            except OSError as e:
                if e.errno != errno.ENXIO:
                    raise
                time.sleep(0.002)
                continue
            try:
                fcntl.fcntl(fd, fcntl.F_SETFL, fcntl.fcntl(fd, fcntl.F_GETFL) & ~os.O_NONBLOCK)
                os.write(fd, data)
            except BrokenPipeError:
                pass
            finally:
                os.close(fd)
            return

    # --- input

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=10)

    def hold(self, key, seconds=0.1):
        """Holds a key (xdotool name, e.g. F12, ctrl+q) down for a few frames.

        A tenth of a second is several frames even for a slow game, and shorter than the
        quarter second that locks out a second pause or resume.
        """
        self.xdotool("keydown", key, "sleep", seconds, "keyup", key)

    def pressUntil(self, key, predicate, what, attempts=4):
        """Presses a pause or resume key until the screen shows what predicate looks for.

        The game ignores such a key for a quarter second after the last change, counted in
        frame time, and a frame held up for longer (a screenshot can do that) counts as no
        time, so an early press is lawfully ignored and is repeated.
        """
        for attempt in range(attempts):
            self.hold(key)
            try:
                return self.waitShot(predicate, timeout=1.5, what=what)
            except AssertionError:
                if attempt == attempts - 1:
                    raise
                time.sleep(DEBOUNCE)

    def holdUntil(self, key, text, timeout=10.0):
        """Holds a key down until text appears on standard output, however slow the frames."""
        self.xdotool("keydown", key)
        try:
            self.waitFor(text, timeout)
        finally:
            self.xdotool("keyup", key)

    def click(self, button=1, seconds=0.05):
        self.xdotool("mousedown", button, "sleep", seconds, "mouseup", button)

    def drag(self, dx, dy, steps=10, stepTime=0.03, start=(320, 400)):
        """A throw: the pointer moved first, then the left button pressed, moved in steps, released."""
        args = ["mousemove", start[0], start[1], "sleep", 0.1, "mousemove_relative", "--", 1, 1, "sleep", 0.1,
                "mousedown", 1, "sleep", 0.05]
        for _ in range(steps):
            args += ["mousemove_relative", "--", dx // steps, dy // steps, "sleep", stepTime]
        args += ["mouseup", 1]
        self.xdotool(*args)

    def signal(self, sig):
        if self.running():
            self.proc.send_signal(sig)

    # --- screen

    def screenshot(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                              stdout=subprocess.PIPE, timeout=20).stdout
        return readPpm(data)

    def waitShot(self, predicate, timeout=5.0, what="the expected picture"):
        """Takes screenshots until predicate(shot) holds; returns that shot."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.screenshot()
            if predicate(shot):
                return shot
            if time.monotonic() > deadline:
                raise AssertionError("screen never showed %s within %.1f s (%s)"
                                     % (what, timeout, self._status()))
            time.sleep(0.1)

    def waitDrawn(self, timeout=10.0):
        """Waits until frames are being drawn (the frame rate shows), so that input reaches the game.

        Keys pressed while the window is still being set up can be lost, with sdl12-compat above all.
        """
        import screen
        self.waitShot(lambda shot: screen.hasText(shot, screen.FPS), timeout, "the frame rate line")

    # --- end

    def close(self):
        self.stopFeeding.set()
        if self.running():
            os.kill(self.proc.pid, signal.SIGKILL)
        self.proc.wait(10)
        for r in self.readers:
            r.join(5)
        for t in self.feeders:
            t.join(1)
        self.proc.stdout.close()
        self.proc.stderr.close()
        self.dir.cleanup()


# ---------------------------------------------------------------------------
# Test cases

class GameTests:
    """Mixin for test cases that run the game; main() makes one TestCase per runtime."""

    runtime = None

    def launch(self, files, gated=None, args=(), display=True, env=None, wrapper=()):
        """Starts the game; wrapper is a command to run it under (a debugger, valgrind)."""
        game = Game(self.runtime, files, gated=gated, args=args, display=display, env=env, wrapper=wrapper)
        self.addCleanup(game.close)
        return game

    def startLevel(self, files, first, gated=None, args=()):
        """Starts the game and waits for its first level, named first, to be loaded."""
        game = self.launch(files, gated=gated, args=args)
        if gated and first in gated:
            game.feed(first)
        game.waitFor(loaded(first))
        game.waitDrawn()
        return game

    def assertTranscript(self, actual, expected):
        """Compares a whole standard output; GL_LINES in expected stands for the OpenGL lines."""
        normalised = GL_PATTERN.sub(GL_LINES, actual, count=1) if GL_LINES in expected else actual
        self.assertEqual(normalised, expected)

    def assertExits(self, game, expected, status=0, timeout=10.0, quietStderr=True):
        """Waits for the game to end; checks its whole stdout, its status and its empty stderr."""
        rc = game.waitExit(timeout)
        self.assertTranscript(game.stdout(), expected)
        self.assertEqual(rc, status, "exit status; stderr:\n" + game.stderr())
        if quietStderr:
            self.assertEqual(game.stderr(), "", "nothing goes to standard error")

    def assertHoldEndsLevel(self, game, key, nextScene):
        """Holds key (F12 or F5) until the level unloads, then lets the gated nextScene load.

        The game cannot start nextScene before it is fed, so the key acts exactly once.
        """
        game.holdUntil(key, UNLOADING)
        game.feed(nextScene)
        game.waitFor(loaded(nextScene))


def holdDisplay(timeout=10.0):
    """Opens a connection to $DISPLAY and keeps it for the whole run.

    An X server resets itself when its last client leaves, and refuses connections while it
    does: without a client of our own, a game started just after another one ended could
    find no display at all.
    """
    import ctypes
    import ctypes.util
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    deadline = time.monotonic() + timeout
    while True:
        connection = x11.XOpenDisplay(None)
        if connection:
            return connection
        if time.monotonic() > deadline:
            sys.exit("cannot open the X display %s" % os.environ["DISPLAY"])
        time.sleep(0.05)


def main():
    """Runs every GameTests class of the calling script once per runtime; exits non-zero on failure."""
    faulthandler.dump_traceback_later(300, exit=True)
    if os.environ.get("DISPLAY"):
        global displayConnection
        displayConnection = holdDisplay()
    script = sys.modules["__main__"]
    if "PINWHIRL_BIN" not in os.environ:
        sys.exit("PINWHIRL_BIN must name the pinwhirl binary")
    suite = types.ModuleType("suite")
    for name, cls in list(vars(script).items()):
        if isinstance(cls, type) and issubclass(cls, GameTests) and cls is not GameTests:
            for rt in RUNTIMES:
                attrs = {"runtime": rt, "__module__": script.__name__}
                if not rt.available():
                    attrs["setUp"] = lambda self: self.skipTest("sdl12-compat is not installed")
                caseName = "%s_%s" % (name, rt.name)
                setattr(suite, caseName, type(caseName, (cls, unittest.TestCase), attrs))
    unittest.main(module=suite, verbosity=2)
