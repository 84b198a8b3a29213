"""The command line and the scene list: echoed arguments, every way the list can be
wrong (none of which opens a window), and entries beyond the stated count."""

import harness
from harness import (BAD_LIST, COMPLETED, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, UNLOADING, loaded,
                     scenes)

INVALID_FIRST_LINE = "invalid first line, or number of scenes stated\n"


class SceneListTests(harness.GameTests):
    def runList(self, listText, args=()):
        files = {} if listText is None else {"scenelist.txt": listText}
        return self.launch(files, args=args)

    def testArgumentsAreEchoedWithoutTheProgramName(self):
        game = self.runList(None, args=["a", "b"])
        self.assertExits(game, "1 a\n2 b\n" + LOADING_LIST + "Unable to open scenelist.txt, exiting...\n")

    def testArgumentWithSpacesIsEchoedWhole(self):
        game = self.runList("scenes 0\n", args=["two words", "--x"])
        self.assertExits(game, "1 two words\n2 --x\n" + LOADING_LIST + scenes(0) + INVALID_FIRST_LINE
                         + BAD_LIST)

    def testHeaderWithoutNumberReportsMinusOneScenes(self):
        for text in ("scenes many\nlevel a.txt\n", "scenes\n", "justoneword"):
            with self.subTest(listText=text):
                game = self.runList(text)
                self.assertExits(game, LOADING_LIST + scenes(-1) + INVALID_FIRST_LINE + BAD_LIST)

    def testNoSceneOrNegativeCountIsRejected(self):
        for n in (0, -3):
            with self.subTest(count=n):
                game = self.runList("scenes %d\nlevel a.txt\n" % n)
                self.assertExits(game, LOADING_LIST + scenes(n) + INVALID_FIRST_LINE + BAD_LIST)

    def testFewerEntriesThanStatedAreRejected(self):
        # The third entry is a label without a file name.
        game = self.runList("scenes 3\nlevel a.txt\nlevel b.txt\nlevel\n")
        self.assertExits(game, LOADING_LIST + scenes(3) + "Not all scene entries valid\n" + BAD_LIST)

    def testEmptyListIsRejected(self):
        game = self.runList("")
        self.assertExits(game, LOADING_LIST + scenes(-1) + INVALID_FIRST_LINE + BAD_LIST)

    def testHugeCountWithFewEntriesIsRejected(self):
        # The table grows with the entries read, so the missing second entry fails the list.
        game = self.runList("scenes 2000000000\nlevel a.txt\n")
        self.assertExits(game, LOADING_LIST + scenes(2000000000) + "Not all scene entries valid\n" + BAD_LIST)

    def testLongLabelsAndTheLongestFileNameAreTakenWhole(self):
        # Labels of any length are skipped; a name of 256 characters is kept to its last one
        # (here too long for the file system, so the level cannot be opened).
        name = "n" * 252 + ".txt"
        game = self.runList("a-header-label-of-more-than-twenty-characters 1\n"
                            "an-entry-label-of-more-than-twenty-characters %s\n" % name)
        self.assertExits(game, LOADING_LIST + scenes(1) + LIST_LOADED + GL_LINES
                         + "Unable to open file: %s for scene loading\n" % name + COMPLETED + DONE)

    def testEntriesBeyondTheStatedCountAreIgnored(self):
        # One entry stated: it is the last, so it runs as the game-over screen, and
        # finishing it comes back to it, never to the surplus entry.
        files = {"scenelist.txt": "scenes 1\nlevel over.txt\nlevel surplus.txt\n",
                 "over.txt": harness.sceneText()}
        files.update(harness.laneMeshes())
        game = self.startLevel(files, "over.txt")
        game.click(1)
        game.waitFor(COMPLETED)
        game.waitFor(loaded("over.txt"))
        game.holdUntil("Escape", DONE)
        self.assertExits(game, LOADING_LIST + scenes(1) + LIST_LOADED + GL_LINES
                         + loaded("over.txt") + UNLOADING + COMPLETED + loaded("over.txt")
                         + UNLOADING + COMPLETED + DONE)


if __name__ == "__main__":
    harness.main()
