"""What the player sees: the scene file's background colour, the lane, ball and pin,
the heads-up lines of a playable level and of the game-over screen, and the window's titles."""

import subprocess

import harness
import screen
from harness import BALL, FLOOR, PIN


class HudTests(harness.GameTests):
    def testPlayableLevelShowsSceneAndHeadsUpLines(self):
        game = self.startLevel(screen.sceneFiles(["l0.txt", "over.txt"]), "l0.txt")
        shot = game.waitShot(lambda s: hasScene(s) and screen.throwBanner(s),
                             what="the level awaiting a throw")
        background = harness.unitColour(screen.BACKGROUND)
        middle = screen.HEIGHT // 2
        for corner in ((screen.WIDTH - 1, 40), (10, middle), (screen.WIDTH - 10, middle)):
            self.assertTrue(harness.near(background)(shot.pixel(*corner)),
                            "background at %s is %s" % (corner, shot.pixel(*corner)))
        self.assertTrue(screen.pinCount(shot, "1 / 1"), "pin count")
        self.assertTrue(screen.frameRate(shot), "frame rate")
        self.assertTrue(screen.noText(shot, screen.THROW_TIME), "no throw under way")
        self.assertTrue(screen.noText(shot, screen.PAUSED), "not paused")
        # Text appears nowhere else: the rest of the top line between pin count and banner is empty.
        self.assertTrue(screen.noText(shot, (64, 0, screen.BANNER[0], 16)))
        self.assertTrue(screen.noText(shot, (0, 40, screen.WIDTH, screen.HEIGHT - 20)))

    def testWindowCaption(self):
        game = self.startLevel(screen.sceneFiles(["over.txt"]), "over.txt")
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Pinwhirl$"],
                             capture_output=True, text=True, timeout=10).stdout.split()
        self.assertTrue(ids, "a visible window with the title Pinwhirl")
        if self.runtime.name == "classic":
            # sdl12-compat drops the icon title.
            props = subprocess.run(["xprop", "-id", ids[0], "WM_ICON_NAME"],
                                   capture_output=True, text=True, timeout=10).stdout
            self.assertIn('"whatDoesThisDo?"', props)

    def testGameOverScreenHasNoPinCount(self):
        game = self.startLevel(screen.sceneFiles(["over.txt"]), "over.txt")
        shot = game.waitShot(lambda s: hasScene(s) and screen.gameOverBanner(s), what="the game-over screen")
        self.assertTrue(screen.noText(shot, screen.PIN_COUNT), "no pin count on the game-over screen")
        self.assertTrue(screen.frameRate(shot), "frame rate")
        self.assertTrue(screen.noText(shot, screen.THROW_TIME))

    def testBackgroundColourComesFromTheSceneFile(self):
        files = screen.sceneFiles(["l0.txt", "over.txt"])
        files["l0.txt"] = files["l0.txt"].replace("background [0.1, 0.3, 0.5]", "background [0.6, 0.2, 0.6]")
        gated = {"over.txt": files.pop("over.txt")}
        game = self.startLevel(files, "l0.txt", gated=gated)
        purple = harness.near((153, 51, 153))
        game.waitShot(lambda s: s.count(0, 40, screen.WIDTH, 120, purple) > screen.WIDTH * 60,
                      what="the purple background of l0.txt")
        self.assertHoldEndsLevel(game, "F12", "over.txt")
        blue = harness.near(harness.unitColour(screen.BACKGROUND))
        game.waitShot(lambda s: s.count(0, 40, screen.WIDTH, 120, blue) > screen.WIDTH * 60,
                      what="the blue background of over.txt")


def hasScene(shot):
    """The lane, the ball and the pin are all on screen."""
    return (shot.count(0, 0, screen.WIDTH, screen.HEIGHT, harness.near(FLOOR, 40)) > 2000
            and shot.count(0, 0, screen.WIDTH, screen.HEIGHT, harness.near(BALL, 40)) > 50
            and shot.count(0, 0, screen.WIDTH, screen.HEIGHT, harness.near(PIN, 40)) > 10)


if __name__ == "__main__":
    harness.main()
