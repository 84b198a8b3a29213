"""Pause and resume, and the full-screen switch, seen on the screen."""

import re
import subprocess
import time

import harness
import screen
from harness import DEBOUNCE, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes



def drawsLevel(shot):
    """The lane is drawn and the background fills the top of the screen: the frame is whole."""
    background = harness.near(harness.unitColour(screen.BACKGROUND))
    return (shot.count(0, 0, screen.WIDTH, screen.HEIGHT, harness.near(harness.FLOOR, 40)) > 2000
            and shot.count(0, 40, screen.WIDTH, 120, background) > screen.WIDTH * 60)


class ControlTests(harness.GameTests):
    def start(self):
        game = self.startLevel(screen.sceneFiles(["l0.txt", "over.txt"]), "l0.txt")
        game.waitShot(lambda s: screen.running(s) and screen.throwBanner(s), what="the level running")
        return game

    def assertQuitsCleanly(self, game):
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("l0.txt")
                         + UNLOADING + DONE)

    def testPauseKeysPauseAndReturnResumes(self):
        game = self.start()
        for pauseKey, resumeKey in (("p", "Return"), ("Pause", "p"), ("p", "Pause")):
            with self.subTest(pause=pauseKey, resume=resumeKey):
                shot = game.pressUntil(pauseKey, screen.paused, "PAUSED after %s" % pauseKey)
                # The banner of the state still shows while paused.
                self.assertTrue(screen.throwBanner(shot))
                time.sleep(DEBOUNCE)
                game.pressUntil(resumeKey, screen.running, "PAUSED gone after %s" % resumeKey)
                time.sleep(DEBOUNCE)
        # Return only resumes.
        game.hold("Return")
        time.sleep(DEBOUNCE)
        self.assertTrue(screen.running(game.screenshot()), "Return must not pause")
        game.assertQuiet(0)
        self.assertQuitsCleanly(game)

    def testFullScreenSwitchKeepsTheGameRunning(self):
        game = self.start()
        for wantWindow in (True, False):
            with self.subTest(window=wantWindow):
                # F4 held down switches on every frame it is down, so one press may switch more
                # than once; press until the mode is the one wanted. Classic SDL shows its mode in
                # its windows; under sdl12-compat without a window manager nothing tells them apart.
                for attempt in range(12):
                    game.hold("F4", 0.02)
                    time.sleep(0.1)
                    if self.runtime.name != "classic" or classicIsWindowed(game) == wantWindow:
                        break
                else:
                    self.fail("F4 never switched to %s" % ("a window" if wantWindow else "full screen"))
                # F4 pauses; the level is drawn whole in the new mode, display lists included.
                game.waitShot(lambda s: screen.paused(s) and drawsLevel(s) and screen.throwBanner(s),
                              what="the paused level after F4")
                time.sleep(DEBOUNCE)
                game.pressUntil("Return", lambda s: screen.running(s) and drawsLevel(s), "the level resumed")
        game.assertQuiet(0)
        self.assertQuitsCleanly(game)

def classicIsWindowed(game):
    """Classic SDL draws into a child of its managed window (the one with the caption) only
    in windowed mode; in full screen the child moves to a separate full-screen window."""
    ids = subprocess.run(["xdotool", "search", "--name", "^Pinwhirl$"], capture_output=True,
                         text=True, timeout=10).stdout.split()
    for wid in ids:
        tree = subprocess.run(["xwininfo", "-children", "-id", wid], capture_output=True,
                              text=True, timeout=10).stdout
        if re.search(r"^\s*1 child:", tree, re.M):
            return True
    return False

if __name__ == "__main__":
    harness.main()
