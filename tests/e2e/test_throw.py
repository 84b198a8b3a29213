"""Throwing the ball with a real mouse drag: a straight throw down the lane knocks the
one pin over the lane's end into the pit and wins the level; the right button
abandons a throw and puts the ball back; a click within one frame is no throw;
buttons while paused; the throw clock outlasting a skipped level."""

import time

import harness
import screen
from harness import (COMPLETED, DEBOUNCE, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded,
                     scenes)

# The lane ends at y 2; the pin stands at y 1, the ball starts at y -8 and both rest on the lane.
# Dragging 200 pixels up in about 0.4 s sends the ball at about 10 units a second; the pin,
# five times lighter, leaves faster still, off the end, and drops below the bound at z -5.
DRAG = (0, -200)
START = LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES


class ThrowTests(harness.GameTests):
    def start(self):
        files = screen.sceneFiles(["lane.txt", "over.txt"])
        game = self.startLevel(files, "lane.txt")
        # Let the ball and the pin settle on the lane.
        game.waitShot(screen.throwBanner, what="the level awaiting a throw")
        return game

    def assertLaneWonThenQuit(self, game):
        """The lane is won within the throw's ten seconds, then Esc on the game-over screen."""
        game.waitFor(UNLOADING, timeout=8)
        game.waitFor(loaded("over.txt"))
        game.holdUntil("Escape", DONE)
        self.assertExits(game, START + loaded("lane.txt") + UNLOADING + loaded("over.txt") + UNLOADING
                         + COMPLETED + DONE)

    def testStraightThrowKnocksThePinIntoThePit(self):
        game = self.start()
        game.drag(*DRAG)
        # While the ball rolls the banner is blank and the throw clock shows on the second line.
        game.waitShot(lambda s: screen.hasText(s, screen.THROW_TIME) and screen.noText(s, screen.BANNER),
                      timeout=1.5, what="the throw clock")
        self.assertLaneWonThenQuit(game)

    def testPinInThePitIsCountedOff(self):
        # A second pin stands aside on the lane, out of the ball's way.
        pins = (((0, 1, 0.5), 0.5, 1.0, "pin.txt"), ((2.5, -5, 0.5), 0.5, 1.0, "pin.txt"))
        files = screen.sceneFiles(["lane.txt", "over.txt"], pins=pins)
        game = self.startLevel(files, "lane.txt")
        before = game.waitShot(lambda s: screen.throwBanner(s) and screen.pinCount(s, "2 / 2"),
                               what="the level awaiting a throw")
        firstDigit, rest = (0, 0, 8, 16), (8, 0, 40, 16)
        game.drag(*DRAG)
        # "2 / 2" becomes "1 / 2": only the first character changes.
        after = game.waitShot(lambda s: screen.litCells(s, firstDigit) != screen.litCells(before, firstDigit)
                              and screen.throwBanner(s), timeout=8, what="one pin counted off")
        self.assertEqual(screen.litCells(after, rest), screen.litCells(before, rest))
        self.assertTrue(screen.pinCount(after, "1 / 2"), "a digit is still shown")
        # One pin is left, so the level goes on.
        game.assertQuiet(0.5)

    def testRightButtonAbandonsTheThrow(self):
        game = self.start()
        # Released and at once abandoned, long before the ball reaches the pin.
        game.drag(*DRAG)
        game.click(3, 0.02)
        shot = game.waitShot(screen.throwBanner, timeout=2, what="the ball back, awaiting a throw")
        self.assertTrue(screen.noText(shot, screen.THROW_TIME), "no throw clock once the throw is abandoned")
        self.assertTrue(screen.hasText(shot, screen.PIN_COUNT))
        # The pin was left standing: the level goes on, and the next throw wins it.
        game.assertQuiet(2.5)
        game.drag(*DRAG)
        self.assertLaneWonThenQuit(game)

    def testThrowClockRunsOnIntoTheNextLevel(self):
        # The throw clock is not reset when a level starts: skipping a level while the ball
        # rolls leaves the next level counting down the rest, shown under the pin count.
        # The pin stands aside, out of the ball's way, so that the throw cannot win the level.
        aside = (((2.5, -5, 0.5), 0.5, 1.0, "pin.txt"),)
        files = screen.sceneFiles(["lane.txt", "next.txt", "over.txt"], pins=aside)
        gated = {"next.txt": files.pop("next.txt")}
        game = self.startLevel(files, "lane.txt", gated=gated)
        game.waitShot(screen.throwBanner, what="the level awaiting a throw")
        game.drag(*DRAG)
        game.waitShot(lambda s: screen.hasText(s, screen.THROW_TIME), timeout=1.5, what="the throw clock")
        self.assertHoldEndsLevel(game, "F12", "next.txt")
        game.waitShot(lambda s: screen.throwBanner(s) and screen.hasText(s, screen.THROW_TIME),
                      what="the new level awaiting a throw, with the clock of the last one")

    def testClickWithinOneFrameIsNoThrow(self):
        files = screen.sceneFiles(["lane.txt", "next.txt", "over.txt"])
        gated = {"next.txt": files.pop("next.txt")}
        game = self.startLevel(files, "lane.txt", gated=gated)
        game.holdUntil("F12", UNLOADING)
        # Pressed and released while the next level loads, so that its first frame gets both:
        # no game time passes between them, and the throw begun is over at once, with no push.
        game.click(1)
        game.feed("next.txt")
        game.waitFor(loaded("next.txt"))
        game.waitDrawn()
        for _ in range(2):
            shot = game.screenshot()
            self.assertTrue(screen.throwBanner(shot) and screen.noText(shot, screen.THROW_TIME),
                            "still awaiting a throw, with no throw clock")
            game.assertQuiet(0.3)

    def testButtonsWhilePaused(self):
        game = self.start()
        rolling = lambda s: screen.hasText(s, screen.THROW_TIME) and screen.noText(s, screen.BANNER)
        game.pressUntil("p", lambda s: screen.paused(s) and screen.throwBanner(s), "paused, awaiting a throw")
        # The press starts a throw even while paused; the release is ignored, so it stays a throw
        # in progress, the banner blank, with no clock, through the resume.
        game.click(1)
        game.waitShot(lambda s: screen.paused(s) and screen.noText(s, screen.BANNER), what="a throw begun")
        time.sleep(DEBOUNCE)
        shot = game.pressUntil("Return", screen.running, "resumed")
        self.assertTrue(screen.noText(shot, screen.BANNER) and screen.noText(shot, screen.THROW_TIME))
        # A release now ends the drag: a throw without a push, watched on the throw clock.
        game.click(1)
        game.waitShot(rolling, what="the throw clock")
        # While paused the right button does not abandon it.
        time.sleep(DEBOUNCE)
        game.pressUntil("p", screen.paused, "paused while the ball rolls")
        game.click(3)
        time.sleep(DEBOUNCE)
        shot = game.pressUntil("Return", screen.running, "resumed")
        self.assertTrue(rolling(shot), "the throw goes on after a right click while paused")
        game.click(3)
        game.waitShot(lambda s: screen.throwBanner(s) and screen.noText(s, screen.THROW_TIME),
                      what="the throw abandoned")
        game.assertQuiet(0)


if __name__ == "__main__":
    harness.main()
