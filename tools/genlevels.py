#!/usr/bin/env python3
"""Writes Pinwhirl's level pack: every mesh, collision mesh and scene file and
the scene list, built from the shapes of pinwhirlshapes.py beside it.

    python3 tools/genlevels.py [output-directory]     (default: levels/)

The output is byte-for-byte deterministic (see pinwhirlshapes.py for the
conventions the shapes keep). Standard library only. This file holds the
pack's own levels, colours and order of play.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pinwhirlshapes import (BALL_RADIUS, PIN_RADIUS, Mesh, Slab, backdrop, ballMesh, boardPattern, box,  # noqa: E402
                            checker, curvedRamp, edgeSkirts, floor, grid, heightField, holedFloor, hump, pinMesh,
                            sceneListText, sceneText, skirt, smoothstep, terrain, triangleRack, water, world,
                            writeFiles)

# ------------------------------------------------------------ the pack ---

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
    return floor(x0, x1, y0, y1, z, WOOD_LIGHT, SIDE, **kw)


# Classic's lane is dark walnut, so that the gold ball stands out on it.
WALNUT = ((128, 84, 50), (114, 74, 44), (86, 56, 34))
# A ball four times the usual mass ploughs on through the rack where a light
# one glances off the head pin: a throw a few degrees off the middle still
# reaches the back row.
CLASSIC_BALL_MASS = 20.0


def levelClassic():
    """A lane that ends in a pit, ten pins in a tight triangle near its edges."""
    slabs = [
        lane(-2.2, 2.2, -3.0, 19.0, pattern=boardPattern(*WALNUT)),
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
        "ballMass": CLASSIC_BALL_MASS,
        "lower": -6.0,
        "camera": (0.0, -7.0, 3.0),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(4, 0.0, 14.0, 0.66, 0.58, PIN_Z),
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


# Jump's heavy ball ploughs through the rack; the ramps are a deep brick red
# and the lanes walnut, so that the gold ball stands out on them.
JUMP_BALL_MASS = 20.0
BRICK = ((165, 72, 52), (148, 62, 45))


def levelJump():
    """A ramp, a gap, and the pins on the far side: too slow falls short."""
    slabs = [lane(-2.0, 2.0, -3.0, 6.0, pattern=boardPattern(*WALNUT))]
    slabs += curvedRamp(-2.0, 2.0, RAMP_PROFILE, -0.6, BRICK[0], SIDE, cell=(0.5, 1.0), pattern=checker(*BRICK))
    slabs += curvedRamp(-2.5, 2.5, LANDING_PROFILE, -1.6, BRICK[0], SIDE, cell=(0.5, 1.0), pattern=checker(*BRICK))
    # the rack close after the landing, so that a throw a little aslant still
    # meets it
    slabs.append(lane(-2.5, 2.5, 19.0, 27.0, z=-1.0, pattern=boardPattern(*WALNUT)))
    return {
        "name": "jump",
        "slabs": slabs,
        "background": (0.85, 0.62, 0.45),
        "text": (0.09, 0.06, 0.18),
        "ballFile": "ball-gold.mesh",
        "ballMass": JUMP_BALL_MASS,
        "lower": -6.0,
        "camera": (0.0, -7.0, 4.0),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(3, 0.0, 21.5, 0.66, 0.58, PIN_Z - 1.0),
        "backdrop": backdrop(-30.0, 48.0, ((150, 90, 60), (165, 100, 68))),
    }


# The bank: a smooth slope up the left of the lane (BANK_SLOPE: its foot, how
# far out it rises and how high), a red wall across the lane from BANK_GAP to
# the right edge at BANK_BLOCK_Y, and the pins behind it. A slope turns the
# ball back the same way at any speed; a wall threw it up itself now and then.
BANK_SLOPE = (-2.2, 2.0, 1.6)
BANK_GAP = -0.2                 # where the red wall starts; the gap is left of it
BANK_BLOCK_Y = 9.0
BANK_RACK = (2, -0.2, 12.8, 0.72, 0.62)  # rows, head pin, spacing
BANK_END = 20.0                 # the lane's far end


def bankPoint(u, v):
    foot, width, height = BANK_SLOPE
    t = (foot - u) / width  # 0 at the foot, 1 at the top
    return (u, v, height * (1.0 - math.cos(0.5 * math.pi * t)))


def levelBank():
    """The pins hide behind a wall: bank the ball off the slope at the side."""
    foot, width, height = BANK_SLOPE
    rows, hx, hy, dx, dy = BANK_RACK
    xs, ys = grid(foot - width, foot, 24), grid(-3.0, BANK_END, 4)
    drawn, collide = terrain(bankPoint, xs, ys, 4, lambda i, j: ((150, 150, 160), (170, 170, 180))[i % 2])
    edgeSkirts(bankPoint, xs[::4], ys, -0.6, STONE_SIDE, drawn)
    slabs = [
        lane(foot, 3.0, -3.0, BANK_END),
        box(BANK_GAP, BANK_BLOCK_Y, 3.0, BANK_BLOCK_Y + 0.6, 0.0, 1.2, (180, 60, 60), (120, 40, 40)),
    ]
    return {
        "name": "bank",
        "slabs": slabs,
        "terrain": (drawn, collide),
        "background": (0.25, 0.45, 0.4),
        "text": (1.0, 1.0, 1.0),
        "lower": -6.0,
        "camera": (0.0, -7.0, 3.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": triangleRack(rows, hx, hy, dx, dy, PIN_Z),
        "backdrop": backdrop(-30.0, 48.0, ((40, 90, 80), (48, 104, 92))),
    }


PLATEAU_PROFILE = [(5.0, 0.0), (6.0, 0.1), (7.0, 0.35), (8.0, 0.7), (9.0, 1.1), (10.0, 1.5)]


# The ball reaches the platform slow: a heavy one still ploughs through the
# tight rack rather than glancing off it.
PLATEAU_BALL_MASS = 30.0


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
        "ballMass": PLATEAU_BALL_MASS,
        # the rack just past the top of the ramp, where the ball is still
        # near the middle
        "pins": triangleRack(4, 0.0, 11.0, 0.66, 0.58, 1.5 + PIN_RADIUS),
        "backdrop": backdrop(-30.0, 48.0, ((30, 30, 50), (38, 38, 62))),
    }


# Two groups, so a steady hand clears it in two throws: a tight rack of six
# near the far edge, which a straight throw pushes off it, and a pair beside a
# hole on the left.
CHEESE_PINS = [(x, y) for x, y, z in triangleRack(3, 0.0, 16.4, 0.64, 0.56, 0.0)] + [(-3.6, 15.5), (-2.9, 16.1)]
CHEESE_HOLES = {(2, 4), (0, 6), (4, 6), (1, 8), (3, 8)}
CHEESE_BALL_MASS = 25.0         # a heavy ball ploughs through the rack rather than stopping in it


def levelCheese():
    """A wide floor full of holes, the pins spread between them."""
    xs = [-5.0, -3.0, -1.0, 1.0, 3.0, 5.0]
    ys = [-3.0 + 2.0 * k for k in range(12)]
    slabs = holedFloor(xs, ys, CHEESE_HOLES, FLOOR_Z, ((230, 200, 80), (215, 185, 70)), (160, 130, 40))
    pins = [(x, y, PIN_Z) for x, y in CHEESE_PINS]
    return {
        "name": "cheese",
        "slabs": slabs,
        # the dark blue ball stands out on the yellow floor; light text under a dusk sky
        "background": (0.16, 0.22, 0.38),
        "text": (1.0, 0.95, 0.75),
        "lower": -6.0,
        "camera": (0.0, -7.5, 4.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": pins,
        "ballMass": CHEESE_BALL_MASS,
        "backdrop": backdrop(-30.0, 48.0, GRASS),
    }


FUNNEL_BALL_MASS = 25.0         # a heavy ball ploughs on through the rack
FUNNEL_RACK = (3, 14.5, 0.62, 0.54)  # rows, the head pin's y, spacing across and along: close, so a blow passes on
FUNNEL_RIM_END = 16.0           # the far rim ends just behind the rack, so what the ball drives back drops off


def levelFunnel():
    """A funnel with a hole at the bottom, pins on its far rim: fast enough to
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
        box(-6.0, y1, 6.0, FUNNEL_RIM_END, top - 0.6, top, rimColour, sideColour, floor=True),
        pitFloor(h0, h1, g0, g1, -4.5),
    ]
    rows, head, across, along = FUNNEL_RACK
    pins = triangleRack(rows, 0.0, head, across, along, PIN_Z)
    return {
        "name": "funnel",
        "slabs": slabs,
        "background": (0.75, 0.82, 0.88),
        "text": (0.05, 0.07, 0.15),
        "ballFile": "ball-gold.mesh",
        "ballMass": FUNNEL_BALL_MASS,
        "lower": -4.0,
        "camera": (0.0, -6.5, 4.0),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": pins,
        "backdrop": backdrop(-30.0, 48.0, ((90, 120, 140), (100, 132, 152))),
    }


# The hills level: a grassy valley whose banks turn the ball back to the middle,
# over a low hill, a dip and a high hill, to a flat green with the pins.
HILLS_X = 4.5                   # the valley's half width
HILLS_Y = (3.0, 23.0)           # where the valley starts and ends
# The banks rise as a parabola beyond a narrow flat bottom: a ball sent a
# little aslant swings across and back, and the valley's length is about half
# a swing, so it comes out near the middle, heading for the rack.
HILLS_FLOOR = 0.5               # half width of the valley's flat bottom
HILLS_BANK = 0.1                # how steeply the banks rise beyond it
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
    return along + fade * HILLS_BANK * side * side


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


# A heavy ball ploughs through the tight rack rather than glancing off it.
HILLS_BALL_MASS = 20.0


def levelHills():
    """Rolling hills: a valley over a low hill, a dip and a high hill to the
    pins on a green. Its collision mesh follows the curves in fine triangles."""
    half, end = HILLS_GREEN
    slabs = [
        # walnut, so that the gold ball stands out on it
        lane(-HILLS_START, HILLS_START, -3.0, HILLS_Y[0], pattern=boardPattern(*WALNUT)),
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
        "ballMass": HILLS_BALL_MASS,
        "pins": triangleRack(3, 0.0, 25.5, 0.66, 0.58, PIN_Z),
        "backdrop": backdrop(-30.0, 48.0, ((70, 110, 60), (80, 122, 68))),
    }


# ----------------------------------------------------------------- levels ---


def newLevel(name, slabs, pins, background, text, extra=(), **kw):
    """A level as most are: the ball at the start of the lane, the camera
    behind it, a backdrop far below; extra holds (drawn, collision) meshes
    of surfaces to add."""
    out = {
        "name": name,
        "slabs": slabs,
        "background": background,
        "text": text,
        "lower": -6.0,
        "camera": (0.0, -7.0, 3.5),
        "ball": (0.0, 0.0, BALL_Z),
        "pins": pins,
        "backdrop": backdrop(-30.0, 48.0, ((50, 60, 80), (58, 70, 92))),
    }
    out.update(kw)
    if extra:
        drawn, collide = Mesh(), Mesh()
        for d, c in extra:
            drawn.extend(d)
            collide.extend(c)
        out["terrain"] = (drawn, collide)
    return out


DOMINO_HALF = 2.0               # the lane's half width
DOMINO_PINS = 6
DOMINO_FILE = (8.25, 0.75)      # the first pin's y and the pins' spacing: close, so a blow passes on straight
DOMINO_END = 13.0               # the lane ends a pin past the last, so what the file passes on drops at once
DOMINO_BALL_MASS = 20.0         # a heavy ball ploughs on down the file rather than stopping at its head


def levelDomino():
    """A file of pins down the middle of the lane: each passes the blow to the
    next, and the ball follows them up."""
    slabs = [lane(-DOMINO_HALF, DOMINO_HALF, -3.0, DOMINO_END), pitWall(y=DOMINO_END + 2.0),
             pitFloor(-4.0, 4.0, DOMINO_END, DOMINO_END + 2.0, -6.5)]
    first, gap = DOMINO_FILE
    pins = [(0.0, first + gap * k, PIN_Z) for k in range(DOMINO_PINS)]
    return newLevel("domino", slabs, pins, (0.16, 0.2, 0.34), (1.0, 0.95, 0.75), camera=(1.5, -7.0, 3.5),
                    ballMass=DOMINO_BALL_MASS)


# Posts of the slalom, (x, y) of each centre: they leave two lines through them
# from the ball, slopes of about 1 in 5 either way, to a group of pins each.
SLALOM_POSTS = [(0.0, 5.0), (0.0, 9.0), (-3.4, 9.0), (3.4, 9.0), (-1.2, 13.0), (1.2, 13.0), (-4.0, 13.0),
                (4.0, 13.0)]
SLALOM_POST = 0.5


def levelSlalom():
    """Posts stand in a zigzag down a wide lane; find the line between them."""
    h = SLALOM_POST / 2
    slabs = [lane(-4.8, 4.8, -3.0, 21.0, cell=(0.8, 1.0)), pitWall(-5.8, 5.8, 23.0),
             pitFloor(-5.8, 5.8, 21.0, 23.0, -6.5)]
    for k, (x, y) in enumerate(SLALOM_POSTS):
        colour = (200, 50, 40) if k % 2 == 0 else (40, 90, 200)
        slabs.append(box(x - h, y - h, x + h, y + h, 0.0, 1.2, colour, tuple(c * 2 // 3 for c in colour)))
    pins = triangleRack(2, -3.7, 17.8, 0.72, 0.62, PIN_Z) + triangleRack(2, 3.7, 17.8, 0.72, 0.62, PIN_Z)
    return newLevel("slalom", slabs, pins, (0.22, 0.26, 0.34), (1.0, 1.0, 1.0),
                 backdrop=backdrop(-30.0, 48.0, ((225, 230, 238), (205, 212, 225))))


# The banked curve: a valley that runs up the lane, turns a quarter to the right
# about CURVE_CENTRE and runs on to a green; its outer bank rises high, its
# inner one a little, and the flat floor between them is CURVE_FLOOR wide. The
# banks fade out before the green, where the pins stand.
CURVE_CENTRE = (10.0, 6.0)
CURVE_RUNS = (9.0, 10.0)        # the straight before the turn and after it
CURVE_FADE = 5.0                # the banks fade out over the last of the straight
CURVE_FLOOR = 1.0               # half width of the valley's floor
CURVE_BANKS = (5.0, 4.0)        # how far out the outer and inner banks reach
CURVE_CELL = 0.25               # collision cells across
CURVE_DRAWN_EVERY = 4
CURVE_GREEN = (2.5, 7.0)        # the green's half width and length: narrow, so pins knocked aside drop
CURVE_RACK = 3                  # rows of pins
CURVE_BALL_MASS = 25.0          # a heavy ball ploughs through the rack wherever along the green it comes in
CURVE_PIN_GAP = (0.68, 0.6)     # pins close together: one that falls takes its neighbours


def curveLength():
    return CURVE_RUNS[0] + 0.5 * math.pi * CURVE_CENTRE[0] + CURVE_RUNS[1]


def curvePoint(u, s):
    """The point u across the valley (positive to the right of the way along),
    s along its middle from the start."""
    cx, cy = CURVE_CENTRE
    radius = cx
    before = CURVE_RUNS[0]
    arc = 0.5 * math.pi * radius
    if s <= before:
        x, y, dx, dy = 0.0, s - 3.0, 0.0, 1.0
    elif s <= before + arc:
        a = math.pi - (s - before) / radius
        x, y, dx, dy = cx + radius * math.cos(a), cy + radius * math.sin(a), math.sin(a), -math.cos(a)
    else:
        x, y, dx, dy = cx + s - before - arc, cy + radius, 1.0, 0.0
    side = max(0.0, abs(u) - CURVE_FLOOR)
    fade = smoothstep((curveLength() - s) / CURVE_FADE)
    z = fade * (0.3 if u < 0 else 0.2) * side * side
    # right of the way along (dx, dy) is (dy, -dx)
    return (x + u * dy, y - u * dx, z)


def levelCurve():
    """A valley with a banked quarter turn to the right: fast enough to ride
    the bank round, not so fast that the ball flies off its top."""
    outer, inner = CURVE_BANKS
    length = curveLength()
    us = grid(-outer, inner, int(round((outer + inner) / CURVE_CELL)))
    # Fine along only where the valley turns or its banks fade: its straights
    # are the same all along. Each part a whole number of drawn cells.
    before, arc, fade = CURVE_RUNS[0], 0.5 * math.pi * CURVE_CENTRE[0], length - CURVE_FADE
    vs = grid(0.0, before, 8)[:-1] + grid(before, before + arc, 64)[:-1] + grid(before + arc, fade, 4)[:-1] + \
        grid(fade, length, 20)
    greens = ((80, 140, 70), (92, 156, 80))
    bank = ((200, 60, 50), (235, 235, 235))

    def colourAt(i, j):
        return bank[j % 2] if i < 3 else greens[j % 2]
    drawn, collide = terrain(curvePoint, us, vs, CURVE_DRAWN_EVERY, colourAt)
    edgeSkirts(curvePoint, us[::CURVE_DRAWN_EVERY], vs[::CURVE_DRAWN_EVERY], -1.5, (100, 80, 55), drawn,
               (True, False))
    x0, y = curvePoint(0.0, length)[:2]
    half, long = CURVE_GREEN
    green = box(x0, y - half, x0 + long, y + half, -1.5, 0.0, GRASS[0], (100, 80, 55), cell=(1.0, 1.0), floor=True,
                pattern=checker((88, 156, 80), (100, 170, 90)))
    pins = [(x0 + 2.0 + yy, y - xx, z) for xx, yy, z in triangleRack(CURVE_RACK, 0.0, 0.0, CURVE_PIN_GAP[0], CURVE_PIN_GAP[1], PIN_Z)]
    return newLevel("curve", [green], pins, (0.2, 0.28, 0.22), (1.0, 0.95, 0.7), extra=[(drawn, collide)],
                 camera=(-3.0, -7.0, 5.0), backdrop=backdrop(-30.0, 48.0, ((60, 100, 60), (70, 112, 68))),
                 ballMass=CURVE_BALL_MASS)


# Stairs down: (length, drop) of each step after the top landing.
STAIRS = [(1.2, 0.3)] * 5
STAIRS_RUN = 14.0               # the lane at the foot of the stairs
STAIRS_RACK = (2, 8.0, 0.72, 0.62)  # rows, the head pin's distance from the foot, spacing


def levelStairs():
    """Stairs down to the pins: the ball hops from step to step, and must come
    to the pins rolling, not bouncing over them."""
    slabs = [lane(-2.5, 2.5, -3.0, 3.0)]
    y, z = 3.0, 0.0
    shades = ((190, 175, 160), (165, 150, 138))
    for k, (length, drop) in enumerate(STAIRS):
        z -= drop
        slabs.append(box(-2.5, y, 2.5, y + length, z - 0.6, z, shades[k % 2], STONE_SIDE, floor=True))
        y += length
    slabs.append(lane(-2.5, 2.5, y, y + STAIRS_RUN, z=z))
    rows, ahead, dx, dy = STAIRS_RACK
    pins = triangleRack(rows, 0.0, y + ahead, dx, dy, z + PIN_RADIUS)
    return newLevel("stairs", slabs, pins, (0.3, 0.22, 0.3), (1.0, 1.0, 0.85), camera=(0.0, -7.0, 4.5))


# Bridge's heavy ball ploughs through the rack, which faces the plank.
BRIDGE_BALL_MASS = 30.0


def levelBridge():
    """A narrow plank across a chasm at an angle: aim along it, to an island
    along the same line."""
    plank = 1.0          # half width
    slope = 0.3          # the plank runs this much across for each unit along
    y0, y1 = 3.0, 13.0
    island, length = 2.0, 6.0
    slabs = [
        lane(-2.5, 2.5, -3.0, y0, cell=(0.5, 1.0)),
        Slab([(slope * y0 - plank, y0, 0.0), (slope * y0 + plank, y0, 0.0), (slope * y1 + plank, y1, 0.0),
              (slope * y1 - plank, y1, 0.0)], -0.3, (180, 130, 80), (120, 85, 50), floor=True),
        Slab([(slope * y1 - island, y1, 0.0), (slope * y1 + island, y1, 0.0),
              (slope * (y1 + length) + island, y1 + length, 0.0), (slope * (y1 + length) - island, y1 + length, 0.0)],
             -1.5, STONE, STONE_SIDE, floor=True, cell=(1.0, 1.0), pattern=checker((160, 160, 170), (140, 140, 152))),
    ]
    # a tight rack turned to face the plank, its head pin 2 along the island
    turn = -math.atan(slope)
    hx, hy = slope * (y1 + 2.0), y1 + 2.0
    pins = [(hx + x * math.cos(turn) - y * math.sin(turn), hy + x * math.sin(turn) + y * math.cos(turn), z)
            for x, y, z in triangleRack(3, 0.0, 0.0, 0.66, 0.58, PIN_Z)]
    return newLevel("bridge", slabs, pins, (0.12, 0.14, 0.22), (0.95, 0.9, 1.0), lower=-4.0,
                 backdrop=water(-4.5, -30.0, -20.0, 34.0, 44.0), ballMass=BRIDGE_BALL_MASS)


# The bowl: a round hollow about BOWL_CENTRE, flat at the bottom within
# BOWL_FLOOR, rising with no crease to its rim at BOWL_RIM, BOWL_DEPTH deep.
BOWL_CENTRE = (0.0, 13.0)
BOWL_FLOOR = 3.0
BOWL_RIM = 9.0
BOWL_DEPTH = 0.7
BOWL_CELLS = (24, 64)           # rings and sectors of the slope
BOWL_PINS = (5, 1.6)            # how many pins stand in a ring about the middle, and its radius


def bowlPoint(u, v):
    """u across the slope from the floor (-1) to the rim (1), v once round
    anticlockwise, so that the rim is on the right of the way round."""
    r = BOWL_FLOOR + (BOWL_RIM - BOWL_FLOOR) * (u + 1.0) / 2.0
    a = 2.0 * math.pi * v
    z = -BOWL_DEPTH * smoothstep((BOWL_RIM - r) / (BOWL_RIM - BOWL_FLOOR))
    return (BOWL_CENTRE[0] + r * math.cos(a), BOWL_CENTRE[1] + r * math.sin(a), z)


def levelBowl():
    """The pins stand at the bottom of a round bowl: knock them up its side and
    over the rim."""
    cx, cy = BOWL_CENTRE
    us, vs = grid(-1.0, 1.0, BOWL_CELLS[0]), grid(0.0, 1.0, BOWL_CELLS[1])
    slopeColours = ((200, 120, 60), (215, 135, 70))
    drawn, collide = terrain(bowlPoint, us, vs, 4, lambda i, j: slopeColours[j % 2])
    floorColour = (230, 200, 140)
    sectors = 32
    for k in range(sectors):
        a0, a1 = 2 * math.pi * k / sectors, 2 * math.pi * (k + 1) / sectors
        p = ((cx, cy, -BOWL_DEPTH), (cx + BOWL_FLOOR * math.cos(a0), cy + BOWL_FLOOR * math.sin(a0), -BOWL_DEPTH),
             (cx + BOWL_FLOOR * math.cos(a1), cy + BOWL_FLOOR * math.sin(a1), -BOWL_DEPTH))
        collide.tri(*p, (128, 128, 128), 0)
        drawn.tri(*p, floorColour)
        # the rim: a flat ring a unit wide round the top
        q = [(cx + R * math.cos(a), cy + R * math.sin(a), 0.0) for R, a in
             ((BOWL_RIM, a0), (BOWL_RIM + 1.0, a0), (BOWL_RIM + 1.0, a1), (BOWL_RIM, a1))]
        collide.quad(*q, (128, 128, 128), 0)
        drawn.quad(*q, (120, 110, 100))
        skirt([q[1], q[2]], -1.0, (90, 80, 70), drawn)
    slabs = [lane(-1.5, 1.5, -3.0, cy - BOWL_RIM - 0.5)]
    n, ring = BOWL_PINS
    pins = [(cx + ring * math.sin(a), cy - ring * math.cos(a), -BOWL_DEPTH + PIN_RADIUS)
            for a in (2.0 * math.pi * k / n for k in range(n))]
    return newLevel("bowl", slabs, pins, (0.18, 0.12, 0.2), (1.0, 0.9, 0.6), extra=[(drawn, collide)],
                 camera=(0.0, -7.0, 5.0))


# Stepping stones: (x, y, half size) of each, between the start and the island.
STONES = [(0.0, 5.5, 0.8), (0.0, 9.0, 0.8), (0.0, 12.5, 0.8), (0.0, 16.0, 0.8)]


# A heavy ball ploughs through the tight rack rather than glancing off it.
STONES_BALL_MASS = 20.0


def levelStones():
    """Stepping stones across water to an island: too slow and the ball drops
    between them."""
    slabs = [box(-2.0, -3.0, 2.0, 3.0, -1.5, 0.0, STONE, STONE_SIDE, floor=True)]
    shades = ((150, 140, 120), (135, 128, 110))
    for k, (x, y, h) in enumerate(STONES):
        slabs.append(box(x - h, y - h, x + h, y + h, -1.5, 0.0, shades[k % 2], (100, 95, 80), floor=True))
    slabs.append(box(-3.0, 19.5, 3.0, 25.0, -1.5, 0.0, (90, 150, 80), (100, 90, 70), floor=True, cell=(1.0, 1.0),
                     pattern=checker((90, 150, 80), (100, 162, 88))))
    return newLevel("stones", slabs, triangleRack(3, 0.0, 21.5, 0.66, 0.58, PIN_Z), (0.14, 0.2, 0.3),
                 (1.0, 1.0, 0.9), lower=-1.2, backdrop=water(-1.5, -30.0, -20.0, 30.0, 44.0),
                 ballMass=STONES_BALL_MASS)


# The chute: a round-bottomed channel CHUTE_HALF wide either side, raised over
# nothing, along a path of straight runs and bends. Each entry of CHUTE_PATH is
# (length, turn): a run of that length bending by `turn` radians to the left
# (negative to the right) evenly along it.
CHUTE_HALF = 1.3
CHUTE_DEPTH = 0.8               # how high its rims stand over its bottom
CHUTE_PATH = [(5.0, 0.0), (5.0, 0.6), (3.0, 0.0), (5.0, -0.6), (3.0, 0.0)]
CHUTE_START = (0.0, 2.0)
CHUTE_CELLS = (12, 0.25)        # collision cells across, and their length along
CHUTE_RACK = (2, 1.5, 0.72, 0.62)  # rows, the head pin's distance past the chute's end, spacing across and along


def chuteFrame(s):
    """Where the chute's middle is at s along it, and its direction."""
    x, y = CHUTE_START
    heading = 0.5 * math.pi
    for length, turn in CHUTE_PATH:
        if s <= length:
            if turn == 0.0:
                return x + s * math.cos(heading), y + s * math.sin(heading), heading
            r = length / turn
            h = heading + turn * s / length
            return x + r * (math.sin(h) - math.sin(heading)), y - r * (math.cos(h) - math.cos(heading)), h
        if turn == 0.0:
            x, y = x + length * math.cos(heading), y + length * math.sin(heading)
        else:
            r = length / turn
            x += r * (math.sin(heading + turn) - math.sin(heading))
            y -= r * (math.cos(heading + turn) - math.cos(heading))
            heading += turn
        s -= length
    return x + s * math.cos(heading), y + s * math.sin(heading), heading


def chutePoint(u, s):
    x, y, h = chuteFrame(s)
    return (x + u * math.sin(h), y - u * math.cos(h), CHUTE_DEPTH * (u / CHUTE_HALF) ** 2)


def levelChute():
    """A chute that bends left and right again carries the ball to the pins;
    too fast and it leaps out at a bend."""
    length = sum(l for l, t in CHUTE_PATH)
    us = grid(-CHUTE_HALF, CHUTE_HALF, CHUTE_CELLS[0])
    vs = grid(0.0, length, int(round(length / CHUTE_CELLS[1] / 2)) * 2)
    colours = ((120, 170, 220), (230, 230, 240))
    drawn, collide = terrain(chutePoint, us, vs, 2, lambda i, j: colours[i in (0, 5)])
    edgeSkirts(chutePoint, us[::2], vs[::2], -0.6, (70, 100, 140), drawn, (False, False))
    x, y, h = chuteFrame(length)
    slabs = [lane(-1.5, 1.5, -3.0, CHUTE_START[1]),
             box(x - 3.0, y, x + 3.0, y + 7.0, -0.6, 0.0, STONE, STONE_SIDE, floor=True, cell=(1.0, 1.0),
                 pattern=checker((170, 170, 182), (150, 150, 164)))]
    rows, ahead, dx, dy = CHUTE_RACK
    return newLevel("chute", slabs, triangleRack(rows, x, y + ahead, dx, dy, PIN_Z), (0.12, 0.16, 0.28),
                 (1.0, 1.0, 1.0), extra=[(drawn, collide)], camera=(0.0, -7.0, 4.5))


# Three shelves, each at its own height at the top of its own ramp; ramps and
# shelves fan out from the ball along the slopes SHELF_AIMS.
SHELF_AIMS = [(-0.35, 0.5), (0.0, 1.1), (0.35, 1.7)]   # (slope, height) of each
SHELF_RAMP = (7.0, 12.0, 16.0)  # where the ramps start, reach the shelves, and the shelves end
SHELF_HALF = 1.0


def levelShelves():
    """Pins on three shelves at three heights, each up its own ramp: each
    wants its own aim and speed."""
    y0, y1, y2 = SHELF_RAMP
    reach = max(abs(s) for s, h in SHELF_AIMS) * y0 + SHELF_HALF
    slabs = [lane(-reach, reach, -3.0, y0, cell=(0.69, 1.0))]
    pins = []
    tops = ((210, 170, 90), (120, 190, 140), (150, 150, 220))
    for (slope, h), top in zip(SHELF_AIMS, tops):
        steps = [(y0 + (y1 - y0) * k / 6.0, h * smoothstep(k / 6.0)) for k in range(7)] + [(y2, h)]
        for k, ((ya, za), (yb, zb)) in enumerate(zip(steps, steps[1:])):
            corners = [(slope * ya - SHELF_HALF, ya, za), (slope * ya + SHELF_HALF, ya, za),
                       (slope * yb + SHELF_HALF, yb, zb), (slope * yb - SHELF_HALF, yb, zb)]
            slabs.append(Slab(corners, min(za, zb) - 0.6, top if k % 2 == 0 else tuple(c * 7 // 8 for c in top),
                              SIDE, floor=True))
        y = y1 + 1.5
        pins += [(slope * y + dx, y + dy, h + PIN_RADIUS) for dx, dy in ((0.0, 0.0), (-0.36, 0.62), (0.36, 0.62))]
    return newLevel("shelves", slabs, pins, (0.25, 0.18, 0.12), (1.0, 0.95, 0.8), camera=(0.0, -7.5, 4.5))


def levelSplit():
    """The lane splits in two round a hole: a group of pins at the end of
    each branch, one throw down each."""
    y0, y1, slope, half = 4.0, 19.0, 0.3, 1.0
    slabs = [lane(-slope * y0 - half, slope * y0 + half, -3.0, y0, cell=(0.55, 1.0))]
    for side in (-1.0, 1.0):
        a, b = side * slope * y0, side * slope * y1
        corners = [(a - half, y0, 0.0), (a + half, y0, 0.0), (b + half, y1, 0.0), (b - half, y1, 0.0)]
        slabs.append(Slab(corners, -0.6, WOOD_LIGHT, SIDE, floor=True))
    pins = []
    for side in (-1.0, 1.0):
        y = y1 - 3.0
        pins += [(side * slope * y + dx, y + dy, PIN_Z) for dx, dy in ((0.0, 0.0), (-0.36, 0.62), (0.36, 0.62))]
    return newLevel("split", slabs, pins, (0.3, 0.15, 0.15), (1.0, 1.0, 0.85),
                 backdrop=backdrop(-30.0, 48.0, ((80, 40, 40), (92, 48, 46))))


WALL_KICKER = [(5.0, 0.0), (5.5, 0.04), (6.0, 0.15), (6.5, 0.33), (7.0, 0.6)]
WALL_Y = 10.0
WALL_BALL_MASS = 25.0           # a heavy ball ploughs on through the rack
WALL_RACK = (23.5, 0.62, 0.54)  # the head pin's y, spacing across and along: close, so a blow passes on
# Behind the wall the ground falls away in a curve, so that a ball coming down
# on it rolls on rather than bouncing.
WALL_LANDING = [(10.6, 0.0), (12.0, -0.1), (14.0, -0.5), (16.0, -1.0), (18.0, -1.35), (19.5, -1.48), (20.5, -1.5)]


def levelWall():
    """A wall across the lane hides the pins: a kicker throws the ball over
    it, onto the slope down to them."""
    slabs = [lane(-2.5, 2.5, -3.0, 5.0)]
    slabs += curvedRamp(-2.5, 2.5, WALL_KICKER, -0.6, (220, 200, 60), SIDE, cell=(0.5, 0.5),
                        pattern=checker((230, 210, 70), (40, 40, 40)))
    slabs += [lane(-2.5, 2.5, 7.0, WALL_Y),
              box(-2.5, WALL_Y, 2.5, WALL_Y + 0.6, -0.6, 0.9, (200, 70, 50), (140, 45, 35))]
    slabs += curvedRamp(-2.5, 2.5, WALL_LANDING, -1.6, (200, 120, 60), SIDE, cell=(0.5, 1.0),
                        pattern=checker((210, 130, 60), (190, 110, 50)))
    slabs.append(lane(-2.5, 2.5, 20.5, 29.0, z=-1.5))
    return newLevel("wall", slabs, triangleRack(4, 0.0, WALL_RACK[0], WALL_RACK[1], WALL_RACK[2], PIN_Z - 1.5), (0.15, 0.2, 0.3),
                 (1.0, 0.9, 0.7), camera=(0.0, -7.0, 4.0), ballMass=WALL_BALL_MASS)


TILT = 0.15                     # the lane's sideways slope, down to the right
TILT_Y = (4.0, 7.0, 15.0, 18.0)  # it starts to lean, leans fully, starts to level, is level
TILT_RACK = (2, 0.0, 19.5, 0.72, 0.62)  # rows, head pin, spacing
TILT_END = 22.0                 # the lane ends close behind the pins, so that they drop soon


def tiltHeight(x, y):
    a, b, c, d = TILT_Y
    return -TILT * x * smoothstep((y - a) / (b - a)) * smoothstep((d - y) / (d - c))


def levelTilt():
    """The lane leans to the right: a straight throw rolls off downhill; aim
    up the slope."""
    # level across at every y but for the twist: few cells across, many along
    xs, ys = grid(-3.0, 3.0, 8), grid(TILT_Y[0], TILT_Y[3], 56)
    drawn, collide = terrain(lambda u, v: (u, v, tiltHeight(u, v)), xs, ys, 2,
                             lambda i, j: (WOOD_LIGHT, WOOD_DARK)[(i + j // 2) % 2])
    edgeSkirts(lambda u, v: (u, v, tiltHeight(u, v)), xs[::2], ys[::2], -1.5, SIDE, drawn, (False, False))
    slabs = [lane(-3.0, 3.0, -3.0, TILT_Y[0], cell=(0.75, 1.0)), lane(-3.0, 3.0, TILT_Y[3], TILT_END, cell=(0.75, 1.0)),
             pitWall(y=TILT_END + 2.0), pitFloor(-4.0, 4.0, TILT_END, TILT_END + 2.0, -6.5)]
    rows, hx, hy, dx, dy = TILT_RACK
    return newLevel("tilt", slabs, triangleRack(rows, hx, hy, dx, dy, PIN_Z), (0.14, 0.22, 0.24),
                 (1.0, 1.0, 1.0), extra=[(drawn, collide)])


def levelDoors():
    """A wall across the lane with two doors, a group of pins behind each."""
    slabs = [lane(-4.0, 4.0, -3.0, 19.0, cell=(0.8, 1.0)), pitWall(-5.0, 5.0, 21.0),
             pitFloor(-5.0, 5.0, 19.0, 21.0, -6.5)]
    red, dark = (170, 60, 50), (110, 40, 35)
    # doors twice as wide as the ball
    for x0, x1 in ((-4.0, -3.0), (-1.0, 1.0), (3.0, 4.0)):
        slabs.append(box(x0, 8.0, x1, 8.6, 0.0, 1.4, red, dark))
    pins = triangleRack(2, -3.0, 12.0, 0.72, 0.62, PIN_Z) + triangleRack(2, 3.0, 12.0, 0.72, 0.62, PIN_Z)
    return newLevel("doors", slabs, pins, (0.2, 0.14, 0.24), (1.0, 0.95, 0.8))


# The half-pipe: a U across the lane, a flat lip along the top of each side.
PIPE_FLOOR = 1.2
PIPE_WALL = 2.0                 # how far out each side rises
PIPE_HEIGHT = 0.6
PIPE_LIP = 1.6
PIPE_Y = (3.0, 22.0)
PIPE_PINS = ((-0.2, 10.0), (0.2, 10.8))  # each lip's pins: (out from its middle, y)


def pipeHeight(x):
    t = min(1.0, max(0.0, (abs(x) - PIPE_FLOOR) / PIPE_WALL))
    return PIPE_HEIGHT * (1.0 - math.cos(0.5 * math.pi * t)) if t < 1.0 else PIPE_HEIGHT


def levelHalfpipe():
    """Pins stand on the lips of a half-pipe: throw aside and ride up its
    wall to reach them."""
    edge = PIPE_FLOOR + PIPE_WALL
    y0, y1 = PIPE_Y
    xs = grid(-edge, edge, 32)
    ys = grid(y0, y1, 4)  # the same all along: long cells lose nothing
    pt = lambda u, v: (u, v, pipeHeight(u))
    drawn, collide = terrain(pt, xs, ys, 4, lambda i, j: ((90, 160, 200), (230, 240, 245))[i in (0, 7)])
    slabs = [lane(-PIPE_FLOOR, PIPE_FLOOR, -3.0, y0, cell=(0.6, 1.0)),
             box(-edge - PIPE_LIP, y0, -edge, y1, PIPE_HEIGHT - 0.6, PIPE_HEIGHT, STONE, STONE_SIDE, floor=True),
             box(edge, y0, edge + PIPE_LIP, y1, PIPE_HEIGHT - 0.6, PIPE_HEIGHT, STONE, STONE_SIDE, floor=True)]
    pins = [(side * (edge + PIPE_LIP / 2.0 + dx), y, PIPE_HEIGHT + PIN_RADIUS) for side in (-1.0, 1.0)
            for dx, y in PIPE_PINS]
    return newLevel("halfpipe", slabs, pins, (0.16, 0.2, 0.3), (1.0, 1.0, 1.0), extra=[(drawn, collide)],
                 camera=(0.0, -7.0, 4.5))


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


# The order of play: easiest first, by the difficulty pinwhirl-check measures
# (a steady player's mean throws; the suite fails when the pack is out of this
# order), the game-over screen last.
LEVELS = [levelHills, levelChute, levelFunnel, levelDomino, levelStairs, levelClassic, levelBridge,
          levelCurve, levelTilt, levelBank, levelPlateau, levelJump, levelGutters, levelStones, levelWall,
          levelHalfpipe, levelDoors, levelCheese, levelSplit, levelSlalom, levelBowl, levelShelves, levelOver]


def buildPack(out):
    files = {}
    # The pause notice is drawn over the ball, so a level's text must stand out
    # against the ball as well as the sky: a dark ball under light text on the
    # dark levels, a gold one under dark text on the light ones.
    files["ball.mesh"] = ballMesh((40, 70, 170), (60, 90, 180), (20, 20, 25)).text()
    files["ball-gold.mesh"] = ballMesh((255, 215, 100), (255, 240, 180), (220, 180, 80)).text()
    files["pin.mesh"] = pinMesh((240, 240, 235), (200, 30, 30)).text()
    names = []
    for make in LEVELS:
        level = make()
        stem = level["name"]
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
    files["scenelist.txt"] = sceneListText(names)
    return writeFiles(out, files)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "levels")
    for name in buildPack(target):
        print(name)
