/* Preloaded into the game by the soak test: counts the display lists the game
 * makes and deletes, and the video modes it sets, without touching the game.
 * After every counted call the line in $GLPROBE_OUT is rewritten in place:
 *   live generated deleted highestName modesSet strayDeletes
 * where live is generated minus deleted and a stray delete names a list that
 * was not live. With $GLPROBE_GATE naming a pipe, every mode change after the
 * first waits until the test writes a byte to it: the test can then release
 * the key that asked for the change before the game's next frame reads it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

typedef unsigned int GLuint;
typedef int GLsizei;

#define MAX_NAMES (1u << 20)

static unsigned char isLive[MAX_NAMES];
static long live, generated, deleted, highest, modes, stray;
static int out = -1;

static void report(void)
{
    if (out < 0) {
        const char *path = getenv("GLPROBE_OUT");
        if (!path) return;
        out = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out < 0) return;
    }
    char line[128];
    int n = snprintf(line, sizeof line, "%10ld %10ld %10ld %10ld %10ld %10ld\n", live, generated, deleted,
                     highest, modes, stray);
    if (pwrite(out, line, (size_t)n, 0) != n) abort();
}

static void *next(const char *name)
{
    void *f = dlsym(RTLD_NEXT, name);
    if (!f) abort();
    return f;
}

GLuint glGenLists(GLsizei range)
{
    static GLuint (*real)(GLsizei);
    if (!real) real = (GLuint(*)(GLsizei))next("glGenLists");
    GLuint first = real(range);
    for (GLsizei i = 0; first != 0 && i < range; i++) {
        GLuint name = first + (GLuint)i;
        /* A name beyond the table is counted but can never be matched by a delete:
           it then shows as a list that stays live. */
        if (name < MAX_NAMES) isLive[name] = 1;
        live++;
        generated++;
        if ((long)name > highest) highest = name;
    }
    report();
    return first;
}

void glDeleteLists(GLuint list, GLsizei range)
{
    static void (*real)(GLuint, GLsizei);
    if (!real) real = (void (*)(GLuint, GLsizei))next("glDeleteLists");
    for (GLsizei i = 0; i < range; i++) {
        GLuint name = list + (GLuint)i;
        if (name < MAX_NAMES && isLive[name]) {
            isLive[name] = 0;
            live--;
            deleted++;
        } else {
            stray++;
        }
    }
    real(list, range);
    report();
}

void *SDL_SetVideoMode(int width, int height, int bpp, unsigned int flags)
{
    static void *(*real)(int, int, int, unsigned int);
    if (!real) real = (void *(*)(int, int, int, unsigned int))next("SDL_SetVideoMode");
    void *surface = real(width, height, bpp, flags);
    modes++;
    report();
    const char *gate = getenv("GLPROBE_GATE");
    if (gate && modes > 1) {
        int fd = open(gate, O_RDONLY | O_CLOEXEC);
        char byte;
        if (fd < 0 || read(fd, &byte, 1) != 1) abort();
        close(fd);
    }
    return surface;
}
