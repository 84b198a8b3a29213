#!/usr/bin/env python3
"""Writes Pinwhirl's level pack: every mesh, collision mesh and scene file and
the scene list, built from a few parametric shapes.

    python3 tools/genlevels.py [output-directory]     (default: levels/)

The output is byte-for-byte deterministic: numbers are written with a fixed,
short format and the colour variation comes from an integer hash, not from a
random generator. Standard library only.

Conventions of the game's files that the shapes below respect:
- +z is up; the lane runs along +y, away from the camera, so that a drag up the
  screen throws the ball down the lane.
- Back faces are culled: every triangle runs counter-clockwise seen from the
  side it is meant to be seen from (the outside of a solid).
- There is no lighting, so the corner colours carry the shading: faces turned
  to a fixed light are brighter, and a little per-corner noise keeps large
  surfaces from looking flat.
- A collision mesh holds only the surfaces that objects can touch. Where two
  slabs meet flush, the walls between them are left out: a sphere rolling over
  the seam would otherwise touch the edge of that hidden wall and be kicked
  sideways.
"""

import math
import os
import sys

# ---------------------------------------------------------------- numbers ---


def fmt(x):
    """Shortest fixed form with at most four decimals; never "-0"."""
    s = "%.4f" % x
    s = s.rstrip("0").rstrip(".")
    if s in ("-0", ""):
        s = "0"
    return s


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def unit(a):
    m = math.sqrt(dot(a, a))
    return (a[0] / m, a[1] / m, a[2] / m)


def faceNormal(p):
    return unit(cross(sub(p[1], p[0]), sub(p[2], p[0])))


def area2(p):
    c = cross(sub(p[1], p[0]), sub(p[2], p[0]))
    return math.sqrt(dot(c, c))


# ---------------------------------------------------------------- colours ---

LIGHT = unit((0.35, -0.55, 0.75))


def noise(p, seed):
    """A deterministic value in [-1, 1] for a point: an integer hash of the
    point's coordinates in thousandths."""
    h = seed * 0x9E3779B1
    for c in p:
        h = (h ^ (int(round(c * 1000)) & 0xFFFFFFFF)) * 0x85EBCA6B & 0xFFFFFFFF
        h ^= h >> 13
    h = h * 0xC2B2AE35 & 0xFFFFFFFF
    h ^= h >> 16
    return (h % 2001) / 1000.0 - 1.0


def shade(base, normal, p, amount=0.05, seed=1):
    lit = 0.62 + 0.38 * max(0.0, dot(normal, LIGHT))
    k = lit * (1.0 + amount * noise(p, seed))
    return tuple(max(0, min(255, int(round(c * k)))) for c in base)


# ------------------------------------------------------------------ meshes ---


class Mesh:
    """Triangles with one colour per corner."""

    def __init__(self):
        self.tris = []  # (corners, colours)

    def tri(self, a, b, c, colour, amount=0.05, seed=1):
        p = (a, b, c)
        if area2(p) < 1e-9:
            return
        n = faceNormal(p)
        self.tris.append((p, tuple(shade(colour, n, q, amount, seed) for q in p)))

    def quad(self, a, b, c, d, colour, amount=0.05, seed=1):
        """a, b, c, d counter-clockwise seen from the front."""
        self.tri(a, b, c, colour, amount, seed)
        self.tri(a, c, d, colour, amount, seed)

    def extend(self, other):
        self.tris.extend(other.tris)

    def text(self):
        out = ["triangles %d\n" % len(self.tris)]
        for p, cols in self.tris:
            n = faceNormal(p)
            out.append("n [%s, %s, %s]\n" % tuple(fmt(v) for v in n))
            for q, c in zip(p, cols):
                out.append("c [%d, %d, %d]\n" % c)
                out.append("p [%s, %s, %s]\n" % tuple(fmt(v) for v in q))
        return "".join(out)


def lathe(profile, segments, colourAt, turn=0.0):
    """Surface of revolution about the z axis. profile: (radius, z) from the
    bottom to the top; a radius of 0 closes the surface at that end.
    colourAt(i, k) gives the colour of band k, segment i."""
    m = Mesh()
    for i in range(segments):
        t0 = 2 * math.pi * i / segments + turn
        t1 = 2 * math.pi * (i + 1) / segments + turn
        for k in range(len(profile) - 1):
            r0, z0 = profile[k]
            r1, z1 = profile[k + 1]
            a = (r0 * math.cos(t0), r0 * math.sin(t0), z0)
            b = (r0 * math.cos(t1), r0 * math.sin(t1), z0)
            c = (r1 * math.cos(t1), r1 * math.sin(t1), z1)
            d = (r1 * math.cos(t0), r1 * math.sin(t0), z1)
            col = colourAt(i, k)
            if r0 == 0:
                m.tri(a, c, d, col)
            elif r1 == 0:
                m.tri(a, b, c, col)
            else:
                m.quad(a, b, c, d, col)
    return m


def sphereProfile(radius, bands):
    return [(radius * math.sin(math.pi * k / bands), -radius * math.cos(math.pi * k / bands)) for k in range(bands + 1)]


# ------------------------------------------------------------------ slabs ---


class Slab:
    """A solid with a flat bottom at zBottom and a top polygon (convex,
    counter-clockwise seen from above, one plane, corners may differ in z for
    a ramp). It has vertical walls all round; the bottom is never seen and
    never touched, so it is not drawn.
    The drawn top of a four-cornered slab is cut into cells of about `cell`
    (across, along) units, and pattern(i, j, nx, ny) gives the colour of cell
    i of nx across and j of ny along."""

    def __init__(self, top, zBottom, topColour, sideColour, cell=None, pattern=None, solid=True, floor=False):
        self.top = top
        self.zBottom = zBottom
        self.topColour = topColour
        self.sideColour = sideColour
        self.cell = cell
        self.pattern = pattern
        self.solid = solid  # in the collision mesh
        # A floor is touched only on its top. Its walls stay out of the
        # collision mesh: a sphere rolling off the edge would touch the top of
        # the wall below it and be thrown back as if by a bumper.
        self.floor = floor


def box(x0, y0, x1, y1, z0, z1, topColour, sideColour, **kw):
    return Slab([(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)], z0, topColour, sideColour, **kw)


def ramp(x0, x1, y0, y1, zStart, zEnd, zBottom, topColour, sideColour, **kw):
    """A rectangle from y0 (height zStart) to y1 (height zEnd)."""
    return Slab([(x0, y0, zStart), (x1, y0, zStart), (x1, y1, zEnd), (x0, y1, zEnd)], zBottom, topColour, sideColour, **kw)


def curvedRamp(x0, x1, profile, zBottom, topColour, sideColour, **kw):
    """Consecutive ramps through the (y, z) points of profile, sharing edges."""
    kw.setdefault("floor", True)
    return [ramp(x0, x1, profile[k][0], profile[k + 1][0], profile[k][1], profile[k + 1][1], zBottom, topColour, sideColour, **kw)
            for k in range(len(profile) - 1)]


def wallCovered(slabs, me, a, b):
    """Parts of the top edge a->b of slab `me` that a flush neighbour covers
    (a neighbour's top edge running the other way along the same line, at
    the same height), as parameter intervals of a->b."""
    covered = []
    d = sub(b, a)
    length2 = dot(d, d)
    for s in slabs:
        if s is me or not s.solid:
            continue
        n = len(s.top)
        for k in range(n):
            c, e = s.top[k], s.top[(k + 1) % n]
            if dot(sub(e, c), d) >= 0:
                continue
            # both ends of c->e on the line through a and b
            ok = True
            ts = []
            for q in (c, e):
                w = sub(q, a)
                cr = cross(w, d)
                if dot(cr, cr) > 1e-10 * length2:
                    ok = False
                    break
                ts.append(dot(w, d) / length2)
            if ok:
                lo, hi = max(0.0, min(ts)), min(1.0, max(ts))
                if hi > lo + 1e-9:
                    covered.append((lo, hi))
    return covered


def uncovered(covered):
    covered.sort()
    free = []
    t = 0.0
    for lo, hi in covered:
        if lo > t + 1e-9:
            free.append((t, lo))
        t = max(t, hi)
    if t < 1.0 - 1e-9:
        free.append((t, 1.0))
    return free


def lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def slabWalls(slabs, s, into, colour):
    n = len(s.top)
    for k in range(n):
        a, b = s.top[k], s.top[(k + 1) % n]
        for t0, t1 in uncovered(wallCovered(slabs, s, a, b)):
            p, q = lerp(a, b, t0), lerp(a, b, t1)
            into.quad((p[0], p[1], s.zBottom), (q[0], q[1], s.zBottom), q, p, colour)


def slabTopDrawn(s, into):
    top = s.top
    if s.cell and len(top) == 4:
        a, b, c, d = top
        nx = max(1, int(round(math.dist(a, b) / s.cell[0])))
        ny = max(1, int(round(math.dist(b, c) / s.cell[1])))
        for j in range(ny):
            for i in range(nx):
                def at(u, v):
                    return lerp(lerp(a, b, u), lerp(d, c, u), v)
                col = s.pattern(i, j, nx, ny) if s.pattern else s.topColour
                into.quad(at(i / nx, j / ny), at((i + 1) / nx, j / ny), at((i + 1) / nx, (j + 1) / ny), at(i / nx, (j + 1) / ny), col)
    else:
        for k in range(1, len(top) - 1):
            into.tri(top[0], top[k], top[k + 1], s.topColour)


def world(slabs, extra=None):
    """The drawn world and its collision mesh."""
    drawn, collide = Mesh(), Mesh()
    for s in slabs:
        slabTopDrawn(s, drawn)
        slabWalls(slabs, s, drawn, s.sideColour)
        if s.solid:
            for k in range(1, len(s.top) - 1):
                collide.tri(s.top[0], s.top[k], s.top[k + 1], (128, 128, 128), 0)
            if not s.floor:
                slabWalls([x for x in slabs if x.solid], s, collide, (128, 128, 128))
    if extra:
        drawn.extend(extra)
    return drawn, collide


# ------------------------------------------------------------- decoration ---


def backdrop(z, half, colours, cell=8.0, centre=(0.0, 10.0)):
    """A chequered ground far below the level, for depth: nothing reaches it,
    since every object is out of play long before."""
    m = Mesh()
    n = int(2 * half / cell)
    x0, y0 = centre[0] - half, centre[1] - half
    for j in range(n):
        for i in range(n):
            a = (x0 + i * cell, y0 + j * cell, z)
            m.quad(a, (a[0] + cell, a[1], z), (a[0] + cell, a[1] + cell, z), (a[0], a[1] + cell, z), colours[(i + j) % 2], 0.08)
    return m


def boardPattern(light, dark, edge):
    """Lane boards along y, a darker edge board each side."""
    def pattern(i, j, nx, ny):
        if i == 0 or i == nx - 1:
            return edge
        return light if (i + j // 3) % 2 == 0 else dark
    return pattern


def checker(a, b):
    def pattern(i, j, nx, ny):
        return a if (i + j) % 2 == 0 else b
    return pattern


# ----------------------------------------------------------- ball and pins ---

BALL_RADIUS = 0.5
BALL_MASS = 5.0
PIN_RADIUS = 0.3
PIN_MASS = 1.0


def ballMesh(base, swirl, holes):
    def colour(i, k):
        # three finger holes near the top, and a lighter swirl so that the
        # ball reads as round
        if k == 8 and i in (2, 3, 5):
            return holes
        return swirl if (i + k) % 6 == 0 and 2 <= k <= 7 else base
    return lathe(sphereProfile(BALL_RADIUS, 10), 16, colour)


# A pin around its collision sphere: the base rests on the floor with the sphere,
# the neck and head stand above it. (radius, z) from the base up.
PIN_PROFILE = [(0.0, -0.3), (0.14, -0.3), (0.22, -0.2), (0.26, -0.05), (0.25, 0.1), (0.2, 0.27), (0.12, 0.42),
               (0.095, 0.52), (0.105, 0.6), (0.12, 0.68), (0.1, 0.78), (0.05, 0.84), (0.0, 0.86)]


def pinMesh(body, stripe):
    def colour(i, k):
        return stripe if k in (6, 7) else body
    return lathe(PIN_PROFILE, 12, colour)


def triangleRack(rows, headX, headY, dx, dy, z):
    """Pins in a triangle, the head pin nearest the ball."""
    out = []
    for r in range(rows):
        for k in range(r + 1):
            out.append((headX + (k - r / 2.0) * dx, headY + r * dy, z))
    return out


# ------------------------------------------------------------------ scenes ---


def triple(v):
    return "[%s, %s, %s]" % tuple(fmt(x) for x in v)


def sceneText(level):
    lines = [
        "background %s" % triple(level["background"]),
        "text %s" % triple(level["text"]),
        "lowerbound %s" % fmt(level["lower"]),
        "world %s" % level["worldFile"],
        "collision %s" % level["collideFile"],
        "camera %s" % triple(level["camera"]),
        "pins %d" % len(level["pins"]),
        "ball %s" % triple(level["ball"]),
        "radius %s" % fmt(BALL_RADIUS),
        "mass %s" % fmt(BALL_MASS),
        "mesh %s" % level["ballFile"],
    ]
    for p in level["pins"]:
        lines += ["pin %s" % triple(p), "radius %s" % fmt(PIN_RADIUS), "mass %s" % fmt(PIN_MASS), "mesh %s" % level["pinFile"]]
    return "\n".join(lines) + "\n"


SKY = (0.52, 0.68, 0.86)
WOOD_LIGHT = (214, 170, 110)
WOOD_DARK = (196, 150, 92)
WOOD_EDGE = (150, 100, 60)
SIDE = (110, 80, 60)
STONE = (150, 150, 160)
STONE_SIDE = (95, 95, 110)
GRASS = ((60, 120, 70), (70, 135, 80))
FLOOR_Z = 0.0
PIN_Z = FLOOR_Z + PIN_RADIUS
BALL_Z = FLOOR_Z + BALL_RADIUS


def lane(x0, x1, y0, y1, z=FLOOR_Z, **kw):
    kw.setdefault("cell", (0.5, 1.0))
    kw.setdefault("pattern", boardPattern(WOOD_LIGHT, WOOD_DARK, WOOD_EDGE))
    kw.setdefault("floor", True)
    return box(x0, y0, x1, y1, z - 0.6, z, WOOD_LIGHT, SIDE, **kw)


def levelClassic():
    """A wide lane that ends in a pit, ten pins in a triangle."""
    slabs = [
        lane(-3.0, 3.0, -3.0, 19.0),
        # the pit's back wall catches what flies off the end
        box(-4.0, 21.0, 4.0, 21.6, -4.0, 1.2, STONE, STONE_SIDE),
        pitFloor(-4.0, 4.0, 19.0, 21.0, -6.5),
    ]
    return {
        "name": "classic",
        "slabs": slabs,
        "background": SKY,
        "text": (0.05, 0.05, 0.2),
        "ballFile": "ball-gold.mesh",
        "lower": -6.0,
        "camera": (0.0, -7.0, 3.0),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(4, 0.0, 14.0, 0.72, 0.62, PIN_Z),
        "backdrop": backdrop(-30.0, 48.0, GRASS),
    }


def pitFloor(x0, x1, y0, y1, z):
    """Drawn only: the bottom of a pit or gutter, just under the level's lower
    bound, so that what falls in is seen to drop and is gone before it lands."""
    return box(x0, y0, x1, y1, z - 0.2, z, (45, 40, 40), (30, 28, 28), solid=False)


def pitWall(x0=-4.0, x1=4.0, y=21.0):
    return box(x0, y, x1, y + 0.6, -4.0, 1.2, STONE, STONE_SIDE)


def levelGutters():
    """A narrow lane between two gutters: what leaves the boards falls."""
    slabs = [
        lane(-1.1, 1.1, -3.0, 24.0, cell=(0.44, 1.0)),
        box(-3.1, -3.0, -2.7, 24.0, -0.6, 0.5, STONE, STONE_SIDE),
        box(2.7, -3.0, 3.1, 24.0, -0.6, 0.5, STONE, STONE_SIDE),
        pitWall(y=26.0),
        pitFloor(-2.7, 2.7, -3.0, 26.0, -3.0),
    ]
    return {
        "name": "gutters",
        "slabs": slabs,
        "background": (0.3, 0.32, 0.45),
        "text": (1.0, 0.95, 0.6),
        "lower": -2.5,
        "camera": (0.0, -6.5, 2.6),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(3, 0.0, 19.0, 0.72, 0.62, PIN_Z),
        "backdrop": backdrop(-30.0, 48.0, ((50, 55, 90), (60, 66, 104))),
    }


RAMP_PROFILE = [(6.0, 0.0), (7.0, 0.05), (8.0, 0.2), (9.0, 0.4), (10.0, 0.65)]
LANDING_PROFILE = [(12.5, 0.0), (14.0, -0.35), (15.5, -0.65), (17.0, -0.87), (18.5, -0.98), (19.0, -1.0)]


def levelJump():
    """A ramp, a gap, and the pins on the far side: too slow falls short."""
    slabs = [lane(-2.0, 2.0, -3.0, 6.0)]
    slabs += curvedRamp(-2.0, 2.0, RAMP_PROFILE, -0.6, (200, 120, 60), SIDE, cell=(0.5, 1.0),
                        pattern=checker((210, 130, 60), (190, 110, 50)))
    slabs += curvedRamp(-2.5, 2.5, LANDING_PROFILE, -1.6, (200, 120, 60), SIDE, cell=(0.5, 1.0),
                        pattern=checker((210, 130, 60), (190, 110, 50)))
    slabs.append(lane(-2.5, 2.5, 19.0, 31.0, z=-1.0))
    return {
        "name": "jump",
        "slabs": slabs,
        "background": (0.85, 0.62, 0.45),
        "text": (0.09, 0.06, 0.18),
        "ballFile": "ball-gold.mesh",
        "lower": -6.0,
        "camera": (0.0, -7.0, 4.0),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(3, 0.0, 26.0, 0.72, 0.62, PIN_Z - 1.0),
        "backdrop": backdrop(-30.0, 48.0, ((150, 90, 60), (165, 100, 68))),
    }


def levelBank():
    """The pins hide behind a wall: bank the ball off the side wall."""
    slabs = [
        lane(-3.0, 3.0, -3.0, 20.0),
        box(-3.0, 2.0, -2.6, 18.0, 0.0, 1.0, STONE, STONE_SIDE),
        box(-0.6, 9.0, 3.0, 9.6, 0.0, 1.2, (180, 60, 60), (120, 40, 40)),
    ]
    return {
        "name": "bank",
        "slabs": slabs,
        "background": (0.25, 0.45, 0.4),
        "text": (1.0, 1.0, 1.0),
        "lower": -6.0,
        "camera": (0.0, -7.0, 3.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(3, -0.2, 12.8, 0.72, 0.62, PIN_Z),
        "backdrop": backdrop(-30.0, 48.0, ((40, 90, 80), (48, 104, 92))),
    }


PLATEAU_PROFILE = [(5.0, 0.0), (6.0, 0.1), (7.0, 0.35), (8.0, 0.7), (9.0, 1.1), (10.0, 1.5)]


def levelPlateau():
    """Up a narrow ramp to pins on a raised platform."""
    slabs = [lane(-1.0, 1.0, -3.0, 5.0)]
    slabs += curvedRamp(-1.0, 1.0, PLATEAU_PROFILE, -0.6, (190, 190, 200), STONE_SIDE, cell=(0.5, 1.0),
                        pattern=checker((200, 200, 210), (175, 175, 190)))
    slabs.append(box(-2.5, 10.0, 2.5, 16.0, -0.6, 1.5, STONE, STONE_SIDE, cell=(1.0, 1.0), floor=True,
                     pattern=checker((170, 170, 185), (140, 140, 160))))
    return {
        "name": "plateau",
        "slabs": slabs,
        "background": (0.2, 0.2, 0.3),
        "text": (0.9, 0.9, 1.0),
        "lower": -6.0,
        "camera": (0.0, -6.5, 3.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(4, 0.0, 12.0, 0.72, 0.62, 1.5 + PIN_RADIUS),
        "backdrop": backdrop(-30.0, 48.0, ((30, 30, 50), (38, 38, 62))),
    }


def holedFloor(xs, ys, holes, z, colours, side):
    """A floor on a grid of cells, without the cells listed in holes
    (column, row); neighbouring cells meet flush."""
    slabs = []
    for j in range(len(ys) - 1):
        for i in range(len(xs) - 1):
            if (i, j) in holes:
                continue
            slabs.append(box(xs[i], ys[j], xs[i + 1], ys[j + 1], z - 0.6, z, colours[(i + j) % 2], side, floor=True))
    return slabs


def levelCheese():
    """A wide floor full of holes, the pins spread between them."""
    xs = [-5.0, -3.0, -1.0, 1.0, 3.0, 5.0]
    ys = [-3.0 + 2.0 * k for k in range(12)]
    holes = {(2, 4), (0, 6), (4, 6), (1, 8), (3, 8)}
    slabs = holedFloor(xs, ys, holes, FLOOR_Z, ((230, 200, 80), (215, 185, 70)), (160, 130, 40))
    pins = [(0.0, 12.0, PIN_Z), (-0.7, 12.6, PIN_Z), (0.7, 12.6, PIN_Z),
            (-3.6, 15.5, PIN_Z), (-2.9, 16.1, PIN_Z),
            (3.6, 15.5, PIN_Z), (2.9, 16.1, PIN_Z), (0.0, 17.5, PIN_Z)]
    return {
        "name": "cheese",
        "slabs": slabs,
        "background": (0.55, 0.75, 0.9),
        "text": (0.08, 0.08, 0.16),
        "ballFile": "ball-gold.mesh",
        "lower": -6.0,
        "camera": (0.0, -7.5, 4.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": pins,
        "backdrop": backdrop(-30.0, 48.0, GRASS),
    }


def levelFunnel():
    """A funnel with a hole at the bottom, pins on its rim: fast enough to
    climb out the far side, and not down the hole."""
    top, bottom = FLOOR_Z, FLOOR_Z - 0.6
    x0, x1, y0, y1 = -5.0, 5.0, 4.0, 14.0  # the funnel's rim
    h0, h1, g0, g1 = -1.0, 1.0, 8.0, 10.0  # the hole at its bottom
    rimColour, slopeColour, sideColour = (200, 215, 225), (80, 130, 165), (60, 90, 110)
    slopes = [
        [(x0, y0, top), (x1, y0, top), (h1, g0, bottom), (h0, g0, bottom)],
        [(x1, y0, top), (x1, y1, top), (h1, g1, bottom), (h1, g0, bottom)],
        [(x1, y1, top), (x0, y1, top), (h0, g1, bottom), (h1, g1, bottom)],
        [(x0, y1, top), (x0, y0, top), (h0, g0, bottom), (h0, g1, bottom)],
    ]
    slabs = [Slab(t, bottom - 0.6, slopeColour, sideColour, floor=True, cell=(1.25, 1.0),
                  pattern=checker(slopeColour, (105, 160, 190))) for t in slopes]
    slabs += [
        lane(-1.0, 1.0, -3.0, y0),
        # the rim: a flat border round the funnel, flush with its top edges
        box(-6.0, y0, x0, y1, top - 0.6, top, rimColour, sideColour, floor=True),
        box(x1, y0, 6.0, y1, top - 0.6, top, rimColour, sideColour, floor=True),
        box(-6.0, y1, 6.0, 15.5, top - 0.6, top, rimColour, sideColour, floor=True),
        pitFloor(h0, h1, g0, g1, -4.5),
    ]
    pins = [(x, 14.75, PIN_Z) for x in (-4.6, -3.8, -1.2, -0.4, 0.4, 1.2, 3.8, 4.6)]
    return {
        "name": "funnel",
        "slabs": slabs,
        "background": (0.75, 0.82, 0.88),
        "text": (0.05, 0.07, 0.15),
        "ballFile": "ball-gold.mesh",
        "lower": -4.0,
        "camera": (0.0, -6.5, 4.0),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": pins,
        "backdrop": backdrop(-30.0, 48.0, ((90, 120, 140), (100, 132, 152))),
    }


# ---------------------------------------------------------------- terrain ---


def smoothstep(t):
    """0 below 0, 1 above 1, and between them an S whose slope is 0 at both
    ends, so that a surface built from it has no crease."""
    t = min(1.0, max(0.0, t))
    return t * t * (3.0 - 2.0 * t)


def hump(y, y0, y1, h):
    """A raised cosine from y0 to y1 of height h: level at both feet, so hills
    and dips join one another and the flat ground without a crease."""
    if y <= y0 or y >= y1:
        return 0.0
    return h * 0.5 * (1.0 - math.cos(2.0 * math.pi * (y - y0) / (y1 - y0)))


def heightField(height, xs, ys, colourAt, into, amount=0.05, seed=1):
    """The surface z = height(x, y) over the grid of xs by ys, two triangles a
    cell, counter-clockwise from above. The diagonals mirror about x = 0, so a
    surface even in x stays even and a straight throw is not nudged aside.
    colourAt(i, j) colours cell i across, j along."""
    z = [[height(x, y) for x in xs] for y in ys]
    for j in range(len(ys) - 1):
        for i in range(len(xs) - 1):
            a = (xs[i], ys[j], z[j][i])
            b = (xs[i + 1], ys[j], z[j][i + 1])
            c = (xs[i + 1], ys[j + 1], z[j + 1][i + 1])
            d = (xs[i], ys[j + 1], z[j + 1][i])
            col = colourAt(i, j)
            if xs[i] + xs[i + 1] < 0:
                into.tri(a, b, c, col, amount, seed)
                into.tri(a, c, d, col, amount, seed)
            else:
                into.tri(b, c, d, col, amount, seed)
                into.tri(b, d, a, col, amount, seed)


def skirt(points, zBottom, colour, into):
    """Drawn walls from a surface's open edge (points in order, the outside on
    the right seen from above) down to zBottom, so the surface reads as solid."""
    for p, q in zip(points, points[1:]):
        into.quad((p[0], p[1], zBottom), (q[0], q[1], zBottom), q, p, colour)


def grid(lo, hi, n):
    return [lo + (hi - lo) * k / n for k in range(n + 1)]


# The hills level: a grassy valley whose banks turn the ball back to the middle,
# over a low hill, a dip and a high hill, to a flat green with the pins.
HILLS_X = 4.5                   # the valley's half width
HILLS_Y = (3.0, 23.0)           # where the valley starts and ends
HILLS_FLOOR = 1.8               # half width of the valley's flat bottom
# Collision cells across and along: 20,640 triangles, cells 0.15 by 0.12, so
# that a ball never spans more than a few degrees of the curves. What an
# object costs a step follows the broad phase's grid, which this count and the
# valley's size decide: bench/physicsBench.cpp measures the level as shipped.
HILLS_CELLS = (60, 172)
HILLS_DRAWN_EVERY = 4           # a drawn cell is 4 by 4 collision cells
HILLS_START = 2.0               # the start lane's half width
HILLS_GREEN = (2.5, 29.5)       # the green's half width and far end


def hillsHeight(x, y):
    """Hills and a dip along the valley, and banks that rise to the sides and
    fade out at both ends, where the valley meets the flat start and green."""
    y0, y1 = HILLS_Y
    along = hump(y, 4.0, 12.0, 0.5) + hump(y, 12.0, 15.0, -0.25) + hump(y, 15.0, 23.0, 0.8)
    fade = smoothstep((y - y0) / 3.5) * smoothstep((y1 - y) / 3.5)
    side = max(0.0, abs(x) - HILLS_FLOOR)
    return along + fade * 0.25 * side * side


def hillsTerrain():
    """The valley's collision mesh at full detail, and its drawn mesh on every
    fourth grid line of it. The drawn corners lie on the collision surface and
    between them the two part by at most 0.05, a tenth of the ball's radius
    (where the outer banks fade), which the eye cannot tell; the drawn mesh has
    a sixteenth of the triangles, and drawing costs by the triangle."""
    y0, y1 = HILLS_Y
    nx, ny = HILLS_CELLS
    k = HILLS_DRAWN_EVERY
    assert nx % k == 0 and ny % k == 0, "the drawn grid must end where the collision grid does"
    xs, ys = grid(-HILLS_X, HILLS_X, nx), grid(y0, y1, ny)
    collide, drawn = Mesh(), Mesh()
    heightField(hillsHeight, xs, ys, lambda i, j: (128, 128, 128), collide, amount=0)
    stripes = ((76, 142, 70), (92, 160, 82))

    def mown(i, j):
        return stripes[(j // 2) % 2]
    heightField(hillsHeight, xs[::k], ys[::k], mown, drawn, seed=3)
    # The open edges, drawn down to the ground's depth: the sides, and at both
    # ends (where the valley is level, at 0) beside the start and the green.
    earth, deep = (120, 90, 60), -1.0
    left = [(-HILLS_X, y, hillsHeight(-HILLS_X, y)) for y in reversed(ys[::k])]
    right = [(HILLS_X, y, hillsHeight(HILLS_X, y)) for y in ys[::k]]
    skirt(left, deep, earth, drawn)
    skirt(right, deep, earth, drawn)
    start, green = HILLS_START, HILLS_GREEN[0]
    skirt([(-HILLS_X, y0, 0.0), (-start, y0, 0.0)], deep, earth, drawn)
    skirt([(start, y0, 0.0), (HILLS_X, y0, 0.0)], deep, earth, drawn)
    skirt([(HILLS_X, y1, 0.0), (green, y1, 0.0)], deep, earth, drawn)
    skirt([(-green, y1, 0.0), (-HILLS_X, y1, 0.0)], deep, earth, drawn)
    return drawn, collide


def levelHills():
    """Rolling hills: a valley over a low hill, a dip and a high hill to the
    pins on a green. Its collision mesh follows the curves in fine triangles."""
    half, end = HILLS_GREEN
    slabs = [
        lane(-HILLS_START, HILLS_START, -3.0, HILLS_Y[0]),
        box(-half, HILLS_Y[1], half, end, -1.0, 0.0, GRASS[0], (90, 70, 45), cell=(0.5, 0.5), floor=True,
            pattern=checker((88, 156, 80), (100, 170, 90))),
    ]
    return {
        "name": "hills",
        "slabs": slabs,
        "terrain": hillsTerrain(),
        "background": (0.62, 0.78, 0.92),
        "text": (0.05, 0.1, 0.05),
        "ballFile": "ball-gold.mesh",
        "lower": -6.0,
        "camera": (0.0, -7.0, 4.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(3, 0.0, 25.5, 0.72, 0.62, PIN_Z),
        "backdrop": backdrop(-30.0, 48.0, ((70, 110, 60), (80, 122, 68))),
    }


def levelOver():
    """The game-over screen: pins lined up on a podium, the ball in front."""
    slabs = [
        box(-6.0, -2.0, 6.0, 12.0, -0.6, 0.0, (60, 40, 80), (40, 25, 55), cell=(1.0, 1.0),
            pattern=checker((70, 45, 95), (55, 35, 75))),
        box(-4.0, 6.0, 4.0, 12.0, 0.0, 0.6, (180, 150, 60), (120, 95, 35)),
        box(-3.0, 8.0, 3.0, 12.0, 0.6, 1.2, (200, 170, 70), (130, 105, 40)),
        box(-2.0, 10.0, 2.0, 12.0, 1.2, 1.8, (225, 195, 85), (140, 115, 45)),
    ]
    pins = []
    for row, (z, y, n) in enumerate(((0.6, 7.0, 8), (1.2, 9.0, 6), (1.8, 11.0, 4))):
        for k in range(n):
            pins.append((-(n - 1) * 0.45 + 0.9 * k, y, z + PIN_RADIUS))
    return {
        "name": "over",
        "slabs": slabs,
        "background": (0.08, 0.06, 0.15),
        "text": (1.0, 0.85, 0.3),
        "lower": -6.0,
        "camera": (0.0, -4.0, 3.0),
        "ball": (0.0, 3.0, BALL_Z),
        "pins": pins,
        "backdrop": backdrop(-30.0, 48.0, ((25, 20, 45), (32, 26, 56))),
    }


LEVELS = [levelClassic, levelGutters, levelJump, levelBank, levelPlateau, levelCheese, levelFunnel, levelHills,
          levelOver]



def buildPack(out):
    os.makedirs(out, exist_ok=True)
    files = {}
    # The pause notice is drawn over the ball, so a level's text must stand out
    # against the ball as well as the sky: a dark ball under light text on the
    # dark levels, a gold one under dark text on the light ones.
    files["ball.mesh"] = ballMesh((40, 70, 170), (60, 90, 180), (20, 20, 25)).text()
    files["ball-gold.mesh"] = ballMesh((255, 215, 100), (255, 240, 180), (220, 180, 80)).text()
    files["pin.mesh"] = pinMesh((240, 240, 235), (200, 30, 30)).text()
    names = []
    for n, make in enumerate(LEVELS):
        level = make()
        stem = "%02d-%s" % (n + 1, level["name"])
        level["worldFile"] = stem + "-world.mesh"
        level["collideFile"] = stem + "-collide.mesh"
        level.setdefault("ballFile", "ball.mesh")
        level["pinFile"] = "pin.mesh"
        drawn, collide = world(level["slabs"], level.get("backdrop"))
        if "terrain" in level:
            drawn.extend(level["terrain"][0])
            collide.extend(level["terrain"][1])
        files[level["worldFile"]] = drawn.text()
        files[level["collideFile"]] = collide.text()
        files[stem + ".scene"] = sceneText(level)
        names.append(stem + ".scene")
    files["scenelist.txt"] = "scenes %d\n" % len(names) + "".join("level %s\n" % s for s in names)
    for name in sorted(files):
        with open(os.path.join(out, name), "w", newline="\n") as f:
            f.write(files[name])
    return sorted(files)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "levels")
    for name in buildPack(target):
        print(name)
