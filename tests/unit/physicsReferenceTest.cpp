// A guard for later work on the physics step: a whole throw down a generated
// lane, stepped 3000 times at 1/200 s, must end in exactly the recorded state,
// bit for bit, in every build type.
//
// How the record was made: once every other physics test passed, the test was
// run with PINWHIRL_RECORD_PHYSICS=1 in the environment, which prints the
// final state as the table below; the table was pasted in as printed, and the
// same bits were then checked in a Debug (-O0) and a Release (-O3) build.
// Re-record only for a change that is meant to alter the motion.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "laneScene.h"
#include "scene/physics.h"

namespace
{

const int STEPS = 3000;
const float STEP_TIME = 1.0f / 200.0f;

// Per object, ball first: location, velocity (float bit patterns), inPlay.
struct objectBits {
    uint32_t location[3];
    uint32_t velocity[3];
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
// FNV-1a over every object's location and velocity bits after every step, so
// that the path is guarded too and not only where the objects came to rest.
const uint64_t RECORDED_PATH_HASH = 0x450504d3a354b35eull;

uint32_t bitsOf(float f)
{
    uint32_t u;
    memcpy(&u, &f, sizeof u);
    return u;
}

objectBits bitsOf(const dynamicObject &o)
{
    return {{bitsOf(o.location.x), bitsOf(o.location.y), bitsOf(o.location.z)},
            {bitsOf(o.velocity.x), bitsOf(o.velocity.y), bitsOf(o.velocity.z)},
            o.inPlay};
}

void hashObject(uint64_t *hash, const dynamicObject &o)
{
    for (float f : {o.location.x, o.location.y, o.location.z, o.velocity.x, o.velocity.y, o.velocity.z})
        for (int byte = 0; byte < 4; byte++) {
            *hash ^= (bitsOf(f) >> (8 * byte)) & 0xffu;
            *hash *= 0x100000001b3ull;
        }
}

void printRecord(const std::vector<objectBits> &state, int remaining, uint64_t pathHash)
{
    for (const objectBits &o : state) {
        printf("    {{0x%08x, 0x%08x, 0x%08x}, {0x%08x, 0x%08x, 0x%08x}, %d},\n", (unsigned)o.location[0],
               (unsigned)o.location[1], (unsigned)o.location[2], (unsigned)o.velocity[0],
               (unsigned)o.velocity[1], (unsigned)o.velocity[2], o.inPlay);
    }
    printf("remaining %d\npath hash 0x%016llxull\n", remaining, (unsigned long long)pathHash);
}

TEST(PhysicsReference, ThrowDownTheLaneEndsInTheRecordedState)
{
    lane::scene s = lane::referenceScene();
    const collisionFace *faces = lane::linkFaces(s.faces);
    int remaining = (int)s.pins.size();
    uint64_t pathHash = 0xcbf29ce484222325ull;
    for (int step = 0; step < STEPS; step++) {
        physicsStep(&s.ball, s.pins.data(), (int)s.pins.size(), faces, s.lowerBound, STEP_TIME, &remaining);
        hashObject(&pathHash, s.ball);
        for (const dynamicObject &p : s.pins)
            hashObject(&pathHash, p);
    }

    std::vector<objectBits> state = {bitsOf(s.ball)};
    for (const dynamicObject &p : s.pins)
        state.push_back(bitsOf(p));
    if (getenv("PINWHIRL_RECORD_PHYSICS")) printRecord(state, remaining, pathHash);

    ASSERT_EQ(state.size(), sizeof RECORDED / sizeof RECORDED[0]);
    for (size_t i = 0; i < state.size(); i++) {
        SCOPED_TRACE(i == 0 ? "ball" : "pin " + std::to_string(i - 1));
        for (int c = 0; c < 3; c++) {
            EXPECT_EQ(state[i].location[c], RECORDED[i].location[c]) << "location component " << c;
            EXPECT_EQ(state[i].velocity[c], RECORDED[i].velocity[c]) << "velocity component " << c;
        }
        EXPECT_EQ(state[i].inPlay, RECORDED[i].inPlay);
    }
    EXPECT_EQ(remaining, RECORDED_REMAINING);
    EXPECT_EQ(pathHash, RECORDED_PATH_HASH);
}

} // namespace
