// Generated lanes with a ball and pins, for the physics reference test and the
// benchmarks. Everything is built with float arithmetic from integers, so the
// same scene comes out of every build.
#pragma once

#include <vector>

#include "bodies.h"
#include "vectorMath.h"

namespace lane
{

// A face from three corners: the unit normal from their winding (a, b, c
// counter-clockwise seen from the side it points to), the plane through a.
inline collisionFace makeFace(vec3 a, vec3 b, vec3 c)
{
    collisionFace f = {};
    f.v[0] = a;
    f.v[1] = b;
    f.v[2] = c;
    f.no = vec_cross(vec_between_points(a, b), vec_between_points(a, c));
    vec_normalize(&f.no);
    f.offset = vec_dot(f.no, a);
    f.nextFace = nullptr;
    return f;
}

// Links the faces in vector order; call again after the vector is copied.
inline collisionFace *linkFaces(std::vector<collisionFace> &faces)
{
    if (faces.empty()) return nullptr;
    for (size_t i = 0; i + 1 < faces.size(); i++)
        faces[i].nextFace = &faces[i + 1];
    faces.back().nextFace = nullptr;
    return &faces[0];
}

// A few thousandths of a unit up or down, repeating every few corners, so
// that neighbouring faces are not quite coplanar.
inline float ripple(int i, int j) { return 0.004f * (float)((i * 3 + j * 5) % 4); }

// The floor of a lane from x = -halfWidth to halfWidth and y = 0 to length,
// `columns` by `rows` cells of two triangles, facing up. With gutters, a strip
// one cell long on each side slopes 0.15 down and 0.3 out, and beyond it the
// lane ends (as it does past y = length): what goes over falls.
inline std::vector<collisionFace> makeLane(int columns, int rows, float halfWidth, float length, bool gutters)
{
    std::vector<collisionFace> faces;
    float cellX = 2.0f * halfWidth / (float)columns;
    float cellY = length / (float)rows;
    auto corner = [&](int i, int j) {
        return vec3{-halfWidth + cellX * (float)i, cellY * (float)j, ripple(i, j)};
    };
    for (int j = 0; j < rows; j++) {
        for (int i = 0; i < columns; i++) {
            faces.push_back(makeFace(corner(i, j), corner(i + 1, j), corner(i + 1, j + 1)));
            faces.push_back(makeFace(corner(i, j), corner(i + 1, j + 1), corner(i, j + 1)));
        }
        if (gutters) {
            float y0 = cellY * (float)j, y1 = cellY * (float)(j + 1);
            vec3 rightIn0 = corner(columns, j), rightIn1 = corner(columns, j + 1);
            vec3 rightOut0 = {halfWidth + 0.3f, y0, -0.15f}, rightOut1 = {halfWidth + 0.3f, y1, -0.15f};
            faces.push_back(makeFace(rightIn0, rightOut0, rightOut1));
            faces.push_back(makeFace(rightIn0, rightOut1, rightIn1));
            vec3 leftIn0 = corner(0, j), leftIn1 = corner(0, j + 1);
            vec3 leftOut0 = {-halfWidth - 0.3f, y0, -0.15f}, leftOut1 = {-halfWidth - 0.3f, y1, -0.15f};
            faces.push_back(makeFace(leftOut0, leftIn0, leftIn1));
            faces.push_back(makeFace(leftOut0, leftIn1, leftOut1));
        }
    }
    return faces;
}

inline dynamicObject makeObject(vec3 at, float radius, float mass, vec3 velocity)
{
    dynamicObject o = {};
    o.location = at;
    o.initLoc = at;
    o.velocity = velocity;
    o.radius = radius;
    o.mass = mass;
    o.inPlay = 1;
    return o;
}

struct scene {
    std::vector<collisionFace> faces;
    dynamicObject ball;
    std::vector<dynamicObject> pins;
    float lowerBound;
};

// The reference throw: a lane of 6 by 30 cells with gutters (480 faces), ten
// pins in a triangle near the far end and a ball thrown a little off centre.
inline scene referenceScene()
{
    scene s;
    s.faces = makeLane(6, 30, 1.0f, 24.0f, true);
    s.ball = makeObject({0, 1, 0.22f}, 0.22f, 5.0f, {0.15f, 7.0f, 0});
    for (int row = 0; row < 4; row++)
        for (int k = 0; k <= row; k++) {
            float x = 0.3f * (float)k - 0.15f * (float)row;
            float y = 18.0f + 0.26f * (float)row;
            s.pins.push_back(makeObject({x, y, 0.12f}, 0.12f, 1.0f, {0, 0, 0}));
        }
    s.lowerBound = -3.0f;
    return s;
}

} // namespace lane
