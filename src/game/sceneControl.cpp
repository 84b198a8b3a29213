// Input, game states, timers and the frame clock of a level.
#include "game/sceneControl.h"

#include "game/sceneState.h"

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
    case SDL_KEYDOWN:
        // The keys that act once a press count their presses; the others are
        // read as state once a frame.
        return pressKeyOf(event->key.keysym.sym) ? keyPressed : ignoreInput;
    default:
        return ignoreInput;
    }
}

unsigned pressKeyOf(SDLKey key)
{
    return key == SDLK_F12 ? skipKey : key == SDLK_F5 ? restartKey : key == SDLK_F4 ? fullScreenKey : 0;
}

keyActions keysAction(const Uint8 *keystate, SDLMod modstate, int paused, float pausedTime, unsigned pressed)
{
    bool pauseKey = keystate[SDLK_p] || keystate[SDLK_PAUSE];
    keyActions a;
    a.quit = keystate[SDLK_ESCAPE] || (keystate[SDLK_q] && (modstate & (KMOD_LCTRL | KMOD_RCTRL)));
    // Each change of pause locks the next one out for a while, and the pause
    // test comes first, so a held key toggles about four times a second and a
    // frame never both pauses and resumes. Return only resumes.
    a.pause = pauseKey && pausedTime > 0 && paused == 0;
    a.resume = (pauseKey || keystate[SDLK_RETURN]) && pausedTime > PAUSE_LOCKOUT && paused == 1;
    // A person holds a key for a tenth of a second or more, many frames: these
    // act once a press, in the frame it comes in.
    a.skip = pressed & skipKey;
    a.restart = pressed & restartKey;
    a.fullScreen = pressed & fullScreenKey;
    return a;
}

int frameMilliseconds(Uint32 thisTime, Uint32 lastTime)
{
    Uint32 ms = thisTime - lastTime;
    return ms > LONGEST_FRAME_MS ? 0 : (int)ms;
}

// The press keys that went down in this frame's events. A key held down
// brings no more presses, so one that ended the last level waits for its
// release and a new press.
static unsigned keysPressed = 0;

void startLevel(void)
{
    sceneClock.pausedTimer = 0;
    sceneClock.isPaused = 0;
}

void showMyGLPointer(int newState) { pointer.showGLPointer = newState; }

void handleEvent(const SDL_Event *event, levelRun *run)
{
    switch (eventAction(event, level.gameState, sceneClock.isPaused, level.throwTimeRemaining)) {
    case startThrow:
        beginThrow(&level);
        break;
    case movePointer:
        pointer.mousex = event->motion.x;
        pointer.mousey = event->motion.y;
        if (sceneClock.isPaused == 0) addDrag(&level, event->motion.xrel, event->motion.yrel);
        break;
    case releaseThrow:
        endDrag(&level);
        break;
    case leaveGameOver:
        run->exitMode = levelCompleted;
        run->done = 1;
        break;
    case abandonThrow:
        // The ball goes back at the next step.
        level.ball.inPlay = 0;
        break;
    case keyPressed:
        keysPressed |= pressKeyOf(event->key.keysym.sym);
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
    keyActions a = keysAction(keystate, modstate, sceneClock.isPaused, sceneClock.pausedTimer, keysPressed);
    keysPressed = 0;
    if (a.quit) {
        run->exitMode = quit;
        run->done = 1;
    }
    if (a.pause) {
        sceneClock.isPaused = 1;
        sceneClock.pausedTimer = 0;
    }
    if (a.resume) {
        sceneClock.isPaused = 0;
        sceneClock.pausedTimer = -PAUSE_LOCKOUT;
    }
    if (a.skip) {
        run->exitMode = levelCompleted;
        run->done = 1;
    }
    if (a.restart) {
        run->done = 1;
        run->exitMode = restart;
    }
    if (a.fullScreen) sceneClock.isPaused = 1;
    return a.fullScreen;
}

void measureFrame(Uint32 thisTime, Uint32 *lastTime)
{
    int ms = frameMilliseconds(thisTime, *lastTime);
    sceneClock.deltaTime = (float)(ms / 1000.0);
    sceneClock.gameMilliseconds = sceneClock.isPaused == 1 ? 0 : ms;
    *lastTime = thisTime;
}

void advanceFrame(levelRun *run)
{
    sceneClock.pausedTimer += sceneClock.deltaTime;
    if (advanceLevel(&level, sceneClock.gameMilliseconds)) {
        run->done = 1;
        run->exitMode = levelCompleted;
    }
}
