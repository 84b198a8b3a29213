/* Preloaded into the game by the soak test: counts the display lists it makes and deletes
 * (a stray delete names no live list) and the video modes it asks for, rewritten after
 * each counted call as one JSON line in $GLPROBE_OUT. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

#define SDL_FULLSCREEN 0x80000000u

static unsigned char isLive[1 << 20];
static long live, made, stray, modes, fullScreen;

/* Fixed-width fields rewritten in place by one write, so that a reader never sees half a line. */
static void report(void)
{
    static FILE *out;
    if (!out && !(out = fopen(getenv("GLPROBE_OUT"), "we"))) abort();
    rewind(out);
    fprintf(out, "{\"live\": %9ld, \"made\": %9ld, \"stray\": %9ld, \"modes\": %9ld, \"fullScreen\": %9ld}\n",
            live, made, stray, modes, fullScreen);
    if (fflush(out) != 0) abort();
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
