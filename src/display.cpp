// The one video surface of the game and the size it asks for.
#include <cstdio>
#include <cstdlib>

#include "display.h"
#include "includes.h"

static SDL_Surface *screen = nullptr;
static int fullscreen = 0;
static int screenWidth = SCREEN_WIDTH;
static int screenHeight = SCREEN_HEIGHT;
static int screenBits = SCREEN_BITS;

SDL_Surface *getScreen(void) { return screen; }

int getScreenWidth(void) { return screenWidth; }

int getScreenHeight(void) { return screenHeight; }

[[noreturn]] static void noVideoMode(void)
{
    fprintf(stderr, "Couldn't set a particular GL video mode: %s\n", SDL_GetError());
    SDL_Quit();
    exit(2);
}

// Switches between full screen and a window; the first call goes full screen.
// A mode that cannot be set is the game's one fatal error.
void toggleFullscreen(void)
{
    // Setting a mode starts SDL's video if SDL_Init could not; classic SDL would
    // crash on the attributes below without it. If video still cannot start, no
    // mode can be set.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) noVideoMode();

    // 16 bits of colour ask for 5 bits a channel (integer division).
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, screenBits / 3);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, screenBits / 3);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, screenBits / 3);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    if (fullscreen == 0) {
        screen = SDL_SetVideoMode(screenWidth, screenHeight, screenBits, SDL_OPENGL | SDL_FULLSCREEN);
        fullscreen = 1;
    } else {
        screen = SDL_SetVideoMode(screenWidth, screenHeight, screenBits, SDL_OPENGL | SDL_HWSURFACE);
        fullscreen = 0;
    }

    if (screen == nullptr) noVideoMode();
}
