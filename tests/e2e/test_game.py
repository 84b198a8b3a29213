"""What only the whole program shows: the run of levels with its wrap, a real throw that clears a level,
the keys that end a level or the game, starting without a display, and a soak of restarts and switches."""

import json
import os
import pathlib
import signal
import tempfile
import time

from harness import COMPLETED, DONE, LOADED, PACK, START, UNLOADING, GameTest, played, run, until


class Game(GameTest):
    def testLevelsRunInOrderAndWrapAfterTheGameOverScreen(self):
        for rt in self.runtimes:
            names = ["l0.txt", "l1.txt", "over.txt"]
            self.launch(rt, names, gated=names)
            self.playThrough(names)
            for key, level in (("F5", "l0.txt"), ("F12", "l1.txt"), ("F12", "over.txt")):
                self.endLevel(key, level)
            self.holdUntil("Escape", DONE)  # quitting on the last entry wraps the index first
            self.assertExits(START % 3 + played(*names) + COMPLETED + played("l0.txt", *names) + COMPLETED + DONE)

    def testAThrowUpTheLaneKnocksThePinIntoThePitAndClearsTheLevel(self):
        for rt in self.runtimes:
            self.launch(rt, ["first.txt", "over.txt"], args=["two words", "-x"])
            self.waitFor(LOADED % "first.txt")
            # The search ignores case, the title check does not.
            found = run("xdotool", "search", "--onlyvisible", "--name", "Pinwhirl", "getwindowname", "%@").stdout
            self.assertIn("Pinwhirl", found.splitlines())
            # Once the ball and the pin settle, the pointer moves first (the first motion after the grab may
            # jump), then 200 pixels up in about 0.4 s: the ball leaves at about 10 units a second.
            drag = "sleep 0.5 mousemove 320 400 sleep 0.1 mousemove_relative -- 1 1 sleep 0.1 mousedown 1 "
            run("xdotool", *(drag + "sleep 0.04 mousemove_relative -- 0 -20 " * 10 + "mouseup 1").split())
            self.waitFor(LOADED % "over.txt", timeout=12)
            self.holdUntil("Escape", DONE)
            self.assertExits("1 two words\n2 -x\n" + START % 2 + played("first.txt", "over.txt") + COMPLETED + DONE)

    def testControlQOrClosingTheWindowQuitsButPlainQDoesNot(self):
        for rt in self.runtimes:
            for ending in ("ctrl+q", "Control_R+q", "SIGTERM"):
                self.launch(rt, ["l0.txt", "over.txt"])
                self.waitFor(LOADED % "l0.txt")
                run("xdotool", "keydown", "q", "sleep", 0.2, "keyup", "q")
                if ending == "SIGTERM":
                    self.proc.send_signal(signal.SIGTERM)  # SDL makes it a quit event
                else:
                    self.holdUntil(ending, DONE)
                self.assertExits(START % 2 + played("l0.txt") + DONE)

    def testWhatTheEntryPointSaysBeforeAndAfterTheLevels(self):
        self.launch(self.runtimes[0], args=["a", "b"])
        self.assertExits("1 a\n2 b\nloading list of scenes...\nUnable to open scenelist.txt, exiting...\n")
        # A level that cannot be loaded ends the run; the last entry wraps first.
        self.launch(self.runtimes[0], ["gone.txt"])
        self.assertExits(START % 1 + "Unable to open file: gone.txt for scene loading\n" + COMPLETED + DONE)
        # One that fails in its pins unloads what it made before the run ends.
        self.launch(self.runtimes[0], ["nopin.txt"])
        self.assertEqual(self.proc.wait(10), 0)
        self.assertTrue(self.read("stdout").endswith("about pins\n" + UNLOADING + COMPLETED + DONE), self.read("stdout"))

    def testKeysHeldAsPeopleHoldThemActOnceAndStallsLeaveRestingPinsAtRest(self):
        for rt in self.runtimes:
            self.launch(rt, ["stall.txt", "l0.txt", "l1.txt", "over.txt"])
            self.waitFor(LOADED % "stall.txt")
            # A busy machine: five 0.2 s stalls do not sink the resting pin (radius 0.3), so the level goes on.
            for _ in range(5):
                time.sleep(0.3)
                self.proc.send_signal(signal.SIGSTOP)
                time.sleep(0.2)
                self.proc.send_signal(signal.SIGCONT)
            time.sleep(0.5)
            self.assertNotIn(UNLOADING, self.read("stdout")[self.seen:])
            # F12, then F5, each held 0.3 s: one skip, one restart.
            for key in ("F12", "F5"):
                run("xdotool", "keydown", key, "sleep", 0.3, "keyup", key)
                time.sleep(0.5)
            self.holdUntil("Escape", DONE)
            self.assertExits(START % 4 + played("stall.txt", "l0.txt", "l0.txt") + DONE)

    def testWithoutADisplayClassicSDLEndsWithStatusTwoAndCompatRunsOffscreen(self):
        for rt in self.runtimes:
            # A sanitizer build checks no leaks here: SDL 2's offscreen driver leaks where no suppression names it.
            asan = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
            self.launch(rt, ["over.txt"], env={"DISPLAY": None, "ASAN_OPTIONS": asan})
            if rt == "classic":
                self.assertExits(START.split("<GL>")[0] % 1, 2, "Couldn't set a particular GL video mode: [^\n]+\n")
            else:
                self.waitFor(LOADED % "over.txt", timeout=15)
                self.proc.send_signal(signal.SIGTERM)
                self.assertExits(START % 1 + played("over.txt") + COMPLETED + DONE, 0, "[^\\0]*")


class Soak(GameTest):
    def testRestartsAndSwitchesKeepDisplayListsAndMemoryFlat(self):
        # glprobe.c, preloaded, counts the display lists and the video modes into the game's file gl.
        probe = os.path.join(self.enterContext(tempfile.TemporaryDirectory()), "glprobe.so")
        run("gcc", "-shared", "-fPIC", "-O2", "-o", probe, PACK.parent / "glprobe.c", "-ldl")
        sanitized = os.environ.get("PINWHIRL_SANITIZED") == "1"
        restarts = 50 if sanitized else 200  # leaks show at once there
        for rt in self.runtimes:
            self.launch(rt, ["l0.txt", "over.txt"], gated=["l0.txt"], preload=probe, env={"GLPROBE_OUT": "gl"})
            counts = lambda: json.loads(self.read("gl"))
            rss = lambda: int(pathlib.Path("/proc/%d/status" % self.proc.pid).read_text().split("VmRSS:")[1].split()[0])
            self.feed("l0.txt")
            for k in range(restarts):
                self.endLevel("F5", "l0.txt")
                if k == 9:
                    before = rss()  # once the driver is set up
            self.assertEqual(counts(), {"live": 3, "made": 3 * (restarts + 1), "stray": 0, "modes": 1, "fullScreen": 1})
            # F4 held as a person holds it switches once a press: from full screen to a window and back.
            for press in range(10):
                modes = counts()["modes"]
                run("xdotool", "keydown", "F4", "sleep", 0.3, "keyup", "F4")
                self.assertTrue(until(lambda: counts()["modes"] > modes), "F4 set no video mode")
                time.sleep(0.1)
                now = counts()
                self.assertEqual((now["modes"], now["live"], now["stray"], now["fullScreen"]),
                                 (modes + 1, 3, 0, (modes + 2) // 2), now)
            self.endLevel("F5", "l0.txt")
            self.assertEqual(counts()["live"], 3)
            if not sanitized:  # AddressSanitizer quarantines what is freed
                self.assertLessEqual(rss() - before, 3072, "kB of resident memory")
            self.holdUntil("Escape", DONE)
            self.assertExits(START % 2 + played("l0.txt") * (restarts + 2) + DONE)
            self.assertEqual(counts()["live"], 0, "the last unload deletes every list")
