// The one video surface of the game, owned by the main module: full screen or
// a window, and the size it asks for.
#pragma once

#include <SDL.h>

SDL_Surface *getScreen(void);
int getScreenWidth(void);
int getScreenHeight(void);
// Switches between full screen and a window; the first call goes full screen.
// A mode that cannot be set ends the game with status 2.
void toggleFullscreen(void);
