// Scene files through the real scene loader. The meshes that a scene names are
// small valid files written once into a scratch folder, so that the fuzzer can
// reach the pin entries; any other name simply fails to open.
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzzFile.h"
#include "scene/sceneInternal.h"

static void writeFile(const std::string &path, const char *text)
{
    FILE *f = fopen(path.c_str(), "w");
    if (!f) abort();
    fputs(text, f);
    fclose(f);
}

static const char *TRIANGLE = "triangles 1\n"
                              "normal [0, 0, 1]\n"
                              "colour [255, 0, 0]\nposition [0, 0, 0]\n"
                              "colour [0, 255, 0]\nposition [1, 0, 0]\n"
                              "colour [0, 0, 255]\nposition [0, 1, 0]\n";

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The dummy video driver gives a surface without OpenGL: the load's final
    // buffer swap then does nothing, and drawing commands go nowhere.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(64, 64, 0, 0)) abort();
    char dir[] = "/tmp/pinwhirl-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) abort();
    writeFile("m", TRIANGLE);
    writeFile("c", TRIANGLE);
    fuzzQuietStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzFile f = fuzzFileOpen(data, size);
    sceneLoad(f.name);
    // Whatever the load built, successful or not, goes again before the next input.
    sceneUnload();
    fuzzFileClose(&f);
    return 0;
}
