// Generated lanes with a ball and pins, for the physics tests and benchmarks,
// built with float arithmetic from integers so that every build makes the same.
#pragma once

#include <vector>

#include "bodies.h"
#include "vectorMath.h"

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
    for (size_t i = 0; i + 1 < faces.size(); i++)
        faces[i].nextFace = &faces[i + 1];
    if (!faces.empty()) faces.back().nextFace = nullptr;
    return faces.empty() ? nullptr : &faces[0];
}

// A floor from x = -halfWidth to halfWidth and y = 0 to length in columns by
// rows cells of two triangles, rippled a few thousandths so that neighbours are
// not quite coplanar. Gutters slope 0.15 down and 0.3 out on each side.
inline std::vector<collisionFace> makeLane(int columns, int rows, float halfWidth, float length, bool gutters)
{
    std::vector<collisionFace> faces;
    float cellX = 2.0f * halfWidth / (float)columns, cellY = length / (float)rows;
    auto corner = [&](int i, int j) {
        return vec3{-halfWidth + cellX * (float)i, cellY * (float)j, 0.004f * (float)((i * 3 + j * 5) % 4)};
    };
    for (int j = 0; j < rows; j++) {
        for (int i = 0; i < columns; i++) {
            faces.push_back(makeFace(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1)));
            faces.push_back(makeFace(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1)));
        }
        float y0 = cellY * (float)j, y1 = cellY * (float)(j + 1), out = halfWidth + 0.3f;
        vec3 r0 = corner(columns, j), r1 = corner(columns, j + 1), l0 = corner(0, j), l1 = corner(0, j + 1);
        if (gutters)
            for (collisionFace f :
                 {makeFace(r0, {out, y0, -0.15f}, {out, y1, -0.15f}), makeFace(r0, {out, y1, -0.15f}, r1),
                  makeFace({-out, y0, -0.15f}, l0, l1), makeFace({-out, y0, -0.15f}, l1, {-out, y1, -0.15f})})
                faces.push_back(f);
    }
    return faces;
}

inline dynamicObject makeObject(vec3 at, float radius, float mass, vec3 velocity)
{
    return dynamicObject{at, at, velocity, radius, mass, 0, 1};
}

struct scene {
    std::vector<collisionFace> faces;
    dynamicObject ball;
    std::vector<dynamicObject> pins;
    float lowerBound;
};

// The reference throw: 6 by 30 cells with gutters (480 faces), ten pins in a
// triangle near the far end and a ball thrown a little off centre.
inline scene referenceScene()
{
    scene s = {makeLane(6, 30, 1.0f, 24.0f, true),
               makeObject({0, 1, 0.22f}, 0.22f, 5.0f, {0.15f, 7.0f, 0}),
               {},
               -3.0f};
    for (int row = 0; row < 4; row++)
        for (int k = 0; k <= row; k++)
            s.pins.push_back(makeObject(
                {0.3f * (float)k - 0.15f * (float)row, 18.0f + 0.26f * (float)row, 0.12f}, 0.12f, 1.0f, {}));
    return s;
}

} // namespace lane
