"""What only the whole program shows: the run of levels with its wrap, real throws that clear a level at the
drag's speed, a stall in the drag or not, the keys tapped or held that pause, end a level or the game, starting
without a display, a soak of restarts and switches, full screen and pause on a desktop's screen, and hints
whose throws do what they say."""

import os
import pathlib
import re
import signal
import subprocess
import tempfile
import time
import unittest.mock

from harness import COMPLETED, DONE, LOADED, PACK, START, UNLOADING, GameTest, played, pointerShown, run, until


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

    def throwUp(self, stall):
        """Drags 300 pixels up the screen in 1.5 s, the game stopped for `stall` seconds from 0.5 s after it took in
        the press. Returns the ball's speed as the game draws it; the speed the drag gives, 300 pixels times 0.02 over
        the time from the press to the release as the game took them in; and the share of that time taken by the two
        frames in which they came, since the game cannot tell when in a frame an event came (a long drag, so that
        even the frames a busy machine makes long are short beside it)."""
        # The pointer moves first: the first motion after the grab may jump.
        drag = "mousemove 320 420 sleep 0.1 mousemove_relative -- 1 1 sleep 0.1 mousedown 1 "
        drag += "sleep 0.05 mousemove_relative -- 0 -10 " * 30 + "mouseup 1"
        before, xdotool = self.probed(), subprocess.Popen(["xdotool", *drag.split()])
        if stall:
            self.assertTrue(until(lambda: self.probed()["pressSeconds"] > before["pressSeconds"]))
            time.sleep(0.5)
            self.proc.send_signal(signal.SIGSTOP)
            time.sleep(stall)
            self.proc.send_signal(signal.SIGCONT)
        self.assertEqual(xdotool.wait(10), 0)
        # The ball rolls up the lane from y -8 and meets the pin at y 0.
        self.assertTrue(until(lambda: self.probed()["ballY"] > -7.5))
        start = self.probed()
        self.assertTrue(until(lambda: self.probed()["ballY"] > -1))
        end = self.probed()
        ball = (end["ballY"] - start["ballY"]) / (end["ballSeconds"] - start["ballSeconds"])
        seconds = end["releaseSeconds"] - end["pressSeconds"]
        return ball, 300 * 0.02 / seconds, (end["pressFrame"] + end["releaseFrame"]) / seconds

    def testThrowsUpTheLaneKnockThePinIntoThePitAtTheDragsSpeedThoughTheGameStalls(self):
        probe = self.glProbe()
        for rt in self.runtimes:
            names = ["first.txt", "l1.txt", "over.txt"]
            self.launch(rt, names, args=["two words", "-x"], preload=probe, env={"GLPROBE_OUT": "gl"})
            self.waitFor(LOADED % "first.txt")
            # The search ignores case, the title check does not.
            found = run("xdotool", "search", "--onlyvisible", "--name", "Pinwhirl", "getwindowname", "%@").stdout
            self.assertIn("Pinwhirl", found.splitlines())
            self.takesInput()
            # A busy machine may stop the game mid-drag (0.4 s: a frame that counts no game time).
            for stall, level in ((0, "l1.txt"), (0.4, "over.txt")):
                ball, drag, frames = self.throwUp(stall)
                why = "%s: the ball at %.2f, the drag %.2f" % (rt, ball, drag)
                self.assertLess(abs(ball / drag - 1), 0.1 + frames, why)
                self.waitFor(LOADED % level, timeout=12)
            self.holdUntil("Escape", DONE)
            self.assertExits("1 two words\n2 -x\n" + START % 3 + played(*names) + COMPLETED + DONE)

    def pauseChanges(self, seconds):
        """Holds p down `seconds`, and longer until the pause changes; returns how often it changed meanwhile."""
        seen, start = [pointerShown()], time.monotonic()
        run("xdotool", "keydown", "p")
        while time.monotonic() < start + seconds or (seen[0] == seen[-1] and time.monotonic() < start + 10):
            seen.append(pointerShown())
        run("xdotool", "keyup", "p")
        return sum(a != b for a, b in zip(seen, seen[1:]))

    def testTapsPlayingOrPausedAreSeenAHeldPauseKeyTogglesOnceAndWhatQuits(self):
        """Taps of 20 ms, shorter than the paused game's rest between frames; holds as long as people's. Esc and
        Ctrl+q (either Ctrl) quit, as closing the window does; plain q does not."""
        for rt in self.runtimes:
            for ending, paused in (("Escape", 0), ("Escape", 1), ("ctrl+q", 0), ("ctrl+q", 1), ("Control_R+q", 1),
                                   ("SIGTERM", 0)):
                self.launch(rt, ["l0.txt", "over.txt"])
                self.waitFor(LOADED % "l0.txt")
                self.takesInput()
                if ending == "SIGTERM":
                    for key, pausing in (("p", True), ("p", False), ("Pause", True), ("Pause", False)):
                        self.tap(key)
                        self.assertPaused(pausing, "after a tap of " + key)
                    for seconds in (0.3, 1):
                        self.assertEqual(self.pauseChanges(seconds), 1, "p held %s s, %s" % (seconds, rt))
                    run("xdotool", "keydown", "q", "sleep", 0.2, "keyup", "q")
                    self.tap("p")
                    self.assertPaused(True, "after a plain q")
                    self.tap("p")
                    self.assertPaused(False)
                    self.proc.send_signal(signal.SIGTERM)  # SDL makes it a quit event
                else:
                    if paused:
                        self.tap("p")
                        self.assertPaused(True)
                    self.tap(ending)
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
            self.takesInput()
            for _ in range(5):
                time.sleep(0.3)
                self.proc.send_signal(signal.SIGSTOP)
                time.sleep(0.2)
                self.proc.send_signal(signal.SIGCONT)
            time.sleep(1.5)  # a sunk pin would fall below the level's lowest point (-5) in a second
            self.assertNotIn(UNLOADING, self.read("stdout")[self.seen:])
            # F12, then F5, each held 0.3 s: one skip, one restart.
            for key in ("F12", "F5"):
                run("xdotool", "keydown", key, "sleep", 0.3, "keyup", key)
                self.waitFor(LOADED % "l0.txt")
            self.holdUntil("Escape", DONE)
            self.assertExits(START % 4 + played("stall.txt", "l0.txt", "l0.txt") + DONE)

    def testWithoutADisplayAPlayerCouldSeeTheGameEndsWithStatusTwo(self):
        # A sanitizer build checks no leaks here: SDL 2 leaks while it looks for a driver.
        asan = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        for rt in self.runtimes:
            # No display (a text console, ssh), or sdl12-compat's offscreen driver, which classic SDL lacks.
            offscreen = "SDL_Init failed with code -1\n" if rt == "classic" else ""
            nowhere = {"DISPLAY": None, "WAYLAND_DISPLAY": None}
            for env, said in (nowhere, ""), ({"SDL_VIDEODRIVER": "offscreen"}, offscreen):
                self.launch(rt, ["over.txt"], env={**env, "ASAN_OPTIONS": asan})
                stderr = "[^\\0]*Couldn't set a particular GL video mode: [^\n]+\n"  # SDL 2 may say more first
                self.assertExits(START.split("<GL>")[0] % 1 + said, 2, stderr)


class Hint(GameTest):
    """The shipped pack's levels of three kinds, with a throw made as the hint says: the drag in the picture's
    pixels (the screen's, at 640x480 full screen) in steps over its time. A hint from a level whose pins still
    slide may be out of date by the throw, hence a few tries, each with a hint of its own. The key does nothing
    while paused or on the game-over screen."""

    def restOfLine(self, timeout=10):
        begin = self.seen
        self.waitFor("\n", timeout)
        return self.read("stdout")[begin : self.seen - 1]

    def throw(self, words):
        moves = {w: int(n) for n, w in re.findall(r"(\d+) px (up|down|left|right)", words)}
        seconds = float(re.search(r" in ([\d.]+) s$", words).group(1))
        self.drag(moves.get("right", 0) - moves.get("left", 0), moves.get("down", 0) - moves.get("up", 0), seconds)

    def testAThrowAsTheHintSaysClearsTheLevelOrTakesThePinsItSaysWithinThreeTries(self):
        for rt in self.runtimes:
            for level in ("classic.scene", "bank.scene", "bowl.scene"):
                with self.subTest(runtime=rt, level=level):
                    self.playByHints(rt, level)
                self.proc.kill()

    def playByHints(self, rt, level):
        self.launch(rt, [level, "over.scene"], pack=PACK.parents[2] / "levels")
        self.waitFor(LOADED % level)
        # Once a hint shows that keys arrive, h takes it away; pressed while paused, h does nothing.
        self.holdUntil("h", "hint: thinking (")
        self.waitFor("hint: drag", timeout=60)
        self.restOfLine()
        self.tap("h")
        self.tap("p")
        self.assertPaused(True)
        self.tap("h")
        self.tap("Return")
        self.assertPaused(False)
        self.assertNotIn("hint", self.read("stdout")[self.seen :])
        promised, kept, over, won = None, False, None, LOADED % "over.scene"
        self.holdUntil("h", "hint: thinking (")
        for tries in range(4):
            left = int(self.restOfLine().split()[0])
            kept = promised is not None and left <= promised
            if kept or tries == 3:
                break
            # Pins still falling as the ball came back may yet win the level.
            if self.waitForFirst(("hint: ", won), timeout=60) == won:
                kept, over = True, self.seen
                break
            advice = self.restOfLine()
            self.assertRegex(advice, r"^drag .* s: (clears the level|takes \d+ of %d pins)$" % left)
            words, outcome = advice.split(": ")
            self.throw(words)
            # Pressed anew each second until the level is won, or a throw is awaited again: the ball rolls until
            # then (ten seconds of game time, which a slow machine's long frames stretch).
            if self.holdUntil("h", "hint: thinking (", won, presses=60) == won:
                kept, over = True, self.seen
                break
            if outcome != "clears the level":
                taken, before = map(int, re.fullmatch(r"takes (\d+) of (\d+) pins", outcome).groups())
                promised = before - taken
        if over:
            run("xdotool", "key", "h")  # nor on the game-over screen
        self.assertTrue(kept, self.read("stdout"))
        self.holdUntil("Escape", DONE)
        self.assertNotIn("hint", self.read("stdout")[over:] if over else "")


class Soak(GameTest):
    def testRestartsAndSwitchesKeepDisplayListsAndMemoryFlat(self):
        probe = self.glProbe()
        sanitized = os.environ.get("PINWHIRL_SANITIZED") == "1"
        restarts = 50 if sanitized else 200  # leaks show at once there
        for rt in self.runtimes:
            self.launch(rt, ["l0.txt", "over.txt"], gated=["l0.txt"], preload=probe, env={"GLPROBE_OUT": "gl"})
            counts = lambda: {k: self.probed()[k] for k in ("live", "made", "stray", "modes", "fullScreen")}
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
                # With no window manager nothing gives a new window the keyboard: the test does, as one would.
                run("xdotool", "search", "--onlyvisible", "--name", "^Pinwhirl$", "windowfocus", "%1")
                run("xdotool", "keydown", "F4", "sleep", 0.3, "keyup", "F4")
                self.assertTrue(until(lambda: counts()["modes"] > modes), "press %d of F4 set no video mode" % press)
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


class Desktop(GameTest):
    """A 1920x1080 screen with a window manager (openbox), as a player's desktop has, on an X server of its own."""

    @classmethod
    def setUpClass(cls):
        def start(*command, **options):
            process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options)
            cls.addClassCleanup(process.wait, 10)
            cls.addClassCleanup(process.kill)

        read, write = os.pipe()  # the server takes a free display and writes its number there once it is ready
        start("Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset",
              pass_fds=[write])
        os.close(write)
        with os.fdopen(read) as ready:
            cls.enterClassContext(unittest.mock.patch.dict(os.environ, DISPLAY=":" + ready.readline().strip()))
        managing = pathlib.Path(cls.enterClassContext(tempfile.TemporaryDirectory()), "managing")
        start("openbox", "--startup", "touch '%s'" % managing)
        assert until(managing.exists), "openbox did not start"

    def picture(self):
        """What a shot of the screen shows of the game's picture (its blue background): its width to its height,
        whether text (yellow) lies in its first and its last line's height, and whether the lane (green) fills
        a quarter of its height."""
        shot = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True).stdout
        (width, height), pixels = map(int, shot.split(b"\n")[1].split()), shot.split(b"\n", 3)[3]
        rows = [pixels[y * width * 3 : (y + 1) * width * 3] for y in range(height)]

        def at(y, colour):  # the columns of the first and the last pixel of a colour in row y
            spots = [m.start() // 3 for m in re.finditer(b"(?=%s)" % colour, rows[y]) if m.start() % 3 == 0]
            return spots and (spots[0], spots[-1])

        blue = [(y, at(y, re.escape(bytes((26, 76, 128))))) for y in range(height)]
        blue = [(y, x) for y, x in blue if x] or [(0, (0, 0))]
        top, bottom, line = blue[0][0], blue[-1][0], (blue[-1][0] - blue[0][0] + 1) * 16 / 480
        text = [y for y in range(top, bottom + 1) if at(y, b"[\xa0-\xff]{2}[\0-\x50]")] or [-1]
        lane = [y for y in range(top, bottom + 1) if at(y, b"\0\xc8\0")]
        width = max(x[1] for _, x in blue) - min(x[0] for _, x in blue) + 1
        aspect = round(width / (bottom - top + 1), 2)
        return aspect, text[0] < top + line, text[-1] > bottom - line, len(lane) > line * 7

    def testFullScreenShowsTheWholePictureAndAPauseSetsThePointerFree(self):
        """Classic SDL centres the picture and sdl12-compat scales it to fit: either way all of it shows.
        Paused, the game lets the pointer leave its window and leaves the processor alone; resumed, it holds it."""
        probe, away, whole = self.glProbe(), ("1910", "1070"), (1.33, True, True, True)
        # Where the pointer lands when sent away (the game lets go or takes hold in its next frame).
        locate = ("xdotool", "mousemove", *away, "getmouselocation")
        pointer = lambda: tuple(c[2:] for c in run(*locate).stdout.split()[:2])
        for rt in self.runtimes:
            self.launch(rt, ["first.txt", "over.txt"], preload=probe, env={"GLPROBE_OUT": "gl"})
            self.waitFor(LOADED % "first.txt")
            until(lambda: self.picture() == whole, timeout=5)
            self.assertEqual(self.picture(), whole, rt)
            # Paused in full screen, where sdl12-compat scales every picture it draws, the game rests.
            self.holdUntil("p", pointerShown)
            stat = pathlib.Path("/proc/%d/stat" % self.proc.pid)
            ticks = lambda: sum(map(int, stat.read_text().rsplit(")", 1)[1].split()[11:13]))  # user and system time
            before = ticks()
            time.sleep(2)
            self.assertLess((ticks() - before) / os.sysconf("SC_CLK_TCK") / 2, 0.05, "of a core while paused")
            # F4 switches to a window, to full screen and back while paused, once a press.
            while self.probed()["modes"] % 2 or self.probed()["modes"] < 4:
                modes = self.probed()["modes"]
                run("xdotool", "keydown", "F4", "sleep", 0.3, "keyup", "F4")
                until(lambda: self.probed()["modes"] > modes)
            until(lambda: pointer() == away, timeout=2)
            self.assertEqual(pointer(), away, "the paused game holds the pointer")
            run("xdotool", "keydown", "Return", "sleep", 0.3, "keyup", "Return")
            until(lambda: pointer() != away, timeout=2)
            self.assertNotEqual(pointer(), away, "the resumed game lets the pointer go")
            self.holdUntil("Escape", DONE)
