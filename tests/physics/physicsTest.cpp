// The physics step over whole throws: a recorded one that guards every bit of
// the motion, and random scenes stepped with and without the broad phase.
// (The small scenes worked out by hand are in physics/scenes.txt.)
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "laneScene.h"
#include "randomScene.h"
#include "scene/physics.h"

namespace
{

// A guard for later work on the step: a whole throw down a generated lane,
// stepped 3000 times at 1/200 s, must end in exactly the recorded state, bit
// for bit, in every build type. The record was printed by this test with
// PINWHIRL_RECORD_PHYSICS=1; re-record only for a change meant to alter the motion.
const uint32_t RECORDED[][7] = {
    // location, velocity, inPlay; the ball first
    {0x00000000, 0x3f800000, 0x3e6147ae, 0x00000000, 0x00000000, 0x00000000, 0},
    {0x00000000, 0x41900000, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
    {0xbe19999a, 0x4192147b, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
    {0xbf4c01fb, 0x4185631e, 0x3df8eb7e, 0xbdae780f, 0xbdf17f95, 0x3c8a7a9e, 1},
    {0x3e864c2c, 0x419c4e41, 0x3dfc39d1, 0xbdd47e8c, 0x3e1e0a16, 0x3c630edc, 1},
    {0xbe896401, 0x418e108d, 0x3df60676, 0xbd798c94, 0xbd35b9f7, 0x3dff06c4, 1},
    {0x3e99999a, 0x419428f6, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
    {0xbee66667, 0x41963d71, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
    {0xbe19999a, 0x41963d71, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
    {0x3e19999a, 0x41963d71, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
    {0x3ee66667, 0x41963d71, 0x3df5c28f, 0x00000000, 0x00000000, 0x00000000, 0},
};
const int RECORDED_REMAINING = 3;
// FNV-1a over every object's location and velocity bits after every step.
const uint64_t RECORDED_PATH_HASH = 0x450504d3a354b35eull;

TEST(Physics, ThrowDownTheLaneEndsInTheRecordedState)
{
    lane::scene s = lane::referenceScene();
    const collisionFace *faces = lane::linkFaces(s.faces);
    int remaining = (int)s.pins.size();
    uint64_t hash = 0xcbf29ce484222325ull;
    uint32_t bits[7];
    auto bitsOf = [&](const dynamicObject &o) {
        memcpy(bits, &o.location, 12);
        memcpy(bits + 3, &o.velocity, 12);
        bits[6] = (uint32_t)o.inPlay;
    };
    for (int k = 0; k < 3000; k++) {
        physicsStep(&s.ball, s.pins.data(), (int)s.pins.size(), faces, s.lowerBound, 1.0f / 200.0f,
                    &remaining);
        for (size_t i = 0; i <= s.pins.size(); i++) {
            bitsOf(i == 0 ? s.ball : s.pins[i - 1]);
            for (int w = 0; w < 6; w++)
                for (int byte = 0; byte < 4; byte++)
                    hash = (hash ^ ((bits[w] >> (8 * byte)) & 0xffu)) * 0x100000001b3ull;
        }
    }
    for (size_t i = 0; i <= s.pins.size(); i++) {
        bitsOf(i == 0 ? s.ball : s.pins[i - 1]);
        if (getenv("PINWHIRL_RECORD_PHYSICS"))
            printf("    {0x%08x, 0x%08x, 0x%08x, 0x%08x, 0x%08x, 0x%08x, %u},\n", bits[0], bits[1], bits[2],
                   bits[3], bits[4], bits[5], bits[6]);
        EXPECT_EQ(0, memcmp(bits, RECORDED[i], sizeof bits)) << "object " << i << " (0 is the ball)";
    }
    EXPECT_EQ(remaining, RECORDED_REMAINING);
    EXPECT_EQ(hash, RECORDED_PATH_HASH) << std::hex << hash;
}

// The broad phase changes no bit: random scenes (randomScene.h) and the
// reference throw step the same with and without it. It must also narrow the
// search, or the comparison would prove nothing.
TEST(Physics, TheIndexedStepMatchesTheFullWalkBitForBit)
{
    std::mt19937 random(1);
    std::vector<uint8_t> data(768);
    const float STEP_TIMES[] = {1.0f / 200.0f, 1.0f / 30.0f, 0.5f};
    for (int scene = 0; scene < 1000; scene++) {
        for (uint8_t &b : data)
            b = (uint8_t)random();
        randomScene::bytes in = {data.data(), data.size(), 0};
        ASSERT_EQ(randomScene::firstDifference(randomScene::makeScene(in), 10, STEP_TIMES[scene % 3]), -1)
            << "scene " << scene;
    }
    EXPECT_EQ(randomScene::firstDifference(lane::referenceScene(), 1000, 1.0f / 200.0f), -1);

    lane::scene s = lane::referenceScene();
    faceIndex *index = buildFaceIndex(lane::linkFaces(s.faces));
    int found = faceCandidates(index, s.ball.location, s.ball.radius);
    EXPECT_TRUE(found > 0 && found < 20 && index->alwaysCount == 0) << found;
    freeFaceIndex(index);
    EXPECT_EQ(buildFaceIndex(nullptr), nullptr);
}

} // namespace
