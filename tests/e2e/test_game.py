#!/usr/bin/env python3
"""What only the whole program shows: the run of levels with its wrap, a real throw that
clears a level, the keys that end a level or the game, starting without a display, and a
soak of restarts and full-screen switches."""

import os
import re
import signal
import subprocess
import tempfile
import time
import unittest

from harness import COMPLETED, DONE, START, UNLOADING, GameTest, loaded, pack


class Game(GameTest):
    def testLevelsRunInOrderAndWrapAfterTheGameOverScreen(self):
        for rt in self.runtimes:
            names = ["l0.txt", "l1.txt", "over.txt"]
            game = self.launch(rt, pack(names), gated=names)
            game.feed("l0.txt")
            game.waitFor(loaded("l0.txt"))
            game.endLevel("F12", "l1.txt")
            game.endLevel("F12", "over.txt")
            game.xdotool("click", 1)  # only the game-over screen ends on a left-button release
            game.waitFor(COMPLETED)
            game.feed("l0.txt")
            game.waitFor(loaded("l0.txt"))
            for key, level in (("F5", "l0.txt"), ("F12", "l1.txt"), ("F12", "over.txt")):
                game.endLevel(key, level)
            game.holdUntil("Escape", DONE)  # quitting on the last entry wraps the index first
            run = lambda n: loaded(n) + UNLOADING
            self.assertExits(game, START % 3 + run("l0.txt") + run("l1.txt") + run("over.txt") + COMPLETED
                             + run("l0.txt") * 2 + run("l1.txt") + run("over.txt") + COMPLETED + DONE)

    def testAThrowUpTheLaneKnocksThePinIntoThePitAndClearsTheLevel(self):
        for rt in self.runtimes:
            game = self.launch(rt, pack(["first.txt", "over.txt"]), args=["two words", "-x"])
            game.waitFor(loaded("first.txt"))
            time.sleep(0.5)  # the ball and the pin settle
            windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Pinwhirl"], capture_output=True,
                                     text=True).stdout.split()  # the search ignores case: the title is checked below
            self.assertIn("Pinwhirl\n", [subprocess.run(["xdotool", "getwindowname", w], capture_output=True,
                                                         text=True).stdout for w in windows])
            # The pointer moved first (the first motion after the grab may jump), then 200
            # pixels up in about 0.4 s: the ball leaves at about 10 units a second.
            drag = ["mousemove", 320, 400, "sleep", 0.1, "mousemove_relative", "--", 1, 1, "sleep", 0.1, "mousedown", 1]
            game.xdotool(*drag + ["sleep", 0.04, "mousemove_relative", "--", 0, -20] * 10 + ["mouseup", 1])
            game.waitFor(loaded("over.txt"), timeout=12)
            game.holdUntil("Escape", DONE)
            self.assertExits(game, "1 two words\n2 -x\n" + START % 2 + loaded("first.txt") + UNLOADING
                             + loaded("over.txt") + UNLOADING + COMPLETED + DONE)

    def testControlQOrClosingTheWindowQuitsButPlainQDoesNot(self):
        for rt in self.runtimes:
            for ending in ("ctrl+q", "Control_R+q", "SIGTERM"):
                game = self.launch(rt, pack(["l0.txt", "over.txt"]))
                game.waitFor(loaded("l0.txt"))
                game.xdotool("keydown", "q", "sleep", 0.2, "keyup", "q")
                if ending == "SIGTERM":
                    game.proc.send_signal(signal.SIGTERM)  # SDL makes it a quit event
                else:
                    game.holdUntil(ending, DONE)
                self.assertExits(game, START % 2 + loaded("l0.txt") + UNLOADING + DONE)

    def testWhatTheEntryPointSaysBeforeAndAfterTheLevels(self):
        game = self.launch(self.runtimes[0], {}, args=["a", "b"])
        self.assertExits(game, "1 a\n2 b\nloading list of scenes...\nUnable to open scenelist.txt, exiting...\n")
        # A level that cannot be loaded ends the run; the last entry wraps first.
        game = self.launch(self.runtimes[0], {"scenelist.txt": "s 1\nl gone.txt\n"})
        self.assertExits(game, START % 1 + "Unable to open file: gone.txt for scene loading\n" + COMPLETED + DONE)

    def testWithoutADisplayClassicSDLEndsWithStatusTwoAndCompatRunsOffscreen(self):
        for rt in self.runtimes:
            # A sanitizer build checks no leaks here: SDL 2's offscreen driver leaks where no suppression names it.
            env = {"DISPLAY": None, "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"}
            game = self.launch(rt, pack(["over.txt"]), env=env)
            if rt == "classic":
                self.assertExits(game, START.split("<GL>")[0] % 1, 2, "Couldn't set a particular GL video mode: [^\n]+\n")
            else:
                game.waitFor(loaded("over.txt"), timeout=15)
                game.proc.send_signal(signal.SIGTERM)
                self.assertExits(game, START % 1 + loaded("over.txt") + UNLOADING + COMPLETED + DONE, 0, "[^\\0]*")


def text(path):
    with open(path) as f:
        return f.read()


class Soak(GameTest):
    def testRestartsAndSwitchesKeepDisplayListsAndMemoryFlat(self):
        """glprobe.c, preloaded, counts the display lists made and deleted and the video modes set."""
        work = tempfile.TemporaryDirectory()
        self.addCleanup(work.cleanup)
        probe, out, gate = (os.path.join(work.name, n) for n in ("probe.so", "probe.txt", "gate"))
        subprocess.run(["gcc", "-shared", "-fPIC", "-O2", "-o", probe, os.path.join(os.path.dirname(__file__),
                                                                                 "glprobe.c"), "-ldl"], check=True)
        os.mkfifo(gate)
        for rt in self.runtimes:
            preload = " ".join(p for p in (probe, os.environ.get("PINWHIRL_PRELOAD")) if p)
            game = self.launch(rt, pack(["l0.txt", "over.txt"]), gated=["l0.txt"],
                               env={"LD_PRELOAD": preload, "GLPROBE_OUT": out, "GLPROBE_GATE": gate})
            counts = lambda: dict(zip(("live", "made", "stray", "modes", "fullScreen"), map(int, text(out).split())))
            rss = lambda: int(re.search(r"VmRSS:\s+(\d+)", text("/proc/%d/status" % game.proc.pid)).group(1))
            game.feed("l0.txt")
            game.waitFor(loaded("l0.txt"))
            restarts = 50 if os.environ.get("PINWHIRL_SANITIZED") == "1" else 200  # leaks show at once there
            for k in range(restarts):
                game.endLevel("F5", "l0.txt")
                if k == 9:
                    before = rss()  # once the driver is set up
            self.assertEqual(counts(), {"live": 3, "made": 3 * (restarts + 1), "stray": 0, "modes": 1, "fullScreen": 1})
            # F4 acts on every frame it is down; the gate holds each new mode until the key is up.
            for k in range(20):
                game.xdotool("keydown", "F4")
                while counts()["modes"] < k + 2:
                    time.sleep(0.005)
                game.xdotool("keyup", "F4")
                with open(gate, "w") as g:
                    g.write("g")
                self.assertEqual(counts()["fullScreen"], 1 + (k + 1) // 2, "full screen and a window in turn")
            game.endLevel("F5", "l0.txt")
            self.assertEqual(counts()["live"], 3)
            if os.environ.get("PINWHIRL_SANITIZED") != "1":  # AddressSanitizer quarantines what is freed
                self.assertLessEqual(rss() - before, 3072, "kB of resident memory")
            game.holdUntil("Escape", DONE)
            self.assertExits(game, START % 2 + (loaded("l0.txt") + UNLOADING) * (restarts + 2) + DONE)
            self.assertEqual(counts()["live"], 0, "the last unload deletes every list")


if __name__ == "__main__":
    unittest.main(verbosity=2)
