// Input, game states, timers and the frame clock of a level.
#include "../vectorMath.h"
#include "sceneLoop.h"

void startLevel(e_gameState startingState)
{
    pausedTimer = 0;
    gameState = startingState;
    isPaused = 0;
}

void showMyGLPointer(int newState) { showGLPointer = newState; }

static void beginThrow(void)
{
    ball.inPlay = 1;
    gameState = throwing;
    mouseMotionTime = 0;
    totalXChange = 0;
    totalYChange = 0;
}

// The ball takes the pointer's average speed over the drag. A press and release
// within no measurable game time is a click, not a throw.
static void releaseThrow(void)
{
    if (mouseMotionTime > 0.0001f) {
        gameState = watchingThrow;
        throwTimeRemaining = 10.0f;
        ball.velocity.x += totalXChange * xsensitivity / mouseMotionTime;
        // Screen y runs down, so motion up the screen (negative) pushes the ball forward.
        ball.velocity.y -= totalYChange * ysensitivity / mouseMotionTime;
    } else {
        gameState = awaitingThrow;
    }
}

void handleEvent(const SDL_Event *event, levelRun *run)
{
    switch (event->type) {
    case SDL_MOUSEBUTTONDOWN:
        // A press starts a throw even while paused; only its release waits.
        if (event->button.button == SDL_BUTTON_LEFT && gameState == awaitingThrow) beginThrow();
        break;
    case SDL_MOUSEMOTION:
        mousex = event->motion.x;
        mousey = event->motion.y;
        if (isPaused == 0) {
            totalXChange += event->motion.xrel;
            totalYChange += event->motion.yrel;
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (isPaused != 0) break;
        if (event->button.button == SDL_BUTTON_LEFT) {
            if (gameState == throwing) {
                releaseThrow();
            } else if (gameState == over) {
                run->exitMode = levelCompleted;
                run->done = 1;
            }
        } else if (throwTimeRemaining > 0 && gameState == watchingThrow) {
            // Any other button gives up the rolling throw; the ball goes back this frame.
            ball.inPlay = 0;
        }
        break;
    case SDL_QUIT:
        run->done = 1;
        break;
    default:
        // Keys are read as state once a frame, not as events.
        break;
    }
}

int handleKeys(const Uint8 *keystate, SDLMod modstate, levelRun *run)
{
    if (keystate[SDLK_ESCAPE] || (keystate[SDLK_q] && (modstate & (KMOD_LCTRL | KMOD_RCTRL)))) {
        run->exitMode = quit;
        run->done = 1;
    }
    // Each change of pause locks the next one out for a quarter second, and the
    // pause test comes first, so a held key toggles about four times a second.
    if ((keystate[SDLK_p] || keystate[SDLK_PAUSE]) && pausedTimer > 0 && isPaused == 0) {
        isPaused = 1;
        pausedTimer = 0;
    }
    if ((keystate[SDLK_p] || keystate[SDLK_PAUSE] || keystate[SDLK_RETURN]) && pausedTimer > 0.25f &&
        isPaused == 1) {
        isPaused = 0;
        pausedTimer = -0.25f;
    }
    if (keystate[SDLK_F12]) {
        run->exitMode = levelCompleted;
        run->done = 1;
    }
    if (keystate[SDLK_F5]) {
        run->done = 1;
        run->exitMode = restart;
    }
    if (keystate[SDLK_F4]) {
        isPaused = 1;
        return 1;
    }
    return 0;
}

void frameClock(Uint32 thisTime, Uint32 *lastTime)
{
    deltaTime = (float)((int)(thisTime - *lastTime) / 1000.0);
    // A frame longer than a quarter second (a stall, a mode change) counts as no
    // time at all rather than one huge step.
    if (deltaTime > 0.25f) deltaTime = 0;
    gameDeltaTime = deltaTime;
    *lastTime = thisTime;
    if (isPaused == 1) gameDeltaTime = 0;
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
