// Scene files through the game's reader, without a window. The meshes a scene
// names are small valid files in a scratch folder ("m" and "c"), so that the
// fuzzer can reach the pin entries; any other name simply fails to open.
#include <string>

#include "fuzzFile.h"
#include "scene/sceneFile.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char dir[] = "/tmp/pinwhirl-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0) abort();
    for (const char *name : {"m", "c"}) {
        FILE *f = fopen(name, "w");
        fputs("t 1\nn [0, 0, 1]\nc [255, 0, 0]\np [0, 0, 0]\nc [0, 255, 0]\np [1, 0, 0]\nc [0, 0, 255]\np "
              "[0, 1, 0]\n",
              f);
        fclose(f);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzFile f(data, size);
    sceneData scene;
    condition result = readScene(f.name, &scene);
    if (result == success && scene.numPins > 0 && scene.pinRecords < scene.numPins) abort();
    freeSceneData(&scene);
    return 0;
}
