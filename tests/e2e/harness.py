"""Runs the real pinwhirl binary under the X display in $DISPLAY with real input (xdotool), once per
SDL 1.2 runtime in $PINWHIRL_RUNTIMES, in a fresh copy of pack/ (a lane 6 wide from y -10 to 2 with
a pit beyond, the ball at y -8, a pin at y 1) holding also the game's output, which it writes line by line.
Keys are read as state once a frame, so a key is held until the game answers. A gated level is a named
pipe the game can read only once fed, so that a key held to end a level acts exactly once."""

import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

PACK = pathlib.Path(__file__).resolve().parent / "pack"
RUNTIMES = {"classic": {}, "compat": {"LD_LIBRARY_PATH": "/usr/lib/x86_64-linux-gnu/sdl12-compat"}}
START = "loading list of scenes...\n%d scenes\ndone loading scene list\n<GL>\n"
UNLOADING, COMPLETED, DONE = "unloading scene...\n", "completed game...\n", "\n....Done....\n"


def loaded(name):
    return "done loading scene from file %s\n" % name


def played(*names):
    return "".join(loaded(n) + UNLOADING for n in names)


def run(*command):
    done = subprocess.run([str(c) for c in command], capture_output=True, text=True, timeout=120)
    if done.returncode:
        raise AssertionError("%s exited %d:\n%s%s" % (command, done.returncode, done.stdout, done.stderr))
    return done


def xdotool(*args):
    return run("xdotool", *args).stdout


def until(condition, failure, timeout=10):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(failure())
        time.sleep(0.005)


class GameTest(unittest.TestCase):
    runtimes = os.environ.get("PINWHIRL_RUNTIMES", "classic compat").split()

    def launch(self, runtime, levels=(), gated=(), args=(), env=None, command=None):
        """Starts a game in a copy of pack/ whose scene list names levels (none: no list). command, given
        the folder's name, makes a launcher's command line, run from the folder's parent."""
        folder = self.enterContext(tempfile.TemporaryDirectory(prefix="pinwhirl-e2e-"))
        self.dir, self.seen = pathlib.Path(folder), 0
        shutil.copytree(PACK, self.dir, dirs_exist_ok=True)
        for name in gated:
            os.remove(self.dir / name)
            os.mkfifo(self.dir / name)
        if levels:
            (self.dir / "scenelist.txt").write_text("scenes %d\n" % len(levels) + "".join("l %s\n" % n for n in levels))
        preload = os.environ.get("PINWHIRL_PRELOAD") or os.environ.get("LD_PRELOAD")
        environment = {**os.environ, "LD_PRELOAD": preload, **RUNTIMES[runtime], **(env or {})}
        start, cwd = (command(self.dir.name), self.dir.parent) if command else ([os.environ["PINWHIRL_BIN"]], self.dir)
        with open(self.dir / "stdout", "wb") as out, open(self.dir / "stderr", "wb") as err:
            self.proc = subprocess.Popen(start + list(args), cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                         env={k: v for k, v in environment.items() if v is not None})
        self.addCleanup(self.proc.wait, 10)
        self.addCleanup(self.proc.kill)

    def read(self, name):
        return (self.dir / name).read_text(errors="replace")

    def waitFor(self, text, timeout=10):
        """Waits until text appears on standard output after what earlier waits saw."""
        until(lambda: text in self.read("stdout")[self.seen:], lambda: "no %r in:\n%s\nstderr:\n%s" % (
            text, self.read("stdout")[self.seen:], self.read("stderr")), timeout)
        self.seen = self.read("stdout").index(text, self.seen) + len(text)

    def feed(self, name):
        """Lets the game read the gated level once, as soon as it opens it."""
        threading.Thread(target=(self.dir / name).write_text, args=((PACK / name).read_text(),), daemon=True).start()

    def holdUntil(self, key, text, tries=10):
        """Holds key down until text appears, pressed anew each second: a press during set-up can be lost."""
        for attempt in range(tries):
            xdotool("keydown", key)
            try:
                return self.waitFor(text, timeout=1)
            except AssertionError:
                if attempt == tries - 1:
                    raise
            finally:
                xdotool("keyup", key)

    def endLevel(self, key, nextLevel):
        """Holds key (F12 or F5) until the level unloads, then lets the gated nextLevel load."""
        self.holdUntil(key, UNLOADING)
        self.feed(nextLevel)
        self.waitFor(loaded(nextLevel))

    def playThrough(self, levels):
        """Skips each gated level with F12, leaves the game-over screen with a click (only that ends it)
        and waits for the first level to load again: played(*levels) + COMPLETED + loaded(levels[0])."""
        self.feed(levels[0])
        self.waitFor(loaded(levels[0]))
        for name in levels[1:]:
            self.endLevel("F12", name)
        xdotool("click", 1)
        self.waitFor(COMPLETED)
        self.feed(levels[0])
        self.waitFor(loaded(levels[0]))

    def assertExits(self, transcript, status=0, stderr=""):
        """The whole standard output, <GL> standing for the OpenGL lines; the exit status; standard error."""
        self.assertEqual(self.proc.wait(10), status, self.read("stderr"))
        gl = r"OpenGL Vendor:   [^\n]+\nOpenGL Renderer: [^\n]+\nOpenGL Version:  [^\n]+\n"
        self.assertEqual(re.sub(gl, "<GL>\n", self.read("stdout"), count=1), transcript)
        self.assertRegex(self.read("stderr"), "\\A%s\\Z" % stderr)
