#!/usr/bin/env python3
"""The Debian package made from this build tree, unpacked in a folder whose path has a blank (or
with $PINWHIRL_INSTALLED_DEB, that package as installed in /): its launcher plays a pack folder
given to it, or else the installed pack; its checker passes the installed pack; lintian, the
manual pages, the desktop entry and the AppStream data pass."""

import glob
import os
import subprocess
import tempfile
import unittest

from harness import COMPLETED, DONE, START, UNLOADING, GameTest, loaded, pack


def run(*command):
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode:
        raise AssertionError("%s exited %d:\n%s%s" % (command, done.returncode, done.stdout, done.stderr))
    return done


class Package(GameTest):
    @classmethod
    def setUpClass(cls):
        if os.environ.get("PINWHIRL_INSTALLED_DEB"):
            cls.deb, cls.root = os.environ["PINWHIRL_INSTALLED_DEB"], "/"
            return
        cls.work = tempfile.TemporaryDirectory(prefix="pinwhirl package ")
        cls.addClassCleanup(cls.work.cleanup)
        run("cpack", "--config", os.path.join(os.environ["PINWHIRL_BUILD"], "CPackConfig.cmake"), "-B", cls.work.name)
        (cls.deb,) = glob.glob(os.path.join(cls.work.name, "pinwhirl_*_amd64.deb"))
        cls.root = os.path.join(cls.work.name, "root")
        run("dpkg-deb", "-x", cls.deb, cls.root)

    def path(self, p):
        return os.path.join(self.root, p)

    def testTheLauncherPlaysAPackFolderGivenFirstOrElseTheInstalledPack(self):
        launcher = self.path("usr/games/pinwhirl")
        names = ["l0.txt", "over.txt"]
        game = self.launch("classic", pack(names), gated=names, args=["-x"], command=lambda p: [launcher, p])
        game.feed("l0.txt")
        game.waitFor(loaded("l0.txt"))
        game.endLevel("F12", "over.txt")
        game.xdotool("click", 1)
        game.waitFor(COMPLETED)
        game.feed("l0.txt")
        game.waitFor(loaded("l0.txt"))
        game.holdUntil("Escape", DONE)
        self.assertExits(game, "1 -x\n" + START % 2 + loaded("l0.txt") + UNLOADING + loaded("over.txt") + UNLOADING
                         + COMPLETED + loaded("l0.txt") + UNLOADING + DONE)
        # A folder with no scene list is no pack: the game gets it as an argument.
        game = self.launch("classic", {}, command=lambda p: [launcher, "/"])
        game.waitFor(loaded("01-classic.scene"))
        game.holdUntil("Escape", DONE)
        self.assertExits(game, "1 /\n" + START % 9 + loaded("01-classic.scene") + UNLOADING + DONE)

    def testTheCheckerPassesTheInstalledPack(self):
        run(self.path("usr/bin/pinwhirl-check"), self.path("usr/share/games/pinwhirl"))

    def testLintianTheManualPagesTheDesktopEntryAndTheAppStreamDataPass(self):
        self.assertRegex(run("dpkg-deb", "-f", self.deb, "Depends").stdout, r"libc6 .*libgl1.*libsdl1\.2debian")
        self.assertEqual(run("lintian", "--fail-on", "error,warning", self.deb).stdout, "")
        for page in ("usr/share/man/man6/pinwhirl.6.gz", "usr/share/man/man1/pinwhirl-check.1.gz"):
            page = self.path(page)
            self.assertEqual(run("man", "--warnings", "-l", page).stderr, "", page)
        self.assertEqual(run("desktop-file-validate", self.path("usr/share/applications/pinwhirl.desktop")).stdout, "")
        metainfo = self.path("usr/share/metainfo/invalid.pinwhirl.pinwhirl.metainfo.xml")
        run("appstreamcli", "validate", "--no-net", metainfo)


if __name__ == "__main__":
    unittest.main(verbosity=2)
