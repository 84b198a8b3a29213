// The physics step on small hand-made scenes whose outcome is worked out by
// hand or in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "scene/physics.h"

namespace
{

const float NO_BOUND = -100.0f;

dynamicObject sphereAt(vec3 at, float radius, vec3 velocity = {0, 0, 0}, float mass = 1.0f)
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

collisionFace triangle(vec3 a, vec3 b, vec3 c, vec3 no)
{
    collisionFace f = {};
    f.v[0] = a;
    f.v[1] = b;
    f.v[2] = c;
    f.no = no;
    f.offset = no.x * a.x + no.y * a.y + no.z * a.z;
    f.nextFace = nullptr;
    return f;
}

// Links the faces in vector order and returns the head.
const collisionFace *linked(std::vector<collisionFace> &faces)
{
    for (size_t i = 0; i + 1 < faces.size(); i++)
        faces[i].nextFace = &faces[i + 1];
    if (faces.empty()) return nullptr;
    faces.back().nextFace = nullptr;
    return &faces[0];
}

// The floor triangle of the worked example: z = 0, normal up.
collisionFace workedTriangle() { return triangle({-10, -10, 0}, {10, -10, 0}, {0, 10, 0}, {0, 0, 1}); }

// Steps the ball alone against `faces` and returns it.
dynamicObject stepBall(dynamicObject b, std::vector<collisionFace> faces, float dt = 0.0f,
                       float lowerBound = NO_BOUND)
{
    int left = 0;
    physicsStep(&b, nullptr, 0, linked(faces), lowerBound, dt, &left);
    return b;
}

void expectVec(vec3 v, float x, float y, float z, float tolerance = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void expectSameBits(vec3 a, vec3 b)
{
    EXPECT_EQ(0, memcmp(&a, &b, sizeof a))
        << "(" << a.x << "," << a.y << "," << a.z << ") vs (" << b.x << "," << b.y << "," << b.z << ")";
}

// A ball that moves straight down at 1 unit/s, with no time passing: after the
// step its velocity shows whether it touched (it rebounds to +0.7) or not.
const vec3 DOWN = {0, 0, -1};

// ---------------------------------------------------------------------------
// Contact with one triangle

TEST(PhysicsFaceContact, WorkedInteriorContact)
{
    collisionFace f = workedTriangle();
    vec3 centre = {0, 0, 0.5f};
    EXPECT_FALSE(touchesCorner(centre, 1.0f, &f));
    EXPECT_TRUE(insideTriangle(vec3{0, 0, 0}, &f));
    // Along +z, the face's normal pointing toward the centre: -1 becomes +0.7.
    dynamicObject b = stepBall(sphereAt(centre, 1.0f, DOWN), {f});
    expectVec(b.velocity, 0, 0, 0.7f);
    expectSameBits(b.location, centre);
}

TEST(PhysicsFaceContact, WorkedEdgeContact)
{
    collisionFace f = workedTriangle();
    vec3 centre = {0, -10.5f, 0.5f};
    EXPECT_FALSE(touchesCorner(centre, 1.0f, &f));
    EXPECT_FALSE(insideTriangle(vec3{0, -10.5f, 0}, &f));
    EXPECT_TRUE(touchesEdge(centre, 1.0f, &f));
    // An edge contact still rebounds along the face's normal.
    expectVec(stepBall(sphereAt(centre, 1.0f, DOWN), {f}).velocity, 0, 0, 0.7f);
}

TEST(PhysicsFaceContact, NearTheEdgeLineBeyondTheSegmentIsNoContact)
{
    // 0.5 from the line of the first edge, but past its end and 1.3 from the
    // corner: the sphere cuts the plane and still touches nothing.
    collisionFace f = workedTriangle();
    vec3 centre = {11.2f, -10, 0.5f};
    EXPECT_FALSE(touchesCorner(centre, 1.0f, &f));
    EXPECT_FALSE(insideTriangle(vec3{11.2f, -10, 0}, &f));
    EXPECT_FALSE(touchesEdge(centre, 1.0f, &f));
    expectSameBits(stepBall(sphereAt(centre, 1.0f, DOWN), {f}).velocity, DOWN);
}

TEST(PhysicsFaceContact, CornerContact)
{
    collisionFace f = workedTriangle();
    // 0.3 beside and 0.4 above the third corner, past both its edges' ends.
    vec3 centre = {0, 10.3f, 0.4f};
    EXPECT_TRUE(touchesCorner(centre, 0.36f, &f));
    EXPECT_FALSE(touchesEdge(centre, 0.36f, &f));
    expectVec(stepBall(sphereAt(centre, 0.6f, DOWN), {f}).velocity, 0, 0, 0.7f);
}

TEST(PhysicsFaceContact, ZeroAreaTrianglesTouchOnlyAtCornersAndRealEdges)
{
    // What the collision loader makes of three points on a line: its normal
    // falls back to +z.
    collisionFace line = triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 0, 1});
    EXPECT_FALSE(insideTriangle(vec3{0.5f, 0, 0}, &line));
    EXPECT_FALSE(insideTriangle(vec3{0.5f, 0.1f, 0}, &line));
    // 0.3 above the segment's middle: touched along its first edge.
    expectVec(stepBall(sphereAt({0.5f, 0, 0.3f}, 0.4f, DOWN), {line}).velocity, 0, 0, 0.7f);
    // 0.54 from the segment, 0.4 radius: nothing.
    expectSameBits(stepBall(sphereAt({0.5f, 0.5f, 0.2f}, 0.4f, DOWN), {line}).velocity, DOWN);

    // Three equal corners: only the corner can be touched.
    collisionFace point = triangle({0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 1});
    EXPECT_FALSE(insideTriangle(vec3{0.3f, 0, 0}, &point));
    EXPECT_FALSE(touchesEdge(vec3{0.3f, 0, 0.3f}, 0.16f, &point));
    expectVec(stepBall(sphereAt({0, 0, 0.3f}, 0.4f, DOWN), {point}).velocity, 0, 0, 0.7f);
    expectSameBits(stepBall(sphereAt({0.3f, 0, 0.3f}, 0.4f, DOWN), {point}).velocity, DOWN);
}

TEST(PhysicsFaceContact, EmptyFaceListOnlyFalls)
{
    dynamicObject b = stepBall(sphereAt({0, 0, 0.5f}, 0.5f, {1, 0, 0}), {}, 0.5f);
    expectVec(b.velocity, 1, 0, -4.9f);
    expectVec(b.location, 0.5f, 0, 0.5f - 2.45f);
}

// ---------------------------------------------------------------------------
// Strict comparisons: touching exactly is not touching

TEST(PhysicsStrictness, SpheresExactlyTouchingDoNotCollide)
{
    int left = 1;
    dynamicObject a = sphereAt({0, 0, 0}, 0.5f, {1, 0, 0});
    dynamicObject p = sphereAt({1, 0, 0}, 0.5f, {-1, 0, 0});
    physicsStep(&a, &p, 1, nullptr, NO_BOUND, 0.0f, &left);
    expectSameBits(a.velocity, vec3{1, 0, 0});
    expectSameBits(p.velocity, vec3{-1, 0, 0});

    // A thousandth closer they do: head on, equal masses, each leaves with
    // 0.85 of the other's speed.
    p = sphereAt({0.999f, 0, 0}, 0.5f, {-1, 0, 0});
    physicsStep(&a, &p, 1, nullptr, NO_BOUND, 0.0f, &left);
    expectVec(a.velocity, -0.85f, 0, 0);
    expectVec(p.velocity, 0.85f, 0, 0);
}

TEST(PhysicsStrictness, CentreOneRadiusFromThePlaneDoesNotTouch)
{
    expectSameBits(stepBall(sphereAt({0, 0, 1}, 1.0f, DOWN), {workedTriangle()}).velocity, DOWN);
    expectVec(stepBall(sphereAt({0, 0, 0.75f}, 1.0f, DOWN), {workedTriangle()}).velocity, 0, 0, 0.7f);
}

TEST(PhysicsStrictness, CornerExactlyOneRadiusAwayDoesNotTouch)
{
    // (0, -3, 4) from the second corner: 5 away, outside the triangle, and its
    // foot on the nearest edges falls on their ends or beyond.
    collisionFace f = workedTriangle();
    vec3 centre = {10, -13, 4};
    EXPECT_FALSE(touchesCorner(centre, 25.0f, &f));
    EXPECT_FALSE(touchesEdge(centre, 25.0f, &f));
    expectSameBits(stepBall(sphereAt(centre, 5.0f, DOWN), {f}).velocity, DOWN);
    expectVec(stepBall(sphereAt(centre, 5.01f, DOWN), {f}).velocity, 0, 0, 0.7f);
}

TEST(PhysicsStrictness, EdgeLineExactlyOneRadiusAwayDoesNotTouch)
{
    // (0, -3, 4) from the middle of the first edge: 5 from its line.
    collisionFace f = workedTriangle();
    vec3 centre = {0, -13, 4};
    EXPECT_FALSE(touchesCorner(centre, 25.0f, &f));
    EXPECT_FALSE(touchesEdge(centre, 25.0f, &f));
    expectSameBits(stepBall(sphereAt(centre, 5.0f, DOWN), {f}).velocity, DOWN);
    EXPECT_TRUE(touchesEdge(centre, 5.01f * 5.01f, &f));
    expectVec(stepBall(sphereAt(centre, 5.01f, DOWN), {f}).velocity, 0, 0, 0.7f);
}

TEST(PhysicsStrictness, PointOnAnEdgeIsNotInside)
{
    collisionFace f = workedTriangle();
    EXPECT_FALSE(insideTriangle(vec3{0, -10, 0}, &f));
    EXPECT_FALSE(insideTriangle(vec3{-10, -10, 0}, &f));
    EXPECT_TRUE(insideTriangle(vec3{0, -9.99f, 0}, &f));
}

TEST(PhysicsStrictness, ObjectExactlyAtTheBoundStaysInPlay)
{
    dynamicObject b = sphereAt({0, 0, -5}, 0.5f);
    b.initLoc = {0, 0, 1};
    b = stepBall(b, {}, 0.0f, -5.0f);
    EXPECT_EQ(b.inPlay, 1);
    expectSameBits(b.location, vec3{0, 0, -5});

    b.location.z = -5.001f;
    b = stepBall(b, {}, 0.0f, -5.0f);
    EXPECT_EQ(b.inPlay, 0);
}

// ---------------------------------------------------------------------------
// Sphere against sphere

struct pairResult {
    vec3 a, b;
};

// Steps ball `a` and one pin `b`, no faces, no time.
pairResult stepPair(dynamicObject a, dynamicObject b)
{
    int left = 1;
    physicsStep(&a, &b, 1, nullptr, NO_BOUND, 0.0f, &left);
    return {a.velocity, b.velocity};
}

TEST(PhysicsPairs, SeparatingOrCoMovingPairsKeepTheirVelocities)
{
    // Overlapping and moving apart.
    pairResult r = stepPair(sphereAt({0, 0, 0}, 0.5f, {-1, 0, 0}), sphereAt({0.5f, 0, 0}, 0.5f, {1, 0, 0}));
    expectSameBits(r.a, vec3{-1, 0, 0});
    expectSameBits(r.b, vec3{1, 0, 0});
    // Overlapping and moving together at the same speed along the centres.
    r = stepPair(sphereAt({0, 0, 0}, 0.5f, {2, 1, 0}), sphereAt({0.5f, 0, 0}, 0.5f, {2, -1, 0}));
    expectSameBits(r.a, vec3{2, 1, 0});
    expectSameBits(r.b, vec3{2, -1, 0});
}

TEST(PhysicsPairs, EqualMassesTheStruckOneTakesPointEightyFive)
{
    // A also slides sideways; that part is not exchanged.
    pairResult r = stepPair(sphereAt({0, 0, 0}, 0.5f, {2, 1, 0}), sphereAt({0.9f, 0, 0}, 0.5f));
    expectVec(r.a, 0, 1, 0);
    expectVec(r.b, 1.7f, 0, 0);

    // Oblique: centres along n = (0.6, 0.8, 0); A's (1, 0, 0) splits into
    // (0.36, 0.48, 0) along n, which B takes at 0.85, and (0.64, -0.48, 0), which A keeps.
    r = stepPair(sphereAt({0, 0, 0}, 0.5f, {1, 0, 0}), sphereAt({0.3f, 0.4f, 0}, 0.5f));
    expectVec(r.a, 0.64f, -0.48f, 0);
    expectVec(r.b, 0.306f, 0.408f, 0);
}

TEST(PhysicsPairs, UnequalMassesFollowTheElasticExchangeScaledByRebound)
{
    // mA = 3 at 2, mB = 1 at -1, head on:
    // A: 0.85 ((3 - 1) 2 + 2 (1)(-1)) / 4 = 0.425, B: 0.85 (2 (3) 2 + (1 - 3)(-1)) / 4 = 2.975.
    pairResult r =
        stepPair(sphereAt({0, 0, 0}, 0.5f, {2, 0, 0}, 3.0f), sphereAt({0.9f, 0, 0}, 0.5f, {-1, 0, 0}, 1.0f));
    expectVec(r.a, 0.425f, 0, 0);
    expectVec(r.b, 2.975f, 0, 0);
}

TEST(PhysicsPairs, CoincidentCentresPartAlongUp)
{
    // n = +z: A rising is closing on B, A falling is not.
    pairResult r = stepPair(sphereAt({1, 1, 1}, 0.5f, {3, 0, 1}), sphereAt({1, 1, 1}, 0.5f));
    expectVec(r.a, 3, 0, 0);
    expectVec(r.b, 0, 0, 0.85f);
    r = stepPair(sphereAt({1, 1, 1}, 0.5f, {3, 0, -1}), sphereAt({1, 1, 1}, 0.5f));
    expectSameBits(r.a, vec3{3, 0, -1});
    expectSameBits(r.b, vec3{0, 0, 0});
}

TEST(PhysicsPairs, ObjectsOutOfPlayTakeNoPart)
{
    dynamicObject b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    dynamicObject p = sphereAt({0.9f, 0, 0}, 0.5f);
    p.inPlay = 0;
    int left = 1;
    physicsStep(&b, &p, 1, nullptr, NO_BOUND, 0.1f, &left);
    expectVec(b.velocity, 2, 0, -0.98f);
    // Out of play: no pair, no gravity, no motion.
    expectSameBits(p.velocity, vec3{0, 0, 0});
    expectSameBits(p.location, vec3{0.9f, 0, 0});

    // The ball out of play (a throw being abandoned) and a pin moving into it.
    b = sphereAt({0, 0, 0}, 0.5f);
    b.inPlay = 0;
    p = sphereAt({0.9f, 0, 0}, 0.5f, {-1, 0, 0});
    physicsStep(&b, &p, 1, nullptr, NO_BOUND, 0.0f, &left);
    expectSameBits(b.velocity, vec3{0, 0, 0});
    expectSameBits(p.velocity, vec3{-1, 0, 0});
}

TEST(PhysicsPairs, ChangesAreSeenAtOnceByLaterPairs)
{
    // Ball strikes pin 0, which then strikes pin 1 in the same step: the
    // ball-pin 0 pair gives pin 0 1.7, and pin 0-pin 1 passes 0.85 of that on.
    // Had pin 0's old velocity been used, pin 1 would not move.
    dynamicObject b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    std::vector<dynamicObject> p = {sphereAt({0.9f, 0, 0}, 0.5f), sphereAt({1.8f, 0, 0}, 0.5f)};
    int left = 2;
    physicsStep(&b, p.data(), 2, nullptr, NO_BOUND, 0.0f, &left);
    expectVec(b.velocity, 0, 0, 0);
    expectVec(p[0].velocity, 0, 0, 0);
    expectVec(p[1].velocity, 0.85f * 1.7f, 0, 0);
}

TEST(PhysicsPairs, PairsInSequenceOrderBallFirst)
{
    // All three overlap; the pairs come as ball-pin 0, ball-pin 1, pin 0-pin 1.
    dynamicObject b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    std::vector<dynamicObject> p = {sphereAt({0.5f, -0.5f, 0}, 0.5f, {0, 1, 0}),
                                    sphereAt({0.5f, 0, 0}, 0.5f)};
    int left = 2;
    physicsStep(&b, p.data(), 2, nullptr, NO_BOUND, 0.0f, &left);
    // Ball-pin 0 along n = (1, -1, 0)/sqrt 2: the ball's part along n is
    // (1, -1, 0), pin 0's (-0.5, 0.5, 0); equal masses swap them at 0.85, so
    // the ball leaves with (1, 1, 0) + 0.85 (-0.5, 0.5, 0) = (0.575, 1.425, 0)
    // and pin 0 with (0.5, 0.5, 0) + 0.85 (1, -1, 0) = (1.35, -0.35, 0).
    // Ball-pin 1 along x: pin 1 takes 0.85 * 0.575, the ball keeps its y.
    // Pin 0-pin 1 along +y: pin 0 moves away (-0.35), nothing changes.
    // (Pin 0-pin 1 first would have stopped pin 0 and sent pin 1 along y.)
    expectVec(b.velocity, 0, 1.425f, 0);
    expectVec(p[0].velocity, 1.35f, -0.35f, 0);
    expectVec(p[1].velocity, 0.48875f, 0, 0);
}

// Masses are a level author's to get wrong: the pair must stay finite.
TEST(PhysicsPairs, MassesThatSumToZeroBounceAsEqualMasses)
{
    for (float mA : {0.0f, -2.0f}) {
        pairResult r =
            stepPair(sphereAt({0, 0, 0}, 0.5f, {2, 0, 0}, mA), sphereAt({0.9f, 0, 0}, 0.5f, {0, 0, 0}, -mA));
        expectVec(r.a, 0, 0, 0);
        expectVec(r.b, 1.7f, 0, 0);
    }
}

TEST(PhysicsPairs, NaNOrInfiniteMassesBounceAsEqualMasses)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // The last pair sums to infinity in float although each mass is finite.
    const float pairs[][2] = {{nan, 1}, {1, nan}, {inf, 1}, {inf, inf}, {inf, -inf}, {3e38f, 3e38f}};
    for (auto &m : pairs) {
        pairResult r = stepPair(sphereAt({0, 0, 0}, 0.5f, {2, 1, 0}, m[0]),
                                sphereAt({0.9f, 0, 0}, 0.5f, {0, 0, 0}, m[1]));
        expectVec(r.a, 0, 1, 0);
        expectVec(r.b, 1.7f, 0, 0);
    }
}

TEST(PhysicsPairs, AMasslessObjectBouncesOffAsFromAWall)
{
    // Sum 1, so the exchange is used as it stands: A (mass 0) gets 0.85 (-2),
    // B gets 0.85 (2 * 0 * 2 + 1 * 0) = 0.
    pairResult r = stepPair(sphereAt({0, 0, 0}, 0.5f, {2, 0, 0}, 0.0f), sphereAt({0.9f, 0, 0}, 0.5f));
    expectVec(r.a, -1.7f, 0, 0);
    expectVec(r.b, 0, 0, 0);
}

// ---------------------------------------------------------------------------
// Gravity, rebound and motion

TEST(PhysicsRebound, RestingBallFallsThenReboundsThenMoves)
{
    // Gravity first: -9.8 dt; the rebound makes that +0.7 * 9.8 dt; the ball
    // then moves by it. With dt = 0.01: +0.0686, and up by 0.000686.
    dynamicObject b = stepBall(sphereAt({0, 0, 0.4f}, 0.5f), {workedTriangle()}, 0.01f);
    expectVec(b.velocity, 0, 0, 0.0686f);
    expectVec(b.location, 0, 0, 0.400686f);
}

TEST(PhysicsRebound, NormalIsTurnedTowardTheObject)
{
    // The same floor with its normal pointing down acts the same.
    collisionFace f = triangle({-10, -10, 0}, {0, 10, 0}, {10, -10, 0}, {0, 0, -1});
    dynamicObject b = stepBall(sphereAt({0, 0, 0.4f}, 0.5f), {f}, 0.01f);
    expectVec(b.velocity, 0, 0, 0.0686f);
    // And from below, a ceiling pushes down.
    b = stepBall(sphereAt({0, 0, -0.4f}, 0.5f, {0, 0, 1}), {workedTriangle()});
    expectVec(b.velocity, 0, 0, -0.7f);
}

TEST(PhysicsRebound, MovingAwayIsNotReflected)
{
    expectSameBits(stepBall(sphereAt({0, 0, 0.4f}, 0.5f, {1, 0, 2}), {workedTriangle()}).velocity,
                   vec3{1, 0, 2});
}

TEST(PhysicsRebound, CentreOnThePlaneSubtractsTheNormal)
{
    // On the plane counts as the side away from `no` (below this floor).
    dynamicObject b = stepBall(sphereAt({0, 0, 0}, 0.5f, {0, 0, 1}), {workedTriangle()});
    expectVec(b.velocity, 0, 0, -0.7f);
}

TEST(PhysicsRebound, OneReflectionAboutTheMeanNormal)
{
    // Two floor halves meeting under the ball: touched twice, reflected once
    // (twice would leave 0.49).
    std::vector<collisionFace> halves = {triangle({-10, -10, 0}, {0, -10, 0}, {0, 10, 0}, {0, 0, 1}),
                                         triangle({0, -10, 0}, {10, -10, 0}, {0, 10, 0}, {0, 0, 1})};
    expectVec(stepBall(sphereAt({0, 0, 0.4f}, 0.5f, DOWN), halves).velocity, 0, 0, 0.7f);

    // Floor and wall: the mean normal is (1, 0, 1)/sqrt 2. Moving into the wall
    // at (-1, 0, 0), the part along it, -1/sqrt 2, becomes +0.7/sqrt 2, so
    // (-1, 0, 0) + 1.7 (1, 0, 1)/2 = (-0.15, 0, 0.85); one face at a time
    // would give (0.7, 0, 0).
    std::vector<collisionFace> corner = {workedTriangle(),
                                         triangle({0, -10, -10}, {0, 10, -10}, {0, 0, 10}, {1, 0, 0})};
    expectVec(stepBall(sphereAt({0.3f, 0, 0.3f}, 0.5f, {-1, 0, 0}), corner).velocity, -0.15f, 0, 0.85f);
}

TEST(PhysicsRebound, NormalsThatCancelGiveNoRebound)
{
    // Floor below and ceiling above, both touched: the turned normals cancel.
    // Gravity and motion still apply: -1 - 0.098 and 0.5 - 0.01098.
    std::vector<collisionFace> faces = {workedTriangle(),
                                        triangle({-10, -10, 1}, {10, -10, 1}, {0, 10, 1}, {0, 0, 1})};
    dynamicObject b = stepBall(sphereAt({0, 0, 0.5f}, 0.6f, DOWN), faces, 0.01f);
    expectVec(b.velocity, 0, 0, -1.098f);
    expectVec(b.location, 0, 0, 0.48902f);
}

TEST(PhysicsRebound, NoTimeMeansNoMotionButCollisionsStillCount)
{
    // A ball moving into a pin and into the floor, no time: velocities change
    // through the pair and the rebound, but nothing falls and nothing moves.
    dynamicObject b = sphereAt({0, 0, 0.4f}, 0.5f, {0, 2, -1});
    dynamicObject p = sphereAt({0, 0.9f, 0.4f}, 0.5f);
    std::vector<collisionFace> faces = {workedTriangle()};
    int left = 1;
    physicsStep(&b, &p, 1, linked(faces), NO_BOUND, 0.0f, &left);
    expectVec(b.velocity, 0, 0, 0.7f); // y handed to the pin, z rebounded
    expectVec(p.velocity, 0, 1.7f, 0); // no gravity added
    expectSameBits(b.location, vec3{0, 0, 0.4f});
    expectSameBits(p.location, vec3{0, 0.9f, 0.4f});
}

// ---------------------------------------------------------------------------
// Falling out below the bound

TEST(PhysicsFallOut, BallIsParkedAndThePinCountLeftAlone)
{
    dynamicObject b = sphereAt({1, 2, -101}, 0.5f, {0, 5, -3});
    b.initLoc = {0, -8, 0.5f};
    dynamicObject p = sphereAt({0, 8, 0.6f}, 0.3f);
    int left = 1;
    physicsStep(&b, &p, 1, nullptr, NO_BOUND, 0.01f, &left);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(b.inPlay, 0);
    // Parked, and not moved or accelerated in the same step.
    expectSameBits(b.location, vec3{0, -8, 0.5f});
    expectSameBits(b.velocity, vec3{0, 0, 0});
}

TEST(PhysicsFallOut, PinIsParkedCountedOnceAndNeverMovedAgain)
{
    dynamicObject b = sphereAt({0, -8, 0.5f}, 0.5f);
    std::vector<dynamicObject> p = {sphereAt({0, 8, 0.6f}, 0.3f), sphereAt({3, 8, -150}, 0.3f, {1, 1, -20})};
    p[1].initLoc = {1, 8, 0.6f};
    int left = 2;
    for (int step = 0; step < 5; step++)
        physicsStep(&b, p.data(), 2, nullptr, NO_BOUND, 0.01f, &left);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(p[1].inPlay, 0);
    expectSameBits(p[1].location, vec3{1, 8, 0.6f});
    expectSameBits(p[1].velocity, vec3{0, 0, 0});
    EXPECT_EQ(p[0].inPlay, 1);
}

TEST(PhysicsFallOut, PinParkedBelowTheBoundIsCountedInEveryStep)
{
    dynamicObject b = sphereAt({0, -8, 0.5f}, 0.5f);
    dynamicObject p = sphereAt({0, 0, -200}, 0.3f);
    p.inPlay = 0;
    int left = 5;
    for (int step = 0; step < 3; step++)
        physicsStep(&b, &p, 1, nullptr, NO_BOUND, 0.01f, &left);
    EXPECT_EQ(left, 2);
}

TEST(PhysicsFallOut, PairsBeforeTheTestStillCount)
{
    // The ball (above the bound) overlaps pin 0 (below it) and moves into it:
    // that pair comes before pin 0's own test and is resolved, leaving the
    // ball's normal motion at 0 (equal masses, pin at rest).
    dynamicObject b = sphereAt({0, 0, -99.8f}, 0.5f, {0, 0, -1});
    dynamicObject p = sphereAt({0, 0, -100.3f}, 0.5f);
    p.initLoc = {5, 5, 5};
    int left = 1;
    physicsStep(&b, &p, 1, nullptr, NO_BOUND, 0.0f, &left);
    expectVec(b.velocity, 0, 0, 0);
    EXPECT_EQ(p.inPlay, 0);
    expectSameBits(p.velocity, vec3{0, 0, 0});
    EXPECT_EQ(left, 0);
}

TEST(PhysicsFallOut, AFallenPinStrikesNothing)
{
    // Pin 0, below the bound and rushing at pin 1, is parked before its pairs;
    // parked, it overlaps pin 2, which moves at it, and still takes no part.
    dynamicObject b = sphereAt({0, -8, 0.5f}, 0.5f);
    std::vector<dynamicObject> p = {sphereAt({0, 0, -100.5f}, 0.5f, {5, 0, 0}),
                                    sphereAt({0.5f, 0, -100}, 0.5f),
                                    sphereAt({0, 9, 0.6f}, 0.5f, {0, -1, 0})};
    p[0].initLoc = {0, 8.5f, 0.6f};
    int left = 3;
    physicsStep(&b, p.data(), 3, nullptr, NO_BOUND, 0.0f, &left);
    expectSameBits(p[1].velocity, vec3{0, 0, 0});
    expectSameBits(p[2].velocity, vec3{0, -1, 0});
    EXPECT_EQ(p[1].inPlay, 1);
    EXPECT_EQ(left, 2);
}

// ---------------------------------------------------------------------------
// No pins, and the scene's own state

TEST(PhysicsScene, NoPinsTouchesOnlyTheBall)
{
    // A null pins array must not be read.
    for (int count : {0, -3}) {
        dynamicObject b = sphereAt({0, 0, 5}, 0.5f, {1, 0, 0});
        int left = 7;
        physicsStep(&b, nullptr, count, nullptr, NO_BOUND, 0.5f, &left);
        expectVec(b.location, 0.5f, 0, 5 - 2.45f);
        EXPECT_EQ(left, 7);
    }
}

TEST(PhysicsScene, DoPhysicsStepsTheSceneState)
{
    std::vector<collisionFace> faces = {workedTriangle()};
    std::vector<dynamicObject> p = {sphereAt({0, 5, 0.2f}, 0.3f), sphereAt({0, 6, -3}, 0.3f)};
    p[1].initLoc = {2, 6, 0.3f};
    ball = sphereAt({0, 0, 0.4f}, 0.5f);
    pins = p.data();
    numPins = 2;
    remainingPins = 2;
    firstCollisionFace = const_cast<collisionFace *>(linked(faces));
    worldLowerBound = -2.0f;
    gameDeltaTime = 0.01f;

    doPhysics();

    // The ball rests on the floor (see RestingBallFallsThenReboundsThenMoves),
    // pin 0 as well, pin 1 fell below -2.
    expectVec(ball.velocity, 0, 0, 0.0686f);
    expectVec(p[0].velocity, 0, 0, 0.0686f);
    EXPECT_EQ(p[1].inPlay, 0);
    expectSameBits(p[1].location, vec3{2, 6, 0.3f});
    EXPECT_EQ(remainingPins, 1);

    ball = dynamicObject{};
    pins = nullptr;
    numPins = 0;
    remainingPins = 0;
    firstCollisionFace = nullptr;
    worldLowerBound = -100.0f;
    gameDeltaTime = 0.0f;
}

} // namespace
