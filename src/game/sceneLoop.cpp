// One level from load to unload, frame by frame.
#include "game/sceneLoop.h"
#include "game/display.h"
#include "game/sceneHint.h"

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

    startLevel(startingState);
    fitProjectionToScreen();
    if (sceneLoad(sceneFname) != success) {
        releaseScene();
        return quit;
    }
    // The first frame is measured from the end of loading.
    sceneIdle();

    while (run.done == 0) {
        int wasPaused = isPaused;
        bool happened = false; // an event, or a new video mode
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            handleEvent(&event, &run);
            hintEvent(&event, level, isPaused != 0);
            happened = true;
        }
        if (handleKeys(SDL_GetKeyState(nullptr), SDL_GetModState(), &run)) {
            toggleFullscreen();
            fitProjectionToScreen();
            happened = true;
        }
        // Paused, the player may want other programs, and the picture stands still.
        setPointerFree(isPaused != 0);
        if (isPaused != 0) restBetweenStillFrames();
        sceneIdle();
        advanceFrame(&run);
        hintFrame(level, isPaused != 0);
        // While the game stays paused and nothing happens, the picture shown is
        // still right: drawing it again would only spend the processor, much
        // of it where the picture is scaled up to the screen in software.
        if (!(wasPaused && isPaused && !happened)) drawScene();
    }

    forgetHint();
    sceneUnload();
    return run.exitMode;
}
