// The physics step on small hand-made scenes whose outcome is worked out by
// hand or in closed form.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "scene/physics.h"

namespace
{

const float NO_BOUND = -100.0f;
const vec3 DOWN = {0, 0, -1};

dynamicObject sphereAt(vec3 at, float radius, vec3 velocity = {0, 0, 0}, float mass = 1.0f)
{
    dynamicObject o = {};
    o.location = o.initLoc = at;
    o.velocity = velocity;
    o.radius = radius;
    o.mass = mass;
    o.inPlay = 1;
    return o;
}

collisionFace triangle(vec3 a, vec3 b, vec3 c, vec3 no = {0, 0, 1})
{
    collisionFace f = {{a, b, c}, no, no.x * a.x + no.y * a.y + no.z * a.z, nullptr};
    return f;
}

// The floor triangle of the worked example: z = 0, normal up.
const collisionFace FLOOR = triangle({-10, -10, 0}, {10, -10, 0}, {0, 10, 0});

const collisionFace *linked(std::vector<collisionFace> &faces)
{
    for (size_t i = 0; i + 1 < faces.size(); i++)
        faces[i].nextFace = &faces[i + 1];
    return faces.empty() ? nullptr : &faces[0];
}

// Steps `b` and `pins` against `faces`; returns the pins left from `left`.
int step(dynamicObject *b, std::vector<dynamicObject> &pins, std::vector<collisionFace> faces = {},
         float dt = 0.0f, int left = 0, float lowerBound = NO_BOUND)
{
    physicsStep(b, pins.data(), (int)pins.size(), linked(faces), lowerBound, dt, &left);
    return left;
}

dynamicObject stepBall(dynamicObject b, std::vector<collisionFace> faces, float dt = 0.0f,
                       float lowerBound = NO_BOUND)
{
    std::vector<dynamicObject> none;
    step(&b, none, faces, dt, 0, lowerBound);
    return b;
}

void expectVec(vec3 v, vec3 e, float tolerance = 1e-6f)
{
    EXPECT_NEAR(v.x, e.x, tolerance);
    EXPECT_NEAR(v.y, e.y, tolerance);
    EXPECT_NEAR(v.z, e.z, tolerance);
}

void expectSameBits(vec3 a, vec3 b)
{
    EXPECT_EQ(0, memcmp(&a, &b, sizeof a))
        << a.x << "," << a.y << "," << a.z << " vs " << b.x << "," << b.y << "," << b.z;
}

// A sphere moving straight down, no time passing: the three contact tests on
// its centre (and its centre's foot on the plane), and whether the step then
// rebounds it (-1 becomes +0.7) or leaves its velocity alone. Touching exactly
// is never touching.
TEST(PhysicsFaceContact, CornersInsideAndEdgesWithStrictComparisons)
{
    const collisionFace line = triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}); // zero area: normal +z
    const collisionFace point = triangle({0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    struct {
        const char *why;
        collisionFace face;
        vec3 centre;
        float radius;
        bool corner, inside, edge, rebounds;
    } cases[] = {
        {"worked interior contact", FLOOR, {0, 0, 0.5f}, 1, false, true, false, true},
        {"worked edge contact", FLOOR, {0, -10.5f, 0.5f}, 1, false, false, true, true},
        {"near the edge's line, past its end", FLOOR, {11.2f, -10, 0.5f}, 1, false, false, false, false},
        {"corner, past both its edges' ends", FLOOR, {0, 10.3f, 0.4f}, 0.6f, true, false, false, true},
        {"centre one radius from the plane", FLOOR, {0, 0, 1}, 1, false, true, false, false},
        {"centre inside one radius", FLOOR, {0, 0, 0.75f}, 1, false, true, false, true},
        {"corner exactly one radius away", FLOOR, {10, -13, 4}, 5, false, false, false, false},
        {"corner just inside", FLOOR, {10, -13, 4}, 5.01f, true, false, false, true},
        {"edge line exactly one radius away", FLOOR, {0, -13, 4}, 5, false, false, false, false},
        {"edge line just inside", FLOOR, {0, -13, 4}, 5.01f, false, false, true, true},
        {"foot on an edge is not inside", FLOOR, {0, -10, 0.5f}, 1, false, false, true, true},
        {"foot on a corner: no edge either", FLOOR, {-10, -10, 0.5f}, 1, true, false, false, true},
        {"foot just inside the edge", FLOOR, {0, -9.99f, 0.5f}, 1, false, true, true, true},
        {"zero area: over its first edge", line, {0.5f, 0, 0.3f}, 0.4f, false, false, true, true},
        {"zero area: beside it", line, {0.5f, 0.5f, 0.2f}, 0.4f, false, false, false, false},
        {"single point: over it", point, {0, 0, 0.3f}, 0.4f, true, false, false, true},
        {"single point: beside it", point, {0.3f, 0, 0.3f}, 0.4f, false, false, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        float r2 = c.radius * c.radius;
        vec3 foot = {c.centre.x, c.centre.y, c.face.offset};
        EXPECT_EQ(touchesCorner(c.centre, r2, &c.face), c.corner);
        EXPECT_EQ(insideTriangle(foot, &c.face), c.inside);
        EXPECT_EQ(touchesEdge(c.centre, r2, &c.face), c.edge);
        dynamicObject b = stepBall(sphereAt(c.centre, c.radius, DOWN), {c.face});
        expectSameBits(b.location, c.centre);
        if (c.rebounds)
            expectVec(b.velocity, {0, 0, 0.7f});
        else
            expectSameBits(b.velocity, DOWN);
    }
}

// Ball `a` at the origin and one pin `b`, radius 0.5, no faces, no time.
TEST(PhysicsPairs, ClosingPairsExchangeNormalMotionAtPointEightyFive)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct {
        const char *why;
        vec3 aVel;
        float aMass;
        vec3 bAt, bVel;
        float bMass;
        vec3 aOut, bOut;
    } cases[] = {
        // clang-format off
        {"exactly touching",    {1, 0, 0}, 1, {1, 0, 0},      {-1, 0, 0}, 1, {1, 0, 0},     {-1, 0, 0}},
        {"a thousandth closer", {1, 0, 0}, 1, {0.999f, 0, 0}, {-1, 0, 0}, 1, {-0.85f, 0, 0}, {0.85f, 0, 0}},
        {"moving apart",        {-1, 0, 0}, 1, {0.5f, 0, 0},  {1, 0, 0},  1, {-1, 0, 0},    {1, 0, 0}},
        {"same normal speed",   {2, 1, 0}, 1, {0.5f, 0, 0},   {2, -1, 0}, 1, {2, 1, 0},     {2, -1, 0}},
        // The struck one takes 0.85 of the normal part; the sideways part stays.
        {"equal masses, B at rest", {2, 1, 0}, 1, {0.9f, 0, 0}, {0, 0, 0}, 1, {0, 1, 0}, {1.7f, 0, 0}},
        // n = (0.6, 0.8, 0): A's (1, 0, 0) is (0.36, 0.48, 0) along n and (0.64, -0.48, 0) across.
        {"oblique", {1, 0, 0}, 1, {0.3f, 0.4f, 0}, {0, 0, 0}, 1, {0.64f, -0.48f, 0}, {0.306f, 0.408f, 0}},
        // 0.85 ((3 - 1) 2 + 2 (1)(-1)) / 4 and 0.85 (2 (3) 2 + (1 - 3)(-1)) / 4.
        {"masses 3 and 1", {2, 0, 0}, 3, {0.9f, 0, 0}, {-1, 0, 0}, 1, {0.425f, 0, 0}, {2.975f, 0, 0}},
        // Coincident centres part along +z: rising closes, falling does not.
        {"coincident, A rising",  {3, 0, 1},  1, {0, 0, 0}, {0, 0, 0}, 1, {3, 0, 0},  {0, 0, 0.85f}},
        {"coincident, A falling", {3, 0, -1}, 1, {0, 0, 0}, {0, 0, 0}, 1, {3, 0, -1}, {0, 0, 0}},
        // Sum 1, so the exchange stands: A bounces off B as off a wall.
        {"A massless", {2, 0, 0}, 0, {0.9f, 0, 0}, {0, 0, 0}, 1, {-1.7f, 0, 0}, {0, 0, 0}},
        // Masses are a level author's to get wrong: what cannot give a finite
        // answer bounces as equal masses (3e38 + 3e38 overflows).
        {"masses 0 and 0",  {2, 1, 0}, 0,     {0.9f, 0, 0}, {0, 0, 0}, 0,     {0, 1, 0}, {1.7f, 0, 0}},
        {"masses -2 and 2", {2, 1, 0}, -2,    {0.9f, 0, 0}, {0, 0, 0}, 2,     {0, 1, 0}, {1.7f, 0, 0}},
        {"NaN mass",        {2, 1, 0}, 1,     {0.9f, 0, 0}, {0, 0, 0}, nan,   {0, 1, 0}, {1.7f, 0, 0}},
        {"inf and -inf",    {2, 1, 0}, inf,   {0.9f, 0, 0}, {0, 0, 0}, -inf,  {0, 1, 0}, {1.7f, 0, 0}},
        {"inf and 1",       {2, 1, 0}, inf,   {0.9f, 0, 0}, {0, 0, 0}, 1,     {0, 1, 0}, {1.7f, 0, 0}},
        {"3e38 twice",      {2, 1, 0}, 3e38f, {0.9f, 0, 0}, {0, 0, 0}, 3e38f, {0, 1, 0}, {1.7f, 0, 0}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        dynamicObject a = sphereAt({0, 0, 0}, 0.5f, c.aVel, c.aMass);
        std::vector<dynamicObject> b = {sphereAt(c.bAt, 0.5f, c.bVel, c.bMass)};
        step(&a, b);
        expectVec(a.velocity, c.aOut);
        expectVec(b[0].velocity, c.bOut);
    }
}

TEST(PhysicsPairs, ObjectsOutOfPlayTakeNoPart)
{
    dynamicObject b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    std::vector<dynamicObject> p = {sphereAt({0.9f, 0, 0}, 0.5f)};
    p[0].inPlay = 0;
    step(&b, p, {}, 0.1f, 1);
    expectVec(b.velocity, {2, 0, -0.98f});
    // No pair, no gravity, no motion.
    expectSameBits(p[0].velocity, vec3{0, 0, 0});
    expectSameBits(p[0].location, vec3{0.9f, 0, 0});

    // The ball out of play (a throw being abandoned) and a pin moving into it.
    b = sphereAt({0, 0, 0}, 0.5f);
    b.inPlay = 0;
    p = {sphereAt({0.9f, 0, 0}, 0.5f, {-1, 0, 0})};
    step(&b, p, {}, 0.0f, 1);
    expectSameBits(b.velocity, vec3{0, 0, 0});
    expectSameBits(p[0].velocity, vec3{-1, 0, 0});
}

TEST(PhysicsPairs, PairsGoInSequenceOrderEachSeeingTheChangesBeforeIt)
{
    // The ball strikes pin 0, which then strikes pin 1 in the same step: with
    // pin 0's old velocity pin 1 would not move.
    dynamicObject b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    std::vector<dynamicObject> p = {sphereAt({0.9f, 0, 0}, 0.5f), sphereAt({1.8f, 0, 0}, 0.5f)};
    step(&b, p);
    expectVec(b.velocity, {0, 0, 0});
    expectVec(p[0].velocity, {0, 0, 0});
    expectVec(p[1].velocity, {0.85f * 1.7f, 0, 0});

    // All three overlap; the pairs come as ball-pin 0, ball-pin 1, pin 0-pin 1.
    // Ball-pin 0 along (1, -1, 0)/sqrt 2 leaves the ball (0.575, 1.425, 0) and
    // pin 0 (1.35, -0.35, 0); ball-pin 1 along x gives pin 1 0.85 * 0.575; pin 0
    // then moves away from pin 1. Pin 0-pin 1 first would have stopped pin 0.
    b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    p = {sphereAt({0.5f, -0.5f, 0}, 0.5f, {0, 1, 0}), sphereAt({0.5f, 0, 0}, 0.5f)};
    step(&b, p);
    expectVec(b.velocity, {0, 1.425f, 0});
    expectVec(p[0].velocity, {1.35f, -0.35f, 0});
    expectVec(p[1].velocity, {0.48875f, 0, 0});
}

// Gravity, then one rebound about the mean normal of the faces touched (the part
// along it becomes -0.7 times itself), then motion.
TEST(PhysicsRebound, GravityReboundAndMotion)
{
    const collisionFace downFloor = triangle({-10, -10, 0}, {0, 10, 0}, {10, -10, 0}, {0, 0, -1});
    const collisionFace leftHalf = triangle({-10, -10, 0}, {0, -10, 0}, {0, 10, 0});
    const collisionFace rightHalf = triangle({0, -10, 0}, {10, -10, 0}, {0, 10, 0});
    const collisionFace wall = triangle({0, -10, -10}, {0, 10, -10}, {0, 0, 10}, {1, 0, 0});
    const collisionFace ceiling = triangle({-10, -10, 1}, {10, -10, 1}, {0, 10, 1});
    struct {
        const char *why;
        std::vector<collisionFace> faces;
        vec3 at;
        float radius;
        vec3 velocity;
        float dt;
        vec3 velocityOut, atOut;
    } cases[] = {
        // clang-format off
        {"no faces: only falls", {}, {0, 0, 0.5f}, 0.5f, {1, 0, 0}, 0.5f, {1, 0, -4.9f}, {0.5f, 0, -1.95f}},
        // -9.8 dt, rebounded to +0.7 * 9.8 dt, then moved by that.
        {"resting", {FLOOR}, {0, 0, 0.4f}, 0.5f, {0, 0, 0}, 0.01f, {0, 0, 0.0686f}, {0, 0, 0.400686f}},
        {"normal turned up", {downFloor}, {0, 0, 0.4f}, 0.5f, {0, 0, 0}, 0.01f, {0, 0, 0.0686f},
                                                                                 {0, 0, 0.400686f}},
        {"from below", {FLOOR}, {0, 0, -0.4f}, 0.5f, {0, 0, 1}, 0, {0, 0, -0.7f}, {0, 0, -0.4f}},
        {"moving away", {FLOOR}, {0, 0, 0.4f}, 0.5f, {1, 0, 2}, 0, {1, 0, 2}, {0, 0, 0.4f}},
        // On the plane counts as the side away from the normal.
        {"centre on the plane", {FLOOR}, {0, 0, 0}, 0.5f, {0, 0, 1}, 0, {0, 0, -0.7f}, {0, 0, 0}},
        // Touched twice, reflected once: twice would leave 0.49.
        {"two halves", {leftHalf, rightHalf}, {0, 0, 0.4f}, 0.5f, DOWN, 0, {0, 0, 0.7f}, {0, 0, 0.4f}},
        // (-1, 0, 0) + 1.7 (1, 0, 1)/2; a face at a time would give (0.7, 0, 0).
        {"floor and wall", {FLOOR, wall}, {0.3f, 0, 0.3f}, 0.5f, {-1, 0, 0}, 0, {-0.15f, 0, 0.85f},
                                                                                {0.3f, 0, 0.3f}},
        // No rebound, but gravity and motion still apply.
        {"normals cancel", {FLOOR, ceiling}, {0, 0, 0.5f}, 0.6f, DOWN, 0.01f, {0, 0, -1.098f},
                                                                              {0, 0, 0.48902f}},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        dynamicObject b = stepBall(sphereAt(c.at, c.radius, c.velocity), c.faces, c.dt);
        expectVec(b.velocity, c.velocityOut);
        expectVec(b.location, c.atOut);
    }
}

TEST(PhysicsFallOut, ObjectBelowTheBoundIsParkedAndNotMovedInTheSameStep)
{
    dynamicObject b = sphereAt({1, 2, -101}, 0.5f, {0, 5, -3});
    b.initLoc = {0, -8, 0.5f};
    std::vector<dynamicObject> p = {sphereAt({0, 8, 0.6f}, 0.3f)};
    EXPECT_EQ(step(&b, p, {}, 0.01f, 1), 1); // the ball is no pin
    EXPECT_EQ(b.inPlay, 0);
    expectSameBits(b.location, vec3{0, -8, 0.5f});
    expectSameBits(b.velocity, vec3{0, 0, 0});

    // Exactly at the bound is still in play.
    b = stepBall(sphereAt({0, 0, -5}, 0.5f), {}, 0.0f, -5.0f);
    EXPECT_EQ(b.inPlay, 1);
    b.location.z = -5.001f;
    EXPECT_EQ(stepBall(b, {}, 0.0f, -5.0f).inPlay, 0);
}

TEST(PhysicsFallOut, PinIsCountedOnceParkedAndNeverMovedAgain)
{
    dynamicObject b = sphereAt({0, -8, 0.5f}, 0.5f);
    std::vector<dynamicObject> p = {sphereAt({0, 8, 0.6f}, 0.3f), sphereAt({3, 8, -150}, 0.3f, {1, 1, -20})};
    p[1].initLoc = {1, 8, 0.6f};
    int left = 2;
    for (int k = 0; k < 5; k++)
        left = step(&b, p, {}, 0.01f, left);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(p[0].inPlay, 1);
    EXPECT_EQ(p[1].inPlay, 0);
    expectSameBits(p[1].location, vec3{1, 8, 0.6f});
    expectSameBits(p[1].velocity, vec3{0, 0, 0});

    // But a pin parked below the bound is counted in every step.
    p = {sphereAt({0, 0, -200}, 0.3f)};
    p[0].inPlay = 0;
    left = 5;
    for (int k = 0; k < 3; k++)
        left = step(&b, p, {}, 0.01f, left);
    EXPECT_EQ(left, 2);
}

TEST(PhysicsFallOut, PairsBeforeAPinsOwnTestCountAndAFallenPinStrikesNothing)
{
    // The ball (above the bound) moves into pin 0 (below it): that pair comes
    // before pin 0's test and stops the ball.
    dynamicObject b = sphereAt({0, 0, -99.8f}, 0.5f, DOWN);
    std::vector<dynamicObject> p = {sphereAt({0, 0, -100.3f}, 0.5f)};
    EXPECT_EQ(step(&b, p, {}, 0.0f, 1), 0);
    expectVec(b.velocity, {0, 0, 0});
    EXPECT_EQ(p[0].inPlay, 0);

    // Pin 0, below the bound and rushing at pin 1, is parked before its pairs;
    // parked, it overlaps pin 2, which moves at it, and still takes no part.
    b = sphereAt({0, -8, 0.5f}, 0.5f);
    p = {sphereAt({0, 0, -100.5f}, 0.5f, {5, 0, 0}), sphereAt({0.5f, 0, -100}, 0.5f),
         sphereAt({0, 9, 0.6f}, 0.5f, {0, -1, 0})};
    p[0].initLoc = {0, 8.5f, 0.6f};
    EXPECT_EQ(step(&b, p, {}, 0.0f, 3), 2);
    expectSameBits(p[1].velocity, vec3{0, 0, 0});
    expectSameBits(p[2].velocity, vec3{0, -1, 0});
}

TEST(PhysicsScene, NoPinsArrayIsNotReadAndDoPhysicsStepsTheSceneState)
{
    for (int count : {0, -3}) {
        dynamicObject b = sphereAt({0, 0, 5}, 0.5f, {1, 0, 0});
        int left = 7;
        physicsStep(&b, nullptr, count, nullptr, NO_BOUND, 0.5f, &left);
        expectVec(b.location, {0.5f, 0, 2.55f});
        EXPECT_EQ(left, 7);
    }

    std::vector<collisionFace> faces = {FLOOR};
    std::vector<dynamicObject> p = {sphereAt({0, 5, 0.2f}, 0.3f), sphereAt({0, 6, -3}, 0.3f)};
    ball = sphereAt({0, 0, 0.4f}, 0.5f);
    pins = p.data();
    numPins = remainingPins = 2;
    firstCollisionFace = const_cast<collisionFace *>(linked(faces));
    worldLowerBound = -2.0f;
    gameDeltaTime = 0.01f;
    doPhysics();
    // Ball and pin 0 rest on the floor (see "resting ball"), pin 1 fell below -2.
    expectVec(ball.velocity, {0, 0, 0.0686f});
    expectVec(p[0].velocity, {0, 0, 0.0686f});
    EXPECT_EQ(p[1].inPlay, 0);
    EXPECT_EQ(remainingPins, 1);

    ball = dynamicObject{};
    pins = nullptr;
    numPins = remainingPins = 0;
    firstCollisionFace = nullptr;
    worldLowerBound = -100.0f;
    gameDeltaTime = 0.0f;
}

} // namespace
