// The physics step over explicit data, and the contact tests it is made of.
// advanceLevel (levelPlay.h) runs it on a level in play.
#pragma once

#include "common/bodies.h"
#include "sim/faceIndex.h"

// The world's constants: how much of its speed into a face a bounce keeps,
// and gravity's pull along -z, in units a second squared.
#define REBOUND 0.85f
#define GRAVITY 9.8f

// One step of the ball and `pinCount` pins against the face list starting at
// `firstFace`: fall-out below `lowerBound`, sphere pairs, face contacts,
// gravity, one rebound per object and motion over `dt` seconds. Each pin that
// falls out lowers *pinsLeft by one. `pinObjs` is not read when `pinCount` < 1.
// An index built from this same list finds the faces to test (the result is
// the same, bit for bit); without one every face is tested.
void physicsStep(dynamicObject *ballObj, dynamicObject *pinObjs, int pinCount, const collisionFace *firstFace,
                 float lowerBound, float dt, int *pinsLeft, faceIndex *index = nullptr);

// Resolves one pair of overlapping spheres that are closing; a no-op otherwise.
void collidePair(dynamicObject *obj, dynamicObject *pbj);

// The three ways a sphere (centre `location`, squared radius `radiusSquared`)
// whose radius already reaches the face's plane can touch the triangle.
bool touchesCorner(vec3 location, float radiusSquared, const collisionFace *face);
bool insideTriangle(vec3 pointOnPlane, const collisionFace *face);
bool touchesEdge(vec3 location, float radiusSquared, const collisionFace *face);
