"""Writes glTF 2.0 laid out as Blender's exporter lays it out: one buffer, a
buffer view an accessor, nodes with translation, rotation and scale, custom
properties as extras. Points are given in Blender's axes (+Z up, +Y forward)
and written in glTF's (+Y up, +Z towards the viewer), as the exporter turns
them: (x, y, z) becomes (x, z, -y). Standard library only.

Used by tools/genalley.py, which makes the importer's example level, and by the
importer's test fixtures.
"""

import base64
import json
import struct

FLOAT, UBYTE, USHORT, UINT = 5126, 5121, 5123, 5125
FORMATS = {FLOAT: "f", UBYTE: "B", USHORT: "H", UINT: "I"}
COMPONENTS = {"SCALAR": 1, "VEC3": 3, "VEC4": 4}


def gl(p):
    """A point or direction in Blender's axes, in glTF's."""
    return [p[0], p[2], -p[1]]


class Gltf:
    def __init__(self, generator="pinwhirl tools/gltfWrite.py"):
        self.data = bytearray()
        self.doc = {"asset": {"generator": generator, "version": "2.0"}, "scene": 0,
                    "scenes": [{"name": "Scene", "nodes": []}], "nodes": [], "meshes": [], "materials": [],
                    "accessors": [], "bufferViews": [], "buffers": []}

    def accessor(self, values, kind, componentType=FLOAT, normalized=False, bounds=False):
        """values: numbers (SCALAR) or tuples; appended to the buffer, 4-byte aligned."""
        while len(self.data) % 4:
            self.data.append(0)
        flat = [c for v in values for c in (v if isinstance(v, (tuple, list)) else (v,))]
        start = len(self.data)
        self.data += struct.pack("<%d%s" % (len(flat), FORMATS[componentType]), *flat)
        self.doc["bufferViews"].append({"buffer": 0, "byteLength": len(self.data) - start, "byteOffset": start})
        a = {"bufferView": len(self.doc["bufferViews"]) - 1, "componentType": componentType,
             "count": len(values), "type": kind}
        if normalized:
            a["normalized"] = True
        if bounds:
            n = COMPONENTS[kind]
            a["min"] = [min(v[k] for v in values) for k in range(n)]
            a["max"] = [max(v[k] for v in values) for k in range(n)]
        self.doc["accessors"].append(a)
        return len(self.doc["accessors"]) - 1

    def material(self, name, base=None, doubleSided=False):
        m = {"name": name}
        if base is not None:
            m["pbrMetallicRoughness"] = {"baseColorFactor": list(base)}
        if doubleSided:
            m["doubleSided"] = True
        self.doc["materials"].append(m)
        return len(self.doc["materials"]) - 1

    def mesh(self, name, primitives):
        """primitives: dicts with points (Blender's axes), indices, and optionally
        colours (linear, with colourType FLOAT, UBYTE or USHORT and colourKind
        VEC3 or VEC4) and material."""
        out = []
        for p in primitives:
            attributes = {"POSITION": self.accessor([tuple(gl(q)) for q in p["points"]], "VEC3", bounds=True)}
            if "colours" in p:
                ct, kind = p.get("colourType", FLOAT), p.get("colourKind", "VEC4")
                top = {FLOAT: 1.0, UBYTE: 255, USHORT: 65535}[ct]
                values = [tuple(c[:COMPONENTS[kind]]) if ct == FLOAT else
                          tuple(int(round(x * top)) for x in c[:COMPONENTS[kind]]) for c in p["colours"]]
                attributes["COLOR_0"] = self.accessor(values, kind, ct, normalized=ct != FLOAT)
            prim = {"attributes": attributes,
                    "indices": self.accessor(p["indices"], "SCALAR", USHORT if len(p["points"]) < 65536 else UINT)}
            if "material" in p:
                prim["material"] = p["material"]
            out.append(prim)
        self.doc["meshes"].append({"name": name, "primitives": out})
        return len(self.doc["meshes"]) - 1

    def node(self, name, parent=None, **fields):
        """fields: mesh, camera, extras, and translation, rotation, scale as glTF writes them."""
        n = {"name": name}
        n.update(fields)
        self.doc["nodes"].append(n)
        index = len(self.doc["nodes"]) - 1
        if parent is None:
            self.doc["scenes"][0]["nodes"].append(index)
        else:
            self.doc["nodes"][parent].setdefault("children", []).append(index)
        return index

    def camera(self, name, at):
        self.doc.setdefault("cameras", []).append(
            {"name": name, "type": "perspective", "perspective": {"yfov": 0.6, "znear": 0.1, "zfar": 200}})
        return self.node(name, camera=len(self.doc["cameras"]) - 1, translation=gl(at))

    def finish(self):
        doc = {k: v for k, v in self.doc.items() if v != []}
        doc["buffers"] = [{"byteLength": len(self.data)}]
        return doc

    def gltfText(self):
        doc = self.finish()
        doc["buffers"][0]["uri"] = "data:application/octet-stream;base64," + base64.b64encode(self.data).decode()
        return json.dumps(doc, indent=1, sort_keys=True) + "\n"

    def glbBytes(self):
        body = json.dumps(self.finish(), sort_keys=True).encode()
        body += b" " * (-len(body) % 4)
        data = bytes(self.data) + b"\0" * (-len(self.data) % 4)
        chunks = struct.pack("<II", len(body), 0x4E4F534A) + body + struct.pack("<II", len(data), 0x004E4942) + data
        return struct.pack("<III", 0x46546C67, 2, 12 + len(chunks)) + chunks
