// The one video surface of the game, owned by the main module: full screen or
// a window, and the size it asks for; the system pointer; the pace of frames
// that show a still picture.
#pragma once

#include <SDL.h>

// The window the game asks for: 640 by 480 at 16 bits of colour.
#define SCREEN_WIDTH 640
#define SCREEN_HEIGHT 480
#define SCREEN_BITS 16

SDL_Surface *getScreen(void);
int getScreenWidth(void);
int getScreenHeight(void);
// Switches between full screen and a window; the first call goes full screen.
// A mode that cannot be set, or a display no player could see, ends the game
// with status 2.
void toggleFullscreen(void);

// Free, the system pointer shows and may leave the window, so that a paused
// player can reach other programs; otherwise it is hidden and held in the
// window, where only its motion counts. Acts only when the wish changes.
void setPointerFree(bool free);

// A paused game needs few frames: looking at the keys and the mouse 20 times a
// second keeps it answering at once, at a small share of a processor.
const Uint32 STILL_FRAME_MS = 50;
// Sleeps until STILL_FRAME_MS have passed since the last call returned, so that
// a paused game leaves the processor alone.
void restBetweenStillFrames(void);
