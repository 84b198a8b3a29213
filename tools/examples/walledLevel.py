#!/usr/bin/python3
"""A one-level Pinwhirl pack built with pinwhirlshapes: a lane between two
walls, a bumper in the way and three pins beyond it; the same level is the
game-over screen. Usage: python3 walledLevel.py FOLDER, then pinwhirl FOLDER."""

import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.dirname(here)]  # the module: installed beside this file, in the sources in tools/
sys.dont_write_bytecode = True  # leave no __pycache__ beside the module
import pinwhirlshapes as ps  # noqa: E402

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
wood, side, stone, stoneSide = (214, 170, 110), (110, 80, 60), (150, 150, 160), (95, 95, 110)
boards = ps.boardPattern(wood, (196, 150, 92), (150, 100, 60))
slabs = ps.walledFloor(-2.0, 2.0, -3.0, 16.0, 0.0, wood, side, 0.6, 0.4, stone, stoneSide, cell=(0.5, 1.0),
                       pattern=boards)
slabs.append(ps.bumper(0.0, 6.5, 0.5, 0.8, (200, 50, 40), (140, 35, 28)))
drawn, collide = ps.world(slabs, ps.backdrop(-30.0, 48.0, ((50, 60, 80), (58, 70, 92))))
ps.writeMesh(os.path.join(out, "walled-world.mesh"), drawn)
ps.writeCollisionMesh(os.path.join(out, "walled-collide.mesh"), collide)
ps.writeMesh(os.path.join(out, "ball.mesh"), ps.ballMesh((40, 70, 170), (60, 90, 180), (20, 20, 25)))
ps.writeMesh(os.path.join(out, "pin.mesh"), ps.pinMesh((240, 240, 235), (200, 30, 30)))
ps.writeScene(os.path.join(out, "walled.scene"), {
    "background": (0.16, 0.2, 0.3), "text": (1.0, 1.0, 1.0), "lower": -6.0, "camera": (0.0, -7.0, 3.5),
    "worldFile": "walled-world.mesh", "collideFile": "walled-collide.mesh", "ballFile": "ball.mesh",
    "pinFile": "pin.mesh", "ball": (0.0, 0.0, ps.BALL_RADIUS),
    "pins": ps.triangleRack(2, 0.0, 12.0, 0.72, 0.62, ps.PIN_RADIUS)})
ps.writeSceneList(os.path.join(out, "scenelist.txt"), ["walled.scene"], over="walled.scene")
