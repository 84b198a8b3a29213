// Lanes with a ball and pins for the physics tests and benchmarks, made with
// float arithmetic from integers so that every build makes the same; and odd
// scenes decoded from bytes, stepped with and without the broad phase.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/bodies.h"
#include "common/vectorMath.h"
#include "sim/physics.h"

namespace lane
{

// The unit normal from the corners' winding, the plane through a.
inline collisionFace makeFace(vec3 a, vec3 b, vec3 c)
{
    collisionFace f = {{a, b, c}, vec_cross(vec_between_points(a, b), vec_between_points(a, c)), 0, nullptr};
    vec_normalize(&f.no);
    f.offset = vec_dot(f.no, a);
    return f;
}

// Links the faces in vector order; call again after the vector is copied.
inline collisionFace *linkFaces(std::vector<collisionFace> &faces)
{
    for (size_t i = 0; i < faces.size(); i++)
        faces[i].nextFace = i + 1 < faces.size() ? &faces[i + 1] : nullptr;
    return faces.empty() ? nullptr : faces.data();
}

// A floor from x = -halfWidth to halfWidth and y = 0 to length in columns by
// rows cells of two triangles, rippled a few thousandths so that neighbours are
// not quite coplanar. Gutters slope 0.15 down and 0.3 out on each side: a
// column of cells beyond each edge, the right one listed before the left.
inline std::vector<collisionFace> makeLane(int columns, int rows, float halfWidth, float length, bool gutters)
{
    std::vector<collisionFace> faces;
    float cellX = 2.0f * halfWidth / (float)columns, cellY = length / (float)rows;
    auto corner = [&](int i, int j) {
        if (i < 0) return vec3{-(halfWidth + 0.3f), cellY * (float)j, -0.15f};
        if (i > columns) return vec3{halfWidth + 0.3f, cellY * (float)j, -0.15f};
        return vec3{-halfWidth + cellX * (float)i, cellY * (float)j, 0.004f * (float)((i * 3 + j * 5) % 4)};
    };
    for (int j = 0; j < rows; j++)
        for (int n = 0; n < columns + (gutters ? 2 : 0); n++) {
            int i = n > columns ? -1 : n;
            faces.push_back(makeFace(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1)));
            faces.push_back(makeFace(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1)));
        }
    return faces;
}

inline dynamicObject makeObject(vec3 at, float radius, float mass, vec3 velocity)
{
    return dynamicObject{at, at, velocity, radius, mass, 0, 1};
}

struct scene {
    std::vector<collisionFace> faces;
    std::vector<dynamicObject> objects; // the ball, then the pins
    float lowerBound;
};

// Bytes read in order (each read its own statement or braced element, so that
// every compiler reads alike); past their end every read gives 0.
struct bytes {
    const uint8_t *data;
    size_t size, pos;
    unsigned next() { return pos < size ? data[pos++] : 0u; }
    unsigned pick(unsigned n) { return next() % n; }
    float unit() // in [-1, 1)
    {
        float high = (float)next();
        return (high - 128.0f) / 128.0f + (float)next() / 32768.0f;
    }
    vec3 direction(float scale = 1.0f) { return vec3{scale * unit(), scale * unit(), scale * unit()}; }
    // Mostly scale * unit(); one time in eight something odd.
    float value(float scale)
    {
        const float ODD[] = {NAN,  INFINITY, -INFINITY, 0.0f,  -0.0f, 1e-40f, 1e-20f, 1e-4f,
                             1e4f, 1e9f,     -1e9f,     1e20f, 3e38f, -3e38f, 1.0f,   16777217.0f};
        unsigned k = next();
        return k < 224 ? scale * unit() : ODD[k % 16];
    }
};

// One face of an odd kind near `at`, of about `size`.
inline collisionFace oddFace(bytes &in, vec3 at, float size)
{
    float level = in.pick(2) ? 0.0f : 1.0f; // 0 makes it level, its box flat
    vec3 b = vec_add(at, vec_scalar_multiple(vec3{in.unit(), in.unit(), level * in.unit()}, size));
    vec3 c = vec_add(at, vec_scalar_multiple(vec3{in.unit(), in.unit(), level * in.unit()}, size));
    unsigned kind = in.pick(10);
    bool tilted = kind == 3 || kind >= 8; // the kind with most need of a margin, so more often
    if (kind == 1) c = vec_add(at, vec_scalar_multiple(vec_between_points(at, b), in.unit())); // collinear
    if (kind == 2) b = c = at;                                                                 // a point
    collisionFace f = makeFace(at, b, c);
    const float TILT[] = {0.05f, 0.3f, 1, 3};
    if (tilted) f.no = vec_add(f.no, in.direction(TILT[in.pick(4)]));
    if (kind == 4) f.no = in.direction(); // any way at all
    if (tilted || kind == 4) vec_normalize(&f.no);
    if (kind == 7 && in.pick(2)) (&f.no.x)[in.pick(3)] = in.value(1);
    if (kind == 7) f.no = vec_scalar_multiple(f.no, 1.0f + 0.001f * in.unit());
    f.offset = vec_dot(f.no, at);
    if (kind == 5) f.offset = f.offset + in.value(size); // a plane off the corners
    if (kind == 6) (&f.v[in.pick(3)].x)[in.pick(3)] = in.value(size);
    return f;
}

// A lane with odd faces (tiny, slivers, huge, tilted or non-unit normals,
// planes off their corners, values that are not finite) put among its own, and
// a ball and up to six pins of any size and mass.
inline scene makeScene(bytes &in)
{
    float halfWidth = 0.5f + (float)in.pick(4), length = 1.0f + (float)in.pick(24);
    int columns = 1 + (int)in.pick(8), rows = 1 + (int)in.pick(12), gutters = (int)in.pick(2);
    scene s = {makeLane(columns, rows, halfWidth, length, gutters), {}, -10};
    std::vector<collisionFace> odd;
    const float SIZES[] = {1e-4f, 0.01f, 0.3f, 1, 3, 10, 1e3f, 1e8f};
    for (unsigned k = in.pick(16); k > 0; k--) {
        vec3 at = {in.value(halfWidth), length * (0.5f + 0.5f * in.unit()), in.value(1)};
        odd.push_back(oddFace(in, at, SIZES[in.pick(8)]));
    }
    if (in.pick(8) == 0) s.lowerBound = in.value(10);
    const float RADII[] = {1e-4f, 0.01f, 0.12f, 0.22f, 0.5f, 3.0f, 60.0f};
    const float BARY[] = {0, 1, 0.5f, -0.01f};
    const float NEAR[] = {0, 1e-6f, -1e-6f, 1e-3f, -1e-3f, 0.1f, -0.5f, 2};
    for (unsigned k = 0, count = 1 + in.pick(7); k < count; k++) {
        float radius = in.pick(8) ? RADII[in.pick(7)] : in.value(1);
        radius = radius * (1.0f + 0.01f * in.unit());
        // Most on or just off a face's corner, edge or plane (from a point of
        // the triangle, or from where its winding normal there meets the plane
        // of `no`, far off where `no` is tilted); the rest anywhere.
        const collisionFace &f = !odd.empty() && in.pick(4) ? odd[in.pick((unsigned)odd.size())]
                                                            : s.faces[in.pick((unsigned)s.faces.size())];
        vec3 e1 = vec_between_points(f.v[0], f.v[1]), e2 = vec_between_points(f.v[0], f.v[2]);
        float u = in.pick(2) ? BARY[in.pick(4)] : 0.5f + 0.5f * in.unit();
        float w = in.pick(2) ? BARY[in.pick(4)] : 0.5f + 0.5f * in.unit();
        vec3 at = vec_add(f.v[0], vec_add(vec_scalar_multiple(e1, u), vec_scalar_multiple(e2, w)));
        unsigned mode = in.pick(4);
        vec3 away = mode == 0 ? in.direction() : f.no;
        if (mode >= 2) {
            vec3 winding = makeFace(f.v[0], f.v[1], f.v[2]).no;
            at = vec_add(
                at, vec_scalar_multiple(winding, (f.offset - vec_dot(f.no, at)) / vec_dot(f.no, winding)));
        }
        vec_normalize(&away);
        at = vec_add(at, vec_scalar_multiple(away, radius * (1.0f + NEAR[in.pick(8)])));
        if (in.pick(8) == 0) at = {in.value(halfWidth), in.value(length), in.value(1)};
        float speed = in.pick(4) ? (float)in.pick(8) : in.value(100);
        vec3 velocity = in.direction(speed);
        float mass = in.pick(8) ? 0.5f + (float)in.pick(5) : in.value(1e3f);
        s.objects.push_back(makeObject(at, radius, mass, velocity));
    }
    for (const collisionFace &f : odd)
        s.faces.insert(s.faces.begin() + in.pick((unsigned)s.faces.size() + 1), f);
    return s;
}

// The scene stepped without the broad phase, and a copy with it.
struct run {
    int firstDifference = -1; // the first step after which any bit of an object or the pin count differs
    int pinsLeft = 0;         // lowered by one for each pin counted out
    uint64_t pathHash = 0xcbf29ce484222325ull; // FNV-1a of every location and velocity after every step
};

inline run stepBothWays(scene &s, int steps, float dt)
{
    const collisionFace *first = linkFaces(s.faces);
    faceIndex *index = buildFaceIndex(first);
    std::vector<dynamicObject> indexed = s.objects;
    int pinCount = (int)indexed.size() - 1, indexedLeft = 0;
    run r;
    for (int k = 0; k < steps; k++) {
        physicsStep(&s.objects[0], s.objects.data() + 1, pinCount, first, s.lowerBound, dt, &r.pinsLeft);
        physicsStep(&indexed[0], indexed.data() + 1, pinCount, first, s.lowerBound, dt, &indexedLeft, index);
        bool same = r.pinsLeft == indexedLeft &&
                    memcmp(s.objects.data(), indexed.data(), sizeof indexed[0] * indexed.size()) == 0;
        if (!same && r.firstDifference < 0) r.firstDifference = k;
        for (const dynamicObject &o : s.objects) // the bytes as a little-endian machine holds them
            for (const vec3 *v : {&o.location, &o.velocity})
                for (size_t b = 0; b < sizeof *v; b++)
                    r.pathHash = (r.pathHash ^ ((const uint8_t *)v)[b]) * 0x100000001b3ull;
    }
    freeFaceIndex(index);
    return r;
}

} // namespace lane
