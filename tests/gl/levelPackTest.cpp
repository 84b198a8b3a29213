// The shipped level pack, loaded by the game's own scene loader in a real
// OpenGL context and played by the game's own physics step at a fixed time
// step: every level loads, stays put when nobody touches it, and can be
// cleared in at most three throws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "scene/sceneInternal.h"

namespace
{

// The pack lives in levels/ at the root of the source tree, two folders up
// from this file; the scene files name their meshes relative to it.
std::string packDir()
{
    std::string here = __FILE__;
    return here.substr(0, here.rfind('/')) + "/../../levels";
}

const float STEP = 0.01f;              // seconds of game time per physics step
const float THROW_SECONDS = 10.0f;     // a throw ends after this, or when the ball falls out
const float AIM_SECONDS = 3.0f;        // the player's pause between throws
const float LAST_WAIT_SECONDS = 10.0f; // after the last throw, pins still rolling may still fall
const float REST_SECONDS = 30.0f;
const float MAX_REST_DRIFT = 0.05f;

struct sceneEntry {
    std::string file;
    bool gameOver;
};

// The list as the game reads it: a label and a count, then a label and a file
// name for each entry; the last entry is the game-over screen.
std::vector<sceneEntry> readSceneList()
{
    std::vector<sceneEntry> out;
    FILE *f = fopen((packDir() + "/scenelist.txt").c_str(), "r");
    if (!f) return out;
    char label[64], name[MAX_FILENAME_LENGTH + 1];
    int count = 0;
    if (fscanf(f, "%63s %d", label, &count) == 2) {
        for (int i = 0; i < count && fscanf(f, "%63s %256s", label, name) == 2; i++)
            out.push_back({name, false});
    }
    fclose(f);
    if (!out.empty()) out.back().gameOver = true;
    return out;
}

// Loads a scene through the game's loader and returns what it printed.
std::string loadScene(const std::string &file, condition *result)
{
    std::vector<char> name(file.begin(), file.end());
    name.push_back(0);
    testing::internal::CaptureStdout();
    *result = sceneLoad(name.data());
    return testing::internal::GetCapturedStdout();
}

void unloadScene()
{
    testing::internal::CaptureStdout();
    sceneUnload();
    testing::internal::GetCapturedStdout();
}

// Advances the game by `seconds` as its loop would while the player waits or
// watches: one physics step per frame. Stops early once the level is won or,
// when asked, once the ball has fallen out. Returns the game time that passed.
float run(float seconds, bool untilBallOut)
{
    gameDeltaTime = STEP;
    float t = 0;
    while (t < seconds && remainingPins > 0) {
        doPhysics();
        t += STEP;
        if (untilBallOut && !ball.inPlay) break;
    }
    return t;
}

// The ball goes back to its start, as the game does at the end of a throw.
void putBallBack()
{
    ball.location = ball.initLoc;
    ball.velocity = {0, 0, 0};
    ball.inPlay = 1;
}

struct throwVelocity {
    float vx, vy;
};

// The pins as the load left them, so that every candidate throw starts from the same table.
struct snapshot {
    dynamicObject ballState;
    std::vector<dynamicObject> pinState;
    int remaining;
};

snapshot take() { return {ball, std::vector<dynamicObject>(pins, pins + numPins), remainingPins}; }

void restore(const snapshot &s)
{
    ball = s.ballState;
    std::copy(s.pinState.begin(), s.pinState.end(), pins);
    remainingPins = s.remaining;
}

// One throw as the game plays it: the drag's velocity added to the ball at
// rest, ten seconds or until the ball falls out, the ball put back, then the
// player takes a moment to aim.
void playThrow(throwVelocity v, float waitAfter)
{
    ball.velocity.x += v.vx;
    ball.velocity.y += v.vy;
    run(THROW_SECONDS, true);
    putBallBack();
    run(waitAfter, false);
}

// Candidate throws, the plain ones first: straight down the lane at middling
// speeds, then more and more to the side (up to one unit across for two down
// the lane), then faster and slower. Speeds are
// those of a drag of 150 to 800 pixels per second.
std::vector<throwVelocity> candidates()
{
    std::vector<throwVelocity> out;
    const float speeds[] = {8, 6, 10, 12, 5, 14, 16};
    const float slopes[] = {0,    0.05f, -0.05f, 0.1f,   -0.1f, 0.15f, -0.15f, 0.2f,   -0.2f, 0.25f, -0.25f,
                            0.3f, -0.3f, 0.35f,  -0.35f, 0.4f,  -0.4f, 0.45f,  -0.45f, 0.5f,  -0.5f};
    for (float slope : slopes)
        for (float vy : speeds)
            out.push_back({slope * vy, vy});
    return out;
}

// Looks for throws that clear the loaded level in at most three: each throw
// is the candidate that leaves the fewest pins (the first one found that
// clears the level ends the search). Returns the throws, empty when none of
// the sequences tried clears the level.
std::vector<throwVelocity> searchClearingThrows()
{
    run(AIM_SECONDS, false); // the level settles while the player aims
    std::vector<throwVelocity> played;
    for (int n = 0; n < 3; n++) {
        snapshot before = take();
        const bool last = n == 2;
        int best = remainingPins + 1;
        throwVelocity bestThrow = {0, 0};
        for (throwVelocity v : candidates()) {
            restore(before);
            playThrow(v, last ? LAST_WAIT_SECONDS : AIM_SECONDS);
            if (remainingPins < best) {
                best = remainingPins;
                bestThrow = v;
            }
            if (best < 1) break;
        }
        restore(before);
        playThrow(bestThrow, last ? LAST_WAIT_SECONDS : AIM_SECONDS);
        played.push_back(bestThrow);
        if (remainingPins < 1) return played;
    }
    return {};
}

// Each test runs in the pack's folder and goes back where it was after.
class levelPack : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!getcwd(savedDir, sizeof savedDir)) savedDir[0] = 0;
        ASSERT_EQ(chdir(packDir().c_str()), 0) << "no level pack at " << packDir();
        levels = readSceneList();
        ASSERT_GE(levels.size(), 7u) << "at least six levels and the game-over screen";
    }
    void TearDown() override
    {
        if (savedDir[0] && chdir(savedDir) != 0) perror("chdir");
    }
    char savedDir[4096];
    std::vector<sceneEntry> levels;
};

TEST_F(levelPack, everySceneLoadsWithTheGamesLoader)
{
    for (const sceneEntry &level : levels) {
        condition result;
        std::string said = loadScene(level.file, &result);
        EXPECT_EQ(result, success) << level.file;
        EXPECT_EQ(said, "done loading scene from file " + level.file + "\n");
        EXPECT_GT(numPins, 0) << level.file;
        EXPECT_EQ(remainingPins, numPins) << level.file;
        EXPECT_NE(firstCollisionFace, nullptr) << level.file;
        EXPECT_TRUE(glIsList(worldDispList)) << level.file;
        EXPECT_TRUE(glIsList(ball.dispList)) << level.file;
        // Every object starts above the level's lower bound and outside every other.
        EXPECT_GT(ball.initLoc.z, worldLowerBound) << level.file;
        for (int i = 0; i < numPins; i++) {
            EXPECT_GT(pins[i].initLoc.z, worldLowerBound) << level.file << " pin " << i;
            EXPECT_TRUE(glIsList(pins[i].dispList)) << level.file << " pin " << i;
            for (int j = -1; j < i; j++) {
                const dynamicObject &o = j < 0 ? ball : pins[j];
                vec3 d = {pins[i].initLoc.x - o.initLoc.x, pins[i].initLoc.y - o.initLoc.y,
                          pins[i].initLoc.z - o.initLoc.z};
                EXPECT_GT(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), pins[i].radius + o.radius)
                    << level.file << ": pin " << i << " overlaps " << (j < 0 ? "the ball" : "a pin");
            }
        }
        unloadScene();
    }
}

// Nobody touches the level for half a minute: everything settles where it
// was put and nothing falls out.
TEST_F(levelPack, everySceneStaysPutWhenLeftAlone)
{
    for (const sceneEntry &level : levels) {
        condition result;
        loadScene(level.file, &result);
        ASSERT_EQ(result, success) << level.file;
        const int all = numPins;
        run(REST_SECONDS, false);
        EXPECT_EQ(remainingPins, all) << level.file;
        EXPECT_TRUE(ball.inPlay) << level.file;
        auto drift = [](const dynamicObject &o) {
            vec3 d = {o.location.x - o.initLoc.x, o.location.y - o.initLoc.y, o.location.z - o.initLoc.z};
            return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        };
        EXPECT_LT(drift(ball), MAX_REST_DRIFT) << level.file << ": the ball";
        for (int i = 0; i < numPins; i++) {
            EXPECT_TRUE(pins[i].inPlay) << level.file << " pin " << i;
            EXPECT_LT(drift(pins[i]), MAX_REST_DRIFT) << level.file << " pin " << i;
        }
        unloadScene();
    }
}

TEST_F(levelPack, everyLevelCanBeClearedInThreeThrows)
{
    for (const sceneEntry &level : levels) {
        if (level.gameOver) continue; // nothing is thrown on the game-over screen
        condition result;
        loadScene(level.file, &result);
        ASSERT_EQ(result, success) << level.file;
        std::vector<throwVelocity> throws = searchClearingThrows();
        EXPECT_FALSE(throws.empty()) << level.file << ": no three throws clear it";
        std::string said;
        for (throwVelocity v : throws) {
            char buf[64];
            snprintf(buf, sizeof buf, " (%.2f, %.2f)", v.vx, v.vy);
            said += buf;
        }
        printf("%s cleared by%s\n", level.file.c_str(), said.c_str());
        unloadScene();
    }
}

// The throws the search found are worth something only if some throws do
// not clear a level: a throw straight off the side of the first lane leaves
// every pin standing.
TEST_F(levelPack, aThrowOffTheSideLeavesEveryPin)
{
    condition result;
    loadScene(levels[0].file, &result);
    ASSERT_EQ(result, success);
    const int all = numPins;
    run(AIM_SECONDS, false);
    playThrow({8, 1}, LAST_WAIT_SECONDS);
    EXPECT_EQ(remainingPins, all);
    unloadScene();
}

} // namespace
