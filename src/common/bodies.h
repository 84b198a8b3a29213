// What the physics moves and what it bounces off, as plain data.
#pragma once

#include "common/vectorMath.h"

// One triangle of the collision mesh; the plane is { p : no . p == offset }.
typedef struct collisionFace {
    vec3 v[3];
    vec3 no;
    float offset;
    struct collisionFace *nextFace;
} collisionFace;

// One moving sphere: the ball or a pin. dispList names the OpenGL display list
// of its mesh (a GLint, which is an int); the physics never touches it.
typedef struct dynamicObject {
    vec3 location;
    vec3 initLoc;
    vec3 velocity;
    float radius;
    float mass;
    int dispList;
    int inPlay;
} dynamicObject;

// The objects counted as one sequence: the ball is object 0, pin i object i + 1.
inline dynamicObject *objectAt(dynamicObject *ball, dynamicObject *pins, int i)
{
    return i == 0 ? ball : &pins[i - 1];
}
inline const dynamicObject *objectAt(const dynamicObject *ball, const dynamicObject *pins, int i)
{
    return i == 0 ? ball : &pins[i - 1];
}
