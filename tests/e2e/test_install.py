#!/usr/bin/env python3
"""`cmake --install` lays Pinwhirl out like a Linux game under any prefix: the
launcher on the path starts the real game on the installed level pack from
any working directory, and the desktop entry, icon and manual page are where
desktops and man look for them.

Needs PINWHIRL_BIN (the game in its build tree) and an X display in DISPLAY."""

import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import unittest

BIN = os.environ.get("PINWHIRL_BIN", "")
BUILD = os.path.dirname(os.path.abspath(BIN)) if BIN else ""
SOURCE = os.environ.get("PINWHIRL_SOURCE", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


class installedGame(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        # a prefix with a blank in it: every path in the launcher must be quoted
        cls.prefix = os.path.join(cls.tmp, "game prefix")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True, stdout=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_filesAreWhereALinuxGameKeepsThem(self):
        self.assertTrue(os.access(self.path("bin", "pinwhirl"), os.X_OK))
        self.assertTrue(os.access(self.path("libexec", "pinwhirl", "pinwhirl"), os.X_OK))
        pack = self.path("share", "pinwhirl", "levels")
        self.assertEqual(sorted(os.listdir(pack)), sorted(os.listdir(os.path.join(SOURCE, "levels"))))
        self.assertTrue(os.path.isfile(self.path("share", "applications", "pinwhirl.desktop")))
        self.assertTrue(os.path.isfile(self.path("share", "icons", "hicolor", "64x64", "apps", "pinwhirl.png")))
        self.assertTrue(os.path.isfile(self.path("share", "man", "man6", "pinwhirl.6")))

    def test_desktopEntryStartsTheLauncherWithTheIcon(self):
        with open(self.path("share", "applications", "pinwhirl.desktop")) as f:
            lines = f.read().splitlines()
        self.assertEqual(lines[0], "[Desktop Entry]")
        entry = dict(l.split("=", 1) for l in lines[1:] if "=" in l)
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "Pinwhirl")
        self.assertEqual(entry["Exec"], "pinwhirl")  # the launcher's name in bin
        self.assertEqual(entry["Icon"], "pinwhirl")  # the icon's name in the hicolor theme
        self.assertIn("Game", entry["Categories"].split(";"))

    def test_iconIsA64PixelPng(self):
        with open(self.path("share", "icons", "hicolor", "64x64", "apps", "pinwhirl.png"), "rb") as f:
            data = f.read()
        self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
        width, height = struct.unpack(">II", data[16:24])
        self.assertEqual((width, height), (64, 64))

    def test_manPageRendersInSectionSix(self):
        page = self.path("share", "man", "man6", "pinwhirl.6")
        out = subprocess.run(["man", "-l", "-Tutf8", page], capture_output=True, text=True,
                             env=dict(os.environ, MANWIDTH="80"))
        self.assertEqual(out.returncode, 0, out.stderr)
        self.assertEqual(out.stderr, "")
        text = re.sub(".\b", "", out.stdout)  # no overstrike for bold and underline
        self.assertIn("PINWHIRL(6)", text)
        for word in ("SYNOPSIS", "CONTROLS", "F12", "F5", "F4", "Esc", "scenelist.txt"):
            self.assertIn(word, text)

    def test_launcherPlaysTheInstalledPackFromAnyFolder(self):
        # called through a symbolic link from an unrelated folder
        elsewhere = os.path.join(self.tmp, "elsewhere")
        os.makedirs(elsewhere, exist_ok=True)
        link = os.path.join(elsewhere, "pinwhirl")
        if not os.path.exists(link):
            os.symlink(self.path("bin", "pinwhirl"), link)
        for attempt in range(5):
            game = subprocess.Popen(["stdbuf", "-oL", link, "hello"], cwd=elsewhere, stdout=subprocess.PIPE,
                                    stderr=subprocess.STDOUT, text=True)
            seen = []
            try:
                for line in game.stdout:
                    seen.append(line)
                    if line.startswith("done loading scene from file") or "SDL_Init failed" in line:
                        break
            finally:
                game.terminate()
                game.wait(10)
                game.stdout.close()
            if not any("SDL_Init failed" in l for l in seen):
                break
            time.sleep(2)  # the display was not reachable right after another client: again
        self.assertEqual(seen[0], "1 hello\n")  # arguments reach the game
        self.assertEqual(seen[1], "loading list of scenes...\n")
        self.assertEqual(seen[-1], "done loading scene from file 01-classic.scene\n", "".join(seen))


if __name__ == "__main__":
    if not os.path.exists(BIN) or not os.path.exists(os.path.join(BUILD, "cmake_install.cmake")):
        raise SystemExit("PINWHIRL_BIN does not name the game in a build tree: %r" % BIN)
    unittest.main(verbosity=2)
