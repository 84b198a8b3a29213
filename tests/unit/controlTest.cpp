// The controls and the clock: the decisions as tables over values, then the
// frame steps driven with synthetic events, key states and ticks.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "scene/sceneLoop.h"

namespace
{

SDL_Event button(Uint8 type, Uint8 which)
{
    SDL_Event e = {type};
    e.button = SDL_MouseButtonEvent{type, 0, which, 0, 0, 0};
    return e;
}

SDL_Event motion(Uint16 x, Uint16 y, Sint16 xrel, Sint16 yrel)
{
    SDL_Event e = {SDL_MOUSEMOTION};
    e.motion = SDL_MouseMotionEvent{SDL_MOUSEMOTION, 0, 0, x, y, xrel, yrel};
    return e;
}

const Uint8 DOWN = SDL_MOUSEBUTTONDOWN, UP = SDL_MOUSEBUTTONUP, LEFT = SDL_BUTTON_LEFT,
            RIGHT = SDL_BUTTON_RIGHT;

TEST(Control, EventsAskForWhatTheStateAllows)
{
    const struct {
        SDL_Event event;
        e_gameState state;
        int paused;
        float throwTime;
        inputAction action;
    } cases[] = {
        {button(DOWN, LEFT), awaitingThrow, 1, -1, startThrow},
        {button(DOWN, LEFT), watchingThrow, 0, 5, ignoreInput},
        {button(DOWN, RIGHT), awaitingThrow, 0, -1, ignoreInput},
        {button(UP, LEFT), throwing, 0, -1, releaseThrow},
        {button(UP, LEFT), throwing, 1, -1, ignoreInput},
        {button(UP, LEFT), over, 0, -1, leaveGameOver},
        {button(UP, LEFT), awaitingThrow, 0, -1, ignoreInput},
        {button(UP, RIGHT), watchingThrow, 0, 5, abandonThrow},
        {button(UP, SDL_BUTTON_MIDDLE), watchingThrow, 0, 5, abandonThrow},
        {button(UP, SDL_BUTTON_WHEELDOWN), watchingThrow, 0, 5, abandonThrow},
        {button(UP, RIGHT), watchingThrow, 0, 0, ignoreInput},
        {button(UP, RIGHT), watchingThrow, 1, 5, ignoreInput},
        {button(UP, RIGHT), awaitingThrow, 0, 5, ignoreInput},
        {motion(1, 2, 3, 4), over, 1, -1, movePointer},
        {SDL_Event{SDL_QUIT}, throwing, 1, -1, closeWindow},
        {SDL_Event{SDL_KEYDOWN}, awaitingThrow, 0, -1, ignoreInput},
    };
    for (const auto &c : cases)
        EXPECT_EQ(eventAction(&c.event, c.state, c.paused, c.throwTime), c.action)
            << "event " << (int)c.event.type << " state " << c.state << " paused " << c.paused;
}

// Each case's keys, modifiers and pause state, and the actions they ask for:
// q(uit), p(ause), r(esume), s(kip), R(estart), f(ull screen).
TEST(Control, KeysAndTheirLockouts)
{
    const struct {
        std::initializer_list<SDLKey> down;
        int mod, paused;
        float pausedTime;
        const char *want;
    } cases[] = {
        {{SDLK_ESCAPE}, KMOD_NONE, 0, 0, "q"},
        {{SDLK_q}, KMOD_NONE, 0, 0, ""},
        {{SDLK_q}, KMOD_LCTRL, 0, 0, "q"},
        {{SDLK_q}, KMOD_RCTRL, 0, 0, "q"},
        {{SDLK_F12, SDLK_F5, SDLK_F4}, KMOD_NONE, 0, 0, "sRf"},
        // Pausing waits for any time since the last change, resuming for more than a quarter second.
        {{SDLK_p}, KMOD_NONE, 0, 0, ""},
        {{SDLK_PAUSE}, KMOD_NONE, 0, 0.001f, "p"},
        {{SDLK_RETURN}, KMOD_NONE, 0, 1, ""},
        {{SDLK_p}, KMOD_NONE, 1, 0.25f, ""},
        {{SDLK_PAUSE}, KMOD_NONE, 1, 0.26f, "r"},
        {{SDLK_RETURN}, KMOD_NONE, 1, 0.26f, "r"},
    };
    for (const auto &c : cases) {
        Uint8 keys[SDLK_LAST] = {};
        for (SDLKey k : c.down)
            keys[k] = 1;
        keyActions a = keysAction(keys, (SDLMod)c.mod, c.paused, c.pausedTime);
        std::string got = std::string(a.quit ? "q" : "") + (a.pause ? "p" : "") + (a.resume ? "r" : "") +
                          (a.skip ? "s" : "") + (a.restart ? "R" : "") + (a.fullScreen ? "f" : "");
        EXPECT_EQ(got, c.want) << "first key " << *c.down.begin() << " mod " << c.mod << " paused "
                               << c.paused;
    }
}

TEST(Control, DragSpeedAndFrameTime)
{
    vec3 push;
    // 100 px right and 200 px up over half a second.
    ASSERT_TRUE(dragPush(100, -200, 0.5f, &push));
    EXPECT_FLOAT_EQ(push.x, 4);
    EXPECT_FLOAT_EQ(push.y, 8);
    EXPECT_FLOAT_EQ(push.z, 0);
    EXPECT_FALSE(dragPush(100, -200, 0.0001f, &push)) << "a click";

    const struct {
        Uint32 last, now;
        float seconds;
    } frames[] = {{1000, 1300, 0}, {1300, 1550, 0.25f}, {1550, 1551, 0.001f}, {1551, 1551, 0}};
    for (const auto &f : frames)
        EXPECT_FLOAT_EQ(frameSeconds(f.now, f.last), f.seconds) << f.now - f.last << " ms";
}

// The frame steps over the scene's own state.
class Frames : public ::testing::Test
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
        remainingPins = 5;
        throwTimeRemaining = -1;
        startLevel(awaitingThrow);
    }
    void send(SDL_Event e) { handleEvent(&e, &run); }
    // The steps of one frame after the event drain, physics and drawing aside.
    int frame(Uint32 ms, SDLMod mod = KMOD_NONE)
    {
        int fullScreen = handleKeys(keys, mod, &run);
        frameClock(now += ms, &lastTime);
        advanceTimers();
        if (throwIsOver()) putBallBack();
        testLevelWon(&run);
        return fullScreen;
    }
};

TEST_F(Frames, AThrowRunsTenGameSecondsThenTheBallAndCameraGoBack)
{
    ball.velocity = vec3{1, 2, 3};
    send(button(DOWN, LEFT));
    send(motion(300, 200, 60, -150));
    frame(250);
    send(motion(340, 150, 40, -50));
    frame(250);
    send(button(UP, LEFT));
    EXPECT_EQ(gameState, watchingThrow);
    EXPECT_FLOAT_EQ(ball.velocity.x, 1 + 4.0f);
    EXPECT_FLOAT_EQ(ball.velocity.y, 2 + 8.0f);
    EXPECT_TRUE(mousex == 340 && mousey == 150);
    ball.location = vec3{7, 8, 9};
    // The countdown's first step is taken in the frame of the release; paused time does not count.
    for (int k = 0; k < 39; k++)
        frame(250);
    isPaused = 1;
    for (int k = 0; k < 8; k++)
        frame(250);
    EXPECT_EQ(gameState, watchingThrow);
    isPaused = 0;
    frame(250);
    EXPECT_EQ(gameState, awaitingThrow);
    EXPECT_FLOAT_EQ(throwTimeRemaining, -1);
    EXPECT_TRUE(ball.location.x == 3 && ball.location.y == -6 && ball.velocity.y == 0);
    EXPECT_TRUE(cameraVelocity.x == 0.6f && cameraVelocity.y == 0.8f && cameraVelocity.z == 0.0f);

    // Motion while paused moves the pointer but not the drag; another button gives the throw up.
    send(button(DOWN, LEFT));
    isPaused = 1;
    send(motion(10, 10, 30, 40));
    EXPECT_TRUE(mousex == 10 && totalXChange == 0 && totalYChange == 0);
    isPaused = 0;
    frame(100);
    send(button(UP, LEFT));
    ball.location = vec3{1, 2, 3};
    send(button(UP, RIGHT));
    frame(10);
    EXPECT_TRUE(gameState == awaitingThrow && ball.location.x == 3 && ball.inPlay == 1);
    EXPECT_EQ(run.done, 0);
}

TEST_F(Frames, AHeldPauseKeyTogglesAboutFourTimesASecondAndReturnOnlyResumes)
{
    const struct {
        SDLKey key;
        Uint32 ms;
        std::initializer_list<int> paused;
    } held[] = {{SDLK_p, 100, {0, 1, 1, 1, 0, 0, 0, 1}},
                {SDLK_RETURN, 100, {1, 1, 0, 0, 0, 0, 0, 0, 0}},
                {SDLK_PAUSE, 250, {1, 1, 0}}};
    for (const auto &h : held) {
        keys[h.key] = 1;
        for (int paused : h.paused) {
            frame(h.ms);
            EXPECT_EQ(isPaused, paused) << "holding " << h.key;
        }
        keys[h.key] = 0;
    }
    // A level starts unpaused, with the debounce reset but the throw clock as it was.
    throwTimeRemaining = 4;
    startLevel(over);
    EXPECT_TRUE(isPaused == 0 && pausedTimer == 0 && gameState == over && throwTimeRemaining == 4);
}

TEST_F(Frames, KeysEndTheLevelInOrderAndTheWonTestComesLast)
{
    const struct {
        std::initializer_list<SDLKey> down;
        int pinsLeft;
        e_gameState state;
        int done;
        gameReturn exitMode;
    } cases[] = {
        {{SDLK_ESCAPE, SDLK_F5}, 5, awaitingThrow, 1, restart},
        {{SDLK_ESCAPE, SDLK_F12}, 5, watchingThrow, 1, levelCompleted},
        {{SDLK_F5}, 0, awaitingThrow, 1, levelCompleted},
        {{}, 0, over, 0, quit},
    };
    for (const auto &c : cases) {
        SetUp();
        run = {0, c.exitMode == quit ? restart : quit};
        for (SDLKey k : c.down)
            keys[k] = 1;
        remainingPins = c.pinsLeft;
        gameState = c.state;
        frame(10);
        EXPECT_EQ(run.done, c.done) << c.pinsLeft << " pins, state " << c.state;
        EXPECT_EQ(run.exitMode, c.done ? c.exitMode : run.exitMode)
            << c.pinsLeft << " pins, state " << c.state;
        for (SDLKey k : c.down)
            keys[k] = 0;
    }
    EXPECT_EQ(worldMoves(), 0) << "the game-over screen stands still";
    keys[SDLK_F4] = 1;
    EXPECT_EQ(frame(10), 1);
    EXPECT_EQ(isPaused, 1);
    // The level closed: the result stands, as after a left release on the game-over screen.
    run = {0, quit};
    gameState = over;
    isPaused = 0;
    send(button(UP, LEFT));
    send(SDL_Event{SDL_QUIT});
    EXPECT_TRUE(run.done == 1 && run.exitMode == levelCompleted);
}

} // namespace
