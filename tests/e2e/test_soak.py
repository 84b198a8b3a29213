"""Soak: two hundred restarts and twenty full-screen switches in one run must leave the
game's memory and its display lists where they were, and the game still answering."""

import os
import subprocess
import sys
import tempfile
import time

import harness
from harness import DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes

RESTARTS = 200
SWITCHES = 20
# Resident memory may wander a little (allocator pools, driver caches); a level that leaked
# its meshes, its collision list or a surface on every restart or switch would not stay inside.
RSS_SLACK_KB = 3072


def buildProbe(directory):
    """Compiles glprobe.c, the preloaded counter of display lists and video modes."""
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "glprobe.c")
    library = os.path.join(directory, "glprobe.so")
    subprocess.run(["gcc", "-shared", "-fPIC", "-O2", "-Wall", "-o", library, source, "-ldl"], check=True,
                   timeout=60)
    return library


class Probe:
    """What glprobe.c last wrote, and the game's resident memory."""

    FIELDS = ("live", "generated", "deleted", "highest", "modes", "stray")

    def __init__(self, game, path):
        self.game, self.path = game, path

    def counts(self):
        with open(self.path) as f:
            return dict(zip(self.FIELDS, map(int, f.read().split())))

    def rssKb(self):
        with open("/proc/%d/status" % self.game.proc.pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise AssertionError("no VmRSS for the game")

    def sanitized(self):
        # AddressSanitizer keeps freed memory in quarantine, so resident memory grows by design.
        with open("/proc/%d/maps" % self.game.proc.pid) as f:
            return "libasan" in f.read()

    def switchMode(self, gate, timeout=10.0):
        """Holds F4 until the game has set a new mode, then lets it go on once F4 is up."""
        target = self.counts()["modes"] + 1
        deadline = time.monotonic() + timeout
        self.game.xdotool("keydown", "F4")
        try:
            while self.counts()["modes"] < target:
                if time.monotonic() > deadline:
                    raise AssertionError("the video mode was not switched within %.1f s" % timeout)
                time.sleep(0.005)
        finally:
            self.game.xdotool("keyup", "F4")
        with open(gate, "wb") as g:
            g.write(b"g")


class SoakTests(harness.GameTests):
    def testRestartsAndSwitchesKeepMemoryAndDisplayListsFlat(self):
        work = tempfile.TemporaryDirectory(prefix="pinwhirl-soak-")
        self.addCleanup(work.cleanup)
        out = os.path.join(work.name, "probe.txt")
        gate = os.path.join(work.name, "gate")
        os.mkfifo(gate)
        preload = " ".join(p for p in (buildProbe(work.name), os.environ.get("PINWHIRL_PRELOAD")) if p)

        files = harness.laneMeshes()
        files["scenelist.txt"] = harness.sceneList(["l0.txt", "over.txt"])
        files["over.txt"] = harness.sceneText()
        game = self.launch(files, gated={"l0.txt": harness.sceneText()},
                           env={"LD_PRELOAD": preload, "GLPROBE_OUT": out, "GLPROBE_GATE": gate})
        probe = Probe(game, out)
        game.feed("l0.txt")
        game.waitFor(loaded("l0.txt"))
        game.waitDrawn()

        sanitized = probe.sanitized()
        stages = [("start", probe.rssKb(), probe.counts())]
        began = time.monotonic()
        # The next load waits for the test to feed the scene file, so each press restarts once.
        for _ in range(RESTARTS):
            self.assertHoldEndsLevel(game, "F5", "l0.txt")
        game.waitDrawn()
        stages.append(("after %d restarts" % RESTARTS, probe.rssKb(), probe.counts()))
        restartSeconds = time.monotonic() - began

        # F4 acts on every frame it is down; the gate makes each press switch once.
        for _ in range(SWITCHES):
            probe.switchMode(gate)
        game.waitDrawn()
        stages.append(("after %d switches" % SWITCHES, probe.rssKb(), probe.counts()))

        sys.stderr.write("\n[%s] %d restarts in %.1f s\n" % (self.runtime.name, RESTARTS, restartSeconds))
        for name, rss, counts in stages:
            sys.stderr.write("[%s] %-20s VmRSS %6d kB  live lists %d  made %d  deleted %d  highest name %d  "
                             "modes set %d\n" % (self.runtime.name, name, rss, counts["live"],
                                                 counts["generated"], counts["deleted"], counts["highest"],
                                                 counts["modes"]))

        # The game still answers, and each restart unloaded and loaded the level exactly once.
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES
                         + (loaded("l0.txt") + UNLOADING) * (RESTARTS + 1) + DONE, timeout=20)

        # The world, the ball and the pin: three lists while the level runs, every one made deleted.
        for name, rss, counts in stages:
            self.assertEqual((counts["live"], counts["stray"]), (3, 0), name)
        self.assertEqual(stages[1][2]["generated"], 3 * (RESTARTS + 1))
        self.assertEqual(stages[2][2]["modes"], 1 + SWITCHES)
        self.assertEqual(probe.counts()["live"], 0, "the last unload deletes every list")
        if sanitized:
            sys.stderr.write("[%s] resident memory not compared: AddressSanitizer quarantines freed memory\n"
                             % self.runtime.name)
        else:
            for name, rss, counts in stages[1:]:
                self.assertLessEqual(rss - stages[0][1], RSS_SLACK_KB, "resident memory %s" % name)


if __name__ == "__main__":
    harness.main()
