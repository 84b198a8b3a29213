// The one video surface of the game and the size it asks for, the system
// pointer, and the pace of still frames.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/display.h"

static SDL_Surface *screen = nullptr;
static int fullscreen = 0;
static int screenWidth = SCREEN_WIDTH;
static int screenHeight = SCREEN_HEIGHT;
static int screenBits = SCREEN_BITS;
static int pointerFree = -1; // not yet set either way

static void applyPointer(void)
{
    SDL_ShowCursor(pointerFree != 0 ? SDL_ENABLE : SDL_DISABLE);
    SDL_WM_GrabInput(pointerFree != 0 ? SDL_GRAB_OFF : SDL_GRAB_ON);
}

SDL_Surface *getScreen(void) { return screen; }

int getScreenWidth(void) { return screenWidth; }

int getScreenHeight(void) { return screenHeight; }

[[noreturn]] static void noVideoMode(void)
{
    fprintf(stderr, "Couldn't set a particular GL video mode: %s\n", SDL_GetError());
    SDL_Quit();
    exit(2);
}

static bool isSet(const char *variable)
{
    const char *value = getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// Without a display SDL may still find a driver: classic SDL a text console,
// sdl12-compat one that draws offscreen. The mode would then "succeed" and the
// game run on where no one sees it.
static void needVisibleDisplay(void)
{
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        SDL_SetError("neither DISPLAY nor WAYLAND_DISPLAY is set");
        noVideoMode();
    }
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    if (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0) {
        SDL_SetError("the %s video driver shows nothing", driver);
        noVideoMode();
    }
}

// Switches between full screen and a window; the first call goes full screen.
// A mode that cannot be set is the game's one fatal error.
void toggleFullscreen(void)
{
    // Setting a mode starts SDL's video if SDL_Init could not; classic SDL would
    // crash on the attributes below without it. If video still cannot start, no
    // mode can be set.
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) noVideoMode();
    needVisibleDisplay();

    // 16 bits of colour ask for 5 bits a channel (integer division).
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, screenBits / 3);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, screenBits / 3);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, screenBits / 3);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // A real display then paces the frames at its refresh rate.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);

    if (fullscreen == 0) {
        screen = SDL_SetVideoMode(screenWidth, screenHeight, screenBits, SDL_OPENGL | SDL_FULLSCREEN);
        fullscreen = 1;
    } else {
        screen = SDL_SetVideoMode(screenWidth, screenHeight, screenBits, SDL_OPENGL | SDL_HWSURFACE);
        fullscreen = 0;
    }

    if (screen == nullptr) noVideoMode();
    // sdl12-compat may grab anew with a new mode.
    if (pointerFree >= 0) applyPointer();
}

void setPointerFree(bool free)
{
    if (pointerFree == (int)free) return;
    pointerFree = free;
    applyPointer();
}

void restBetweenStillFrames(void)
{
    static Uint32 lastRest = 0;
    Uint32 since = SDL_GetTicks() - lastRest;
    if (since < STILL_FRAME_MS) SDL_Delay(STILL_FRAME_MS - since);
    lastRest = SDL_GetTicks();
}
