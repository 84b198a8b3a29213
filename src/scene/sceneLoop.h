// The steps of one frame of a level. The decisions are plain functions from
// values to values; the wrappers below them keep the scene's state, and
// sceneMain strings them together.
#pragma once

#include "sceneInternal.h"

// Tuning of the controls and the clock.
const float PAUSE_LOCKOUT = 0.25f;   // seconds after a pause before it can be undone, and after a resume
const float LONGEST_FRAME = 0.25f;   // a longer frame (a stall, a mode change) counts as no time at all
const float CLICK_SECONDS = 0.0001f; // a press and release closer in game time is a click, not a throw
const Uint32 FRAME_SPACING_MS = 20;  // the least time between frames while limitFrames is set

// What one event asks for, given the game state.
typedef enum inputAction {
    ignoreInput,
    startThrow,    // left press while awaiting a throw, paused or not
    movePointer,   // motion: the pointer moves; counted toward the drag only while not paused
    releaseThrow,  // left release during the drag
    leaveGameOver, // left release on the game-over screen
    abandonThrow,  // any other button released while a throw rolls
    closeWindow,
} inputAction;
inputAction eventAction(const SDL_Event *event, e_gameState state, int paused, float throwTime);

// What the keys held down in this frame ask for, tested in this order.
typedef struct keyActions {
    bool quit, pause, resume, skip, restart, fullScreen;
} keyActions;
keyActions keysAction(const Uint8 *keystate, SDLMod modstate, int paused, float pausedTime);

// The push a drag gives the ball: the pointer's average speed over motionTime
// game seconds, times the sensitivities; motion up the screen (negative y)
// pushes along +y. A drag of no measurable time is a click: returns false.
bool dragPush(int totalX, int totalY, float motionTime, vec3 *push);

// Seconds from one frame's tick count to the next; 0 for a frame longer than LONGEST_FRAME.
float frameSeconds(Uint32 thisTime, Uint32 lastTime);

// How the level run stands: done becomes 1 when the level is to end after this frame.
typedef struct levelRun {
    int done;
    gameReturn exitMode;
} levelRun;

// The wrappers over the scene's state, in frame order.
void startLevel(e_gameState startingState);
void handleEvent(const SDL_Event *event, levelRun *run);
// Returns 1 when the full-screen key is down: the caller then switches the
// video mode and fits the projection to the new surface.
int handleKeys(const Uint8 *keystate, SDLMod modstate, levelRun *run);
void frameClock(Uint32 thisTime, Uint32 *lastTime);
void advanceTimers(void);
// The ball goes back to its start when its throw has run out or it is out of play.
int throwIsOver(void);
void putBallBack(void);
// A level with no pins left is won, except on the game-over screen.
void testLevelWon(levelRun *run);
// The world moves while the game waits for or watches a throw, unless paused.
int worldMoves(void);
