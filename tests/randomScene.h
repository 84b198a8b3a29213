// Scenes decoded from bytes, for checking that the broad phase changes no bit
// of the physics: lanes with odd faces put anywhere in the list (specks,
// slivers, huge, tilted or non-unit normals, planes off their corners, values
// that are not finite) and objects of any size and mass, many just touching a
// face's corner, edge or plane.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include "laneScene.h"
#include "scene/physics.h"

namespace randomScene
{

// The bytes read in order; past their end every read gives 0. (Each read is
// its own statement or braced element, so every compiler reads alike.)
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
        const float INF = std::numeric_limits<float>::infinity(),
                    NaN = std::numeric_limits<float>::quiet_NaN();
        const float ODD[] = {NaN,  INF,  -INF,  0.0f,  -0.0f, 1e-40f, 1e-20f, 1e-4f,
                             1e4f, 1e9f, -1e9f, 1e20f, 3e38f, -3e38f, 1.0f,   16777217.0f};
        unsigned k = next();
        return k < 224 ? scale * unit() : ODD[k % 16];
    }
};

// One face of an odd kind near `at`, of about `size`.
inline collisionFace oddFace(bytes &in, vec3 at, float size)
{
    // Level (so that its box is flat) or any way.
    float level = in.pick(2) ? 0.0f : 1.0f;
    vec3 b = vec_add(at, vec_scalar_multiple(vec3{in.unit(), in.unit(), level * in.unit()}, size));
    vec3 c = vec_add(at, vec_scalar_multiple(vec3{in.unit(), in.unit(), level * in.unit()}, size));
    unsigned kind = in.pick(10);
    bool tilted = kind == 3 || kind >= 8; // the kind with most need of a margin, so more often
    if (kind == 1) c = vec_add(at, vec_scalar_multiple(vec_between_points(at, b), in.unit())); // collinear
    if (kind == 2) b = c = at;                                                                 // a point
    collisionFace f = lane::makeFace(at, b, c);
    const float TILT[] = {0.05f, 0.3f, 1, 3};
    if (tilted) f.no = vec_add(f.no, in.direction(TILT[in.pick(4)]));
    if (kind == 4) f.no = in.direction(); // any way at all
    if (tilted || kind == 4) vec_normalize(&f.no), f.offset = vec_dot(f.no, at);
    if (kind == 5) f.offset = f.offset + in.value(size); // a plane off the corners
    if (kind == 6) (&f.v[in.pick(3)].x)[in.pick(3)] = in.value(size);
    if (kind == 7 && in.pick(2)) (&f.no.x)[in.pick(3)] = in.value(1);
    if (kind == 7) f.no = vec_scalar_multiple(f.no, 1.0f + 0.001f * in.unit()), f.offset = vec_dot(f.no, at);
    return f;
}

// A lane with odd faces put among its own, a ball and up to six pins.
inline lane::scene makeScene(bytes &in)
{
    float halfWidth = 0.5f + (float)in.pick(4), length = 1.0f + (float)in.pick(24);
    int columns = 1 + (int)in.pick(8), rows = 1 + (int)in.pick(12), gutters = (int)in.pick(2);
    lane::scene s = {lane::makeLane(columns, rows, halfWidth, length, gutters), {}, {}, -10};
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
            vec3 winding = vec_cross(e1, e2);
            vec_normalize(&winding);
            at = vec_add(
                at, vec_scalar_multiple(winding, (f.offset - vec_dot(f.no, at)) / vec_dot(f.no, winding)));
        }
        vec_normalize(&away);
        at = vec_add(at, vec_scalar_multiple(away, radius * (1.0f + NEAR[in.pick(8)])));
        if (in.pick(8) == 0) at = {in.value(halfWidth), in.value(length), in.value(1)};
        float speed = in.pick(4) ? (float)in.pick(8) : in.value(100);
        vec3 velocity = in.direction(speed);
        float mass = in.pick(8) ? 0.5f + (float)in.pick(5) : in.value(1e3f);
        if (k == 0) // the first is the ball
            s.ball = lane::makeObject(at, radius, mass, velocity);
        else
            s.pins.push_back(lane::makeObject(at, radius, mass, velocity));
    }
    for (const collisionFace &f : odd)
        s.faces.insert(s.faces.begin() + in.pick((unsigned)s.faces.size() + 1), f);
    return s;
}

// Steps a copy of the scene with and without an index; the first step after
// which any bit of an object or the pin count differs, or -1.
inline int firstDifference(lane::scene s, int steps, float dt)
{
    const collisionFace *first = lane::linkFaces(s.faces);
    faceIndex *index = buildFaceIndex(first);
    dynamicObject ball = s.ball;
    std::vector<dynamicObject> pins = s.pins;
    int pinCount = (int)pins.size(), left = pinCount, indexedLeft = pinCount;
    for (int k = 0; k < steps; k++) {
        physicsStep(&ball, pins.data(), pinCount, first, s.lowerBound, dt, &left);
        physicsStep(&s.ball, s.pins.data(), pinCount, first, s.lowerBound, dt, &indexedLeft, index);
        if (left != indexedLeft || memcmp(&ball, &s.ball, sizeof ball) != 0 ||
            (pinCount > 0 && memcmp(pins.data(), s.pins.data(), pins.size() * sizeof pins[0]) != 0)) {
            freeFaceIndex(index);
            return k;
        }
    }
    freeFaceIndex(index);
    return -1;
}

} // namespace randomScene
