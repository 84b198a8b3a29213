"""Runs the real pinwhirl binary under $DISPLAY with real input (xdotool), once per SDL 1.2 runtime in
$PINWHIRL_RUNTIMES, in a copy of pack/ (a lane 6 wide from y -10 to 2, a pit beyond, the ball at y -8, a pin at y 1)
that also holds the game's output, written line by line. A key press during set-up can be lost: a key is held until
the game answers, and a gated level (a named pipe) loads only once fed, after the key that ended the last is up. The
pointer shows exactly while the game is paused: that is how a test sees the pause."""

import ctypes
import json
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
LOADED, UNLOADING = "done loading scene from file %s\n", "unloading scene...\n"
COMPLETED, DONE = "completed game...\n", "\n....Done....\n"


class CursorImage(ctypes.Structure):  # XFixesCursorImage, up to its pixels
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort), ("serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong))]


X11, XFIXES, XTST = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXfixes.so.3"), ctypes.CDLL("libXtst.so.6")
X11.XOpenDisplay.restype = ctypes.c_void_p
X11.XCloseDisplay.argtypes = X11.XFree.argtypes = XFIXES.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
XFIXES.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)


def pointerShown():
    """Whether the pointer shows on $DISPLAY: a pixel of the cursor's image is not transparent."""
    display = X11.XOpenDisplay(None)
    image = XFIXES.XFixesGetCursorImage(display)
    shown = any(image.contents.pixels[i] >> 24 for i in range(image.contents.width * image.contents.height))
    X11.XFree(image)
    X11.XCloseDisplay(display)
    return shown


def played(*names):
    return "".join(LOADED % n + UNLOADING for n in names)


def run(*command):
    done = subprocess.run([str(c) for c in command], capture_output=True, text=True, timeout=120)
    if done.returncode:
        raise AssertionError("%s exited %d:\n%s%s" % (command, done.returncode, done.stdout, done.stderr))
    return done


def until(condition, timeout=10):
    deadline = time.monotonic() + timeout
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.005)
    return condition()


class GameTest(unittest.TestCase):
    runtimes = os.environ.get("PINWHIRL_RUNTIMES", "classic compat").split()

    def launch(self, runtime, levels=(), gated=(), args=(), env={}, launcher=None, preload=None, pack=PACK):
        """Starts the game (or launcher, given the folder from its parent) with levels in its list, if any."""
        self.dir, self.seen = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()), "a pack"), 0
        shutil.copytree(pack, self.dir, ignore=lambda folder, names: gated)
        for name in gated:
            os.mkfifo(self.dir / name)
        if levels:
            (self.dir / "scenelist.txt").write_text("scenes %d\n" % len(levels) + "".join("l %s\n" % n for n in levels))
        preload = " ".join(p for p in (preload, os.environ.get("PINWHIRL_PRELOAD")) if p)
        environment = {**os.environ, "LD_PRELOAD": preload or os.environ.get("LD_PRELOAD"), **RUNTIMES[runtime], **env}
        start = [launcher, self.dir.name] if launcher else [os.environ["PINWHIRL_BIN"]]
        cwd = self.dir.parent if launcher else self.dir
        with open(self.dir / "stdout", "wb") as out, open(self.dir / "stderr", "wb") as err:
            self.proc = subprocess.Popen(start + list(args), cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                         env={k: v for k, v in environment.items() if v is not None})
        self.addCleanup(self.proc.wait, 10)
        self.addCleanup(self.proc.kill)

    def glProbe(self):
        """glprobe.c built to preload: it counts the display lists and the video modes into the game's file gl."""
        probe = os.path.join(self.enterContext(tempfile.TemporaryDirectory()), "glprobe.so")
        run("gcc", "-shared", "-fPIC", "-O2", "-o", probe, PACK.parent / "glprobe.c", "-ldl")
        return probe

    def probed(self):
        return json.loads(self.read("gl"))

    def read(self, name):
        return (self.dir / name).read_text(errors="replace")

    def waitFor(self, text, timeout=10):
        """Waits until text appears on standard output after what earlier waits saw."""
        if not until(lambda: text in self.read("stdout")[self.seen:], timeout):
            self.fail("no %r in:\n%s\nstderr:\n%s" % (text, self.read("stdout")[self.seen:], self.read("stderr")))
        self.seen = self.read("stdout").index(text, self.seen) + len(text)

    def feed(self, name):
        """Lets the game read the gated level once, as soon as it opens it, and waits until it has loaded."""
        threading.Thread(target=(self.dir / name).write_text, args=((PACK / name).read_text(),), daemon=True).start()
        self.waitFor(LOADED % name)

    def waitForFirst(self, texts, timeout=10):
        """Waits until one of the texts appears, as waitFor does; returns the one that came first."""
        until(lambda: any(t in self.read("stdout")[self.seen :] for t in texts), timeout)
        out = self.read("stdout")[self.seen :]
        text = min(((out.index(t), t) for t in texts if t in out), default=(0, texts[0]))[1]
        self.waitFor(text, timeout=0)
        return text

    def holdUntil(self, key, *texts, presses=10):
        """Holds key down until one of the texts appears (or a test holds), pressed anew each second; returns the
        text that came first."""
        test = texts[0] if callable(texts[0]) else None
        shown = test or (lambda: any(t in self.read("stdout")[self.seen :] for t in texts))
        for _ in range(presses):
            run("xdotool", "keydown", key)
            held = until(shown, timeout=1)
            run("xdotool", "keyup", key)
            if held:
                break
        if test:
            return self.assertTrue(held, "no answer to " + key)
        return self.waitForFirst(texts, timeout=0)

    def drag(self, right, down, seconds, steps=10):
        """Presses the left button, moves the pointer by (right, down) pixels in steps spread evenly over the
        seconds, and lets go with the last: by XTest as xdotool does, but on time, where xdotool may spend tens
        of milliseconds on a command. The pointer moves first, as a hand does (the first motion after the
        grab may jump)."""
        run("xdotool", "mousemove", 320, 240, "sleep", 0.1, "mousemove_relative", "--", 1, 1, "sleep", 0.1)
        display = ctypes.c_void_p(X11.XOpenDisplay(None))
        self.assertTrue(display, "no display")
        send = lambda event, *args: event(display, *args, 0) and X11.XFlush(display)
        send(XTST.XTestFakeButtonEvent, 1, True)
        start = time.monotonic()
        for k in range(steps):
            time.sleep(max(0, start + seconds * (k + 1) / steps - time.monotonic()))
            send(XTST.XTestFakeRelativeMotionEvent, *(v * (k + 1) // steps - v * k // steps for v in (right, down)))
        send(XTST.XTestFakeButtonEvent, 1, False)
        X11.XCloseDisplay(display)

    def tap(self, key):
        """A press of 20 ms: one xdotool process keeps to it."""
        run("xdotool", "keydown", key, "sleep", 0.02, "keyup", key)

    def assertPaused(self, paused, why=""):
        """Waits until the pointer shows (paused) or hides (playing)."""
        self.assertTrue(until(lambda: pointerShown() == paused), "not %s %s" % (("playing", "paused")[paused], why))

    def takesInput(self):
        """Once a level has loaded, the game plays (the pointer hidden) and answers keys: p pauses, Return resumes."""
        self.assertPaused(False)
        self.holdUntil("p", pointerShown)
        self.tap("Return")
        self.assertPaused(False, "after a tap of Return")

    def endLevel(self, key, nextLevel):
        self.holdUntil(key, UNLOADING)
        self.feed(nextLevel)

    def playThrough(self, levels):
        """Skips each gated level with F12, then leaves the game-over screen with a click (only that ends it)."""
        self.feed(levels[0])
        for name in levels[1:]:
            self.endLevel("F12", name)
        run("xdotool", "click", 1)
        self.waitFor(COMPLETED)
        self.feed(levels[0])

    def assertExits(self, transcript, status=0, stderr=""):
        """The whole standard output, <GL> standing for the OpenGL lines; the exit status; standard error."""
        self.assertEqual(self.proc.wait(10), status, self.read("stderr"))
        gl = r"OpenGL Vendor:   [^\n]+\nOpenGL Renderer: [^\n]+\nOpenGL Version:  [^\n]+\n"
        self.assertEqual(re.sub(gl, "<GL>\n", self.read("stdout"), count=1), transcript)
        self.assertRegex(self.read("stderr"), "\\A%s\\Z" % stderr)
