"""Levels with infinite and NaN numbers in the real game: one is won at once, the next
plays on, takes a throw and quits cleanly."""

import harness
import screen
from harness import DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded, scenes

NAN, INF = float("nan"), float("inf")


class HostileLevelTests(harness.GameTests):
    def testInfiniteBoundIsWonAtOnceAndNaNLevelPlaysOn(self):
        files = screen.sceneFiles(["inf.txt", "nan.txt", "over.txt"])
        # Below an infinite bound every pin is out at the first step.
        files["inf.txt"] = harness.sceneText(background=screen.BACKGROUND, text=screen.TEXT, lowest=INF)
        # A ball that reaches nothing and weighs infinitely much, a pin placed at a NaN
        # x (it touches nothing, drops out and is counted once) and a sound pin of
        # negative mass.
        files["nan.txt"] = harness.sceneText(
            background=screen.BACKGROUND, text=screen.TEXT, ball=((0, -8, 0.5), NAN, INF, "ball.txt"),
            pins=(((NAN, 1, 0.5), 0.5, 0, "pin.txt"), ((1.5, 1, 0.5), 0.5, -1, "pin.txt")))
        game = self.launch(files)
        game.waitFor(loaded("inf.txt") + UNLOADING + loaded("nan.txt"))
        game.waitDrawn()
        game.waitShot(lambda s: screen.pinCount(s, "1 / 2"), what="the NaN pin counted out once")
        game.drag(0, -200)
        game.assertQuiet(1.0)
        self.assertTrue(screen.pinCount(game.screenshot(), "1 / 2"), "the sound pin still stands")
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(3) + LIST_LOADED + GL_LINES + loaded("inf.txt") + UNLOADING
                         + loaded("nan.txt") + UNLOADING + DONE)


if __name__ == "__main__":
    harness.main()
