// The hint: a press of h while a throw is awaited searches, a slice a frame,
// for the most forgiving throw from where the pins stand at the press, then
// draws the drag over the picture and writes it on standard output. The
// search works on its own copy of the level: the game goes on, bit for bit,
// as it would without it.
#pragma once

#include <SDL.h>

#include <string>

#include "draw/sceneDraw.h"
#include "plan/throwPlan.h"

const SDLKey HINT_KEY = SDLK_h;

// The search's share of a frame: it plays no throw that might take it past
// this, so that a frame while thinking stays short enough not to be felt.
const double HINT_SLICE_MS = 30;

// Plays throws of the search until it is done or the next might run past
// budgetMs, going by the longest throw of this slice; at least one. Returns
// true once the search is done.
bool searchSlice(throwSearch *s, double budgetMs);

// What the advice does: "clears the level", "takes 4 of 6 pins", or that
// no throw takes a pin.
std::string adviceOutcome(const throwAdvice &a);

// A press of the hint key while a throw is awaited and the game runs starts
// a search, or takes away the hint there is (shown or still thought of).
void hintEvent(const SDL_Event *event, const levelPlay &level, bool paused);
// After the frame's steps: the hint ends once the throw starts; otherwise a
// search runs its slice (none while paused) and, once done, says its advice.
void hintFrame(const levelPlay &level, bool paused);
// Over the frame: the arrow of the drag from the ball's place, and its words
// (or "thinking..."), in the text colour.
void drawHint(const levelPlay &level, const levelLook &look);
// The level ends: no hint carries into the next, nor any search over its world.
void forgetHint(void);
