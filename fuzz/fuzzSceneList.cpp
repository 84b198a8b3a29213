// The scene list: every name in a table that comes back is terminated within its buffer.
#include <cstring>

#include "fuzzFile.h"
#include "main/sceneList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzFile f(data, size);
    char **sceneFiles = nullptr;
    int numScenes = readSceneList(f.name, &sceneFiles);
    for (int i = 0; i < numScenes; i++)
        if (memchr(sceneFiles[i], 0, MAX_FILENAME_LENGTH + 1) == nullptr) abort();
    freeSceneList(sceneFiles, numScenes);
    return 0;
}
