#!/usr/bin/env python3
"""The shipped level pack played by the real game under Xvfb with real input:
the first two levels are cleared by mouse throws (drag up the screen and let
go), the rest are skipped with F12 up to the game-over screen, which shows its
banner over a world, and a click there starts the pack again at level 1.

Needs PINWHIRL_BIN (the game), PINWHIRL_SOURCE (the source tree) and an X
display in DISPLAY (a private Xvfb is started when there is none)."""

import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

BIN = os.environ.get("PINWHIRL_BIN", "")
SOURCE = os.environ.get("PINWHIRL_SOURCE", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PACK = os.path.join(SOURCE, "levels")
LOADED = "done loading scene from file "


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def sceneList():
    with open(os.path.join(PACK, "scenelist.txt")) as f:
        words = f.read().split()
    return [words[3 + 2 * i] for i in range(int(words[1]))]


class game:
    """The real game in the pack's folder, its output read line by line."""

    def __init__(self):
        self.lines = queue.Queue()
        self.seen = []
        for attempt in range(5):
            self.proc = subprocess.Popen(["stdbuf", "-oL", BIN], cwd=PACK, stdout=subprocess.PIPE,
                                         stderr=subprocess.STDOUT, text=True)
            threading.Thread(target=self.pump, daemon=True).start()
            first = self.waitFor(lambda l: l.startswith(LOADED) or "SDL_Init failed" in l, 30)
            if first and first.startswith(LOADED):
                return
            # right after another game let go of the display, SDL now and then
            # cannot reach it: start again
            self.stop()
            time.sleep(2)
        raise RuntimeError("the game did not start:\n" + "".join(self.seen))

    def pump(self):
        for line in self.proc.stdout:
            self.lines.put(line)

    def waitFor(self, match, seconds):
        """The first new line that matches, or None after `seconds`."""
        end = time.time() + seconds
        while time.time() < end:
            try:
                line = self.lines.get(timeout=0.1)
            except queue.Empty:
                if self.proc.poll() is not None and self.lines.empty():
                    return None
                continue
            self.seen.append(line)
            if match(line):
                return line
        return None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc.stdout.close()


def throwStraight(pixels=200, seconds=0.5, steps=10):
    """A drag up the screen, `pixels` long over about `seconds`: the ball
    leaves at about pixels / seconds * 0.02 units per second."""
    xdo("mousemove", 320, 420)
    time.sleep(0.1)
    xdo("mousemove_relative", "--", 1, 0)  # the first motion after the grab may jump
    time.sleep(0.1)
    xdo("mousedown", 1)
    time.sleep(0.05)
    for _ in range(steps):
        xdo("mousemove_relative", "--", 0, -(pixels // steps))
        time.sleep(seconds / steps)
    xdo("mouseup", 1)


def holdKey(key, seconds=0.03):
    xdo("keydown", key)
    time.sleep(seconds)
    xdo("keyup", key)


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True)


class levelPackPlaysThrough(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.xvfb = None
        if not os.environ.get("DISPLAY"):
            n = 150
            while os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
                n += 1
            cls.xvfb = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"])
            os.environ["DISPLAY"] = ":%d" % n
            time.sleep(1)
        cls.scenes = sceneList()
        cls.tmp = tempfile.mkdtemp()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)
        if cls.xvfb:
            cls.xvfb.terminate()
            cls.xvfb.wait()

    def clearByThrowing(self, g, level, nextScene):
        """Throws straight down the lane until the next level loads; a throw
        lasts at most ten seconds, so a new one is tried after twelve."""
        for attempt in range(4):
            throwStraight()
            if g.waitFor(lambda l: l == LOADED + nextScene + "\n", 12):
                return attempt + 1
        self.fail("%s not cleared by four straight throws:\n%s" % (level, "".join(g.seen)))

    def test_firstTwoLevelsByThrowsTheRestSkippedThenGameOverAndBackToTheStart(self):
        scenes = self.scenes
        g = game()
        try:
            self.assertEqual(g.seen[-1], LOADED + scenes[0] + "\n")
            time.sleep(1)  # the pins settle; the player takes aim
            throws = [self.clearByThrowing(g, scenes[0], scenes[1])]
            time.sleep(1)
            throws.append(self.clearByThrowing(g, scenes[1], scenes[2]))
            print("levels 1 and 2 cleared in %d and %d throws" % tuple(throws))

            # F12 skips; a key held across several frames may skip more than
            # one level, so each press waits for whatever loads next.
            last = scenes[2]
            while last != scenes[-1]:
                time.sleep(0.5)
                holdKey("F12")
                line = g.waitFor(lambda l: l.startswith(LOADED), 10)
                self.assertIsNotNone(line, "F12 did not skip %s" % last)
                last = line[len(LOADED):].strip()
                self.assertIn(last, scenes[3:], "skipped past the game-over screen")

            # The game-over screen: its banner at the top centre, a world behind it.
            time.sleep(1.5)
            shot = os.path.join(self.tmp, "over.png")
            screenshot(shot)
            banner, world = bannerAndWorldPixels(shot)
            self.assertGreater(banner, 40, "no banner at the top centre of the game-over screen")
            self.assertGreater(world, 20000, "nothing but background behind the game-over banner")

            # A click on the game-over screen starts the pack again.
            xdo("mousemove", 320, 240)
            time.sleep(0.1)
            xdo("mousedown", 1)
            time.sleep(0.05)
            xdo("mouseup", 1)
            self.assertIsNotNone(g.waitFor(lambda l: l == "completed game...\n", 10), "".join(g.seen))
            self.assertIsNotNone(g.waitFor(lambda l: l == LOADED + scenes[0] + "\n", 10), "".join(g.seen))
            sawLevels = [l[len(LOADED):].strip() for l in g.seen if l.startswith(LOADED)]
            self.assertEqual(sawLevels[:3], scenes[:3])
            self.assertEqual(sawLevels[-2:], [scenes[-1], scenes[0]])
        finally:
            g.stop()


def bannerAndWorldPixels(png):
    """Pixels of the game-over screen that differ from its background colour:
    in the banner's row at the top centre, and in the whole 3D view below."""
    ppm = png[:-4] + ".ppm"
    subprocess.run(["convert", png, "-depth", "8", ppm], check=True)
    with open(ppm, "rb") as f:
        data = f.read()
    # binary PPM: P6 width height maxval, then RGB rows from the top
    parts = data.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    pixels = parts[4]

    def at(x, y):
        i = (y * width + x) * 3
        return pixels[i], pixels[i + 1], pixels[i + 2]

    background = at(2, 40)  # left edge, under the pin count line: sky
    banner = sum(1 for y in range(0, 16) for x in range(width // 2 - 72, width // 2 + 72)
                 if max(abs(a - b) for a, b in zip(at(x, y), background)) > 40)
    world = sum(1 for y in range(32, height - 20, 2) for x in range(0, width, 2)
                if max(abs(a - b) for a, b in zip(at(x, y), background)) > 12) * 4
    return banner, world


if __name__ == "__main__":
    if not BIN or not os.path.exists(BIN):
        print("PINWHIRL_BIN does not name the game: %r" % BIN)
        sys.exit(1)
    unittest.main(verbosity=2)
