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
        return pressKeyOf(event->key.keysym.sym, event->key.keysym.mod) ? keyPressed : ignoreInput;
    default:
        return ignoreInput;
    }
}

static bool ctrlDown(SDLMod mod) { return (mod & (KMOD_LCTRL | KMOD_RCTRL)) != 0; }

unsigned pressKeyOf(SDLKey key, SDLMod mod)
{
    switch (key) {
    case SDLK_F12:
        return skipKey;
    case SDLK_F5:
        return restartKey;
    case SDLK_F4:
        return fullScreenKey;
    case SDLK_p:
    case SDLK_PAUSE:
        return pauseKey;
    case SDLK_RETURN:
        return resumeKey;
    default:
        return key == SDLK_ESCAPE || (key == SDLK_q && ctrlDown(mod)) ? quitKey : 0;
    }
}

keyActions keysAction(const Uint8 *keystate, SDLMod modstate, int paused, unsigned pressed)
{
    keyActions a;
    // A quit key counts pressed, since a paused game looks at the key state
    // only 20 times a second and a tap between two looks leaves no trace
    // there, and held (Ctrl may come after q).
    a.quit = (pressed & quitKey) || keystate[SDLK_ESCAPE] || (keystate[SDLK_q] && ctrlDown(modstate));
    // A pause key toggles once a press, however long it is held; the pause
    // test comes first, so a frame never both pauses and resumes. Return only
    // resumes.
    bool pausePressed = pressed & pauseKey;
    a.pause = pausePressed && paused == 0;
    a.resume = (pausePressed || (pressed & resumeKey)) && paused == 1;
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

// After a stall the events drained bring the pointer's motion during it, when
// the stall itself moved the game on by no time.
static bool dropStallMotion = false;

void countStall(Uint32 thisTime, Uint32 lastTime)
{
    Uint32 ms = thisTime - lastTime;
    bool stalled = ms > LONGEST_FRAME_MS;
    bool dragging = sceneClock.isPaused == 0 && level.gameState == throwing;
    if (stalled && dragging) level.mouseMotionTime += (float)(ms / 1000.0);
    dropStallMotion = stalled && !dragging;
}

void startLevel(void) { sceneClock.isPaused = 0; }

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
        if (sceneClock.isPaused == 0 && !dropStallMotion)
            addDrag(&level, event->motion.xrel, event->motion.yrel);
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
        keysPressed |= pressKeyOf(event->key.keysym.sym, event->key.keysym.mod);
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
    keyActions a = keysAction(keystate, modstate, sceneClock.isPaused, keysPressed);
    keysPressed = 0;
    if (a.quit) {
        run->exitMode = quit;
        run->done = 1;
    }
    if (a.pause) sceneClock.isPaused = 1;
    if (a.resume) sceneClock.isPaused = 0;
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
    if (advanceLevel(&level, sceneClock.gameMilliseconds)) {
        run->done = 1;
        run->exitMode = levelCompleted;
    }
}
