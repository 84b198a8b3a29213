"""Runs the real pinwhirl binary under the X display in $DISPLAY with real input (xdotool).

Each game runs in a fresh folder holding the files a test writes; its standard output
and standard error are collected as they come. Keys are read by the game as state once
a frame, so a key is held until the game answers. A scene file can be "gated": a named
pipe the game can read only once the test feeds it, so that a key held to end a level
is up before the next level's first frame and acts exactly once. Tests run once per
SDL 1.2 runtime named in $PINWHIRL_RUNTIMES (classic, and compat: sdl12-compat)."""

import os
import re
import subprocess
import tempfile
import threading
import time
import unittest

RUNTIMES = {"classic": {}, "compat": {"LD_LIBRARY_PATH": "/usr/lib/x86_64-linux-gnu/sdl12-compat"}}
START = "loading list of scenes...\n%d scenes\ndone loading scene list\n<GL>\n"
UNLOADING, COMPLETED, DONE = "unloading scene...\n", "completed game...\n", "\n....Done....\n"


def loaded(name):
    return "done loading scene from file %s\n" % name


def pack(names, pins=((0, 1, 0.5),)):
    """Levels on a lane 6 wide from y -10 to 2 at height 0 with a pit beyond; the ball at y -8."""
    tri = lambda *p: "n [0, 0, 1]\n" + "".join("c [0, 200, 0]\np [%g, %g, %g]\n" % q for q in p)
    files = {"lane.txt": "t 2\n" + tri((-3, -10, 0), (3, -10, 0), (3, 2, 0)) + tri((-3, -10, 0), (3, 2, 0), (-3, 2, 0)),
             "ball.txt": "t 1\n" + tri((-0.3, 0, 0), (0.3, 0, 0), (0, 0, 0.3)),
             "scenelist.txt": "scenes %d\n" % len(names) + "".join("l %s\n" % n for n in names)}
    objects = [((0, -8, 0.5), 5)] + [(p, 1) for p in pins]
    level = "b [0.1, 0.3, 0.5]\nt [1, 1, 0]\nlowest -5\nworld lane.txt\ncollide lane.txt\ncamera [0, -12, 3]\n"
    level += "pins %d\n" % len(pins) + "".join("at [%g, %g, %g]\nradius 0.5\nmass %g\nmesh ball.txt\n" % (p + (m,))
                                               for p, m in objects)
    files.update({n: level for n in names})
    return files


class Game:
    def __init__(self, runtime, files, gated=(), args=(), env=None, command=None):
        """command, given the pack folder's name, makes the command line to run from the folder's
        parent (a launcher's); by default the game binary runs in the folder."""
        self.dir = tempfile.TemporaryDirectory(prefix="pinwhirl-e2e-")
        self.gated = {n: files[n] for n in gated}
        for name, text in files.items():
            path = os.path.join(self.dir.name, name)
            if name in gated:
                os.mkfifo(path)
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
        """Holds key down until text appears. A press that comes while the game's window is
        still being set up can be lost, so the key is pressed anew each second."""
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
    runtimes = os.environ.get("PINWHIRL_RUNTIMES", "classic compat").split()

    def launch(self, runtime, files, **kw):
        """Starts a game, after ending any earlier one of the test: one plays at a time."""
        for g in getattr(self, "games", []):
            g.close()
        self.games = [Game(runtime, files, **kw)]
        self.addCleanup(self.games[0].close)
        return self.games[0]

    def assertExits(self, game, transcript, status=0, stderr=""):
        """The whole standard output, <GL> standing for the OpenGL lines; the exit status; standard error."""
        self.assertEqual(game.proc.wait(10), status, game.err.decode())
        for r in game.readers:
            r.join(5)
        gl = r"OpenGL Vendor:   [^\n]+\nOpenGL Renderer: [^\n]+\nOpenGL Version:  [^\n]+\n"
        self.assertEqual(re.sub(gl, "<GL>\n", game.out.decode(), count=1), transcript)
        self.assertRegex(game.err.decode(), "\\A%s\\Z" % stderr)
