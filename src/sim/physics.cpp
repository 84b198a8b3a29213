// The physics step: fall-out, sphere against sphere, sphere against the
// collision triangles, gravity, rebound and motion.
//
// Every quantity is a float and every operation is rounded to float as it is
// made (no wider intermediates, no fused multiply-add), so a step gives the
// same bits in a debug and an optimised build.
#include "sim/physics.h"

#include <cmath>

#include "common/vectorMath.h"

namespace
{

bool isFinite(vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The normal parts of the two velocities after the exchange. With M the common
// momentum along n,
//   M - (ov - pv) mB = (mA - mB) ov + 2 mB pv
//   M - (pv - ov) mA = 2 mA ov + (mB - mA) pv
// which, divided by mA + mB, are the elastic results; the factor REBOUND then
// takes 15% off the whole normal motion, the common part included.
void exchangeNormal(vec3 ov, vec3 pv, float massA, float massB, vec3 *oNew, vec3 *pNew)
{
    vec3 momentum = vec_add(vec_scalar_multiple(ov, massA), vec_scalar_multiple(pv, massB));
    float scale = REBOUND / (massA + massB);
    vec3 oNvel = vec_subtract(momentum, vec_scalar_multiple(vec_subtract(ov, pv), massB));
    vec3 pNvel = vec_subtract(momentum, vec_scalar_multiple(vec_subtract(pv, ov), massA));
    *oNew = vec_scalar_multiple(oNvel, scale);
    *pNew = vec_scalar_multiple(pNvel, scale);
}

// Where the centre is less than the radius from the face's plane: does the
// sphere reach the triangle itself? Each test is tried only while the ones
// before it found nothing, which leaves the answer unchanged.
bool touchesFace(vec3 location, float radiusSquared, float distFromPlane, const collisionFace *face)
{
    if (touchesCorner(location, radiusSquared, face)) return true;
    vec3 pointOnPlane = vec_add(location, vec_scalar_multiple(face->no, distFromPlane));
    if (insideTriangle(pointOnPlane, face)) return true;
    return touchesEdge(location, radiusSquared, face);
}

// One face's part in the scan: a touched face adds its normal, turned toward
// the centre, to the rebound direction.
inline void addContact(const dynamicObject *obj, float radiusSquared, const collisionFace *face,
                       vec3 *reboundDirection, float *numCollisions)
{
    // offset - location.no: positive on the side that `no` points away from.
    float distFromPlane = face->offset - vec_dot(obj->location, face->no);
    if (!(std::fabs(distFromPlane) < obj->radius)) return;
    if (!touchesFace(obj->location, radiusSquared, distFromPlane, face)) return;
    // Turn the normal toward the centre's side; a centre on the plane counts
    // as lying on the side away from `no`.
    if (distFromPlane >= 0.0f)
        *reboundDirection = vec_subtract(*reboundDirection, face->no);
    else
        *reboundDirection = vec_add(*reboundDirection, face->no);
    *numCollisions = *numCollisions + 1.0f;
}

// Face scan, gravity, rebound and motion of one object in play. With an index
// only its candidates are scanned: every face that can touch, in list order,
// so the sums come out as from the whole list.
void moveObject(dynamicObject *obj, const collisionFace *firstFace, faceIndex *index, float dt)
{
    float radiusSquared = obj->radius * obj->radius;
    vec3 reboundDirection = {0.0f, 0.0f, 0.0f};
    float numCollisions = 0.0f;

    int candidates = index ? faceCandidates(index, obj->location, obj->radius) : -1;
    if (candidates < 0) {
        for (const collisionFace *face = firstFace; face; face = face->nextFace)
            addContact(obj, radiusSquared, face, &reboundDirection, &numCollisions);
    } else {
        for (int k = 0; k < candidates; k++)
            addContact(obj, radiusSquared, index->faces[index->candidates[k]], &reboundDirection,
                       &numCollisions);
    }

    // Gravity before the rebound, so a resting object bounces this frame's fall.
    obj->velocity.z = obj->velocity.z - dt * GRAVITY;

    if (numCollisions > 0.01f) {
        // One reflection about the mean normal of everything touched; normals
        // that cancel leave a zero direction and so no rebound.
        if (vec_mag_squared(reboundDirection) != 0.0f) vec_normalize(&reboundDirection);
        float tempFloat = vec_dot(obj->velocity, reboundDirection);
        if (tempFloat < 0.0f) {
            // v + r (v.r)(-2 REBOUND) leaves the part along r at (1 - 2 REBOUND) = -0.7 times itself.
            obj->velocity =
                vec_add(obj->velocity, vec_scalar_multiple(reboundDirection, tempFloat * -2.0f * REBOUND));
        }
    }

    obj->location = vec_add(obj->location, vec_scalar_multiple(obj->velocity, dt));
}

} // namespace

bool touchesCorner(vec3 location, float radiusSquared, const collisionFace *face)
{
    for (int j = 0; j < 3; j++)
        if (vec_mag_squared(vec_between_points(face->v[j], location)) < radiusSquared) return true;
    return false;
}

// (v[j] - P) x (v[k] - v[j]) points along +no where P is left of the edge
// j -> k and along -no where it is right of it. P is strictly inside exactly
// when it is on the same side of all three edges, i.e. when the three products
// point the same way, which the pairwise dot products check without needing
// the normal. A P on an edge or a triangle of zero area gives a zero product.
bool insideTriangle(vec3 pointOnPlane, const collisionFace *face)
{
    const vec3 *v = face->v;
    vec3 c0 = vec_cross(vec_between_points(pointOnPlane, v[0]), vec_between_points(v[0], v[1]));
    vec3 c1 = vec_cross(vec_between_points(pointOnPlane, v[1]), vec_between_points(v[1], v[2]));
    vec3 c2 = vec_cross(vec_between_points(pointOnPlane, v[2]), vec_between_points(v[2], v[0]));
    return vec_dot(c0, c1) > 0.0f && vec_dot(c1, c2) > 0.0f && vec_dot(c2, c0) > 0.0f;
}

// With a = centre - v[j], e = v[k] - v[j] and b = v[k] - centre, a.e > 0 and
// e.b > 0 put the centre's foot on the open segment; then |a x e/|e|| is the
// centre's distance from the edge's line.
bool touchesEdge(vec3 location, float radiusSquared, const collisionFace *face)
{
    for (int j = 0; j < 3; j++) {
        int k = j < 2 ? j + 1 : 0;
        vec3 a = vec_between_points(face->v[j], location);
        vec3 e = vec_between_points(face->v[j], face->v[k]);
        vec3 b = vec_between_points(location, face->v[k]);
        if (vec_dot(a, e) > 0.0f && vec_dot(e, b) > 0.0f) {
            vec_normalize(&e);
            if (vec_mag_squared(vec_cross(a, e)) < radiusSquared) return true;
        }
    }
    return false;
}

void collidePair(dynamicObject *obj, dynamicObject *pbj)
{
    vec3 d = vec_between_points(obj->location, pbj->location);
    if (!(vec_mag(d) < obj->radius + pbj->radius)) return;
    vec3 n = d; // coincident centres give +z
    vec_normalize(&n);

    vec3 ov = vec_scalar_multiple(n, vec_dot(n, obj->velocity));
    vec3 ow = vec_subtract(obj->velocity, ov);
    vec3 pv = vec_scalar_multiple(n, vec_dot(n, pbj->velocity));
    vec3 pw = vec_subtract(pbj->velocity, pv);
    // Separating or moving together: leave them be, so an overlapping pair is
    // not resolved again while it comes apart.
    if (!(vec_dot(n, vec_subtract(ov, pv)) > 0.0f)) return;

    vec3 oNew, pNew;
    exchangeNormal(ov, pv, obj->mass, pbj->mass, &oNew, &pNew);
    // Masses that cannot give a finite answer (they sum to zero, one is NaN or
    // infinite, or the momentum overflows) are a slip in the level; the pair
    // then bounces as two equal masses rather than turning into NaN and
    // vanishing from the lane.
    if (!isFinite(oNew) || !isFinite(pNew)) exchangeNormal(ov, pv, 1.0f, 1.0f, &oNew, &pNew);

    obj->velocity = vec_add(ow, oNew);
    pbj->velocity = vec_add(pw, pNew);
}

void physicsStep(dynamicObject *ballObj, dynamicObject *pinObjs, int pinCount, const collisionFace *firstFace,
                 float lowerBound, float dt, int *pinsLeft, faceIndex *index)
{
    int numObjects = pinCount > 0 ? pinCount + 1 : 1;

    // Fall-out and pairs, in sequence order, each change seen at once by the
    // pairs after it.
    for (int i = 0; i < numObjects; i++) {
        dynamicObject *obj = objectAt(ballObj, pinObjs, i);
        // Made whether or not the object is in play: a pin parked below the
        // bound is counted again in every step. The strict comparison settles
        // odd bounds: below +inf everything is out at the first step (the level
        // is won at once), below -inf or NaN nothing ever is, and an object at a
        // NaN height never falls out (its level is left with F12).
        if (obj->location.z < lowerBound) {
            obj->location = obj->initLoc;
            obj->velocity = vec3{0.0f, 0.0f, 0.0f};
            obj->inPlay = 0;
            if (i > 0) *pinsLeft = *pinsLeft - 1;
        }
        if (!obj->inPlay) continue;
        for (int j = i + 1; j < numObjects; j++) {
            dynamicObject *pbj = objectAt(ballObj, pinObjs, j);
            if (pbj->inPlay) collidePair(obj, pbj);
        }
    }

    for (int i = 0; i < numObjects; i++) {
        dynamicObject *obj = objectAt(ballObj, pinObjs, i);
        if (obj->inPlay) moveObject(obj, firstFace, index, dt);
    }
}
