"""The run of levels: skipping, restarting, the game-over screen and its wrap to the
first level, and the ways out of the game."""

import signal

import harness
from harness import COMPLETED, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes


def levelFiles(names, gated=()):
    """A scene list of names, each a lane level with one pin; returns (files, gated files)."""
    files = harness.laneMeshes()
    files["scenelist.txt"] = harness.sceneList(names)
    gatedFiles = {}
    for name in names:
        (gatedFiles if name in gated else files)[name] = harness.sceneText()
    return files, gatedFiles


class LevelSequenceTests(harness.GameTests):
    def testSkippingThroughTheLevelsWrapsAfterTheGameOverScreen(self):
        names = ["l0.txt", "l1.txt", "over.txt"]
        files, gated = levelFiles(names, gated=names)
        game = self.startLevel(files, "l0.txt", gated=gated)
        self.assertHoldEndsLevel(game, "F12", "l1.txt")
        self.assertHoldEndsLevel(game, "F12", "over.txt")
        # The last entry is the game-over screen: a left-button release finishes it.
        game.click(1)
        game.waitFor(UNLOADING)
        game.waitFor(COMPLETED)
        game.feed("l0.txt")
        game.waitFor(loaded("l0.txt"))
        # A second pass, this time skipping the game-over screen with F12.
        self.assertHoldEndsLevel(game, "F12", "l1.txt")
        self.assertHoldEndsLevel(game, "F12", "over.txt")
        self.assertHoldEndsLevel(game, "F12", "l0.txt")
        game.holdUntil("Escape", DONE)
        passThrough = (loaded("l0.txt") + UNLOADING + loaded("l1.txt") + UNLOADING + loaded("over.txt")
                       + UNLOADING + COMPLETED)
        self.assertExits(game, LOADING_LIST + scenes(3) + LIST_LOADED + GL_LINES + passThrough + passThrough
                         + loaded("l0.txt") + UNLOADING + DONE)

    def testLeftClickDoesNotEndAPlayableLevel(self):
        files, gated = levelFiles(["l0.txt", "over.txt"])
        game = self.startLevel(files, "l0.txt")
        game.click(1)
        game.assertQuiet(0.5)
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("l0.txt")
                         + UNLOADING + DONE)

    def testQuittingOnTheGameOverScreenCompletesTheGame(self):
        files, gated = levelFiles(["l0.txt", "over.txt"], gated=["over.txt"])
        game = self.startLevel(files, "l0.txt", gated=gated)
        self.assertHoldEndsLevel(game, "F12", "over.txt")
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("l0.txt")
                         + UNLOADING + loaded("over.txt") + UNLOADING + COMPLETED + DONE)

    def testControlQQuitsButPlainQDoesNot(self):
        for ctrl in ("ctrl", "Control_R"):
            with self.subTest(modifier=ctrl):
                files, gated = levelFiles(["l0.txt", "over.txt"])
                game = self.startLevel(files, "l0.txt")
                game.hold("q")
                game.assertQuiet(0.4)
                game.holdUntil(ctrl + "+q", DONE)
                self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("l0.txt")
                                 + UNLOADING + DONE)

    def testF5RestartsTheLevelEachTime(self):
        files, gated = levelFiles(["l0.txt", "over.txt"], gated=["l0.txt"])
        game = self.startLevel(files, "l0.txt", gated=gated)
        self.assertHoldEndsLevel(game, "F5", "l0.txt")
        self.assertHoldEndsLevel(game, "F5", "l0.txt")
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES
                         + (loaded("l0.txt") + UNLOADING) * 3 + DONE)

    def testF5OutranksEscapeInTheSameFrame(self):
        files, gated = levelFiles(["l0.txt", "over.txt"], gated=["l0.txt"])
        game = self.startLevel(files, "l0.txt", gated=gated)
        game.holdUntil("F5", UNLOADING)
        # Both keys go down while the level reloads, so its first frame sees them together.
        game.xdotool("keydown", "Escape", "keydown", "F5")
        try:
            game.feed("l0.txt")
            game.waitFor(loaded("l0.txt"))
            game.waitFor(UNLOADING)
        finally:
            game.xdotool("keyup", "F5", "keyup", "Escape")
        game.feed("l0.txt")
        game.waitFor(loaded("l0.txt"))
        game.waitDrawn()
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES
                         + (loaded("l0.txt") + UNLOADING) * 3 + DONE)

    def testWinningOutranksF5InTheSameFrame(self):
        names = ["l0.txt", "empty.txt", "next.txt", "over.txt"]
        files, gated = levelFiles(names, gated=["empty.txt", "next.txt"])
        gated["empty.txt"] = harness.sceneText(pins=())
        game = self.startLevel(files, "l0.txt", gated=gated)
        game.holdUntil("F12", UNLOADING)
        # F5 is down in the first frame of a level without pins, which is won in that frame.
        game.xdotool("keydown", "F5")
        try:
            game.feed("empty.txt")
            game.waitFor(loaded("empty.txt"))
            game.waitFor(UNLOADING)
        finally:
            game.xdotool("keyup", "F5")
        game.feed("next.txt")
        game.waitFor(loaded("next.txt"))
        game.waitDrawn()
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(4) + LIST_LOADED + GL_LINES
                         + "".join(loaded(n) + UNLOADING for n in names[:3]) + DONE)

    def testRestartedGameOverScreenIsStillTheGameOverScreen(self):
        files, gated = levelFiles(["over.txt"], gated=["over.txt"])
        game = self.startLevel(files, "over.txt", gated=gated)
        self.assertHoldEndsLevel(game, "F5", "over.txt")
        # Only the game-over screen ends on a left-button release.
        game.click(1)
        game.waitFor(COMPLETED)
        game.feed("over.txt")
        game.waitFor(loaded("over.txt"))
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(1) + LIST_LOADED + GL_LINES
                         + (loaded("over.txt") + UNLOADING) * 2 + COMPLETED + loaded("over.txt") + UNLOADING
                         + COMPLETED + DONE)

    def testLevelWithoutPinsIsWonAtOnceButTheGameOverScreenIsNot(self):
        files = harness.laneMeshes()
        files["scenelist.txt"] = harness.sceneList(["empty.txt", "over.txt"])
        files["empty.txt"] = files["over.txt"] = harness.sceneText(pins=())
        game = self.launch(files)
        game.waitFor(loaded("over.txt"))
        game.waitDrawn()
        game.assertQuiet(0.5)
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("empty.txt")
                         + UNLOADING + loaded("over.txt") + UNLOADING + COMPLETED + DONE)

    def testTerminationEndsTheRunLikeClosingTheWindow(self):
        # SDL turns SIGTERM into a quit event, which ends the level with its exit mode unchanged.
        files, gated = levelFiles(["l0.txt", "over.txt"])
        game = self.startLevel(files, "l0.txt")
        game.signal(signal.SIGTERM)
        self.assertExits(game, LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES + loaded("l0.txt")
                         + UNLOADING + DONE)


if __name__ == "__main__":
    harness.main()
