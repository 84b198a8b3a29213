"""Scene files that cannot be loaded: each ends the whole run, cleanly, with the
loaders' messages in order."""

import harness
from harness import (COMPLETED, DONE, GL_LINES, LIST_LOADED, LOADING_LIST, MESH_ERROR, PINS_SHORT,
                     PRIOR_TO_PINS, UNLOADING, scenes)

START = LOADING_LIST + scenes(2) + LIST_LOADED + GL_LINES


class SceneFileTests(harness.GameTests):
    def runScene(self, sceneText, omit=(), extra=None):
        """Runs a two-entry list whose first entry is level.txt holding sceneText."""
        files = harness.laneMeshes()
        files.update(extra or {})
        files["scenelist.txt"] = harness.sceneList(["level.txt", "over.txt"])
        files["over.txt"] = harness.sceneText()
        if sceneText is not None:
            files["level.txt"] = sceneText
        for name in omit:
            del files[name]
        return self.launch(files)

    def testMissingSceneFile(self):
        game = self.runScene(None)
        self.assertExits(game, START + "Unable to open file: level.txt for scene loading\n" + DONE)

    def testMissingLastSceneStillCompletesTheGame(self):
        # The level that fails is the last entry, so the index wraps before the run ends.
        files = {"scenelist.txt": harness.sceneList(["gone.txt"])}
        game = self.launch(files)
        self.assertExits(game, LOADING_LIST + scenes(1) + LIST_LOADED + GL_LINES
                         + "Unable to open file: gone.txt for scene loading\n" + COMPLETED + DONE)

    def testEmptySceneFile(self):
        game = self.runScene("")
        self.assertExits(game, START + PRIOR_TO_PINS + DONE)

    def testShortEntryBeforeThePins(self):
        # The background lacks its third number; the text colour after it is well formed.
        text = harness.sceneText().replace("background [0.2, 0.2, 0.4]", "background [0.2, 0.2]")
        game = self.runScene(text)
        self.assertExits(game, START + PRIOR_TO_PINS + DONE)

    def testBracketAfterWhiteSpaceShiftsTheEntries(self):
        # "0.4 ]" still converts three numbers, but the bracket is then read as the next label.
        text = harness.sceneText().replace("0.4]", "0.4 ]")
        game = self.runScene(text)
        self.assertExits(game, START + PRIOR_TO_PINS + DONE)

    def testMissingWorldMeshRunsOnIntoTheSceneMessage(self):
        game = self.runScene(harness.sceneText(), omit=["world.txt"])
        self.assertExits(game, START + MESH_ERROR % "world.txt" + PRIOR_TO_PINS + DONE)

    def testMissingBallMeshRunsOnIntoTheSceneMessage(self):
        game = self.runScene(harness.sceneText(), omit=["ball.txt"])
        self.assertExits(game, START + MESH_ERROR % "ball.txt" + PRIOR_TO_PINS + DONE)

    def testMissingCollisionMesh(self):
        game = self.runScene(harness.sceneText(), omit=["collide.txt"])
        self.assertExits(game, START + MESH_ERROR % "collide.txt" + "\n" + PRIOR_TO_PINS + DONE)

    def testCollisionMeshWithTooFewTriangles(self):
        short = harness.meshText(harness.rectangle(-3, -10, 3, 2, 0, harness.FLOOR)).replace(
            "triangles 2", "triangles 3")
        game = self.runScene(harness.sceneText(collide="short.txt"), extra={"short.txt": short})
        self.assertExits(game, START + "Didn't find enough triangles in colision object\n" + PRIOR_TO_PINS
                         + DONE)

    def testTooFewPins(self):
        # Two pins stated, one given.
        game = self.runScene(harness.sceneText(pinCount=2))
        self.assertExits(game, START + PINS_SHORT + UNLOADING + DONE)

    def testHugePinCountFailsOnTheFirstMissingPin(self):
        # The pins array grows with the entries read: no attempt at two billion records at once.
        game = self.runScene(harness.sceneText(pinCount=2000000000))
        self.assertExits(game, START + PINS_SHORT + UNLOADING + DONE)

    def testMissingPinMesh(self):
        pins = (((0, 1, 0.5), 0.5, 1.0, "pin.txt"), ((1, 1, 0.5), 0.5, 1.0, "nopin.txt"))
        game = self.runScene(harness.sceneText(pins=pins))
        self.assertExits(game, START + MESH_ERROR % "nopin.txt" + PINS_SHORT + UNLOADING + DONE)


if __name__ == "__main__":
    harness.main()
