// The shipped level pack, loaded by the game's own scene loader in a real
// OpenGL context and played by the game's own physics step at a fixed time
// step: every level loads, stays put when nobody touches it, and can be
// cleared in at most three throws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "main/sceneList.h"
#include "scene/sceneInternal.h"
#include "support/fileSupport.h"
#include "vectorMath.h"

namespace
{

const float STEP = 0.01f;              // seconds of game time per physics step
const float THROW_SECONDS = 10.0f;     // a throw ends after this, or when the ball falls out
const float AIM_SECONDS = 3.0f;        // the player's pause between throws
const float LAST_WAIT_SECONDS = 10.0f; // after the last throw, pins still rolling may still fall

// Advances the game by `seconds`, one physics step a frame, until the level is
// won or, when asked, the ball has fallen out.
void run(float seconds, bool untilBallOut = false)
{
    gameDeltaTime = STEP;
    for (float t = 0; t < seconds && remainingPins > 0 && !(untilBallOut && !ball.inPlay); t += STEP)
        doPhysics();
}

// A throw as the game plays it: the drag's velocity added to the ball at rest,
// ten seconds or until the ball falls out, the ball put back, then a wait.
void playThrow(float vx, float vy, float waitAfter)
{
    ball.velocity.x += vx;
    ball.velocity.y += vy;
    run(THROW_SECONDS, true);
    ball.location = ball.initLoc;
    ball.velocity = {0, 0, 0};
    ball.inPlay = 1;
    run(waitAfter);
}

// Tries the throws of a drag of 150 to 800 pixels a second, the plain ones first:
// straight down the lane at middling speeds, then more and more to the side (up
// to one across for two down the lane). Each throw played is the one that leaves
// the fewest pins; returns the throws that clear the level, or none.
std::vector<vec3> searchClearingThrows()
{
    const float speeds[] = {8, 6, 10, 12, 5, 14, 16};
    std::vector<vec3> played;
    run(AIM_SECONDS); // the level settles while the player aims
    for (int n = 0; n < 3 && remainingPins > 0; n++) {
        const float wait = n == 2 ? LAST_WAIT_SECONDS : AIM_SECONDS;
        const dynamicObject ballBefore = ball;
        const std::vector<dynamicObject> pinsBefore(pins, pins + numPins);
        const int remainingBefore = remainingPins;
        auto restore = [&] {
            ball = ballBefore;
            std::copy(pinsBefore.begin(), pinsBefore.end(), pins);
            remainingPins = remainingBefore;
        };
        vec3 best = {0, 0, (float)remainingPins + 1}; // z: the pins it leaves
        for (int k = 0; k <= 20 && best.z > 0; k++) {
            float slope = k == 0 ? 0 : 0.05f * (float)((k + 1) / 2) * (k % 2 ? 1 : -1);
            for (float vy : speeds) {
                restore();
                playThrow(slope * vy, vy, wait);
                if (remainingPins < best.z) best = {slope * vy, vy, (float)remainingPins};
                if (best.z == 0) break;
            }
        }
        restore();
        playThrow(best.x, best.y, wait);
        played.push_back(best);
    }
    return remainingPins > 0 ? std::vector<vec3>{} : played;
}

// Each test runs in the pack's folder, where the scene files name their meshes.
class LevelPack : public ::testing::Test
{
  protected:
    std::vector<std::string> levels; // the last is the game-over screen
    char savedDir[4096] = "";

    void SetUp() override
    {
        ASSERT_NE(getcwd(savedDir, sizeof savedDir), nullptr);
        std::string here = __FILE__;
        std::string pack = here.substr(0, here.rfind('/')) + "/../../levels";
        ASSERT_EQ(chdir(pack.c_str()), 0) << "no level pack at " << pack;
        FILE *f = fopen("scenelist.txt", "r");
        ASSERT_NE(f, nullptr);
        char **names = nullptr;
        int n = 0;
        testfiles::captureStdout([&] { n = readSceneList(f, &names); });
        fclose(f);
        levels.assign(names, names + n);
        freeSceneList(names, n);
        ASSERT_GE(levels.size(), 7u) << "at least six levels and the game-over screen";
    }
    void TearDown() override { EXPECT_EQ(chdir(savedDir), 0); }

    void load(std::string file)
    {
        condition result = unknown;
        EXPECT_EQ(testfiles::captureStdout([&] { result = sceneLoad(&file[0]); }),
                  "done loading scene from file " + file + "\n");
        ASSERT_EQ(result, success);
        EXPECT_GT(numPins, 0);
    }
    void unload()
    {
        testfiles::captureStdout([] { sceneUnload(); });
    }
};

// Left alone for half a minute, everything settles where it was put and nothing falls out.
TEST_F(LevelPack, EverySceneLoadsAndStaysPutWhenLeftAlone)
{
    for (const std::string &level : levels) {
        SCOPED_TRACE(level);
        load(level);
        const int all = numPins;
        run(30);
        EXPECT_EQ(remainingPins, all);
        for (int i = -1; i < numPins; i++) {
            const dynamicObject &o = i < 0 ? ball : pins[i];
            EXPECT_TRUE(o.inPlay) << "object " << i;
            EXPECT_LT(vec_mag(vec_subtract(o.location, o.initLoc)), 0.05f) << "object " << i;
        }
        unload();
    }
}

// A throw straight off the side of the first lane leaves every pin: the search's
// throws are worth something only if some throws do not clear a level.
TEST_F(LevelPack, EveryLevelCanBeClearedInThreeThrowsButNotByAnyThrow)
{
    load(levels[0]);
    const int all = numPins;
    run(AIM_SECONDS);
    playThrow(8, 1, LAST_WAIT_SECONDS);
    EXPECT_EQ(remainingPins, all);
    unload();

    for (size_t i = 0; i + 1 < levels.size(); i++) {
        load(levels[i]);
        std::vector<vec3> throws = searchClearingThrows();
        EXPECT_FALSE(throws.empty()) << levels[i] << ": no three throws clear it";
        printf("%s cleared by", levels[i].c_str());
        for (vec3 v : throws)
            printf(" (%.2f, %.2f)", v.x, v.y);
        printf("\n");
        unload();
    }
}

} // namespace
