"""The importer's test models, written into a folder: one small level (a floor
to draw, one to collide with, a ball, a pin, a camera) in each encoding the
importer reads, and broken ones. Standard library only."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from gltfWrite import FLOAT, UBYTE, USHORT, Gltf, gl  # noqa: E402

# Blender's axes: +Z up, the lane along +Y. Linear colours whose sRGB bytes
# (124, 188, 231) and 63 differ from the linear ones (51, 128, 204) and 13.
FLOOR = [(-3, -2, 0), (3, -2, 0), (3, 10, 0), (-3, 10, 0)]
QUAD = [0, 1, 2, 0, 2, 3]
LINEAR = [(0.2, 0.5, 0.8, 1), (0.05, 0.05, 0.05, 1), (0.05, 0.05, 0.05, 1), (0.05, 0.05, 0.05, 1)]
HALF_TURN_ROOT = 0.7071068  # sin and cos of 45 degrees: a quarter turn
CUBE_FACES = [(1, 2, 4, 3), (5, 7, 8, 6), (1, 5, 6, 2), (3, 4, 8, 7), (1, 3, 7, 5), (2, 6, 8, 4)]


def level(colourType=None, colourKind="VEC4"):
    g = Gltf()
    floor = {"points": FLOOR, "indices": QUAD}
    if colourType is not None:
        floor.update(colours=LINEAR, colourType=colourType, colourKind=colourKind)
    g.node("floor", mesh=g.mesh("floor", [floor]))
    g.node("collide-floor", mesh=g.mesh("collide", [{"points": FLOOR, "indices": QUAD}]))
    g.node("ball", translation=gl((0, 0, 0.5)), scale=[0.5] * 3)
    g.node("pin.001", translation=gl((0, 6, 0.3)), scale=[0.3] * 3)
    g.camera("Camera", (0, -7, 3))
    return g


def material():
    """No vertex colours: a double-sided material, extras for the rest."""
    g = Gltf()
    clay = g.material("clay", (0.5, 0.2, 0.05, 1), doubleSided=True)
    g.node("lane", mesh=g.mesh("lane", [{"points": FLOOR, "indices": QUAD, "material": clay}]),
           extras={"pinwhirl": "both"})
    g.node("hero", translation=gl((0, 0, 0.4)), extras={"pinwhirl": "ball", "radius": 0.4, "mass": 5})
    g.node("pin", translation=gl((0, 6, 0.3)), scale=[0.3] * 3)
    g.doc["scenes"][0]["extras"] = {"background": [0.5, 0.6, 0.7], "text": [0, 0, 0.1], "lowest": -4}
    return g


def transform():
    """The floor under a parent turned a quarter about the vertical, mirrored and
    squashed: in the game it spans x -2.5..2.5, y -6..4 at z 1, facing up; and
    a triangle without area, to be left out."""
    g = Gltf()
    group = g.node("group", translation=[0, 1, 0], rotation=[0, HALF_TURN_ROOT, 0, HALF_TURN_ROOT],
                   scale=[-0.5, 1, 0.25])
    big = [(-10, -10, 0), (10, -10, 0), (10, 10, 0), (-10, 10, 0)]
    g.node("floor", group, mesh=g.mesh("floor", [{"points": big, "indices": QUAD + [0, 1, 1]}]), translation=[2, 0, 0],
           extras={"pinwhirl": "both"})
    g.node("ball", translation=gl((0, -2, 1.5)), scale=[0.5] * 3)
    g.node("pin", translation=gl((0, 3, 1.3)), scale=[0.3] * 3)
    return g


def obj(zUp, coloured, ball=True):
    """The level as Blender's OBJ export writes it: +Y up and -Z forward unless zUp."""
    lines, mtl = ["mtllib level.mtl"], "newmtl clay\nKd 0.5 0.2 0.05\n"
    objects = [("floor", FLOOR), ("collide_floor", FLOOR)]
    cube = lambda c, h: [(c[0] + x * h, c[1] + y * h, c[2] + z * h) for x in (-1, 1) for y in (-1, 1) for z in (-1, 1)]
    if ball:
        objects.append(("ball", cube((0, 0, 0.5), 0.5)))
    objects.append(("pin.001", cube((0, 6, 0.3), 0.3)))
    count = 0
    for name, points in objects:
        lines += ["o " + name, "usemtl clay"]
        for k, (x, y, z) in enumerate(points):
            p = (x, y, z) if zUp else (x, z, -y)
            colour = " %g %g %g" % LINEAR[k % 4][:3] if coloured else ""
            lines.append("v %g %g %g%s" % (p + (colour,)))
        faces = [(1, 2, 3, 4)] if len(points) == 4 else CUBE_FACES
        lines += ["f %d %d %d %d" % tuple(count + k for k in f) for f in faces]
        count += len(points)
    return "\n".join(lines) + "\n", mtl


def write(folder):
    os.makedirs(folder, exist_ok=True)
    files = {"float.gltf": level(FLOAT, "VEC3").gltfText(), "ubyte.gltf": level(UBYTE).gltfText(),
             "ushort.gltf": level(USHORT).gltfText(), "material.glb": material().glbBytes(),
             "transform.gltf": transform().gltfText()}
    files["coloured.obj"], files["level.mtl"] = obj(False, True)
    files["zup.obj"] = obj(True, False)[0]
    files["noball.obj"] = obj(False, False, ball=False)[0]
    whole = level().gltfText()
    files["broken.gltf"] = whole[: len(whole) // 2]
    outside = level()
    outside.doc["accessors"][1]["count"] = 600  # the floor's indices
    files["outside.gltf"] = outside.gltfText()
    for name, content in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode())
