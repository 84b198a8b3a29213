// One level from load to unload, frame by frame.
#include "sceneLoop.h"
#include "../display.h"

// Measures the last frame. With limitFrames set, frames are spaced at least
// FRAME_SPACING_MS apart by spinning on the tick count.
static void sceneIdle(void)
{
    static Uint32 lastTime = 0;
    Uint32 thisTime = SDL_GetTicks();
    while (limitFrames != 0 && thisTime - lastTime < FRAME_SPACING_MS)
        thisTime = SDL_GetTicks();
    frameClock(thisTime, &lastTime);
}

static void fitProjectionToScreen(void)
{
    SDL_Surface *scrn = getScreen();
    sceneReshape(scrn->w, scrn->h);
}

gameReturn sceneMain(char *sceneFname, e_gameState startingState)
{
    levelRun run = {0, quit};

    startLevel(startingState, SDL_GetKeyState(nullptr));
    fitProjectionToScreen();
    if (sceneLoad(sceneFname) != success) {
        releaseScene();
        return quit;
    }
    // The first frame is measured from the end of loading.
    sceneIdle();

    while (run.done == 0) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            handleEvent(&event, &run);
        if (handleKeys(SDL_GetKeyState(nullptr), SDL_GetModState(), &run)) {
            toggleFullscreen();
            fitProjectionToScreen();
        }
        sceneIdle();
        advanceFrame(&run);
        drawScene();
    }

    sceneUnload();
    return run.exitMode;
}
