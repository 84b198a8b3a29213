/* Preloaded into the game by the soak test: counts the display lists it makes
 * and deletes and the video modes it sets. After each counted call the line in
 * $GLPROBE_OUT is rewritten: live made stray modes fullScreenModes, where a
 * stray delete names no live list. With $GLPROBE_GATE naming a pipe, every mode
 * after the first waits for a byte from it, so the test can let go of the key
 * that asked for it before the game's next frame reads the keys. */
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
    int n =
        snprintf(line, sizeof line, "%10ld %10ld %10ld %10ld %10ld\n", live, made, stray, modes, fullScreen);
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
    for (int i = 0; i < range; i++) {
        if (list + i < NAMES && isLive[list + i])
            isLive[list + i] = 0, live--;
        else
            stray++;
    }
    ((void (*)(unsigned, int))dlsym(RTLD_NEXT, "glDeleteLists"))(list, range);
    report();
}

void *SDL_SetVideoMode(int width, int height, int bpp, unsigned flags)
{
    void *surface =
        ((void *(*)(int, int, int, unsigned))dlsym(RTLD_NEXT, "SDL_SetVideoMode"))(width, height, bpp, flags);
    modes++;
    fullScreen += (flags & SDL_FULLSCREEN) != 0;
    report();
    char byte;
    int fd = modes > 1 && getenv("GLPROBE_GATE") ? open(getenv("GLPROBE_GATE"), O_RDONLY | O_CLOEXEC) : -1;
    if (fd >= 0 && read(fd, &byte, 1) != 1) abort();
    if (fd >= 0) close(fd);
    return surface;
}
