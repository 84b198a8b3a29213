"""pinwhirl-import on each model of makeFixtures.py: its exit status, what it
prints, what it wrote and the numbers that matter in it (where the meshes
lie, which way they face, their colours; the scene file). Compared with
expected.txt. Usage: importCases.py PINWHIRL-IMPORT WORK-FOLDER"""

import os
import re
import shutil
import subprocess
import sys

import makeFixtures

CASES = [("float.gltf",), ("ubyte.gltf",), ("ushort.gltf",), ("material.glb",), ("transform.gltf",),
         ("coloured.obj",), ("zup.obj", "--up", "z"), ("broken.gltf",), ("outside.gltf",), ("noball.obj",)]


def meshSummary(path):
    words = open(path).read().replace("[", " ").replace("]", " ").replace(",", " ").split()
    count, k = int(words[1]), 2
    normals, colours, corners = set(), set(), []
    for _ in range(count):
        normals.add(tuple(words[k + 1:k + 4]))
        k += 4
        for _ in range(3):
            colours.add(tuple(int(w) for w in words[k + 1:k + 4]))
            corners.append([float(w) for w in words[k + 5:k + 8]])
            k += 8
    box = " ".join("%s %g..%g" % (a, min(c[i] for c in corners), max(c[i] for c in corners))
                   for i, a in enumerate("xyz"))
    return "%d triangles, %s, normals %s, colours %s" % (
        count, box, " ".join("[%s]" % ", ".join(n) for n in sorted(normals)), " ".join(map(str, sorted(colours))))


def main(importer, work):
    shutil.rmtree(work, ignore_errors=True)
    makeFixtures.write(work)
    for model, *options in CASES:
        out = os.path.join(work, model.split(".")[0])
        os.mkdir(out)
        run = subprocess.run([os.path.abspath(importer), "--throws", "0", *options, model, os.path.basename(out) + "/level"],
                             cwd=work, capture_output=True, text=True)
        print("== %s\nexit %d" % (" ".join(options + [model]), run.returncode))
        # What the JSON parser says of a broken file differs between its versions.
        print(run.stdout + re.sub(r"(that can be read:).*", r"\1 ...", run.stderr), end="")
        written = sorted(os.listdir(out))
        print("wrote:", " ".join(written) or "nothing")
        for name in ("level-world.mesh", "level-collide.mesh"):
            if name in written:
                print("%s: %s" % (name, meshSummary(os.path.join(out, name))))
        if "level.scene" in written:
            print("scene:", "; ".join(open(os.path.join(out, "level.scene")).read().splitlines()))


main(*sys.argv[1:])
