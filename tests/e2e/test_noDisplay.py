"""Started without any X display. Classic SDL can then set no OpenGL mode, which is
the game's one fatal error; sdl12-compat runs offscreen instead."""

import re
import signal

import harness
from harness import COMPLETED, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes


class NoDisplayTests(harness.GameTests):
    def launchWithoutDisplay(self):
        files = harness.laneMeshes()
        files["scenelist.txt"] = harness.sceneList(["over.txt"])
        files["over.txt"] = harness.sceneText()
        return self.launch(files, display=False)

    def testNoVideoModeIsFatal(self):
        if self.runtime.name != "classic":
            self.skipTest("sdl12-compat runs offscreen without a display")
        game = self.launchWithoutDisplay()
        rc = game.waitExit(15)
        self.assertEqual(rc, 2, "exit status; stderr:\n" + game.stderr())
        self.assertRegex(game.stderr(), re.compile(r"\ACouldn't set a particular GL video mode: [^\n]+\n\Z"))
        # The list is read before SDL starts; SDL's text-mode fallback adds nothing to the output.
        self.assertTranscript(game.stdout(), LOADING_LIST + scenes(1) + LIST_LOADED)

    def testOffscreenRunIsWhole(self):
        if self.runtime.name != "compat":
            self.skipTest("classic SDL cannot run without a display")
        game = self.launchWithoutDisplay()
        game.waitFor(loaded("over.txt"), timeout=15)
        game.assertQuiet(0.5)
        game.signal(signal.SIGTERM)
        # SDL's offscreen driver may complain about the session on stderr; the game adds nothing there.
        self.assertExits(game, LOADING_LIST + scenes(1) + LIST_LOADED + GL_LINES + loaded("over.txt")
                         + UNLOADING + COMPLETED + DONE, quietStderr=False)
        self.assertNotIn("Couldn't set", game.stderr())


if __name__ == "__main__":
    harness.main()
