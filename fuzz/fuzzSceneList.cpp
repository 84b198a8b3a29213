// The scene list (scenelist.txt) through the game's own reader.
#include "fuzzFile.h"
#include "main/sceneList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool quiet = (fuzzQuietStdout(), true);
    (void)quiet;
    fuzzFile file = fuzzFileOpen(data, size);
    FILE *f = fopen(file.name, "r");
    if (f) {
        char **sceneFiles = nullptr;
        int numScenes = readSceneList(f, &sceneFiles);
        // Every name in the table must be a terminated string within its buffer.
        for (int i = 0; i < numScenes; i++)
            if (memchr(sceneFiles[i], 0, MAX_FILENAME_LENGTH + 1) == nullptr) abort();
        freeSceneList(sceneFiles, numScenes);
        fclose(f);
    }
    fuzzFileClose(&file);
    return 0;
}
