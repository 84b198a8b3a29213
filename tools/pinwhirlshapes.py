"""Shapes and writers for building Pinwhirl levels in Python (standard library
only). The game's own pack is written with it (tools/genlevels.py in the
sources), and so can yours: build a level from slabs (floors, boxes, walls,
ramps, bumpers) and surfaces (height fields), turn them into a drawn mesh and
a collision mesh with world(), and write those, the scene and the scene list
with the write* functions. pinwhirl-level(5) gives the file formats; check a
pack with pinwhirl-check(1).

    import pinwhirlshapes as ps
    slabs = ps.walledFloor(-2, 2, -3, 15, 0, (200, 160, 110), (110, 80, 60), 0.6, 0.3,
                           (150, 150, 160), (95, 95, 110))
    drawn, collide = ps.world(slabs)
    ps.writeMesh("mine/mine-world.mesh", drawn)
    ps.writeCollisionMesh("mine/mine-collide.mesh", collide)

tools/examples/walledLevel.py (installed in /usr/share/doc/pinwhirl/examples/)
writes a whole pack.

Conventions:
- Units are the level's own; the ball's radius is 0.5 (BALL_RADIUS) and a
  pin's 0.3 (PIN_RADIUS). Points are (x, y, z) tuples, points on the ground
  (x, y) pairs.
- +z is up. The lane runs along +y, away from the camera: a drag up the screen
  throws the ball towards +y, a drag to the right towards +x.
- A triangle is seen only from the side where its corners run counter-
  clockwise (back faces are culled), so every shape winds counter-clockwise
  seen from outside; its normal is computed from that winding. Polygons given
  as the top of a slab run counter-clockwise seen from above.
- There is no lighting in the game: Mesh shades each corner's colour by how
  its face turns to a fixed light (LIGHT), with a little per-corner noise, so
  surfaces read as solid. Mesh colours are whole numbers from 0 to 255; scene
  colours (background, text) go from 0 to 1.
- A collision mesh holds only the surfaces the ball and the pins can touch.
  A floor is touchable only on its top: walls at its edges would throw a ball
  rolling off back as a bumper does. Where two solid slabs meet flush, the
  walls between them are left out: a sphere rolling over the seam would touch
  the hidden wall's edge and be kicked sideways.
- Numbers are written by fmt(): fixed point, at most four decimals, no
  trailing zeros, never "-0". The output is byte-for-byte deterministic: the
  colour noise is an integer hash of the point, not a random generator.
"""

import math
import os

# ---------------------------------------------------------------- numbers ---


def fmt(x):
    """Shortest fixed form with at most four decimals; never "-0"."""
    s = "%.4f" % x
    s = s.rstrip("0").rstrip(".")
    if s in ("-0", ""):
        s = "0"
    return s


def triple(v):
    """A point or colour as the files write it: [x, y, z], numbers by fmt()."""
    return "[%s, %s, %s]" % tuple(fmt(x) for x in v)


def sub(a, b):
    """a - b."""
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    """The cross product a x b."""
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    """The dot product a . b."""
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def unit(a):
    """a scaled to length 1."""
    m = math.sqrt(dot(a, a))
    return (a[0] / m, a[1] / m, a[2] / m)


def lerp(a, b, t):
    """The point t of the way from a to b."""
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def faceNormal(p):
    """The unit normal of triangle p, on the side its corners run counter-
    clockwise."""
    return unit(cross(sub(p[1], p[0]), sub(p[2], p[0])))


def area2(p):
    """Twice the area of triangle p."""
    c = cross(sub(p[1], p[0]), sub(p[2], p[0]))
    return math.sqrt(dot(c, c))


def grid(lo, hi, n):
    """n + 1 evenly spaced values from lo to hi."""
    return [lo + (hi - lo) * k / n for k in range(n + 1)]


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
    """The colour (0 to 255 each) of a corner at p of a face turned to normal:
    base, darker the further the face turns from LIGHT, varied by up to
    `amount` (a fraction) by noise(p, seed)."""
    lit = 0.62 + 0.38 * max(0.0, dot(normal, LIGHT))
    k = lit * (1.0 + amount * noise(p, seed))
    return tuple(max(0, min(255, int(round(c * k)))) for c in base)


# ------------------------------------------------------------------ meshes ---


class Mesh:
    """Triangles with one colour per corner: the drawn mesh or the collision
    mesh of a level, or the mesh of a ball or a pin."""

    def __init__(self):
        self.tris = []  # (corners, colours)

    def tri(self, a, b, c, colour, amount=0.05, seed=1):
        """Adds triangle a, b, c (counter-clockwise seen from the front),
        shaded from colour (see shade); a degenerate one is left out."""
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
        """Adds the triangles of another mesh."""
        self.tris.extend(other.tris)

    def text(self):
        """The mesh file: the count, then each triangle's normal and its
        corners' colours and positions."""
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
    """The lathe profile of a sphere about the origin, in `bands` bands."""
    return [(radius * math.sin(math.pi * k / bands), -radius * math.cos(math.pi * k / bands)) for k in range(bands + 1)]


# ------------------------------------------------------------------ slabs ---


class Slab:
    """A solid with a flat bottom at zBottom and a top polygon (convex,
    counter-clockwise seen from above, one plane, corners may differ in z for
    a ramp). It has vertical walls all round; the bottom is never seen and
    never touched, so it is not drawn.
    The drawn top of a four-cornered slab is cut into cells of about `cell`
    (across, along) units, and pattern(i, j, nx, ny) gives the colour of cell
    i of nx across and j of ny along.
    solid=False leaves it out of the collision mesh (decoration); floor=True
    puts only its top there."""

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
    """An upright box from (x0, y0, z0) to (x1, y1, z1), x0 < x1, y0 < y1;
    keywords as Slab's. Solid all round: a block, a post, a wall."""
    return Slab([(x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)], z0, topColour, sideColour, **kw)


def floor(x0, x1, y0, y1, z, topColour, sideColour, depth=0.6, **kw):
    """A floor from x0 to x1 across and y0 to y1 along, its top at z and its
    edges drawn down to z - depth. Only its top is touchable: what rolls over
    an edge falls. Keywords as Slab's (cell and pattern chequer its top)."""
    kw.setdefault("floor", True)
    return box(x0, y0, x1, y1, z - depth, z, topColour, sideColour, **kw)


def wall(a, b, thickness, height, topColour, sideColour, z=0.0, zBottom=None, **kw):
    """A straight wall along the line from a to b ((x, y) on the ground),
    `thickness` wide about the line, from zBottom (default z) up to z + height.
    Solid: the ball and the pins bounce off its sides and ride its top."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    m = math.hypot(dx, dy)
    # half the thickness to the left of the way from a to b
    lx, ly = -dy / m * thickness / 2.0, dx / m * thickness / 2.0
    top = z + height
    corners = [(a[0] - lx, a[1] - ly, top), (b[0] - lx, b[1] - ly, top), (b[0] + lx, b[1] + ly, top),
               (a[0] + lx, a[1] + ly, top)]
    return Slab(corners, z if zBottom is None else zBottom, topColour, sideColour, **kw)


def walledFloor(x0, x1, y0, y1, z, topColour, sideColour, wallHeight, wallThickness, wallColour, wallSide,
                depth=0.6, **kw):
    """A floor (see floor) with a wall along each side, just outside x0 and
    x1, wallHeight above the floor and down to its depth; its ends are open.
    Returns the three slabs."""
    h = wallThickness / 2.0
    return [floor(x0, x1, y0, y1, z, topColour, sideColour, depth, **kw),
            wall((x0 - h, y0), (x0 - h, y1), wallThickness, wallHeight, wallColour, wallSide, z, z - depth),
            wall((x1 + h, y0), (x1 + h, y1), wallThickness, wallHeight, wallColour, wallSide, z, z - depth)]


def bumper(x, y, radius, height, topColour, sideColour, z=0.0, sides=8, **kw):
    """A post standing on the floor at z: a prism of `sides` flat sides about
    (x, y), `radius` out to its corners, `height` tall, a flat side facing the
    camera. What hits it bounces off. With sides=4 it is a square block."""
    turn = math.pi / sides
    corners = [(x + radius * math.cos(turn + 2.0 * math.pi * k / sides),
                y + radius * math.sin(turn + 2.0 * math.pi * k / sides), z + height) for k in range(sides)]
    return Slab(corners, z, topColour, sideColour, **kw)


def ramp(x0, x1, y0, y1, zStart, zEnd, zBottom, topColour, sideColour, **kw):
    """A rectangle from y0 (height zStart) to y1 (height zEnd)."""
    return Slab([(x0, y0, zStart), (x1, y0, zStart), (x1, y1, zEnd), (x0, y1, zEnd)], zBottom, topColour, sideColour,
                **kw)


def curvedRamp(x0, x1, profile, zBottom, topColour, sideColour, **kw):
    """A ramp profile: consecutive ramps from x0 to x1 across through the
    (y, z) points of profile, sharing edges; floors unless floor=False."""
    kw.setdefault("floor", True)
    return [ramp(x0, x1, profile[k][0], profile[k + 1][0], profile[k][1], profile[k + 1][1], zBottom, topColour,
                 sideColour, **kw) for k in range(len(profile) - 1)]


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


def _wallCovered(slabs, me, a, b):
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


def _uncovered(covered):
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


def _slabWalls(slabs, s, into, colour):
    n = len(s.top)
    for k in range(n):
        a, b = s.top[k], s.top[(k + 1) % n]
        for t0, t1 in _uncovered(_wallCovered(slabs, s, a, b)):
            p, q = lerp(a, b, t0), lerp(a, b, t1)
            into.quad((p[0], p[1], s.zBottom), (q[0], q[1], s.zBottom), q, p, colour)


def _slabTopDrawn(s, into):
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
                into.quad(at(i / nx, j / ny), at((i + 1) / nx, j / ny), at((i + 1) / nx, (j + 1) / ny),
                          at(i / nx, (j + 1) / ny), col)
    else:
        for k in range(1, len(top) - 1):
            into.tri(top[0], top[k], top[k + 1], s.topColour)


def world(slabs, extra=None):
    """The drawn mesh and the collision mesh of a list of slabs, with the
    drawn-only mesh extra (a backdrop, say) added to the drawn one. Add a
    surface (see terrain) with drawn.extend() and collide.extend()."""
    drawn, collide = Mesh(), Mesh()
    for s in slabs:
        _slabTopDrawn(s, drawn)
        _slabWalls(slabs, s, drawn, s.sideColour)
        if s.solid:
            for k in range(1, len(s.top) - 1):
                collide.tri(s.top[0], s.top[k], s.top[k + 1], (128, 128, 128), 0)
            if not s.floor:
                _slabWalls([x for x in slabs if x.solid], s, collide, (128, 128, 128))
    if extra:
        drawn.extend(extra)
    return drawn, collide


# --------------------------------------------------------------- surfaces ---


def surface(point, us, vs, colourAt, into, amount=0.05, seed=1):
    """The surface through point(u, v) over the grid us by vs, two triangles a
    cell. u runs across, left to right seen along the way v runs, so each cell
    is counter-clockwise from above; the diagonals mirror about u = 0, so a
    surface even in u stays even. colourAt(i, j) colours cell i across, j along."""
    pts = [[point(u, v) for u in us] for v in vs]
    for j in range(len(vs) - 1):
        for i in range(len(us) - 1):
            a, b, c, d = pts[j][i], pts[j][i + 1], pts[j + 1][i + 1], pts[j + 1][i]
            col = colourAt(i, j)
            if us[i] + us[i + 1] < 0:
                into.tri(a, b, c, col, amount, seed)
                into.tri(a, c, d, col, amount, seed)
            else:
                into.tri(b, c, d, col, amount, seed)
                into.tri(b, d, a, col, amount, seed)


def heightField(height, xs, ys, colourAt, into, amount=0.05, seed=1):
    """The surface z = height(x, y) over the grid of xs by ys, added to the
    mesh into (see surface). For a drawn mesh and its collision mesh at once,
    terrain(lambda x, y: (x, y, height(x, y)), xs, ys, ...)."""
    surface(lambda x, y: (x, y, height(x, y)), xs, ys, colourAt, into, amount, seed)


def terrain(point, us, vs, every, colourAt, seed=3):
    """A surface's drawn mesh and collision mesh: the collision mesh on the
    full grid (fine, so a sphere rolls smoothly over curves) and the drawn mesh
    on every `every`-th line of it (the drawn corners on the collision surface;
    drawing costs by the triangle)."""
    assert (len(us) - 1) % every == 0 and (len(vs) - 1) % every == 0
    collide, drawn = Mesh(), Mesh()
    surface(point, us, vs, lambda i, j: (128, 128, 128), collide, amount=0)
    surface(point, us[::every], vs[::every], colourAt, drawn, seed=seed)
    return drawn, collide


def skirt(points, zBottom, colour, into):
    """Drawn walls from a surface's open edge (points in order, the outside on
    the right seen from above) down to zBottom, so the surface reads as solid."""
    for p, q in zip(points, points[1:]):
        into.quad((p[0], p[1], zBottom), (q[0], q[1], zBottom), q, p, colour)


def edgeSkirts(point, us, vs, zBottom, colour, into, ends=(True, True)):
    """Drawn walls under a surface's left and right edges (and its ends), so
    that it reads as solid from the side."""
    skirt([point(us[0], v) for v in reversed(vs)], zBottom, colour, into)
    skirt([point(us[-1], v) for v in vs], zBottom, colour, into)
    if ends[0]:
        skirt([point(u, vs[0]) for u in us], zBottom, colour, into)
    if ends[1]:
        skirt([point(u, vs[-1]) for u in reversed(us)], zBottom, colour, into)


# ------------------------------------------------------------- decoration ---


def backdrop(z, half, colours, cell=8.0, centre=(0.0, 10.0)):
    """Drawn only: a chequered ground far below the level, for depth; put it
    below the lower bound, so that nothing ever reaches it."""
    n = int(2 * half / cell)
    return _chequer(z, centre[0] - half, centre[1] - half, n, n, cell, colours, 0.08)


def water(z, x0, y0, x1, y1, colours=((40, 80, 130), (46, 90, 142)), cell=4.0):
    """Drawn only: a chequered sheet of water below a level, a little under its
    lower bound."""
    nx, ny = int(round((x1 - x0) / cell)), int(round((y1 - y0) / cell))
    return _chequer(z, x0, y0, nx, ny, cell, colours, 0.06)


def _chequer(z, x0, y0, nx, ny, cell, colours, amount):
    """nx by ny level squares of side cell from (x0, y0), in two colours."""
    m = Mesh()
    for j in range(ny):
        for i in range(nx):
            a = (x0 + i * cell, y0 + j * cell, z)
            m.quad(a, (a[0] + cell, a[1], z), (a[0] + cell, a[1] + cell, z), (a[0], a[1] + cell, z),
                   colours[(i + j) % 2], amount)
    return m


def boardPattern(light, dark, edge):
    """A slab pattern: lane boards along y, a darker edge board each side."""
    def pattern(i, j, nx, ny):
        if i == 0 or i == nx - 1:
            return edge
        return light if (i + j // 3) % 2 == 0 else dark
    return pattern


def checker(a, b):
    """A slab pattern: a chequer of colours a and b."""
    def pattern(i, j, nx, ny):
        return a if (i + j) % 2 == 0 else b
    return pattern


# ----------------------------------------------------------- ball and pins ---

BALL_RADIUS = 0.5
BALL_MASS = 5.0
PIN_RADIUS = 0.3
PIN_MASS = 1.0


def ballMesh(base, swirl, holes):
    """The ball's mesh about the centre of its sphere: colour base, a lighter
    swirl and three finger holes."""
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
    """A pin's mesh about the centre of its sphere (PIN_RADIUS): colour body,
    a stripe round the neck."""
    def colour(i, k):
        return stripe if k in (6, 7) else body
    return lathe(PIN_PROFILE, 12, colour)


def triangleRack(rows, headX, headY, dx, dy, z):
    """Pins in a triangle of `rows` rows, dx apart across and dy along, the
    head pin at (headX, headY) nearest the ball; z the pins' centres."""
    out = []
    for r in range(rows):
        for k in range(r + 1):
            out.append((headX + (k - r / 2.0) * dx, headY + r * dy, z))
    return out


# ----------------------------------------------------------------- writers ---


def sceneText(level):
    """The scene file of a level, given as a dict: background and text (scene
    colours, 0 to 1), lower (the lower bound), worldFile and collideFile (the
    mesh file names), camera, ball (its centre), pins (their centres), ballFile
    and pinFile (their mesh file names); optionally ballRadius, ballMass,
    pinRadius and pinMass (by default BALL_RADIUS and so on)."""
    pinRadius, pinMass = level.get("pinRadius", PIN_RADIUS), level.get("pinMass", PIN_MASS)
    lines = [
        "background %s" % triple(level["background"]),
        "text %s" % triple(level["text"]),
        "lowerbound %s" % fmt(level["lower"]),
        "world %s" % level["worldFile"],
        "collision %s" % level["collideFile"],
        "camera %s" % triple(level["camera"]),
        "pins %d" % len(level["pins"]),
        "ball %s" % triple(level["ball"]),
        "radius %s" % fmt(level.get("ballRadius", BALL_RADIUS)),
        "mass %s" % fmt(level.get("ballMass", BALL_MASS)),
        "mesh %s" % level["ballFile"],
    ]
    for p in level["pins"]:
        lines += ["pin %s" % triple(p), "radius %s" % fmt(pinRadius), "mass %s" % fmt(pinMass),
                  "mesh %s" % level["pinFile"]]
    return "\n".join(lines) + "\n"


def sceneListText(levels, over=None):
    """The scene list: the scene file names of levels in the order of play,
    then the game-over screen's, over, if given (else the last of levels is
    the game-over screen)."""
    entries = [("level", s) for s in levels] + ([("over", over)] if over else [])
    return "scenes %d\n" % len(entries) + "".join("%s %s\n" % e for e in entries)


def writeText(path, text):
    """Writes a file's text with Unix line breaks, as the game reads them."""
    with open(path, "w", newline="\n") as f:
        f.write(text)


def writeMesh(path, mesh):
    """Writes a drawn mesh file (a level's world, a ball, a pin)."""
    writeText(path, mesh.text())


def writeCollisionMesh(path, mesh):
    """Writes a collision mesh file: the same format as a drawn mesh, whose
    colours the game ignores and whose normals it uses as written (Mesh writes
    each triangle's true one)."""
    writeText(path, mesh.text())


def writeScene(path, level):
    """Writes a scene file (see sceneText)."""
    writeText(path, sceneText(level))


def writeSceneList(path, levels, over=None):
    """Writes scenelist.txt (see sceneListText)."""
    writeText(path, sceneListText(levels, over))


def writeFiles(folder, files):
    """Writes a pack's files, {name: text}, into folder (made if need be);
    returns their names, sorted."""
    os.makedirs(folder, exist_ok=True)
    for name in sorted(files):
        writeText(os.path.join(folder, name), files[name])
    return sorted(files)
