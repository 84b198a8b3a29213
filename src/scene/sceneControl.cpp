// Input, game states, timers and the frame clock of a level.
#include "../vectorMath.h"
#include "sceneLoop.h"

inputAction eventAction(const SDL_Event *event, e_gameState state, int paused, float throwTime)
{
    switch (event->type) {
    case SDL_MOUSEBUTTONDOWN:
        // A press starts a throw even while paused; only its release waits.
        return event->button.button == SDL_BUTTON_LEFT && state == awaitingThrow ? startThrow : ignoreInput;
    case SDL_MOUSEMOTION:
        return movePointer;
    case SDL_MOUSEBUTTONUP:
        if (paused != 0) return ignoreInput;
        if (event->button.button == SDL_BUTTON_LEFT)
            return state == throwing ? releaseThrow : state == over ? leaveGameOver : ignoreInput;
        return throwTime > 0 && state == watchingThrow ? abandonThrow : ignoreInput;
    case SDL_QUIT:
        return closeWindow;
    default:
        // Keys are read as state once a frame, not as events.
        return ignoreInput;
    }
}

keyActions keysAction(const Uint8 *keystate, SDLMod modstate, int paused, float pausedTime)
{
    bool pauseKey = keystate[SDLK_p] || keystate[SDLK_PAUSE];
    keyActions a;
    a.quit = keystate[SDLK_ESCAPE] || (keystate[SDLK_q] && (modstate & (KMOD_LCTRL | KMOD_RCTRL)));
    // Each change of pause locks the next one out for a while, and the pause
    // test comes first, so a held key toggles about four times a second and a
    // frame never both pauses and resumes. Return only resumes.
    a.pause = pauseKey && pausedTime > 0 && paused == 0;
    a.resume = (pauseKey || keystate[SDLK_RETURN]) && pausedTime > PAUSE_LOCKOUT && paused == 1;
    a.skip = keystate[SDLK_F12];
    a.restart = keystate[SDLK_F5];
    a.fullScreen = keystate[SDLK_F4];
    return a;
}

bool dragPush(int totalX, int totalY, float motionTime, vec3 *push)
{
    if (!(motionTime > CLICK_SECONDS)) return false;
    // Screen y runs down, so motion up the screen (negative) pushes the ball forward.
    *push = vec3{totalX * xsensitivity / motionTime, -(totalY * ysensitivity / motionTime), 0.0f};
    return true;
}

float frameSeconds(Uint32 thisTime, Uint32 lastTime)
{
    float seconds = (float)((int)(thisTime - lastTime) / 1000.0);
    return seconds > LONGEST_FRAME ? 0.0f : seconds;
}

void startLevel(e_gameState startingState)
{
    pausedTimer = 0;
    gameState = startingState;
    isPaused = 0;
}

void showMyGLPointer(int newState) { showGLPointer = newState; }

void handleEvent(const SDL_Event *event, levelRun *run)
{
    vec3 push;
    switch (eventAction(event, gameState, isPaused, throwTimeRemaining)) {
    case startThrow:
        ball.inPlay = 1;
        gameState = throwing;
        mouseMotionTime = 0;
        totalXChange = 0;
        totalYChange = 0;
        break;
    case movePointer:
        mousex = event->motion.x;
        mousey = event->motion.y;
        if (isPaused == 0) {
            totalXChange += event->motion.xrel;
            totalYChange += event->motion.yrel;
        }
        break;
    case releaseThrow:
        if (dragPush(totalXChange, totalYChange, mouseMotionTime, &push)) {
            gameState = watchingThrow;
            throwTimeRemaining = THROW_SECONDS;
            ball.velocity.x += push.x;
            ball.velocity.y += push.y;
        } else {
            gameState = awaitingThrow;
        }
        break;
    case leaveGameOver:
        run->exitMode = levelCompleted;
        run->done = 1;
        break;
    case abandonThrow:
        // The ball goes back in this frame's end-of-throw step.
        ball.inPlay = 0;
        break;
    case closeWindow:
        run->done = 1;
        break;
    case ignoreInput:
        break;
    }
}

int handleKeys(const Uint8 *keystate, SDLMod modstate, levelRun *run)
{
    keyActions a = keysAction(keystate, modstate, isPaused, pausedTimer);
    if (a.quit) {
        run->exitMode = quit;
        run->done = 1;
    }
    if (a.pause) {
        isPaused = 1;
        pausedTimer = 0;
    }
    if (a.resume) {
        isPaused = 0;
        pausedTimer = -PAUSE_LOCKOUT;
    }
    if (a.skip) {
        run->exitMode = levelCompleted;
        run->done = 1;
    }
    if (a.restart) {
        run->done = 1;
        run->exitMode = restart;
    }
    if (a.fullScreen) isPaused = 1;
    return a.fullScreen;
}

void frameClock(Uint32 thisTime, Uint32 *lastTime)
{
    deltaTime = frameSeconds(thisTime, *lastTime);
    gameDeltaTime = isPaused == 1 ? 0.0f : deltaTime;
    *lastTime = thisTime;
}

void advanceTimers(void)
{
    pausedTimer += deltaTime;
    mouseMotionTime += gameDeltaTime;
    throwTimeRemaining -= gameDeltaTime;
}

int throwIsOver(void) { return (throwTimeRemaining <= 0 && gameState == watchingThrow) || ball.inPlay == 0; }

// The pins stay as the throw left them; only the ball and the camera's look
// direction start over.
void putBallBack(void)
{
    gameState = awaitingThrow;
    throwTimeRemaining = -1;
    ball.location = ball.initLoc;
    ball.velocity = vec3{0, 0, 0};
    ball.inPlay = 1;
    cameraVelocity = vec_between_points(cameraInitLoc, ball.location);
    vec_normalize(&cameraVelocity);
}

void testLevelWon(levelRun *run)
{
    if (remainingPins < 1 && gameState != over) {
        run->done = 1;
        run->exitMode = levelCompleted;
        throwTimeRemaining = -1;
    }
}

int worldMoves(void) { return isPaused == 0 && (gameState == awaitingThrow || gameState == watchingThrow); }
