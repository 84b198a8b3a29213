#!/usr/bin/env python3
"""The committed level pack is exactly what tools/genlevels.py writes, and its
files keep the rules the game depends on: meshes end with a line break,
collision normals are unit length and agree with the corners' winding, the
ball and the pins are closed and wound to be seen from outside, labels fit,
and every file a scene names is in the pack.

Run with PINWHIRL_SOURCE set to the source tree (CTest sets it)."""

import math
import os
import re
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("PINWHIRL_SOURCE", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PACK = os.path.join(SOURCE, "levels")
GENERATOR = os.path.join(SOURCE, "tools", "genlevels.py")

TRIPLE = r"\[(-?[0-9.]+), (-?[0-9.]+), (-?[0-9.]+)\]"
MAX_COLLISION_TRIANGLES = 2000

sys.path.insert(0, os.path.dirname(GENERATOR))
from genlevels import cross, dot, sub  # noqa: E402  (plain vector arithmetic, shared with the generator)


def readMesh(path):
    """(header count, [(normal, [(colour, position)] * 3)]) from a mesh file,
    checked line by line against the layout the generator writes."""
    with open(path) as f:
        lines = f.read().split("\n")
    head = re.fullmatch(r"(\S{1,11}) (\d+)", lines[0])
    assert head, "%s: header %r" % (path, lines[0])
    count = int(head.group(2))
    tris = []
    body = lines[1:]
    assert body[-1] == "", "%s: no final line break" % path
    body = body[:-1]
    assert len(body) % 7 == 0, "%s: %d lines after the header" % (path, len(body))
    for k in range(0, len(body), 7):
        m = re.fullmatch(r"\S{1,11} " + TRIPLE, body[k])
        assert m, "%s: normal line %r" % (path, body[k])
        normal = tuple(float(v) for v in m.groups())
        corners = []
        for j in range(3):
            c = re.fullmatch(r"\S{1,11} \[(\d+), (\d+), (\d+)\]", body[k + 1 + 2 * j])
            p = re.fullmatch(r"\S{1,11} " + TRIPLE, body[k + 2 + 2 * j])
            assert c and p, "%s: corner near line %d" % (path, k + 2)
            colour = tuple(int(v) for v in c.groups())
            assert all(0 <= v <= 255 for v in colour), "%s: colour %r" % (path, colour)
            corners.append((colour, tuple(float(v) for v in p.groups())))
        tris.append((normal, corners))
    return count, tris


def windingNormal(corners):
    p = [c[1] for c in corners]
    n = cross(sub(p[1], p[0]), sub(p[2], p[0]))
    m = math.sqrt(dot(n, n))
    return (n[0] / m, n[1] / m, n[2] / m) if m > 0 else (0.0, 0.0, 0.0)


def onTriangle(point, normal, corners, tolerance=1e-3):
    """Whether a point lies on a triangle (within tolerance), whose plane has
    the given unit normal."""
    p = [c[1] for c in corners]
    if abs(dot(normal, sub(point, p[0]))) > tolerance:
        return False
    for k in range(3):
        edge = sub(p[(k + 1) % 3], p[k])
        if dot(cross(edge, sub(point, p[k])), normal) < -tolerance:
            return False
    return True


def centroid(corners):
    p = [c[1] for c in corners]
    return tuple(sum(q[i] for q in p) / 3.0 for i in range(3))


def covered(point, normal, tris):
    """Whether some triangle facing the same way holds the point."""
    for n, corners in tris:
        w = windingNormal(corners)
        if dot(w, normal) > 0.999 and onTriangle(point, w, corners):
            return True
    return False


def readScene(path):
    """The scene file's entries, in order, as (label, value) pairs."""
    with open(path) as f:
        text = f.read()
    assert text.endswith("\n")
    return [tuple(line.split(" ", 1)) for line in text.splitlines()]


def sceneList():
    with open(os.path.join(PACK, "scenelist.txt")) as f:
        words = f.read().split()
    count = int(words[1])
    return [words[3 + 2 * i] for i in range(count)]


class packIsRegenerated(unittest.TestCase):
    def test_generatorWritesTheCommittedPackByteForByte(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, out], check=True, stdout=subprocess.DEVNULL)
            made = sorted(os.listdir(out))
            committed = sorted(n for n in os.listdir(PACK) if not n.startswith("."))
            self.assertEqual(made, committed, "files written differ from the files committed")
            for name in made:
                with open(os.path.join(out, name), "rb") as a, open(os.path.join(PACK, name), "rb") as b:
                    self.assertTrue(a.read() == b.read(), "%s differs: run python3 tools/genlevels.py" % name)


class packFilesKeepTheRules(unittest.TestCase):
    def meshes(self):
        return sorted(n for n in os.listdir(PACK) if n.endswith(".mesh"))

    def test_everyMeshIsWellFormedAndCountsItsTriangles(self):
        for name in self.meshes():
            count, tris = readMesh(os.path.join(PACK, name))
            self.assertEqual(count, len(tris), name)
            self.assertGreater(count, 0, name)

    def test_collisionNormalsAreUnitAndAgreeWithTheWinding(self):
        for name in self.meshes():
            if not name.endswith("-collide.mesh"):
                continue
            count, tris = readMesh(os.path.join(PACK, name))
            self.assertLessEqual(count, MAX_COLLISION_TRIANGLES, name)
            for normal, corners in tris:
                self.assertAlmostEqual(dot(normal, normal), 1.0, delta=1e-3, msg=name)
                self.assertGreater(dot(normal, windingNormal(corners)), 0.999, "%s: %r" % (name, corners))

    def test_ballAndPinAreClosedAndSeenFromOutside(self):
        for name in ("ball.mesh", "pin.mesh"):
            _, tris = readMesh(os.path.join(PACK, name))
            # closed: every edge is used once in each direction
            edges = {}
            volume = 0.0
            for _, corners in tris:
                p = [c[1] for c in corners]
                for k in range(3):
                    e = (p[k], p[(k + 1) % 3])
                    edges[e] = edges.get(e, 0) + 1
                volume += dot(p[0], cross(p[1], p[2])) / 6.0
            for (a, b), n in edges.items():
                self.assertEqual(n, 1, "%s: edge %r used %d times" % (name, (a, b), n))
                self.assertEqual(edges.get((b, a)), 1, "%s: open edge %r" % (name, (a, b)))
            # counter-clockwise from outside encloses a positive volume
            self.assertGreater(volume, 0.0, name)
            # and each face looks away from the object's axis
            for _, corners in tris:
                p = [c[1] for c in corners]
                centre = tuple(sum(q[i] for q in p) / 3.0 for i in range(3))
                n = windingNormal(corners)
                self.assertGreaterEqual(dot(n, (centre[0], centre[1], 0.0)), -1e-6, name)

    def test_collisionMeshesMatchWhatIsDrawn(self):
        """What the ball bounces off is drawn, and every drawn surface that
        faces up above the lower bound, where a ball or a pin could come to
        rest, is solid."""
        for scene in sceneList():
            entries = readScene(os.path.join(PACK, scene))
            lower = float(entries[2][1])
            _, drawn = readMesh(os.path.join(PACK, entries[3][1]))
            _, solid = readMesh(os.path.join(PACK, entries[4][1]))
            for _, corners in solid:
                point = centroid(corners)
                self.assertTrue(covered(point, windingNormal(corners), drawn), "%s: solid but not drawn at %r" % (scene, point))
            for _, corners in drawn:
                n = windingNormal(corners)
                point = centroid(corners)
                if n[2] > 0.5 and point[2] > lower:
                    self.assertTrue(covered(point, n, solid), "%s: drawn floor not solid at %r" % (scene, point))

    def test_scenesNameOnlyFilesOfThePackWithLabelsThatFit(self):
        scenes = sceneList()
        self.assertGreaterEqual(len(scenes), 7, "six levels and the game-over screen")
        for scene in scenes:
            entries = readScene(os.path.join(PACK, scene))
            for label, value in entries:
                self.assertLessEqual(len(label), 14, "%s: label %s" % (scene, label))
            pins = int(entries[6][1])
            self.assertEqual(len(entries), 11 + 4 * pins, scene)
            files = [entries[3][1], entries[4][1], entries[10][1]] + [entries[14 + 4 * i][1] for i in range(pins)]
            for name in files:
                self.assertTrue(os.path.isfile(os.path.join(PACK, name)), "%s names %s" % (scene, name))

    def test_theLastEntryIsTheGameOverScreen(self):
        self.assertIn("over", sceneList()[-1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
