// Pinwhirl: reads the list of scenes, opens the window and plays the levels in
// order until the player quits.
#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "draw/text.h"
#include "files/sceneList.h"
#include "game/display.h"
#include "game/sceneLoop.h"

int main(int argc, char **argv)
{
    // Line by line even into a pipe or a file, so a log shows each level as it loads.
    setvbuf(stdout, nullptr, _IOLBF, 0);

    if (argc > 0)
        for (int i = 1; i < argc; i++)
            printf("%d %s\n", i, argv[i]);

    printf("loading list of scenes...\n");
    sceneList list;
    readSceneList("scenelist.txt", &list);
    writeSceneListMessages(stdout, &list);
    int numScenes = list.count;
    char **sceneFiles = list.files;
    if (numScenes < 0) printf("Unable to open scenelist.txt, exiting...\n");
    if (numScenes < 1) {
        freeSceneList(&list);
        return 0;
    }
    printf("done loading scene list\n");

    // Without a display classic SDL falls back to libcaca, which would paint
    // escape codes over our standard output before the OpenGL mode fails.
    // Its null driver keeps the output clean; a choice made by the user stands.
    setenv("CACA_DRIVER", "null", 0);

    int code = SDL_Init(SDL_INIT_VIDEO);
    if (code != 0) printf("SDL_Init failed with code %d\n", code);
    toggleFullscreen();
    SDL_WM_SetCaption("Pinwhirl", "whatDoesThisDo?");
    text_init(getScreenWidth(), getScreenHeight());

    printf("OpenGL Vendor:   %s\n", (const char *)glGetString(GL_VENDOR));
    printf("OpenGL Renderer: %s\n", (const char *)glGetString(GL_RENDERER));
    printf("OpenGL Version:  %s\n", (const char *)glGetString(GL_VERSION));

    setPointerFree(false);

    int i = 0;
    gameReturn thisGameReturn;
    do {
        thisGameReturn = sceneMain(sceneFiles[i], startingStateFor(i, numScenes));
        i = nextSceneIndex(i, thisGameReturn, numScenes);
    } while (thisGameReturn != quit);

    freeSceneList(&list);
    SDL_Quit();
    printf("\n....Done....\n");
    return 0;
}
