/* Preloaded into the game by the soak test: counts the display lists it makes and
 * deletes (a stray delete names no live list) and the video modes it sets, and
 * after each counted call rewrites them in $GLPROBE_OUT as one JSON line. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#define NAMES (1u << 20)
#define SDL_FULLSCREEN 0x80000000u

static unsigned char isLive[NAMES];
static long live, made, stray, modes, fullScreen;

/* Fixed-width fields rewritten in place, so that a reader never sees half a line. */
static void report(void)
{
    static int fd = -1;
    char line[128];
    int n = snprintf(line, sizeof line, "{\"live\": %9ld, \"made\": %9ld, \"stray\": %9ld, \"modes\": %9ld, "
                     "\"fullScreen\": %9ld}\n", live, made, stray, modes, fullScreen);
    if (fd < 0) fd = open(getenv("GLPROBE_OUT"), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || pwrite(fd, line, (size_t)n, 0) != n) abort();
}

unsigned glGenLists(int range)
{
    unsigned first = ((unsigned (*)(int))dlsym(RTLD_NEXT, "glGenLists"))(range);
    for (int i = 0; first && i < range; i++, made++, live++)
        if (first + i < NAMES) isLive[first + i] = 1;
    report();
    return first;
}

void glDeleteLists(unsigned list, int range)
{
    for (int i = 0; i < range; i++)
        if (list + i < NAMES && isLive[list + i])
            isLive[list + i] = 0, live--;
        else
            stray++;
    ((void (*)(unsigned, int))dlsym(RTLD_NEXT, "glDeleteLists"))(list, range);
    report();
}

void *SDL_SetVideoMode(int width, int height, int bpp, unsigned flags)
{
    void *(*next)(int, int, int, unsigned) = dlsym(RTLD_NEXT, "SDL_SetVideoMode");
    modes++;
    fullScreen += (flags & SDL_FULLSCREEN) != 0;
    void *surface = next(width, height, bpp, flags);
    report();
    return surface;
}
