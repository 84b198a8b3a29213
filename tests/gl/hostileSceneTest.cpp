// Scene files with values no level author meant: huge, negative, NaN and
// infinite numbers. Each is loaded by the real loader and played for a few game
// seconds through the real frame steps, physics and drawing; each must fail with
// the loader's message or play on with the outcome decided for it, and a value
// that is not finite must stay with the object it was given to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "glSupport.h"
#include "scene/sceneDraw.h"
#include "scene/sceneLoop.h"
#include "support/fileSupport.h"
#include "text.h"

namespace
{

// A lane 10 wide from y -10 to 10 at height 0, in two triangles facing up.
const char *const LANE =
    "tris 2\n"
    "n [0, 0, 1]\n"
    "c [0, 200, 0]\np [-5, -10, 0]\nc [0, 200, 0]\np [5, -10, 0]\nc [0, 200, 0]\np [5, 10, 0]\n"
    "n [0, 0, 1]\n"
    "c [0, 200, 0]\np [-5, -10, 0]\nc [0, 200, 0]\np [5, 10, 0]\nc [0, 200, 0]\np [-5, 10, 0]\n";

// The entries a case may change; the defaults make a sound level with two pins.
enum entry {
    BACKGROUND,
    TEXT,
    LOWEST,
    CAMERA,
    PIN_COUNT,
    BALL,
    BALL_RADIUS,
    BALL_MASS,
    PIN,
    PIN_MASS,
    ENTRIES
};
const char *const DEFAULTS[ENTRIES] = {"[0.1, 0.3, 0.5]",
                                       "[1.0, 1.0, 0.0]",
                                       "-5",
                                       "[0.0, -14.0, 3.0]",
                                       "2",
                                       "[0.0, -8.0, 0.5]",
                                       "0.5",
                                       "5",
                                       "[0.0, 1.0, 0.5]",
                                       "1"};

struct change {
    entry which;
    const char *value;
};

const int NOT_WON = 0;
const int ANY = -1000;

struct hostileCase {
    const char *name;
    change changes[2];
    // The level is won in this frame (1 is the first), or NOT_WON within the run, or ANY.
    int wonInFrame;
    // Pins still counted at the end, or ANY.
    int remaining;
    // The ball drops below the bound at least once.
    bool ballFallsOut;
};

const hostileCase CASES[] = {
    // No pin entry is read for a count below one, and no pins means the level is won.
    {"negativePinCount", {{PIN_COUNT, "-3"}}, 1, -3, false},
    // A radius that is not a number, or negative, reaches nothing: the ball falls
    // through the lane until it falls out, and the pins stand.
    {"nanRadius", {{BALL_RADIUS, "nan"}}, NOT_WON, 2, true},
    {"negativeRadius", {{BALL_RADIUS, "-1"}}, NOT_WON, 2, true},
    // An infinite radius touches every face and every object; all stays finite.
    {"infiniteRadius", {{BALL_RADIUS, "inf"}}, ANY, ANY, false},
    // Below an infinite bound everything is out at the first step: the level is won in the next frame.
    {"infiniteBound", {{LOWEST, "inf"}}, 2, ANY, true},
    // A bound of -inf or NaN takes nothing out: what leaves the lane falls on for ever.
    {"minusInfiniteBound", {{LOWEST, "-inf"}}, NOT_WON, 2, false},
    {"nanBound", {{LOWEST, "nan"}}, NOT_WON, 2, false},
    // Masses that give no finite exchange bounce as equal masses.
    {"zeroMasses", {{BALL_MASS, "0"}, {PIN_MASS, "0"}}, NOT_WON, ANY, false},
    {"negativeMasses", {{BALL_MASS, "-5"}, {PIN_MASS, "-1"}}, NOT_WON, ANY, false},
    {"massesSummingToZero", {{BALL_MASS, "-1"}}, NOT_WON, ANY, false},
    {"infiniteMasses", {{BALL_MASS, "inf"}, {PIN_MASS, "-inf"}}, NOT_WON, ANY, false},
    // An object placed off the map touches nothing: with a finite height it falls
    // until it falls out (a pin counted once); at a NaN height it never does.
    {"nanBall", {{BALL, "[nan, -8.0, 0.5]"}}, NOT_WON, 2, true},
    {"infiniteBall", {{BALL, "[0.0, -8.0, -inf]"}}, NOT_WON, 2, true},
    {"nanPinHeight", {{PIN, "[0.0, 1.0, nan]"}}, NOT_WON, 2, false},
    {"infinitePin", {{PIN, "[inf, 1.0, 0.5]"}}, NOT_WON, 1, false},
    // Colours are clamped by OpenGL; a camera that is nowhere shows no world, but the
    // heads-up display and the physics go on.
    {"nanColours", {{BACKGROUND, "[nan, inf, -inf]"}, {TEXT, "[nan, 2, -1]"}}, NOT_WON, ANY, false},
    {"nanCamera", {{CAMERA, "[nan, -14.0, 3.0]"}}, NOT_WON, ANY, false},
    {"infiniteCamera", {{CAMERA, "[0.0, -inf, inf]"}}, NOT_WON, ANY, false},
};

bool finite(vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

class HostileScene : public ::testing::Test
{
  protected:
    testfiles::tempDir dir;
    std::string lane;

    void SetUp() override
    {
        gltest::resetState();
        pins = nullptr;
        firstCollisionFace = nullptr;
        lane = dir.write("lane.txt", LANE);
    }
    void TearDown() override
    {
        if (pins != nullptr || firstCollisionFace != nullptr) testfiles::captureStdout([] { sceneUnload(); });
    }

    // The level with the given changes; the second pin always stands sound at (2, 1).
    std::string scene(std::initializer_list<change> changes)
    {
        const char *e[ENTRIES];
        std::copy(DEFAULTS, DEFAULTS + ENTRIES, e);
        for (const change &c : changes)
            if (c.value) e[c.which] = c.value;
        return std::string("background ") + e[BACKGROUND] + "\ntext " + e[TEXT] + "\nlowest " + e[LOWEST] +
               "\nworld " + lane + "\ncollide " + lane + "\ncamera " + e[CAMERA] + "\npins " + e[PIN_COUNT] +
               "\nball " + e[BALL] + "\nradius " + e[BALL_RADIUS] + "\nmass " + e[BALL_MASS] + "\nmesh " +
               lane + "\npin " + e[PIN] + "\nradius 0.5\nmass " + e[PIN_MASS] + "\nmesh " + lane +
               "\npin [2.0, 1.0, 0.5]\nradius 0.5\nmass 1\nmesh " + lane + "\n";
    }

    condition load(const std::string &text, std::string *out)
    {
        std::string file = dir.write("level.txt", text);
        std::vector<char> name(file.begin(), file.end());
        name.push_back('\0');
        condition c = success;
        *out = testfiles::captureStdout([&] { c = sceneLoad(name.data()); });
        return c;
    }
};

// The ball thrown down the lane at the first pin, then frames of 10 ms as the
// scene loop runs them. Returns the frame in which the level was won, or NOT_WON.
int playThrow(int frames, bool *ballFellOut)
{
    startLevel(awaitingThrow);
    gameState = watchingThrow;
    throwTimeRemaining = 10;
    ball.velocity = vec3{0, 8, 0};
    levelRun run = {0, quit};
    *ballFellOut = false;
    for (int frame = 1; frame <= frames; frame++) {
        deltaTime = gameDeltaTime = 0.01f;
        advanceTimers();
        if (throwIsOver()) putBallBack();
        testLevelWon(&run);
        if (worldMoves()) doPhysics();
        if (ball.inPlay == 0) *ballFellOut = true;
        drawFrame();
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR) << "frame " << frame;
        if (run.done) return frame;
    }
    return NOT_WON;
}

TEST_F(HostileScene, EachPlaysOnWithItsDecidedOutcome)
{
    sceneReshape(gltest::WIDTH, gltest::HEIGHT);
    for (const hostileCase &c : CASES) {
        SCOPED_TRACE(c.name);
        std::string out;
        ASSERT_EQ(load(scene({c.changes[0], c.changes[1]}), &out), success) << out;
        std::vector<vec3> starts = {ball.initLoc};
        for (int i = 0; i < numPins; i++)
            starts.push_back(pins[i].initLoc);

        bool ballFellOut;
        int won = playThrow(300, &ballFellOut);
        if (c.wonInFrame != ANY) {
            EXPECT_EQ(won, c.wonInFrame);
        }
        if (c.remaining != ANY) {
            EXPECT_EQ(remainingPins, c.remaining);
        }
        EXPECT_EQ(ballFellOut, c.ballFallsOut);
        // What started somewhere stays somewhere, whatever its neighbours were given.
        for (int i = 0; i <= numPins; i++) {
            const dynamicObject &o = i == 0 ? ball : pins[i - 1];
            if (!finite(starts[i])) continue;
            EXPECT_TRUE(finite(o.location) && finite(o.velocity)) << "object " << i;
        }
        testfiles::captureStdout([] { sceneUnload(); });
    }
}

TEST_F(HostileScene, ACameraThatIsNowhereStillShowsTheHeadsUpDisplay)
{
    sceneReshape(gltest::WIDTH, gltest::HEIGHT);
    text_init(gltest::WIDTH, gltest::HEIGHT);
    std::string out;
    ASSERT_EQ(load(scene({{CAMERA, "[nan, nan, nan]"}}), &out), success);
    bool ballFellOut;
    playThrow(10, &ballFellOut);
    std::vector<gltest::rgb> px = gltest::readBack();
    // "2 / 2" in the top-left corner, in the yellow of the text.
    int yellow = 0;
    for (int y = gltest::HEIGHT - 16; y < gltest::HEIGHT; y++)
        for (int x = 0; x < 48; x++) {
            gltest::rgb p = gltest::at(px, x, y);
            yellow += p.r > 200 && p.g > 200 && p.b < 80;
        }
    EXPECT_GT(yellow, 12);
}

TEST_F(HostileScene, AHugePinCountFailsOnTheFirstMissingPin)
{
    std::string out;
    EXPECT_EQ(load(scene({{PIN_COUNT, "2000000000"}}), &out), failure);
    EXPECT_EQ(out,
              "file didn't contain enough correctly formatted information about pins\nunloading scene...\n");
    EXPECT_EQ(pins, nullptr);
    EXPECT_EQ(firstCollisionFace, nullptr);
}

} // namespace
