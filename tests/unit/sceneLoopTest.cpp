// The frame loop's logic driven with synthetic events, key states and ticks.
#include <gtest/gtest.h>

#include <cstring>

#include "scene/sceneLoop.h"

namespace
{

class SceneLoop : public ::testing::Test
{
  protected:
    levelRun run = {0, quit};
    Uint8 keys[SDLK_LAST] = {};
    Uint32 lastTime = 0;
    Uint32 now = 0;

    void SetUp() override
    {
        ball = dynamicObject{};
        ball.initLoc = vec3{3, -6, 0.5f};
        ball.location = ball.initLoc;
        ball.inPlay = 1;
        cameraInitLoc = vec3{0, -10, 0.5f};
        cameraVelocity = vec3{0, 0, 1};
        remainingPins = 5;
        throwTimeRemaining = -1;
        mouseMotionTime = 0;
        totalXChange = totalYChange = 0;
        startLevel(awaitingThrow);
    }

    void press(Uint8 button)
    {
        SDL_Event e = {};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = button;
        handleEvent(&e, &run);
    }
    void release(Uint8 button)
    {
        SDL_Event e = {};
        e.type = SDL_MOUSEBUTTONUP;
        e.button.button = button;
        handleEvent(&e, &run);
    }
    void motion(int x, int y, int xrel, int yrel)
    {
        SDL_Event e = {};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = (Uint16)x;
        e.motion.y = (Uint16)y;
        e.motion.xrel = (Sint16)xrel;
        e.motion.yrel = (Sint16)yrel;
        handleEvent(&e, &run);
    }

    // The steps of one frame after the event drain, physics and drawing aside.
    int frame(Uint32 ms, SDLMod mod = KMOD_NONE)
    {
        int toggle = handleKeys(keys, mod, &run);
        now += ms;
        frameClock(now, &lastTime);
        advanceTimers();
        if (throwIsOver()) putBallBack();
        testLevelWon(&run);
        return toggle;
    }
};

TEST_F(SceneLoop, ThrowTakesTheDragsAverageSpeed)
{
    ball.velocity = vec3{1, 2, 3};
    press(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, throwing);
    // 100 px right and 200 px up over 0.5 s of game time.
    motion(300, 200, 60, -150);
    frame(250);
    motion(340, 150, 40, -50);
    frame(250);
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(throwTimeRemaining, 10.0f);
    EXPECT_FLOAT_EQ(ball.velocity.x, 1 + 4.0f);
    EXPECT_FLOAT_EQ(ball.velocity.y, 2 + 8.0f);
    EXPECT_FLOAT_EQ(ball.velocity.z, 3.0f);
    EXPECT_EQ(mousex, 340);
    EXPECT_EQ(mousey, 150);
}

TEST_F(SceneLoop, AClickInOneDrainIsNoThrow)
{
    throwTimeRemaining = -1;
    motion(10, 10, 50, -50);
    press(SDL_BUTTON_LEFT);
    motion(20, 20, 50, -50);
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, awaitingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.x, 0);
    EXPECT_FLOAT_EQ(ball.velocity.y, 0);
    EXPECT_FLOAT_EQ(throwTimeRemaining, -1);

    // Press and release a frame apart without motion: a throw with no push.
    press(SDL_BUTTON_LEFT);
    frame(16);
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.x, 0);
    EXPECT_FLOAT_EQ(ball.velocity.y, 0);
}

TEST_F(SceneLoop, LeftReleaseOutsideAThrowDoesNothingButEndsTheGameOverScreen)
{
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, awaitingThrow);
    EXPECT_EQ(run.done, 0);
    startLevel(over);
    press(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, over);
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.exitMode, levelCompleted);
}

TEST_F(SceneLoop, ClosingTheWindowKeepsTheExitModeOfTheDrain)
{
    SDL_Event e = {};
    e.type = SDL_QUIT;
    handleEvent(&e, &run);
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.exitMode, quit);

    run = {0, quit};
    startLevel(over);
    release(SDL_BUTTON_LEFT);
    handleEvent(&e, &run);
    EXPECT_EQ(run.exitMode, levelCompleted);
}

TEST_F(SceneLoop, OtherButtonsAbandonARollingThrow)
{
    for (Uint8 button : {SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_WHEELUP, SDL_BUTTON_WHEELDOWN}) {
        gameState = watchingThrow;
        throwTimeRemaining = 5;
        ball.location = vec3{1, 2, 3};
        ball.velocity = vec3{4, 5, 6};
        release(button);
        EXPECT_EQ(ball.inPlay, 0);
        frame(10);
        EXPECT_EQ(gameState, awaitingThrow) << (int)button;
        EXPECT_FLOAT_EQ(ball.location.x, 3);
        EXPECT_FLOAT_EQ(ball.velocity.x, 0);
        EXPECT_EQ(ball.inPlay, 1);
        EXPECT_FLOAT_EQ(throwTimeRemaining, -1);
    }
    // Not while waiting for a throw, nor once the throw clock has run out.
    release(SDL_BUTTON_RIGHT);
    EXPECT_EQ(ball.inPlay, 1);
    gameState = watchingThrow;
    throwTimeRemaining = 0;
    release(SDL_BUTTON_RIGHT);
    EXPECT_EQ(ball.inPlay, 1);
}

TEST_F(SceneLoop, ReleasesAndMotionAreIgnoredWhilePaused)
{
    press(SDL_BUTTON_LEFT);
    isPaused = 1;
    motion(100, 100, 30, 40);
    EXPECT_EQ(mousex, 100);
    EXPECT_EQ(totalXChange, 0);
    EXPECT_EQ(totalYChange, 0);
    frame(100);
    EXPECT_FLOAT_EQ(mouseMotionTime, 0);
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, throwing);

    gameState = watchingThrow;
    throwTimeRemaining = 5;
    release(SDL_BUTTON_RIGHT);
    EXPECT_EQ(ball.inPlay, 1);

    gameState = over;
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(run.done, 0);
}

TEST_F(SceneLoop, APressWhilePausedStartsAThrowReleasedAfterResuming)
{
    isPaused = 1;
    press(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, throwing);
    isPaused = 0;
    motion(0, 0, 20, -20);
    frame(100);
    release(SDL_BUTTON_LEFT);
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.x, 20 * 0.02f / 0.1f);
}

TEST_F(SceneLoop, PauseKeyIsDebouncedAndReturnOnlyResumes)
{
    keys[SDLK_p] = 1;
    // The first frame of a level cannot pause: the debounce timer is still 0.
    frame(100);
    EXPECT_EQ(isPaused, 0);
    frame(100);
    EXPECT_EQ(isPaused, 1);
    EXPECT_FLOAT_EQ(pausedTimer, 0.1f); // reset to 0, then this frame's time
    // Held down, it resumes only once more than a quarter second has passed.
    frame(100);
    frame(100);
    EXPECT_EQ(isPaused, 1);
    frame(100);
    EXPECT_EQ(isPaused, 0);
    // Resuming locks pausing out for a quarter second as well.
    frame(100);
    frame(100);
    EXPECT_EQ(isPaused, 0);
    frame(100);
    EXPECT_EQ(isPaused, 1);

    keys[SDLK_p] = 0;
    keys[SDLK_RETURN] = 1;
    for (int k = 0; k < 3; k++)
        frame(100);
    EXPECT_EQ(isPaused, 0);
    for (int k = 0; k < 10; k++)
        frame(100);
    EXPECT_EQ(isPaused, 0) << "Return must never pause";

    keys[SDLK_RETURN] = 0;
    keys[SDLK_PAUSE] = 1;
    frame(100);
    EXPECT_EQ(isPaused, 1);
}

TEST_F(SceneLoop, KeyTestsRunInOrderAndTheLevelWonTestLast)
{
    keys[SDLK_ESCAPE] = 1;
    keys[SDLK_F5] = 1;
    frame(10);
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.exitMode, restart);

    run = {0, quit};
    keys[SDLK_ESCAPE] = 0;
    remainingPins = 0;
    frame(10);
    EXPECT_EQ(run.exitMode, levelCompleted);
    EXPECT_FLOAT_EQ(throwTimeRemaining, -1);

    run = {0, quit};
    keys[SDLK_F5] = 0;
    keys[SDLK_F12] = 1;
    gameState = over;
    frame(10);
    EXPECT_EQ(run.exitMode, levelCompleted);
    keys[SDLK_F12] = 0;
}

TEST_F(SceneLoop, QuitNeedsEscapeOrControlQ)
{
    keys[SDLK_q] = 1;
    frame(10);
    EXPECT_EQ(run.done, 0);
    frame(10, KMOD_LCTRL);
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.exitMode, quit);
    run = {0, levelCompleted};
    frame(10, KMOD_RCTRL);
    EXPECT_EQ(run.exitMode, quit);
}

TEST_F(SceneLoop, FullScreenKeyPausesAndAsksForTheSwitchEveryFrame)
{
    pausedTimer = 0.125f;
    keys[SDLK_F4] = 1;
    EXPECT_EQ(handleKeys(keys, KMOD_NONE, &run), 1);
    EXPECT_EQ(isPaused, 1);
    EXPECT_FLOAT_EQ(pausedTimer, 0.125f);
    EXPECT_EQ(handleKeys(keys, KMOD_NONE, &run), 1);
    keys[SDLK_F4] = 0;
    EXPECT_EQ(handleKeys(keys, KMOD_NONE, &run), 0);
    EXPECT_EQ(run.done, 0);
}

TEST_F(SceneLoop, AFrameLongerThanAQuarterSecondCountsAsNoTime)
{
    Uint32 last = 1000;
    frameClock(1300, &last);
    EXPECT_EQ(deltaTime, 0.0f);
    EXPECT_EQ(gameDeltaTime, 0.0f);
    EXPECT_EQ(last, 1300u);
    frameClock(1550, &last);
    EXPECT_EQ(deltaTime, 0.25f);
    EXPECT_EQ(gameDeltaTime, 0.25f);
    frameClock(1551, &last);
    EXPECT_FLOAT_EQ(deltaTime, 0.001f);
    frameClock(1551, &last);
    EXPECT_EQ(deltaTime, 0.0f);
}

TEST_F(SceneLoop, BallGoesBackTenGameSecondsAfterTheRelease)
{
    press(SDL_BUTTON_LEFT);
    motion(0, 0, 0, -100);
    frame(250);
    ball.location = vec3{7, 8, 9};
    cameraVelocity = vec3{0, 0, 5};
    release(SDL_BUTTON_LEFT);
    // The countdown's first step is taken in the frame of the release.
    for (int k = 0; k < 39; k++)
        frame(250);
    EXPECT_EQ(gameState, watchingThrow);
    // Paused time does not count.
    isPaused = 1;
    for (int k = 0; k < 8; k++)
        frame(250);
    EXPECT_EQ(gameState, watchingThrow);
    isPaused = 0;
    frame(250);
    EXPECT_EQ(gameState, awaitingThrow);
    EXPECT_FLOAT_EQ(throwTimeRemaining, -1);
    EXPECT_FLOAT_EQ(ball.location.x, 3);
    EXPECT_FLOAT_EQ(ball.location.y, -6);
    EXPECT_FLOAT_EQ(ball.location.z, 0.5f);
    EXPECT_FLOAT_EQ(ball.velocity.y, 0);
    // The camera looks from where it started toward the ball's start again.
    EXPECT_FLOAT_EQ(cameraVelocity.x, 0.6f);
    EXPECT_FLOAT_EQ(cameraVelocity.y, 0.8f);
    EXPECT_FLOAT_EQ(cameraVelocity.z, 0.0f);
    EXPECT_EQ(run.done, 0);
}

TEST_F(SceneLoop, GameOverScreenIsNotWonByPinCount)
{
    startLevel(over);
    remainingPins = 0;
    frame(10);
    EXPECT_EQ(run.done, 0);
    EXPECT_EQ(worldMoves(), 0);
}

TEST_F(SceneLoop, LevelStartUnpausesAndResetsTheDebounceOnly)
{
    isPaused = 1;
    pausedTimer = 3;
    throwTimeRemaining = 4;
    startLevel(over);
    EXPECT_EQ(isPaused, 0);
    EXPECT_EQ(pausedTimer, 0.0f);
    EXPECT_EQ(gameState, over);
    EXPECT_EQ(throwTimeRemaining, 4.0f);
}

} // namespace
