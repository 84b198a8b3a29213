// The display surface, owned by the main module.
#pragma once

#include <SDL.h>

SDL_Surface *getScreen(void);
int getScreenWidth(void);
int getScreenHeight(void);
void toggleFullscreen(void);
