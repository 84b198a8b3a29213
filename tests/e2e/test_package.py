"""The Debian package made from this build tree, unpacked in a folder whose path has a blank (or with
$PINWHIRL_INSTALLED_DEB, as installed): its launcher (which checks a pack folder first), checker, lintian,
manual pages, desktop entry, AppStream, the level authors' example."""

import os
import pathlib
import tempfile

from harness import COMPLETED, DONE, START, GameTest, played, run


class Package(GameTest):
    @classmethod
    def setUpClass(cls):
        cls.deb, cls.root = os.environ.get("PINWHIRL_INSTALLED_DEB"), pathlib.Path("/")
        if not cls.deb:
            work = pathlib.Path(cls.enterClassContext(tempfile.TemporaryDirectory(prefix="pinwhirl package ")))
            run("cpack", "--config", pathlib.Path(os.environ["PINWHIRL_BUILD"], "CPackConfig.cmake"), "-B", work)
            (cls.deb,) = work.glob("pinwhirl_*_amd64.deb")
            cls.root = work / "root"
            run("dpkg-deb", "-x", cls.deb, cls.root)

    def testTheLauncherPlaysAPackFolderGivenFirstOrElseTheInstalledPack(self):
        launcher, names = self.root / "usr/games/pinwhirl", ["l0.txt", "over.txt"]
        self.launch("classic", names, gated=names, args=["-x"], launcher=launcher)
        self.playThrough(names)
        self.holdUntil("Escape", DONE)
        self.assertExits("1 -x\n" + START % 2 + played(*names) + COMPLETED + played("l0.txt") + DONE)
        # A folder with no scene list is no pack: the game gets it as an argument.
        self.launch("classic", launcher=launcher)
        self.holdUntil("Escape", DONE)
        # The installed pack's own list: its count and first level.
        words = (self.root / "usr/share/games/pinwhirl/scenelist.txt").read_text().split()
        self.assertExits("1 a pack\n" + START % int(words[1]) + played(words[3]) + DONE)
        # A pack being written: the installed checker's errors on standard error, then the game as ever.
        self.launch("classic", ["slip.txt", "over.txt"], launcher=launcher)
        self.holdUntil("Escape", DONE)
        self.assertExits(START % 2 + played("slip.txt") + DONE,
                         stderr=r'a pack/slip\.txt:12: error: pin 1, location: the closing "\]" is missing; [^\n]*\n')

    def testTheCheckerLintianAndTheValidatorsPassTheInstalledFiles(self):
        # The pack's throws and order are proven by check.pack; here the installed checker reads it all.
        run(self.root / "usr/bin/pinwhirl-check", "--throws", "0", self.root / "usr/share/games/pinwhirl")
        # The authors' example, run where it is installed, finds the module beside it and leaves no bytecode there.
        examples = self.root / "usr/share/doc/pinwhirl/examples"
        pack = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        run("env", "-u", "PYTHONDONTWRITEBYTECODE", "python3", examples / "walledLevel.py", pack)  # as a user runs it
        run(self.root / "usr/bin/pinwhirl-check", "--throws", "0", pack)
        self.assertEqual(sorted(p.name for p in examples.iterdir()), ["pinwhirlshapes.py", "walledLevel.py"])
        self.assertRegex(run("dpkg-deb", "-f", self.deb, "Depends").stdout, r"libc6 .*libgl1.*libsdl1\.2debian")
        self.assertEqual(run("lintian", "--fail-on", "error,warning", self.deb).stdout, "")
        pages = ("man6/pinwhirl.6.gz", "man1/pinwhirl-check.1.gz", "man1/pinwhirl-import.1.gz", "man5/pinwhirl-level.5.gz")
        for page in pages:
            self.assertEqual(run("man", "--warnings", "-l", self.root / "usr/share/man" / page).stderr, "", page)
        self.assertEqual(run("desktop-file-validate", self.root / "usr/share/applications/pinwhirl.desktop").stdout, "")
        metainfo = self.root / "usr/share/metainfo/invalid.pinwhirl.pinwhirl.metainfo.xml"
        run("appstreamcli", "validate", "--no-net", metainfo)

