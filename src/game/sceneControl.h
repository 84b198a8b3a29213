// Input, game states, timers and the frame clock: the steps of one frame of a
// level. The decisions are plain functions from values to values; the wrappers
// below them keep the scene's state, and sceneMain strings them together.
#pragma once

#include <SDL.h>

#include "common/gameStates.h"

// Tuning of the controls and the clock.
const Uint32 LONGEST_FRAME_MS = 250; // a longer frame (a stall, a mode change) counts as no time at all

// What one event asks for, given the game state.
typedef enum inputAction {
    ignoreInput,
    startThrow,    // left press while awaiting a throw, paused or not
    movePointer,   // motion: the pointer moves; counted toward the drag only while not paused
    releaseThrow,  // left release during the drag
    leaveGameOver, // left release on the game-over screen
    abandonThrow,  // any other button released while a throw rolls
    keyPressed,    // one of the keys that act once a press went down
    closeWindow,
} inputAction;
inputAction eventAction(const SDL_Event *event, e_gameState state, int paused, float throwTime);

// The keys whose presses count, in the frame in which each comes, as bits;
// 0 for the others. Esc, and q with Ctrl down, quit.
enum pressKey { skipKey = 1, restartKey = 2, fullScreenKey = 4, quitKey = 8, pauseKey = 16, resumeKey = 32 };
unsigned pressKeyOf(SDLKey key, SDLMod mod);

// What the keys held down in this frame ask for, tested in this order, with
// the presses that this frame's events brought.
typedef struct keyActions {
    bool quit, pause, resume, skip, restart, fullScreen;
} keyActions;
keyActions keysAction(const Uint8 *keystate, SDLMod modstate, int paused, unsigned pressed);

// Milliseconds from one frame's tick count to the next; 0 for a frame longer than LONGEST_FRAME_MS.
int frameMilliseconds(Uint32 thisTime, Uint32 lastTime);

// How the level run stands: done becomes 1 when the level is to end after this frame.
typedef struct levelRun {
    int done;
    gameReturn exitMode;
} levelRun;

// The wrappers over the scene's state, in frame order. A level starts
// unpaused (its load starts its play).
void startLevel(void);
// Called as a frame starts at tick count thisTime, before its events, the
// last frame having started at lastTime. A frame longer than LONGEST_FRAME_MS
// moves the game on by no time, yet the pointer's motion during it still
// comes: a drag under way counts its real length, so that the throw takes the
// speed the hand moved at; the motion of a drag begun in it is dropped, for
// when it came is unknown.
void countStall(Uint32 thisTime, Uint32 lastTime);
void handleEvent(const SDL_Event *event, levelRun *run);
// Returns 1 when the full-screen key is down: the caller then switches the
// video mode and fits the projection to the new surface.
int handleKeys(const Uint8 *keystate, SDLMod modstate, levelRun *run);
void measureFrame(Uint32 thisTime, Uint32 *lastTime);
// The pause lockout runs on real time; the level moves on by the frame's game
// time in its fixed steps, and the run ends after this frame once it is won.
void advanceFrame(levelRun *run);

// Offered but not called by any frame:
// Shows or hides the overlay pointer that the heads-up display can draw.
void showMyGLPointer(int newState);
