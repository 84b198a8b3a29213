"""Started without any X display. Classic SDL can then set no OpenGL mode, which is
the game's one fatal error; sdl12-compat runs offscreen instead."""

import os
import re
import signal

import harness
from harness import COMPLETED, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes


class NoDisplayTests(harness.GameTests):
    def launchWithoutDisplay(self, env=None):
        files = harness.laneMeshes()
        files["scenelist.txt"] = harness.sceneList(["over.txt"])
        files["over.txt"] = harness.sceneText()
        return self.launch(files, display=False, env=env)

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
        # In a sanitizer build the leak check stays off for this run: SDL 2's offscreen driver
        # leaks, and sdl12-compat unloads it before the check, so its leak has no name to suppress.
        options = [o for o in os.environ.get("ASAN_OPTIONS", "").split(":") if o] + ["detect_leaks=0"]
        game = self.launchWithoutDisplay(env={"ASAN_OPTIONS": ":".join(options)})
        game.waitFor(loaded("over.txt"), timeout=15)
        game.assertQuiet(0.5)
        game.signal(signal.SIGTERM)
        # SDL's offscreen driver may complain about the session on stderr; the game adds nothing there.
        self.assertExits(game, LOADING_LIST + scenes(1) + LIST_LOADED + GL_LINES + loaded("over.txt")
                         + UNLOADING + COMPLETED + DONE, quietStderr=False)
        self.assertNotIn("Couldn't set", game.stderr())


if __name__ == "__main__":
    harness.main()
