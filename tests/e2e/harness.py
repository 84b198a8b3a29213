"""Runs the real pinwhirl binary under the X display in $DISPLAY with real input (xdotool).

Each game runs in a fresh folder holding the files a test writes; standard output
and standard error are collected as they come. Keys are read by the game as state
once a frame, so a key is held until the game answers. A scene file can be "gated":
a named pipe the game can read only once the test feeds it, so that a key held to
end a level is up before the next level's first frame, and acts exactly once.

Each test runs once per SDL 1.2 runtime named in $PINWHIRL_RUNTIMES (classic, the
library the game was built against, and compat, sdl12-compat)."""

import os
import re
import subprocess
import tempfile
import threading
import time
import unittest

RUNTIMES = {"classic": {}, "compat": {"LD_LIBRARY_PATH": "/usr/lib/x86_64-linux-gnu/sdl12-compat"}}
GL_LINES = re.compile(r"OpenGL Vendor:   [^\n]+\nOpenGL Renderer: [^\n]+\nOpenGL Version:  [^\n]+\n")
START = "loading list of scenes...\n%d scenes\ndone loading scene list\n<GL>\n"
UNLOADING, COMPLETED, DONE = "unloading scene...\n", "completed game...\n", "\n....Done....\n"


def loaded(name):
    return "done loading scene from file %s\n" % name


def triple(label, v):
    return "%s [%s]\n" % (label, ", ".join("%g" % x for x in v))


def mesh(triangles):
    """Triangles as (normal, [(colour, position)] * 3), ending with a line break."""
    out = "t %d\n" % len(triangles)
    for normal, corners in triangles:
        out += triple("n", normal) + "".join(triple("c", c) + triple("p", p) for c, p in corners)
    return out


def octahedron(r, colour):
    """Closed around the origin, every face counter-clockwise seen from outside."""
    tris = []
    for sx in (1, -1):
        for sy in (1, -1):
            for sz in (1, -1):
                x, y, z = (sx * r, 0, 0), (0, sy * r, 0), (0, 0, sz * r)
                tris.append(((sx, sy, sz), [(colour, p) for p in ((x, y, z) if sx * sy * sz > 0 else (x, z, y))]))
    return tris


def level(pins=((0, 1, 0.5),), lowest=-5):
    """A lane 6 wide from y -10 to 2 at height 0, a pit beyond; the ball at y -8, pins of radius 0.5."""
    out = triple("background", (0.1, 0.3, 0.5)) + triple("text", (1, 1, 0)) + "lowest %g\n" % lowest
    out += "world lane.txt\ncollide lane.txt\n" + triple("camera", (0, -12, 3)) + "pins %d\n" % len(pins)
    for at, radius, mass, name in [((0, -8, 0.5), 0.5, 5, "ball.txt")] + [(p, 0.5, 1, "pin.txt") for p in pins]:
        out += triple("at", at) + "radius %g\nmass %g\nmesh %s\n" % (radius, mass, name)
    return out


def pack(names, **levelArgs):
    a, b, c, d = (-3, -10, 0), (3, -10, 0), (3, 2, 0), (-3, 2, 0)
    files = {"lane.txt": mesh([((0, 0, 1), [((0, 200, 0), p) for p in (a, b, c)]),
                               ((0, 0, 1), [((0, 200, 0), p) for p in (a, c, d)])]),
             "ball.txt": mesh(octahedron(0.5, (220, 0, 0))), "pin.txt": mesh(octahedron(0.5, (255, 255, 255))),
             "scenelist.txt": "scenes %d\n" % len(names) + "".join("l %s\n" % n for n in names)}
    files.update({n: level(**levelArgs) for n in names})
    return files


class Game:
    def __init__(self, runtime, files, gated=(), args=(), env=None, command=None):
        """command, given the pack folder's name, makes the command line to run from the folder's
        parent (a launcher's); by default the game binary runs in the folder."""
        self.dir = tempfile.TemporaryDirectory(prefix="pinwhirl-e2e-")
        self.gated = {}
        for name, text in files.items():
            path = os.path.join(self.dir.name, name)
            if name in gated:
                os.mkfifo(path)
                self.gated[name] = text
            else:
                with open(path, "w") as f:
                    f.write(text)
        environment = dict(os.environ, **RUNTIMES[runtime])
        if os.environ.get("PINWHIRL_PRELOAD"):
            environment["LD_PRELOAD"] = os.environ["PINWHIRL_PRELOAD"]
        environment.update(env or {})
        environment = {k: v for k, v in environment.items() if v is not None}
        start, cwd = (command(os.path.basename(self.dir.name)), os.path.dirname(self.dir.name)) if command else (
            [os.environ["PINWHIRL_BIN"]], self.dir.name)
        self.proc = subprocess.Popen(start + list(args), cwd=cwd, env=environment,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.out, self.err, self.seen = b"", b"", 0
        self.readers = [threading.Thread(target=self.read, args=(p, k), daemon=True)
                        for p, k in ((self.proc.stdout, "out"), (self.proc.stderr, "err"))]
        for r in self.readers:
            r.start()

    def read(self, pipe, which):
        for chunk in iter(lambda: os.read(pipe.fileno(), 65536), b""):
            setattr(self, which, getattr(self, which) + chunk)

    def waitFor(self, text, timeout=10):
        """Waits until text appears on standard output after what earlier waits saw."""
        deadline = time.monotonic() + timeout
        while (i := self.out.find(text.encode(), self.seen)) < 0:
            if time.monotonic() > deadline or self.proc.poll() is not None and not self.readers[0].is_alive():
                raise AssertionError("no %r in:\n%s\nstderr:\n%s" % (text, self.out.decode(), self.err.decode()))
            time.sleep(0.01)
        self.seen = i + len(text)

    def feed(self, name):
        """Lets the game read the gated file once, as soon as it opens it."""
        def write():
            with open(os.path.join(self.dir.name, name), "w") as f:
                f.write(self.gated[name])
        threading.Thread(target=write, daemon=True).start()

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=10)

    def holdUntil(self, key, text, tries=10):
        """Holds key down until text appears. A press that comes while the game's
        window is still being set up can be lost, so the key is pressed anew each second."""
        for attempt in range(tries):
            self.xdotool("keydown", key)
            try:
                return self.waitFor(text, timeout=1)
            except AssertionError:
                if attempt == tries - 1:
                    raise
            finally:
                self.xdotool("keyup", key)

    def endLevel(self, key, nextScene):
        """Holds key (F12 or F5) until the level unloads, then lets the gated nextScene load."""
        self.holdUntil(key, UNLOADING)
        self.feed(nextScene)
        self.waitFor(loaded(nextScene))

    def drag(self, dx, dy, steps=10):
        """A throw: the pointer moved first (the first motion after the grab may jump), then a drag."""
        moves = ["mousemove", 320, 400, "sleep", 0.1, "mousemove_relative", "--", 1, 1, "sleep", 0.1, "mousedown", 1]
        for _ in range(steps):
            moves += ["sleep", 0.04, "mousemove_relative", "--", dx // steps, dy // steps]
        self.xdotool(*moves, "mouseup", 1)

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(10)
        for r in self.readers:
            r.join(5)
        self.proc.stdout.close()
        self.proc.stderr.close()
        if os.path.exists(self.dir.name):
            self.dir.cleanup()


class GameTest(unittest.TestCase):
    def runtimes(self):
        return os.environ.get("PINWHIRL_RUNTIMES", "classic compat").split()

    def launch(self, runtime, files, **kw):
        """Starts a game, after ending any earlier one of the test: one plays at a time."""
        for g in getattr(self, "games", []):
            g.close()
        self.games = [Game(runtime, files, **kw)]
        self.addCleanup(self.games[0].close)
        return self.games[0]

    def assertExits(self, game, transcript, status=0, timeout=10):
        """The whole standard output, <GL> standing for the OpenGL lines, the exit status, a quiet stderr."""
        self.assertEqual(game.proc.wait(timeout), status, game.err.decode())
        for r in game.readers:
            r.join(5)
        self.assertEqual(GL_LINES.sub("<GL>\n", game.out.decode(), count=1), transcript)
        self.assertEqual(game.err.decode(), "")
