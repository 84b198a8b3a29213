/* Preloaded into the game by the e2e tests: counts the display lists it makes and deletes
 * (a stray delete names no live list) and the video modes it asks for, and keeps when the game
 * took in the last left press and release of the mouse and how long before it had last drawn (the
 * frame in which each came: the game cannot tell when in it), and where it last drew the ball (the
 * first object moved to after each clear) and when, in seconds of frames drawn as the game counts
 * time (a frame over a quarter second counts none), rewritten after each of these as one JSON
 * line in $GLPROBE_OUT. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#define SDL_FULLSCREEN 0x80000000u

static unsigned char isLive[1 << 20];
static long live, made, stray, modes, fullScreen;
static int movesSinceClear;
static double pressSeconds, pressFrame, releaseSeconds, releaseFrame, ballSeconds, ballY, lastDraw,
    drawnSeconds;

/* Fixed-width fields rewritten in place by one write, so that a reader never sees half a line. */
static void report(void)
{
    static FILE *out;
    if (!out && !(out = fopen(getenv("GLPROBE_OUT"), "we"))) abort();
    rewind(out);
    fprintf(out,
            "{\"live\": %9ld, \"made\": %9ld, \"stray\": %9ld, \"modes\": %9ld, \"fullScreen\": %9ld, "
            "\"pressSeconds\": %16.4f, \"pressFrame\": %8.4f, \"releaseSeconds\": %16.4f, \"releaseFrame\": "
            "%8.4f, "
            "\"ballSeconds\": %16.4f, \"ballY\": %12.4f}\n",
            live, made, stray, modes, fullScreen, pressSeconds, pressFrame, releaseSeconds, releaseFrame,
            ballSeconds, ballY);
    if (fflush(out) != 0) abort();
}

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

unsigned glGenLists(int range)
{
    unsigned first = ((unsigned (*)(int))dlsym(RTLD_NEXT, "glGenLists"))(range);
    for (int i = 0; first && i < range; i++, made++, live++)
        if (first + i < sizeof isLive) isLive[first + i] = 1;
    report();
    return first;
}

void glDeleteLists(unsigned list, int range)
{
    for (int i = 0; i < range; i++)
        if (list + i < sizeof isLive && isLive[list + i])
            isLive[list + i] = 0, live--;
        else
            stray++;
    ((void (*)(unsigned, int))dlsym(RTLD_NEXT, "glDeleteLists"))(list, range);
    report();
}

void *SDL_SetVideoMode(int width, int height, int bpp, unsigned flags)
{
    modes++;
    fullScreen += (flags & SDL_FULLSCREEN) != 0;
    report();
    void *(*next)(int, int, int, unsigned) = dlsym(RTLD_NEXT, "SDL_SetVideoMode");
    return next(width, height, bpp, flags);
}

void glClear(unsigned mask)
{
    movesSinceClear = 0;
    ((void (*)(unsigned))dlsym(RTLD_NEXT, "glClear"))(mask);
}

void glTranslatef(float x, float y, float z)
{
    if (movesSinceClear++ == 0) {
        double t = now();
        if (t - lastDraw <= 0.25) drawnSeconds += t - lastDraw;
        lastDraw = t;
        if (y != ballY) ballSeconds = drawnSeconds, ballY = y, report();
    }
    ((void (*)(float, float, float))dlsym(RTLD_NEXT, "glTranslatef"))(x, y, z);
}

/* An SDL 1.2 event starts with its type, which device, and for a button event the button. */
enum { MOUSEBUTTONDOWN = 5, MOUSEBUTTONUP = 6, BUTTON_LEFT = 1 };

int SDL_PollEvent(unsigned char *event)
{
    int got = ((int (*)(unsigned char *))dlsym(RTLD_NEXT, "SDL_PollEvent"))(event);
    if (got && event && (event[0] == MOUSEBUTTONDOWN || event[0] == MOUSEBUTTONUP) &&
        event[2] == BUTTON_LEFT) {
        double t = now(), down = event[0] == MOUSEBUTTONDOWN;
        *(down ? &pressSeconds : &releaseSeconds) = t;
        *(down ? &pressFrame : &releaseFrame) = t - lastDraw;
        report();
    }
    return got;
}
