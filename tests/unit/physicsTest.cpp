// The physics step on hand-made scenes whose outcome is worked out by hand or
// in closed form, and a recorded throw that guards every bit of the motion.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "laneScene.h"
#include "scene/physics.h"

namespace
{

const vec3 DOWN = {0, 0, -1};
const float INF = std::numeric_limits<float>::infinity(), NAN_ = std::numeric_limits<float>::quiet_NaN();

dynamicObject sphereAt(vec3 at, float radius, vec3 velocity = {0, 0, 0}, float mass = 1.0f)
{
    return lane::makeObject(at, radius, mass, velocity);
}

collisionFace triangle(vec3 a, vec3 b, vec3 c, vec3 no = {0, 0, 1})
{
    return collisionFace{{a, b, c}, no, vec_dot(no, a), nullptr};
}

// The floor triangle of the worked example: z = 0, normal up.
const collisionFace FLOOR = triangle({-10, -10, 0}, {10, -10, 0}, {0, 10, 0});

// Steps the ball and pins against faces; returns the pins left from `left`.
int step(dynamicObject *b, std::vector<dynamicObject> &pins, std::vector<collisionFace> faces = {},
         float dt = 0.0f, int left = 0, float lowerBound = -100.0f)
{
    physicsStep(b, pins.data(), (int)pins.size(), lane::linkFaces(faces), lowerBound, dt, &left);
    return left;
}

dynamicObject stepBall(dynamicObject b, std::vector<collisionFace> faces, float dt = 0.0f)
{
    std::vector<dynamicObject> none;
    step(&b, none, faces, dt);
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
    EXPECT_EQ(0, memcmp(&a, &b, sizeof a)) << a.x << "," << a.y << "," << a.z;
}

// A sphere moving straight down, no time passing: the three contact tests on
// its centre (and its centre's foot on the plane), and whether the step then
// rebounds it (-1 becomes +0.7). Touching exactly is never touching.
TEST(Physics, FaceContactsWithStrictComparisons)
{
    const collisionFace line = triangle({0, 0, 0}, {1, 0, 0}, {2, 0, 0}); // zero area
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
        EXPECT_EQ(touchesCorner(c.centre, r2, &c.face), c.corner);
        EXPECT_EQ(insideTriangle({c.centre.x, c.centre.y, c.face.offset}, &c.face), c.inside);
        EXPECT_EQ(touchesEdge(c.centre, r2, &c.face), c.edge);
        dynamicObject b = stepBall(sphereAt(c.centre, c.radius, DOWN), {c.face});
        expectSameBits(b.location, c.centre);
        if (c.rebounds)
            expectVec(b.velocity, {0, 0, 0.7f});
        else
            expectSameBits(b.velocity, DOWN);
    }
}

// Ball a at the origin and one pin b, radius 0.5, no faces, no time.
TEST(Physics, ClosingPairsExchangeNormalMotionAtPointEightyFive)
{
    struct {
        const char *why;
        vec3 aVel;
        float aMass;
        vec3 bAt, bVel;
        float bMass;
        vec3 aOut, bOut;
    } cases[] = {
        // clang-format off
        {"exactly touching",    {1, 0, 0}, 1, {1, 0, 0},      {-1, 0, 0}, 1, {1, 0, 0},      {-1, 0, 0}},
        {"a thousandth closer", {1, 0, 0}, 1, {0.999f, 0, 0}, {-1, 0, 0}, 1, {-0.85f, 0, 0}, {0.85f, 0, 0}},
        {"moving apart",        {-1, 0, 0}, 1, {0.5f, 0, 0},  {1, 0, 0},  1, {-1, 0, 0},     {1, 0, 0}},
        {"same normal speed",   {2, 1, 0}, 1, {0.5f, 0, 0},   {2, -1, 0}, 1, {2, 1, 0},      {2, -1, 0}},
        // n = (0.6, 0.8, 0): a's (1, 0, 0) is (0.36, 0.48, 0) along n and (0.64, -0.48, 0) across.
        {"oblique", {1, 0, 0}, 1, {0.3f, 0.4f, 0}, {0, 0, 0}, 1, {0.64f, -0.48f, 0}, {0.306f, 0.408f, 0}},
        // 0.85 ((3 - 1) 2 + 2 (1)(-1)) / 4 and 0.85 (2 (3) 2 + (1 - 3)(-1)) / 4.
        {"masses 3 and 1", {2, 0, 0}, 3, {0.9f, 0, 0}, {-1, 0, 0}, 1, {0.425f, 0, 0}, {2.975f, 0, 0}},
        // Coincident centres part along +z: rising closes, falling does not.
        {"coincident, a rising",  {3, 0, 1},  1, {0, 0, 0}, {0, 0, 0}, 1, {3, 0, 0},  {0, 0, 0.85f}},
        {"coincident, a falling", {3, 0, -1}, 1, {0, 0, 0}, {0, 0, 0}, 1, {3, 0, -1}, {0, 0, 0}},
        // Sum 1, so the exchange stands: a bounces off b as off a wall.
        {"a massless", {2, 0, 0}, 0, {0.9f, 0, 0}, {0, 0, 0}, 1, {-1.7f, 0, 0}, {0, 0, 0}},
        // What cannot give a finite answer bounces as equal masses (3e38 + 3e38 overflows).
        {"masses 0 and 0",  {2, 1, 0}, 0,     {0.9f, 0, 0}, {0, 0, 0}, 0,     {0, 1, 0}, {1.7f, 0, 0}},
        {"NaN mass",        {2, 1, 0}, 1,     {0.9f, 0, 0}, {0, 0, 0}, NAN_,  {0, 1, 0}, {1.7f, 0, 0}},
        {"inf and -inf",    {2, 1, 0}, INF,   {0.9f, 0, 0}, {0, 0, 0}, -INF,  {0, 1, 0}, {1.7f, 0, 0}},
        {"inf and 1",       {2, 1, 0}, INF,   {0.9f, 0, 0}, {0, 0, 0}, 1,     {0, 1, 0}, {1.7f, 0, 0}},
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

TEST(Physics, PairsGoInSequenceOrderAndSkipWhatIsOutOfPlay)
{
    // The ball strikes pin 0, which then strikes pin 1 in the same step.
    dynamicObject b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    std::vector<dynamicObject> p = {sphereAt({0.9f, 0, 0}, 0.5f), sphereAt({1.8f, 0, 0}, 0.5f)};
    step(&b, p);
    expectVec(b.velocity, {0, 0, 0});
    expectVec(p[0].velocity, {0, 0, 0});
    expectVec(p[1].velocity, {0.85f * 1.7f, 0, 0});

    // Pin 0 out of play takes no part: no pair, no gravity, no motion.
    b = sphereAt({0, 0, 0}, 0.5f, {2, 0, 0});
    p = {sphereAt({0.9f, 0, 0}, 0.5f)};
    p[0].inPlay = 0;
    step(&b, p, {}, 0.1f, 1);
    expectVec(b.velocity, {2, 0, -0.98f});
    expectSameBits(p[0].location, vec3{0.9f, 0, 0});
    expectSameBits(p[0].velocity, vec3{0, 0, 0});
}

// Gravity, then one rebound about the mean normal of the faces touched (the part
// along it becomes -0.7 times itself), then motion.
TEST(Physics, GravityReboundAndMotion)
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

TEST(Physics, FallingOutParksTheObjectAndCountsAPinEveryStepItIsBelow)
{
    // The ball below the bound is parked at its start, not moved, and is no pin.
    dynamicObject b = sphereAt({1, 2, -101}, 0.5f, {0, 5, -3});
    b.initLoc = {0, -8, 0.5f};
    std::vector<dynamicObject> p = {sphereAt({0, 8, 0.6f}, 0.3f)};
    EXPECT_EQ(step(&b, p, {}, 0.01f, 1), 1);
    EXPECT_EQ(b.inPlay, 0);
    expectSameBits(b.location, vec3{0, -8, 0.5f});
    expectSameBits(b.velocity, vec3{0, 0, 0});

    // Exactly at the bound is still in play.
    b = sphereAt({0, 0, -5}, 0.5f);
    EXPECT_EQ(step(&b, p, {}, 0.0f, 1, -5.0f), 1);
    EXPECT_EQ(b.inPlay, 1);

    // A pin below it is counted once if parked above it, in every step if parked below.
    b = sphereAt({0, -8, 0.5f}, 0.5f);
    p = {sphereAt({3, 8, -150}, 0.3f, {1, 1, -20}), sphereAt({0, 0, -200}, 0.3f)};
    p[0].initLoc = {1, 8, 0.6f};
    int left = 9;
    for (int k = 0; k < 3; k++)
        left = step(&b, p, {}, 0.01f, left);
    EXPECT_EQ(left, 9 - 1 - 3);
    EXPECT_EQ(p[0].inPlay, 0);
    expectSameBits(p[0].location, vec3{1, 8, 0.6f});

    // Pairs before a pin's own test count; once parked it strikes nothing.
    b = sphereAt({0, 0, -99.8f}, 0.5f, DOWN);
    p = {sphereAt({0, 0, -100.3f}, 0.5f), sphereAt({0.5f, 0, 0.6f}, 0.5f, {-1, 0, 0})};
    p[0].initLoc = {0, 0, 0.6f};
    EXPECT_EQ(step(&b, p, {}, 0.0f, 2), 1);
    expectVec(b.velocity, {0, 0, 0});
    expectSameBits(p[1].velocity, vec3{-1, 0, 0});

    // No pins: the array is not read.
    b = sphereAt({0, 0, 5}, 0.5f, {1, 0, 0});
    left = 7;
    physicsStep(&b, nullptr, 0, nullptr, -100.0f, 0.5f, &left);
    expectVec(b.location, {0.5f, 0, 2.55f});
    EXPECT_EQ(left, 7);
}

// A guard for later work on the step: a whole throw down a generated lane,
// stepped 3000 times at 1/200 s, must end in exactly the recorded state, bit
// for bit, in every build type. The record was printed by this test with
// PINWHIRL_RECORD_PHYSICS=1 once every other physics test passed; re-record
// only for a change that is meant to alter the motion.
struct objectBits {
    uint32_t location[3], velocity[3];
    int inPlay;
};
const objectBits RECORDED[] = {
    {{0x00000000, 0x3f800000, 0x3e6147ae}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0x00000000, 0x41900000, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0xbe19999a, 0x4192147b, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0xbf4c01fb, 0x4185631e, 0x3df8eb7e}, {0xbdae780f, 0xbdf17f95, 0x3c8a7a9e}, 1},
    {{0x3e864c2c, 0x419c4e41, 0x3dfc39d1}, {0xbdd47e8c, 0x3e1e0a16, 0x3c630edc}, 1},
    {{0xbe896401, 0x418e108d, 0x3df60676}, {0xbd798c94, 0xbd35b9f7, 0x3dff06c4}, 1},
    {{0x3e99999a, 0x419428f6, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0xbee66667, 0x41963d71, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0xbe19999a, 0x41963d71, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0x3e19999a, 0x41963d71, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
    {{0x3ee66667, 0x41963d71, 0x3df5c28f}, {0x00000000, 0x00000000, 0x00000000}, 0},
};
const int RECORDED_REMAINING = 3;
// FNV-1a over every object's location and velocity bits after every step.
const uint64_t RECORDED_PATH_HASH = 0x450504d3a354b35eull;

objectBits bitsOf(const dynamicObject &o)
{
    objectBits b = {{}, {}, o.inPlay};
    memcpy(b.location, &o.location, sizeof b.location);
    memcpy(b.velocity, &o.velocity, sizeof b.velocity);
    return b;
}

TEST(Physics, ThrowDownTheLaneEndsInTheRecordedState)
{
    lane::scene s = lane::referenceScene();
    const collisionFace *faces = lane::linkFaces(s.faces);
    int remaining = (int)s.pins.size();
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int k = 0; k < 3000; k++) {
        physicsStep(&s.ball, s.pins.data(), (int)s.pins.size(), faces, s.lowerBound, 1.0f / 200.0f,
                    &remaining);
        for (size_t i = 0; i <= s.pins.size(); i++) {
            objectBits o = bitsOf(i == 0 ? s.ball : s.pins[i - 1]);
            for (uint32_t word :
                 {o.location[0], o.location[1], o.location[2], o.velocity[0], o.velocity[1], o.velocity[2]})
                for (int byte = 0; byte < 4; byte++)
                    hash = (hash ^ ((word >> (8 * byte)) & 0xffu)) * 0x100000001b3ull;
        }
    }
    for (size_t i = 0; i <= s.pins.size(); i++) {
        objectBits o = bitsOf(i == 0 ? s.ball : s.pins[i - 1]);
        if (getenv("PINWHIRL_RECORD_PHYSICS"))
            printf("    {{0x%08x, 0x%08x, 0x%08x}, {0x%08x, 0x%08x, 0x%08x}, %d},\n", o.location[0],
                   o.location[1], o.location[2], o.velocity[0], o.velocity[1], o.velocity[2], o.inPlay);
        EXPECT_EQ(0, memcmp(&o, &RECORDED[i], sizeof o)) << "object " << i << " (0 is the ball)";
    }
    EXPECT_EQ(remaining, RECORDED_REMAINING);
    EXPECT_EQ(hash, RECORDED_PATH_HASH) << std::hex << hash;
}

} // namespace
