// The scene module's state, in plain structs by how long each part lives,
// each set whole where its life begins.
#pragma once

#include <SDL.h>

#include "draw/sceneDraw.h"
#include "sim/levelPlay.h"

// The level in play, started by each level's load; its throw goes on from one
// level into the next.
extern levelPlay level;

// How the level looks, from its load to its unload.
extern levelLook look;

// The frame's clock and the pause, for the whole run.
typedef struct frameClock {
    float deltaTime;      // real seconds of the last frame; 0 for one longer than LONGEST_FRAME_MS
    int gameMilliseconds; // the game time of the last frame, what the level moves on by: 0 while paused
    int isPaused;
    // Offered but not set by any frame: frames at least FRAME_SPACING_MS apart,
    // spaced by spinning on the tick count, for a display that paces none.
    int limitFrames;
} frameClock;
const Uint32 FRAME_SPACING_MS = 20;
extern frameClock sceneClock;

// The pointer, for the whole run.
extern overlayPointer pointer;
