// One level from load to unload, frame by frame.
#include "sceneLoop.h"
#include "../main/main.h"

// Measures the last frame. With limitFrames set, frames are spaced at least
// 20 ms apart by spinning on the tick count.
static void sceneIdle(void)
{
    static Uint32 lastTime = 0;
    Uint32 thisTime = 0;
    if (limitFrames != 0) {
        do {
            thisTime = SDL_GetTicks();
        } while ((int)(thisTime - lastTime) < 20);
    } else {
        thisTime = SDL_GetTicks();
    }
    frameClock(thisTime, &lastTime);
}

static void fitProjectionToScreen(SDL_Surface **scrn)
{
    *scrn = getScreen();
    sceneReshape((*scrn)->w, (*scrn)->h);
}

gameReturn sceneMain(char *sceneFname, e_gameState startingState)
{
    static SDL_Surface *scrn = nullptr;
    levelRun run = {0, quit};
    SDL_Event event;

    startLevel(startingState);
    fitProjectionToScreen(&scrn);
    condition aCondition = sceneLoad(sceneFname);
    if (aCondition != success) {
        releaseScene();
        return quit;
    }
    // The first frame is measured from the end of loading.
    sceneIdle();

    while (run.done == 0) {
        while (SDL_PollEvent(&event))
            handleEvent(&event, &run);

        Uint8 *keystate = SDL_GetKeyState(nullptr);
        SDLMod modstate = SDL_GetModState();
        if (handleKeys(keystate, modstate, &run)) {
            toggleFullscreen();
            fitProjectionToScreen(&scrn);
        }

        sceneIdle();
        advanceTimers();
        if (throwIsOver()) putBallBack();
        testLevelWon(&run);
        if (worldMoves()) doPhysics();
        drawScene();
    }

    sceneUnload();
    return run.exitMode;
}
