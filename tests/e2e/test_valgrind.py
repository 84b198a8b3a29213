"""The game under valgrind's memcheck: a short level with a throw, a restart and a switch of
the video mode, then Esc, with no memory error and no leak in the game's own code."""

import os
import shutil
import sys
import tempfile
import xml.etree.ElementTree as ET

import harness
from harness import DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes

# Everything runs some fifty times slower under memcheck, llvmpipe's compiler above all.
SLOW = 240.0

# Frames that belong to the C and C++ runtime or to valgrind itself: an allocation or a bad
# access made there is charged to whoever called them.
RUNTIME_OBJECTS = ("vgpreload_", "/libc.so", "/libstdc++.so", "/libm.so", "/ld-linux")


def ownFrame(frame, source):
    directory = frame.findtext("dir") or ""
    return directory == source or directory.startswith(source + os.sep)


def isGames(error, source):
    """An error or leak is the game's when, in any of its stacks (the access, or where the value
    or block came from), the innermost frame outside the runtime lies in the game's source.

    Mesa, X and SDL keep a few blocks for the life of the process and some of their stacks run
    through the game's calls (toggleFullscreen sets the video mode); those stay theirs.
    """
    for stack in error.findall("stack"):
        for frame in stack.findall("frame"):
            if not any(o in (frame.findtext("obj") or "") for o in RUNTIME_OBJECTS):
                if ownFrame(frame, source):
                    return True
                break
    return False


def describe(error):
    what = error.findtext("what") or error.findtext("xwhat/text") or error.findtext("kind")
    frames = ["    %s (%s:%s)" % (f.findtext("fn") or "?", f.findtext("file") or f.findtext("obj") or "?",
                                  f.findtext("line") or "?") for f in error.find("stack").findall("frame")[:12]]
    return "\n".join([what] + frames)


def isSanitized(binary):
    # valgrind cannot run a program built with AddressSanitizer: both want to own the heap.
    with open(binary, "rb") as f:
        return b"__asan_init" in f.read()


class ValgrindTests(harness.GameTests):
    def testAShortGameHasNoMemoryErrorAndNoLeakOfItsOwn(self):
        binary = os.environ["PINWHIRL_BIN"]
        if isSanitized(binary):
            self.skipTest("the AddressSanitizer build cannot run under valgrind; the optimised build does")
        if shutil.which("valgrind") is None:
            self.skipTest("valgrind is not installed")
        source = os.path.realpath(os.environ["PINWHIRL_SOURCE"])
        work = tempfile.TemporaryDirectory(prefix="pinwhirl-valgrind-")
        self.addCleanup(work.cleanup)
        report = os.path.join(work.name, "memcheck.xml")

        files = harness.laneMeshes()
        files["scenelist.txt"] = harness.sceneList(["l0.txt", "over.txt"])
        files["over.txt"] = harness.sceneText()
        # Frames of a tenth of a second let a pin drop through the lane; a bound far below
        # keeps it in play, and the level running, for the few seconds of the run.
        game = self.launch(files, gated={"l0.txt": harness.sceneText(lowest=-1000)},
                           wrapper=["valgrind", "--tool=memcheck", "--leak-check=full", "--show-leak-kinds=definite",
                                    "--errors-for-leak-kinds=definite", "--track-origins=yes", "--num-callers=40",
                                    # A library's forked helper would write into the same report.
                                    "--child-silent-after-fork=yes", "--xml=yes", "--xml-file=" + report,
                                    "--log-file=" + report + ".log"])
        game.feed("l0.txt", SLOW)
        game.waitFor(loaded("l0.txt"), SLOW)
        game.waitDrawn(SLOW)
        game.drag(0, -200)
        game.holdUntil("F5", UNLOADING, SLOW)
        game.feed("l0.txt", SLOW)
        game.waitFor(loaded("l0.txt"), SLOW)
        game.waitDrawn(SLOW)
        # Held for several slow frames: it may switch more than once, which is as good.
        game.hold("F4", 0.5)
        game.holdUntil("Escape", DONE, SLOW)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES
                         + (loaded("l0.txt") + UNLOADING) * 2 + DONE, timeout=SLOW)

        errors = ET.parse(report).getroot().findall("error")
        own = [e for e in errors if isGames(e, source)]
        sys.stderr.write("\n[%s] memcheck: %d reports, %d of them in the game's code\n"
                         % (self.runtime.name, len(errors), len(own)))
        if own:
            self.fail("memcheck found in the game's code:\n" + "\n\n".join(map(describe, own)))


if __name__ == "__main__":
    harness.main()
