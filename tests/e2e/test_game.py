#!/usr/bin/env python3
"""What only the whole program shows: the run of levels with its wrap, a real throw
that clears a level, the keys that end a level or the game, the full-screen switch,
starting without a display, and a soak of restarts and switches."""

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
        for rt in self.runtimes():
            with self.subTest(rt):
                names = ["l0.txt", "l1.txt", "over.txt"]
                game = self.launch(rt, pack(names), gated=names)
                game.feed("l0.txt")
                game.waitFor(loaded("l0.txt"))
                game.endLevel("F12", "l1.txt")
                game.endLevel("F12", "over.txt")
                # Only the game-over screen ends on a left-button release.
                game.xdotool("click", 1)
                game.waitFor(COMPLETED)
                game.feed("l0.txt")
                game.waitFor(loaded("l0.txt"))
                game.endLevel("F5", "l0.txt")
                game.endLevel("F12", "l1.txt")
                game.endLevel("F12", "over.txt")
                # Quitting on the last entry wraps the index before the run ends.
                game.holdUntil("Escape", DONE)
                level = lambda n: loaded(n) + UNLOADING
                self.assertExits(game, START % 3 + level("l0.txt") + level("l1.txt") + level("over.txt") + COMPLETED
                                 + level("l0.txt") * 2 + level("l1.txt") + level("over.txt") + COMPLETED + DONE)

    def testAThrowUpTheLaneKnocksThePinIntoThePitAndClearsTheLevel(self):
        for rt in self.runtimes():
            with self.subTest(rt):
                game = self.launch(rt, pack(["first.txt", "over.txt"]), args=["two words", "-x"])
                game.waitFor(loaded("first.txt"))
                time.sleep(0.5)  # the ball and the pin settle
                windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Pinwhirl$"],
                                         capture_output=True, text=True).stdout.split()
                self.assertTrue(windows, "a window titled Pinwhirl")
                # 200 pixels up in about 0.4 s: the ball at about 10 units a second.
                game.drag(0, -200)
                game.waitFor(loaded("over.txt"), timeout=12)
                game.holdUntil("Escape", DONE)
                self.assertExits(game, "1 two words\n2 -x\n" + START % 2 + loaded("first.txt") + UNLOADING
                                 + loaded("over.txt") + UNLOADING + COMPLETED + DONE)

    def testControlQOrClosingTheWindowQuitsButPlainQDoesNot(self):
        for rt in self.runtimes():
            for ending in ("ctrl+q", "Control_R+q", "SIGTERM"):
                with self.subTest(rt + " " + ending):
                    game = self.launch(rt, pack(["l0.txt", "over.txt"]))
                    game.waitFor(loaded("l0.txt"))
                    game.xdotool("keydown", "q", "sleep", 0.2, "keyup", "q")
                    if ending == "SIGTERM":
                        game.proc.send_signal(signal.SIGTERM)  # SDL makes it a quit event
                    else:
                        game.holdUntil(ending, DONE)
                    self.assertExits(game, START % 2 + loaded("l0.txt") + UNLOADING + DONE)

    def testWhatTheEntryPointSaysBeforeAndAfterTheLevels(self):
        rt = self.runtimes()[0]
        game = self.launch(rt, {}, args=["a", "b"])
        self.assertExits(game, "1 a\n2 b\nloading list of scenes...\nUnable to open scenelist.txt, exiting...\n")
        # A level that cannot be loaded ends the run; the last entry wraps first.
        game = self.launch(rt, {"scenelist.txt": "s 1\nl gone.txt\n"})
        self.assertExits(game, START % 1 + "Unable to open file: gone.txt for scene loading\n" + COMPLETED + DONE)

    def testWithoutADisplayClassicSDLEndsWithStatusTwoAndCompatRunsOffscreen(self):
        for rt in self.runtimes():
            with self.subTest(rt):
                # A sanitizer build checks no leaks here: SDL 2's offscreen driver leaks where no suppression can name it.
                options = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
                game = self.launch(rt, pack(["over.txt"]), env={"DISPLAY": None, "ASAN_OPTIONS": options})
                if rt == "classic":
                    self.assertEqual(game.proc.wait(15), 2)
                    game.readers[1].join(5)
                    self.assertRegex(game.err.decode(), r"\ACouldn't set a particular GL video mode: [^\n]+\n\Z")
                    self.assertEqual(game.out.decode(), START.split("<GL>")[0] % 1)
                else:
                    game.waitFor(loaded("over.txt"), timeout=15)
                    game.proc.send_signal(signal.SIGTERM)
                    self.assertEqual(game.proc.wait(10), 0)
                    game.readers[0].join(5)
                    self.assertTrue(game.out.decode().endswith(UNLOADING + COMPLETED + DONE))


def text(path):
    with open(path) as f:
        return f.read()


class Soak(GameTest):
    RESTARTS, SWITCHES, RSS_SLACK_KB = 200, 20, 3072

    def testRestartsAndSwitchesKeepDisplayListsAndMemoryFlat(self):
        """glprobe.c, preloaded, counts the display lists made and deleted and the video modes set."""
        work = tempfile.TemporaryDirectory()
        self.addCleanup(work.cleanup)
        probe, out, gate = (os.path.join(work.name, n) for n in ("probe.so", "probe.txt", "gate"))
        subprocess.run(["gcc", "-shared", "-fPIC", "-O2", "-o", probe, os.path.join(os.path.dirname(__file__), "glprobe.c"),
                        "-ldl"], check=True)
        os.mkfifo(gate)
        for rt in self.runtimes():
            with self.subTest(rt):
                preload = " ".join(p for p in (probe, os.environ.get("PINWHIRL_PRELOAD")) if p)
                game = self.launch(rt, pack(["l0.txt", "over.txt"]), gated=["l0.txt"],
                                   env={"LD_PRELOAD": preload, "GLPROBE_OUT": out, "GLPROBE_GATE": gate})
                counts = lambda: dict(zip(("live", "made", "stray", "modes", "fullScreen"), map(int, text(out).split())))
                rss = lambda: int(re.search(r"VmRSS:\s+(\d+)", text("/proc/%d/status" % game.proc.pid)).group(1))
                game.feed("l0.txt")
                game.waitFor(loaded("l0.txt"))
                for k in range(self.RESTARTS):
                    game.endLevel("F5", "l0.txt")
                    if k == 9:
                        before = rss()  # after the first frames have set the driver up
                self.assertEqual(counts(), {"live": 3, "made": 3 * (self.RESTARTS + 1), "stray": 0, "modes": 1,
                                            "fullScreen": 1})
                # F4 acts on every frame it is down; the gate holds each new mode until the key is up.
                for k in range(self.SWITCHES):
                    game.xdotool("keydown", "F4")
                    while counts()["modes"] < k + 2:
                        time.sleep(0.005)
                    game.xdotool("keyup", "F4")
                    with open(gate, "w") as g:
                        g.write("g")
                    self.assertEqual(counts()["fullScreen"], 1 + (k + 1) // 2, "full screen and a window in turn")
                game.holdUntil("F5", UNLOADING)
                game.feed("l0.txt")
                game.waitFor(loaded("l0.txt"))
                self.assertEqual(counts()["live"], 3)
                if os.environ.get("PINWHIRL_SANITIZED") != "1":  # AddressSanitizer quarantines what is freed
                    self.assertLessEqual(rss() - before, self.RSS_SLACK_KB)
                game.holdUntil("Escape", DONE)
                self.assertExits(game, START % 2 + (loaded("l0.txt") + UNLOADING) * (self.RESTARTS + 2) + DONE)
                self.assertEqual(counts()["live"], 0, "the last unload deletes every list")


if __name__ == "__main__":
    unittest.main(verbosity=2)
