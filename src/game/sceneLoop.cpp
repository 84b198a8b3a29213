// One level from load to unload, frame by frame.
#include "game/sceneLoop.h"

#include "game/display.h"
#include "game/sceneControl.h"
#include "game/sceneHint.h"
#include "game/sceneLoad.h"
#include "game/sceneState.h"

static Uint32 lastTime = 0; // the tick count at which the last frame started

// The tick count at which a frame starts: its events are those that came since
// the last one started. With sceneClock.limitFrames set, frames are spaced at
// least FRAME_SPACING_MS apart by spinning on the tick count.
static Uint32 frameStart(void)
{
    Uint32 thisTime = SDL_GetTicks();
    while (sceneClock.limitFrames != 0 && thisTime - lastTime < FRAME_SPACING_MS)
        thisTime = SDL_GetTicks();
    return thisTime;
}

static void fitProjectionToScreen(void)
{
    SDL_Surface *scrn = getScreen();
    sceneReshape(scrn->w, scrn->h);
}

static void drawScene(void)
{
    drawFrame(&level, &look, sceneClock.deltaTime, sceneClock.isPaused, &pointer);
    drawHint(level, look);
    SDL_GL_SwapBuffers();
}

gameReturn sceneMain(char *sceneFname, e_gameState startingState)
{
    levelRun run = {0, quit};

    startLevel();
    fitProjectionToScreen();
    if (sceneLoad(sceneFname, startingState) != success) {
        releaseScene();
        return quit;
    }
    // The first frame is measured from the end of loading.
    measureFrame(frameStart(), &lastTime);

    while (run.done == 0) {
        int wasPaused = sceneClock.isPaused;
        bool happened = false; // an event, or a new video mode
        Uint32 startTime = frameStart();
        countStall(startTime, lastTime);
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            handleEvent(&event, &run);
            hintEvent(&event, level, sceneClock.isPaused != 0);
            happened = true;
        }
        if (handleKeys(SDL_GetKeyState(nullptr), SDL_GetModState(), &run)) {
            toggleFullscreen();
            fitProjectionToScreen();
            happened = true;
        }
        // Paused, the player may want other programs, and the picture stands still.
        setPointerFree(sceneClock.isPaused != 0);
        if (sceneClock.isPaused != 0) restBetweenStillFrames();
        measureFrame(startTime, &lastTime);
        advanceFrame(&run);
        hintFrame(level, sceneClock.isPaused != 0);
        // While the game stays paused and nothing happens, the picture shown is
        // still right: drawing it again would only spend the processor, much
        // of it where the picture is scaled up to the screen in software.
        if (!(wasPaused && sceneClock.isPaused && !happened)) drawScene();
    }

    forgetHint();
    sceneUnload();
    return run.exitMode;
}
