#!/usr/bin/env python3
"""Writes levels-src/alley.gltf, the example for pinwhirl-import: a level laid
out as a Blender author would model it and export it as glTF (+Y up), which
the importer turns into levels/alley.scene and its meshes.

    python3 tools/genalley.py [output.gltf]     (default: levels-src/alley.gltf)

The model, in Blender's axes (+Z up, the lane running along +Y):
- "Lane", a wooden lane of boards with a dark foul line; its property
  pinwhirl = both makes its top both drawn and the floor the ball rolls on.
- "Lane.sides", its ends and edges: drawn only, so that nothing rolling off
  the end catches on the edge.
- "Wall.L" and "Wall.R", stone walls with a lighter cap; Wall.R is Wall.L's
  mesh mirrored (scale -1 on X), as a Blender author would make it.
- "collide-walls", plain boxes where the walls stand: what the ball bounces
  off, not drawn.
- "Meadow", a chequered field far below, for depth.
- Empties "ball" (scale 0.5, property mass = 5) and "pin.001" to "pin.006"
  (scale 0.3), the camera, and the scene's properties background and text.

The game has no lighting, so shading is baked into the vertex colours (as
Blender's Bake to Color Attribute would): faces turned to a fixed light are
brighter, boards by the walls a little darker. Colours are linear, as Blender
keeps and exports them. Byte-for-byte deterministic. Standard library only.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gltfWrite import USHORT, Gltf, gl  # noqa: E402

LIGHT = (0.35, -0.55, 0.75)
LANE_X, WALL_X, CAP_X = 1.5, 1.8, 1.85  # the lane's half width, the walls' outer side, the caps'
LANE_Y0, LANE_Y1, LANE_DEPTH = -2.0, 15.0, 0.6
WALL_TOP, CAP_TOP = 0.6, 0.68
BOARDS, LENGTHS = 10, 17  # the lane's top, cut into boards across and lengths along
FOUL_LINE = 3  # the length that is dark, just ahead of the ball
PIN_RADIUS, BALL_RADIUS = 0.3, 0.5

WOOD = [(0.62, 0.38, 0.16), (0.56, 0.33, 0.13)]  # linear
FOUL = (0.05, 0.03, 0.02)
WOOD_SIDE = (0.16, 0.08, 0.04)
STONE, STONE_SIDE, CAP = (0.28, 0.27, 0.30), (0.13, 0.12, 0.16), (0.55, 0.52, 0.45)
GRASS = [(0.05, 0.16, 0.06), (0.07, 0.20, 0.08)]


def unit(v):
    m = math.sqrt(sum(c * c for c in v))
    return tuple(c / m for c in v)


def normal(a, b, c):
    u = [b[k] - a[k] for k in range(3)]
    v = [c[k] - a[k] for k in range(3)]
    return unit((u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]))


def lit(colour, n, dim=1.0):
    k = (0.62 + 0.38 * max(0.0, sum(a * b for a, b in zip(n, unit(LIGHT))))) * dim
    return tuple(round(c * k, 4) for c in colour) + (1.0,)


class Part:
    """One primitive's quads, each a colour of its own."""

    def __init__(self):
        self.points, self.colours, self.indices = [], [], []

    def quad(self, a, b, c, d, colour, dim=1.0):
        """a, b, c, d counter-clockwise seen from the front."""
        base = len(self.points)
        self.points += [a, b, c, d]
        self.colours += [lit(colour, normal(a, b, c), dim)] * 4
        self.indices += [base, base + 1, base + 2, base, base + 2, base + 3]

    def box(self, x0, x1, y0, y1, z0, z1, top, side, bottom=False):
        self.quad((x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1), top)
        self.quad((x0, y0, z0), (x1, y0, z0), (x1, y0, z1), (x0, y0, z1), side)
        self.quad((x1, y1, z0), (x0, y1, z0), (x0, y1, z1), (x1, y1, z1), side)
        self.quad((x0, y1, z0), (x0, y0, z0), (x0, y0, z1), (x0, y1, z1), side)
        self.quad((x1, y0, z0), (x1, y1, z0), (x1, y1, z1), (x1, y0, z1), side)
        if bottom:
            self.quad((x0, y1, z0), (x1, y1, z0), (x1, y0, z0), (x0, y0, z0), side)

    def primitive(self):
        return {"points": self.points, "indices": self.indices, "colours": self.colours, "colourType": USHORT}


def laneTop():
    p = Part()
    width, length = 2 * LANE_X / BOARDS, (LANE_Y1 - LANE_Y0) / LENGTHS
    for j in range(LENGTHS):
        for i in range(BOARDS):
            x0, y0 = -LANE_X + i * width, LANE_Y0 + j * length
            colour = FOUL if j == FOUL_LINE else WOOD[(i + j // 4) % 2]
            byWall = i in (0, BOARDS - 1)
            p.quad((x0, y0, 0), (x0 + width, y0, 0), (x0 + width, y0 + length, 0), (x0, y0 + length, 0), colour,
                   0.85 if byWall else 1.0)
    return p


def laneSides():
    p = Part()
    z0 = -LANE_DEPTH
    p.quad((-LANE_X, LANE_Y0, z0), (LANE_X, LANE_Y0, z0), (LANE_X, LANE_Y0, 0), (-LANE_X, LANE_Y0, 0), WOOD_SIDE)
    p.quad((LANE_X, LANE_Y1, z0), (-LANE_X, LANE_Y1, z0), (-LANE_X, LANE_Y1, 0), (LANE_X, LANE_Y1, 0), WOOD_SIDE)
    return p


def wall():
    """The left wall about its own centre line, x = 0."""
    half = (WALL_X - LANE_X) / 2
    p = Part()
    p.box(-half, half, LANE_Y0, LANE_Y1, -LANE_DEPTH, WALL_TOP, STONE, STONE_SIDE)
    cap = CAP_X - (LANE_X + WALL_X) / 2
    p.box(-cap, cap, LANE_Y0 - 0.05, LANE_Y1 + 0.05, WALL_TOP, CAP_TOP, CAP, STONE_SIDE, bottom=True)
    return p


def collideWalls():
    p = Part()
    for x0, x1 in ((-WALL_X, -LANE_X), (LANE_X, WALL_X)):
        p.box(x0, x1, LANE_Y0, LANE_Y1, 0, CAP_TOP, STONE, STONE)
    return {"points": p.points, "indices": p.indices}


def meadow():
    p = Part()
    cell, n, z = 10.0, 14, -14.0
    for j in range(n):
        for i in range(n):
            x0, y0 = -70 + i * cell, -40 + j * cell
            p.quad((x0, y0, z), (x0 + cell, y0, z), (x0 + cell, y0 + cell, z), (x0, y0 + cell, z), GRASS[(i + j) % 2])
    return p


def build():
    g = Gltf(generator="pinwhirl tools/genalley.py")
    g.doc["scenes"][0]["extras"] = {"background": [0.16, 0.13, 0.27], "text": [1.0, 0.92, 0.7]}
    g.node("Lane", mesh=g.mesh("Lane", [laneTop().primitive()]), extras={"pinwhirl": "both"})
    g.node("Lane.sides", mesh=g.mesh("Lane.sides", [laneSides().primitive()]))
    walls = g.mesh("Wall", [wall().primitive()])
    middle = (LANE_X + WALL_X) / 2
    g.node("Wall.L", mesh=walls, translation=gl((-middle, 0, 0)))
    g.node("Wall.R", mesh=walls, translation=gl((middle, 0, 0)), scale=[-1, 1, 1])
    g.node("collide-walls", mesh=g.mesh("collide-walls", [collideWalls()]))
    g.node("Meadow", mesh=g.mesh("Meadow", [meadow().primitive()]))
    g.node("ball", translation=gl((0, 0, BALL_RADIUS)), scale=[BALL_RADIUS] * 3, extras={"mass": 5})
    rows, dx, dy = 3, 0.72, 0.62
    k = 0
    for r in range(rows):
        for i in range(r + 1):
            k += 1
            g.node("pin.%03d" % k, translation=gl(((i - r / 2) * dx, 12 + r * dy, PIN_RADIUS)),
                   scale=[PIN_RADIUS] * 3)
    # Blender's camera looks down its -Z: here tilted down towards the lane.
    camera = g.camera("Camera", (0, -7, 3))
    g.doc["nodes"][camera]["rotation"] = [-0.1305262, 0, 0, 0.9914449]
    return g


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "levels-src", "alley.gltf")
    with open(target, "w", newline="\n") as f:
        f.write(build().gltfText())
