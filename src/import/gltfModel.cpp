// A glTF 2.0 model (.gltf with its buffers, or .glb) read by Debian's
// tinygltf: the default scene's node tree, each node's meshes in the game's
// axes with their colours, its Empties placing the ball, pins and camera.
// tinygltf parses the JSON and the buffers; every index and byte range it
// hands over is checked here before it is used.
#include <tiny_gltf.h>

#include <array>
#include <cmath>
#include <cstring>

#include "importModel.h"

namespace
{

// A node's transform: glTF's 4x4 matrices, column by column.
typedef double matrix[16];
// Deeper than this, a node tree is taken as broken rather than read by recursion.
const int MAX_NODE_DEPTH = 1000;

struct gltfReader {
    const tinygltf::Model &model;
    importedLevel *level;
    std::string *error;
    std::vector<bool> onPath; // the nodes from the root down to the one being read
    int depth;
};

// Images are never drawn: they are not even decoded.
bool skipImage(tinygltf::Image *, const int, std::string *, std::string *, int, int, const unsigned char *,
               int, void *)
{
    return true;
}

bool fail(gltfReader *r, const std::string &what) { return *r->error = what, false; }

std::string quoted(const std::string &name, const char *kind, int index)
{
    return name.empty() ? std::string(kind) + " " + std::to_string(index)
                        : std::string(kind) + " \"" + name + "\"";
}

void multiply(const matrix a, const matrix b, matrix out)
{
    matrix m;
    for (int col = 0; col < 4; col++)
        for (int row = 0; row < 4; row++) {
            m[col * 4 + row] = 0;
            for (int k = 0; k < 4; k++)
                m[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
        }
    memcpy(out, m, sizeof m);
}

// The node's own transform: its matrix, else translation * rotation * scale.
void localMatrix(const tinygltf::Node &node, matrix out)
{
    if (node.matrix.size() == 16) {
        std::copy(node.matrix.begin(), node.matrix.end(), out);
        return;
    }
    double t[3] = {0, 0, 0}, q[4] = {0, 0, 0, 1}, s[3] = {1, 1, 1};
    if (node.translation.size() == 3) std::copy(node.translation.begin(), node.translation.end(), t);
    if (node.rotation.size() == 4) std::copy(node.rotation.begin(), node.rotation.end(), q);
    if (node.scale.size() == 3) std::copy(node.scale.begin(), node.scale.end(), s);
    double x = q[0], y = q[1], z = q[2], w = q[3];
    double rotation[9] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
                          2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
                          2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
    for (int col = 0; col < 3; col++) {
        for (int row = 0; row < 3; row++)
            out[col * 4 + row] = rotation[col * 3 + row] * s[col];
        out[col * 4 + 3] = 0;
    }
    std::copy(t, t + 3, out + 12);
    out[15] = 1;
}

// A glTF point (+y up, +z towards the viewer) through a transform, in the
// game's axes. Blender exports its (x, y, z) as glTF's (x, z, -y); turned
// back, its +y runs down the lane and its +z is up, as the game's are.
vec3 gamePoint(const matrix m, const double p[3])
{
    double q[3];
    for (int row = 0; row < 3; row++)
        q[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    return {(float)q[0], (float)-q[2], (float)q[1]};
}

double determinant3(const matrix m)
{
    return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
           m[8] * (m[1] * m[6] - m[5] * m[2]);
}

// An accessor's elements, checked to lie in its buffer.
struct elements {
    const unsigned char *data;
    size_t stride, count;
    int componentType, components;
};

bool viewAccessor(gltfReader *r, int index, const char *what, elements *e)
{
    const tinygltf::Model &m = r->model;
    std::string name = std::string(what) + " (accessor " + std::to_string(index) + ")";
    if (index < 0 || (size_t)index >= m.accessors.size()) return fail(r, name + " does not exist");
    const tinygltf::Accessor &a = m.accessors[index];
    if (a.sparse.isSparse) return fail(r, name + " is sparse, which is not supported");
    if (a.bufferView < 0 || (size_t)a.bufferView >= m.bufferViews.size())
        return fail(r, name + " names no buffer view");
    const tinygltf::BufferView &v = m.bufferViews[a.bufferView];
    if (v.buffer < 0 || (size_t)v.buffer >= m.buffers.size())
        return fail(r, name + "'s buffer view names no buffer");
    int componentSize = tinygltf::GetComponentSizeInBytes((uint32_t)a.componentType);
    int components = tinygltf::GetNumComponentsInType((uint32_t)a.type);
    if (componentSize <= 0 || components <= 0) return fail(r, name + " has an unknown type");
    size_t elementSize = (size_t)componentSize * components,
           stride = v.byteStride ? v.byteStride : elementSize;
    size_t bufferSize = m.buffers[v.buffer].data.size();
    bool fits = v.byteOffset <= bufferSize && v.byteLength <= bufferSize - v.byteOffset &&
                a.byteOffset <= v.byteLength && stride >= elementSize &&
                (a.count == 0 || (a.count - 1 <= (v.byteLength - a.byteOffset) / stride &&
                                  (a.count - 1) * stride + elementSize <= v.byteLength - a.byteOffset));
    if (!fits) return fail(r, name + " reaches beyond its buffer");
    *e = {m.buffers[v.buffer].data.data() + v.byteOffset + a.byteOffset, stride, a.count, a.componentType,
          components};
    return true;
}

// Component c of element i as a number, integers normalized to 0..1 (or -1..1).
double component(const elements &e, size_t i, int c, bool normalized)
{
    const unsigned char *p = e.data + i * e.stride;
    switch (e.componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float f;
        memcpy(&f, p + 4 * c, 4);
        return f;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return normalized ? p[c] / 255.0 : p[c];
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return normalized ? std::max(-1.0, (signed char)p[c] / 127.0) : (signed char)p[c];
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        uint16_t u;
        memcpy(&u, p + 2 * c, 2);
        if (e.componentType == TINYGLTF_COMPONENT_TYPE_SHORT)
            return normalized ? std::max(-1.0, (int16_t)u / 32767.0) : (int16_t)u;
        return normalized ? u / 65535.0 : u;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        uint32_t u;
        memcpy(&u, p + 4 * c, 4);
        return u;
    }
    }
    return 0;
}

// The corners of a primitive's triangles, three indices each, in the winding
// the mode gives; false for a mode that draws no triangles.
bool triangleCorners(int mode, const std::vector<uint32_t> &v, std::vector<uint32_t> *out)
{
    size_t n = v.size();
    if (mode == TINYGLTF_MODE_TRIANGLES)
        for (size_t i = 0; i + 2 < n; i += 3)
            out->insert(out->end(), {v[i], v[i + 1], v[i + 2]});
    else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP)
        for (size_t i = 0; i + 2 < n; i++)
            out->insert(out->end(), {v[i], v[i + 1 + i % 2], v[i + 2 - i % 2]});
    else if (mode == TINYGLTF_MODE_TRIANGLE_FAN)
        for (size_t i = 1; i + 1 < n; i++)
            out->insert(out->end(), {v[i], v[i + 1], v[0]});
    else
        return false;
    return true;
}

// The corners of a primitive in the game's axes, and their colours: COLOR_0
// times the material's base colour, as glTF draws them, both linear.
bool readPrimitive(gltfReader *r, const tinygltf::Primitive &p, const std::string &where, const matrix world,
                   std::vector<vec3> *corners, std::vector<std::array<unsigned char, 3>> *colours,
                   std::vector<uint32_t> *triangles, bool *doubleSided)
{
    const tinygltf::Model &m = r->model;
    auto position = p.attributes.find("POSITION");
    if (position == p.attributes.end()) return fail(r, where + " has no POSITION");
    elements pos;
    if (!viewAccessor(r, position->second, (where + "'s POSITION").c_str(), &pos)) return false;
    if (pos.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT || pos.components != 3)
        return fail(r, where + "'s POSITION is not three floats");
    double base[4] = {1, 1, 1, 1};
    *doubleSided = false;
    if (p.material >= 0) {
        if ((size_t)p.material >= m.materials.size()) return fail(r, where + " names a missing material");
        const tinygltf::Material &material = m.materials[p.material];
        const std::vector<double> &factor = material.pbrMetallicRoughness.baseColorFactor;
        if (factor.size() >= 3) std::copy(factor.begin(), factor.begin() + 3, base);
        *doubleSided = material.doubleSided;
    }
    elements colour = {nullptr, 0, 0, 0, 0};
    auto colourAttribute = p.attributes.find("COLOR_0");
    if (colourAttribute != p.attributes.end()) {
        if (!viewAccessor(r, colourAttribute->second, (where + "'s COLOR_0").c_str(), &colour)) return false;
        int t = colour.componentType;
        if ((colour.components != 3 && colour.components != 4) ||
            (t != TINYGLTF_COMPONENT_TYPE_FLOAT && t != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
             t != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT))
            return fail(r, where + "'s COLOR_0 is not RGB or RGBA of floats, bytes or shorts");
        if (colour.count < pos.count) return fail(r, where + "'s COLOR_0 has fewer elements than POSITION");
    }
    for (size_t i = 0; i < pos.count; i++) {
        double p3[3] = {component(pos, i, 0, false), component(pos, i, 1, false),
                        component(pos, i, 2, false)};
        corners->push_back(gamePoint(world, p3));
        std::array<unsigned char, 3> c;
        for (int k = 0; k < 3; k++)
            c[k] = linearToSrgb(base[k] * (colour.data ? component(colour, i, k, true) : 1.0));
        colours->push_back(c);
    }

    std::vector<uint32_t> order;
    if (p.indices >= 0) {
        elements idx;
        if (!viewAccessor(r, p.indices, (where + "'s indices").c_str(), &idx)) return false;
        int t = idx.componentType;
        if (idx.components != 1 ||
            (t != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && t != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
             t != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT))
            return fail(r, where + "'s indices are not unsigned integers");
        for (size_t i = 0; i < idx.count; i++) {
            double v = component(idx, i, 0, false);
            if (v >= (double)pos.count)
                return fail(r, where + "'s index " + std::to_string((uint64_t)v) + " is past its " +
                                   std::to_string(pos.count) + " vertices");
            order.push_back((uint32_t)v);
        }
    } else {
        for (size_t i = 0; i < pos.count; i++)
            order.push_back((uint32_t)i);
    }
    if (!triangleCorners(p.mode, order, triangles))
        r->level->notes.push_back(where + ": points or lines, not triangles: left out");
    return true;
}

// A number or a triple of numbers from extras; false with *r->error set when
// the value is there but not of that kind.
bool extrasNumbers(gltfReader *r, const tinygltf::Value &extras, const char *key, int n, float *out,
                   bool *found, const std::string &where)
{
    if (!extras.IsObject() || !extras.Has(key)) return true;
    const tinygltf::Value &v = extras.Get(key);
    bool fits = n == 1 ? v.IsNumber() : v.IsArray() && v.ArrayLen() == (size_t)n;
    for (int k = 0; fits && k < n && n > 1; k++)
        fits = v.Get(k).IsNumber();
    if (!fits)
        return fail(r, where + ": property \"" + key + "\" is not " +
                           (n == 1 ? "a number" : "a list of " + std::to_string(n) + " numbers"));
    for (int k = 0; k < n; k++)
        out[k] = (float)(n == 1 ? v : v.Get(k)).GetNumberAsDouble();
    if (found) *found = true;
    return true;
}

// The level's colours and lower bound, where not already given.
bool readSettings(gltfReader *r, const tinygltf::Value &extras, const std::string &where)
{
    importedLevel *l = r->level;
    return (l->hasBackground ||
            extrasNumbers(r, extras, "background", 3, l->background, &l->hasBackground, where)) &&
           (l->hasText || extrasNumbers(r, extras, "text", 3, l->text, &l->hasText, where)) &&
           (l->hasLowest || extrasNumbers(r, extras, "lowest", 1, &l->lowest, &l->hasLowest, where));
}

bool readNode(gltfReader *r, int index, const matrix parent)
{
    const tinygltf::Model &m = r->model;
    if (index < 0 || (size_t)index >= m.nodes.size())
        return fail(r, "node " + std::to_string(index) + " does not exist");
    if (r->onPath[index] || r->depth > MAX_NODE_DEPTH)
        return fail(r,
                    quoted(m.nodes[index].name, "node", index) + " is its own ancestor or nested too deep");
    const tinygltf::Node &node = m.nodes[index];
    std::string where = quoted(node.name, "node", index);
    matrix local, world;
    localMatrix(node, local);
    multiply(parent, local, world);

    objectRole role = node.camera >= 0 ? cameraRole : roleFromName(node.name);
    if (node.extras.IsObject() && node.extras.Has("pinwhirl")) {
        const tinygltf::Value &word = node.extras.Get("pinwhirl");
        if (!word.IsString() || !roleFromWord(word.Get<std::string>(), &role))
            return fail(r,
                        where + ": property \"pinwhirl\" is none of draw, collide, both, ball, pin, camera");
    }
    if (!readSettings(r, node.extras, where)) return false;

    std::vector<vec3> allCorners;
    if (node.mesh >= 0) {
        if ((size_t)node.mesh >= m.meshes.size()) return fail(r, where + " names a missing mesh");
        const tinygltf::Mesh &mesh = m.meshes[node.mesh];
        bool mirrored = determinant3(world) < 0; // a mirror turns the winding round
        int skipped = 0;
        for (size_t k = 0; k < mesh.primitives.size(); k++) {
            std::vector<vec3> corners;
            std::vector<std::array<unsigned char, 3>> colours;
            std::vector<uint32_t> triangles;
            bool doubleSided;
            std::string part = where + ", primitive " + std::to_string(k);
            if (!readPrimitive(r, mesh.primitives[k], part, world, &corners, &colours, &triangles,
                               &doubleSided))
                return false;
            allCorners.insert(allCorners.end(), corners.begin(), corners.end());
            if (role != drawnRole && role != collideRole && role != bothRole) continue;
            for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
                uint32_t c[3] = {triangles[t], triangles[t + (mirrored ? 2 : 1)],
                                 triangles[t + (mirrored ? 1 : 2)]};
                vec3 at[3] = {corners[c[0]], corners[c[1]], corners[c[2]]};
                unsigned char colour[3][3];
                for (int j = 0; j < 3; j++)
                    std::copy(colours[c[j]].begin(), colours[c[j]].end(), colour[j]);
                skipped += !addTriangle(r->level, role, at, colour, doubleSided);
            }
        }
        if (skipped)
            r->level->notes.push_back(where + ": " + std::to_string(skipped) + " triangle" +
                                      (skipped == 1 ? "" : "s") + " without area left out");
    }
    if (role == ballRole || role == pinRole || role == cameraRole) {
        // An Empty stands at its origin, its scale the radius; a mesh by its box.
        placedObject o = placeByBox(node.name.empty() ? where : node.name, allCorners);
        if (node.mesh < 0) {
            double origin[3] = {0, 0, 0};
            o.at = gamePoint(world, origin);
            o.radius = 0;
            for (int col = 0; col < 3; col++)
                o.radius = std::max(o.radius, (float)sqrt(world[col * 4] * world[col * 4] +
                                                          world[col * 4 + 1] * world[col * 4 + 1] +
                                                          world[col * 4 + 2] * world[col * 4 + 2]));
        }
        if (!extrasNumbers(r, node.extras, "radius", 1, &o.radius, nullptr, where) ||
            !extrasNumbers(r, node.extras, "mass", 1, &o.mass, nullptr, where))
            return false;
        addPlaced(r->level, role, o);
    }

    r->onPath[index] = true, r->depth++;
    for (int child : node.children)
        if (!readNode(r, child, world)) return false;
    r->onPath[index] = false, r->depth--;
    return true;
}

// The gist of what tinygltf says: its first line, without the text it quotes.
std::string firstLine(const std::string &s)
{
    size_t start = s.find_first_not_of(" \n");
    if (start == std::string::npos) return "";
    std::string line = s.substr(start, s.find('\n', start) - start);
    return line.substr(0, line.find("; last read"));
}

} // namespace

bool loadGltf(const std::string &path, importedLevel *level, std::string *error)
{
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(skipImage, nullptr);
    std::string err, warn;
    // A .glb starts with its magic word; anything else is taken as JSON.
    char magic[4] = {0, 0, 0, 0};
    if (FILE *f = fopen(path.c_str(), "rb")) {
        if (fread(magic, 1, 4, f) != 4) magic[0] = 0;
        fclose(f);
    }
    bool binary = memcmp(magic, "glTF", 4) == 0;
    bool loaded = binary ? loader.LoadBinaryFromFile(&model, &err, &warn, path)
                         : loader.LoadASCIIFromFile(&model, &err, &warn, path);
    if (!loaded) {
        *error = "not glTF that can be read: " + firstLine(err.empty() ? warn : err);
        return false;
    }

    gltfReader r = {model, level, error, std::vector<bool>(model.nodes.size(), false), 0};
    const matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<int> roots;
    int scene = model.defaultScene >= 0 ? model.defaultScene : 0;
    if ((size_t)scene < model.scenes.size()) {
        roots = model.scenes[scene].nodes;
        if (!readSettings(&r, model.scenes[scene].extras, quoted(model.scenes[scene].name, "scene", scene)))
            return false;
    } else {
        // No scene: every node that is no other node's child.
        std::vector<bool> child(model.nodes.size(), false);
        for (const tinygltf::Node &n : model.nodes)
            for (int c : n.children)
                if (c >= 0 && (size_t)c < child.size()) child[c] = true;
        for (size_t k = 0; k < child.size(); k++)
            if (!child[k]) roots.push_back((int)k);
    }
    for (int root : roots)
        if (!readNode(&r, root, identity)) return false;
    return true;
}
