// The frame loop's logic driven with synthetic events, key states and ticks.
#include <gtest/gtest.h>

#include <initializer_list>

#include "scene/sceneLoop.h"

namespace
{

class SceneLoop : public ::testing::Test
{
  protected:
    levelRun run = {0, quit};
    Uint8 keys[SDLK_LAST] = {};
    Uint32 lastTime = 0, now = 0;

    void SetUp() override
    {
        ball = dynamicObject{};
        ball.initLoc = ball.location = vec3{3, -6, 0.5f};
        ball.inPlay = 1;
        cameraInitLoc = vec3{0, -10, 0.5f};
        cameraVelocity = vec3{0, 0, 1};
        remainingPins = 5;
        throwTimeRemaining = -1;
        mouseMotionTime = 0;
        totalXChange = totalYChange = 0;
        startLevel(awaitingThrow);
    }

    void send(SDL_Event e) { handleEvent(&e, &run); }
    void button(Uint8 type, Uint8 b)
    {
        SDL_Event e = {type};
        e.button = SDL_MouseButtonEvent{type, 0, b, 0, 0, 0};
        send(e);
    }
    void press(Uint8 b = SDL_BUTTON_LEFT) { button(SDL_MOUSEBUTTONDOWN, b); }
    void release(Uint8 b = SDL_BUTTON_LEFT) { button(SDL_MOUSEBUTTONUP, b); }
    void motion(Uint16 x, Uint16 y, Sint16 xrel, Sint16 yrel)
    {
        SDL_Event e = {SDL_MOUSEMOTION};
        e.motion = SDL_MouseMotionEvent{SDL_MOUSEMOTION, 0, 0, x, y, xrel, yrel};
        send(e);
    }

    // The steps of one frame after the event drain, physics and drawing aside.
    void frame(Uint32 ms, SDLMod mod = KMOD_NONE)
    {
        handleKeys(keys, mod, &run);
        now += ms;
        frameClock(now, &lastTime);
        advanceTimers();
        if (throwIsOver()) putBallBack();
        testLevelWon(&run);
    }

    // Runs a frame of ms for each entry and checks the pause state after it.
    void expectPauses(Uint32 ms, std::initializer_list<int> states)
    {
        int k = 0;
        for (int paused : states) {
            frame(ms);
            EXPECT_EQ(isPaused, paused) << "after frame " << k++;
        }
    }
};

TEST_F(SceneLoop, ThrowTakesTheDragsAverageSpeed)
{
    ball.velocity = vec3{1, 2, 3};
    press();
    EXPECT_EQ(gameState, throwing);
    // 100 px right and 200 px up over 0.5 s of game time.
    motion(300, 200, 60, -150);
    frame(250);
    motion(340, 150, 40, -50);
    frame(250);
    release();
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(throwTimeRemaining, 10.0f);
    EXPECT_FLOAT_EQ(ball.velocity.x, 1 + 4.0f);
    EXPECT_FLOAT_EQ(ball.velocity.y, 2 + 8.0f);
    EXPECT_FLOAT_EQ(ball.velocity.z, 3.0f);
    EXPECT_EQ(mousex, 340);
    EXPECT_EQ(mousey, 150);
}

TEST_F(SceneLoop, AClickInOneDrainIsNoThrowButAFrameApartIsOne)
{
    motion(10, 10, 50, -50);
    press();
    motion(20, 20, 50, -50);
    release();
    EXPECT_EQ(gameState, awaitingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.y, 0);
    EXPECT_FLOAT_EQ(throwTimeRemaining, -1);

    press();
    frame(16);
    release();
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.y, 0);
}

TEST_F(SceneLoop, LeftReleaseEndsOnlyTheGameOverScreenAndClosingKeepsThatResult)
{
    release();
    EXPECT_EQ(run.done, 0);
    startLevel(over);
    press();
    EXPECT_EQ(gameState, over);
    release();
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.exitMode, levelCompleted);
    send(SDL_Event{SDL_QUIT});
    EXPECT_EQ(run.exitMode, levelCompleted);

    run = {0, quit};
    send(SDL_Event{SDL_QUIT});
    EXPECT_EQ(run.done, 1);
    EXPECT_EQ(run.exitMode, quit);
}

TEST_F(SceneLoop, OtherButtonsAbandonARollingThrow)
{
    for (Uint8 button : {SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_WHEELUP, SDL_BUTTON_WHEELDOWN}) {
        SCOPED_TRACE((int)button);
        gameState = watchingThrow;
        throwTimeRemaining = 5;
        ball.location = vec3{1, 2, 3};
        ball.velocity = vec3{4, 5, 6};
        release(button);
        frame(10);
        EXPECT_EQ(gameState, awaitingThrow);
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

TEST_F(SceneLoop, WhilePausedAPressStartsAThrowButReleasesAndMotionAreIgnored)
{
    isPaused = 1;
    press();
    EXPECT_EQ(gameState, throwing);
    motion(100, 100, 30, 40);
    EXPECT_EQ(mousex, 100);
    EXPECT_EQ(totalXChange, 0);
    EXPECT_EQ(totalYChange, 0);
    frame(100);
    EXPECT_FLOAT_EQ(mouseMotionTime, 0);
    release();
    EXPECT_EQ(gameState, throwing);

    gameState = watchingThrow;
    throwTimeRemaining = 5;
    release(SDL_BUTTON_RIGHT);
    EXPECT_EQ(ball.inPlay, 1);
    gameState = over;
    release();
    EXPECT_EQ(run.done, 0);

    // After resuming, the throw started while paused goes on.
    gameState = throwing;
    isPaused = 0;
    motion(0, 0, 20, -20);
    frame(100);
    release();
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.x, 20 * 0.02f / 0.1f);
}

TEST_F(SceneLoop, PauseKeyIsDebouncedAndReturnOnlyResumes)
{
    // The first frame of a level cannot pause: the debounce timer is still 0.
    // Held, the key toggles once more than a quarter second has passed since the last change.
    keys[SDLK_p] = 1;
    expectPauses(100, {0, 1, 1, 1, 0, 0, 0, 1});
    keys[SDLK_p] = 0;
    keys[SDLK_RETURN] = 1;
    expectPauses(100, {1, 1, 0, 0, 0, 0, 0, 0, 0});
    keys[SDLK_RETURN] = 0;
    keys[SDLK_PAUSE] = 1;
    expectPauses(250, {1, 1, 0}); // exactly a quarter second is not yet more
}

TEST_F(SceneLoop, KeysAreTestedInOrderAndTheLevelWonTestComesLast)
{
    struct {
        const char *why;
        std::initializer_list<SDLKey> down;
        SDLMod mod;
        int pinsLeft;
        e_gameState state;
        int done;
        gameReturn exitMode;
    } cases[] = {
        {"Escape", {SDLK_ESCAPE}, KMOD_NONE, 5, awaitingThrow, 1, quit},
        {"Q alone", {SDLK_q}, KMOD_NONE, 5, awaitingThrow, 0, quit},
        {"left Control Q", {SDLK_q}, KMOD_LCTRL, 5, awaitingThrow, 1, quit},
        {"right Control Q", {SDLK_q}, KMOD_RCTRL, 5, awaitingThrow, 1, quit},
        {"Escape then F5", {SDLK_ESCAPE, SDLK_F5}, KMOD_NONE, 5, awaitingThrow, 1, restart},
        {"F12", {SDLK_F12}, KMOD_NONE, 5, watchingThrow, 1, levelCompleted},
        {"F5 in the frame the level is won", {SDLK_F5}, KMOD_NONE, 0, awaitingThrow, 1, levelCompleted},
        {"F12 on the game-over screen", {SDLK_F12}, KMOD_NONE, 0, over, 1, levelCompleted},
        {"game-over screen with no pins", {}, KMOD_NONE, 0, over, 0, quit},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        // Start from a mode other than the one expected, to see it set.
        run = {0, c.exitMode == quit ? restart : quit};
        for (SDLKey k : c.down)
            keys[k] = 1;
        remainingPins = c.pinsLeft;
        gameState = c.state;
        frame(10, c.mod);
        EXPECT_EQ(run.done, c.done);
        if (c.done) {
            EXPECT_EQ(run.exitMode, c.exitMode);
        }
        // A won level stops the throw clock.
        if (c.pinsLeft == 0 && c.state != over) {
            EXPECT_FLOAT_EQ(throwTimeRemaining, -1);
        }
        for (SDLKey k : c.down)
            keys[k] = 0;
    }
    EXPECT_EQ(worldMoves(), 0); // the game-over screen stands still
}

TEST_F(SceneLoop, FullScreenKeyPausesAndALevelStartUnpauses)
{
    keys[SDLK_F4] = 1;
    EXPECT_EQ(handleKeys(keys, KMOD_NONE, &run), 1);
    EXPECT_EQ(isPaused, 1);
    keys[SDLK_F4] = 0;
    EXPECT_EQ(handleKeys(keys, KMOD_NONE, &run), 0);
    EXPECT_EQ(run.done, 0);

    // Only the pause and its debounce start over; the throw clock is left alone.
    throwTimeRemaining = 4;
    startLevel(over);
    EXPECT_EQ(isPaused, 0);
    EXPECT_EQ(pausedTimer, 0.0f);
    EXPECT_EQ(gameState, over);
    EXPECT_EQ(throwTimeRemaining, 4.0f);
}

TEST_F(SceneLoop, AFrameLongerThanAQuarterSecondCountsAsNoTime)
{
    const struct {
        Uint32 at;
        float delta;
    } frames[] = {{1300, 0.0f}, {1550, 0.25f}, {1551, 0.001f}, {1551, 0.0f}};
    Uint32 last = 1000;
    for (const auto &f : frames) {
        frameClock(f.at, &last);
        EXPECT_FLOAT_EQ(deltaTime, f.delta) << f.at;
        EXPECT_FLOAT_EQ(gameDeltaTime, f.delta) << f.at;
        EXPECT_EQ(last, f.at);
    }
}

TEST_F(SceneLoop, BallGoesBackTenGameSecondsAfterTheReleaseWithTheCameraReset)
{
    press();
    motion(0, 0, 0, -100);
    frame(250);
    ball.location = vec3{7, 8, 9};
    release();
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

} // namespace
