"""Pause and resume, and the full-screen switch, seen on the screen."""

import time

import harness
import screen
from harness import DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes

# A pause or resume locks the next change out for a quarter second.
DEBOUNCE = 0.35


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
        game.hold("Escape")
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("l0.txt")
                         + UNLOADING + DONE)

    def testPauseKeysPauseAndReturnResumes(self):
        game = self.start()
        for pauseKey, resumeKey in (("p", "Return"), ("Pause", "p"), ("p", "Pause")):
            with self.subTest(pause=pauseKey, resume=resumeKey):
                game.hold(pauseKey)
                shot = game.waitShot(screen.paused, what="PAUSED after %s" % pauseKey)
                # The banner of the state still shows while paused.
                self.assertTrue(screen.throwBanner(shot))
                time.sleep(DEBOUNCE)
                game.hold(resumeKey)
                game.waitShot(screen.running, what="PAUSED gone after %s" % resumeKey)
                time.sleep(DEBOUNCE)
        # Return only resumes.
        game.hold("Return")
        time.sleep(DEBOUNCE)
        self.assertTrue(screen.running(game.screenshot()), "Return must not pause")
        game.assertQuiet(0)
        self.assertQuitsCleanly(game)

    def testFullScreenSwitchKeepsTheGameRunning(self):
        game = self.start()
        for switch in ("to a window", "back to full screen"):
            with self.subTest(switch=switch):
                time.sleep(DEBOUNCE)
                # F4 pauses; the level is drawn whole in the new mode, display lists included.
                game.hold("F4", 0.03)
                game.waitShot(lambda s: screen.paused(s) and drawsLevel(s) and screen.throwBanner(s),
                              what="the paused level after F4")
                time.sleep(DEBOUNCE)
                game.hold("Return")
                game.waitShot(lambda s: screen.running(s) and drawsLevel(s), what="the level resumed")
        game.assertQuiet(0)
        self.assertQuitsCleanly(game)


if __name__ == "__main__":
    harness.main()
