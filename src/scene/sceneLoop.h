// The steps of one frame of a level, as plain functions over the scene state,
// so that they can be driven without a window. sceneMain strings them together.
#pragma once

#include <SDL.h>

#include "sceneInternal.h"

// How the level run stands: done becomes 1 when the level is to end after this frame.
typedef struct levelRun {
    int done;
    gameReturn exitMode;
} levelRun;

// Sets the game up for a level that starts in startingState.
void startLevel(e_gameState startingState);

// One event of the drain: mouse buttons and motion drive the throw.
void handleEvent(const SDL_Event *event, levelRun *run);

// The key tests, in order. Returns 1 when the full-screen key is down: the
// caller then switches the video mode and fits the projection to the new surface.
int handleKeys(const Uint8 *keystate, SDLMod modstate, levelRun *run);

// Advances the frame clock to thisTime (SDL ticks, milliseconds) from *lastTime.
void frameClock(Uint32 thisTime, Uint32 *lastTime);

// Timers after the frame clock: the pause debounce, the throw's motion time
// and the throw clock.
void advanceTimers(void);

// The ball goes back to its start when its throw has run out or it is out of play.
int throwIsOver(void);
void putBallBack(void);

// A level with no pins left is won, except on the game-over screen.
void testLevelWon(levelRun *run);

// The world moves while the game waits for or watches a throw, unless paused.
int worldMoves(void);
