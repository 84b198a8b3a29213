#include "sceneList.h"

#include <cstdlib>

#include "../reader.h"

int readSceneList(const char *fname, char ***sceneFiles)
{
    int numScenes = -1;
    *sceneFiles = nullptr;
    dataFile d;
    if (!openData(&d, fname)) {
        noteReading(&d, readCannotOpen, 0, 0);
        return -1;
    }

    int numValues = readCount(&d, &numScenes);
    printf("%d scenes\n", numScenes);
    if (numValues != 2 || numScenes < 1) {
        noteReading(&d, readBadHeader, 0, 0);
        printf("invalid first line, or number of scenes stated\n");
        printf("Error in scene list file, scenelist.txt\n");
        closeData(&d);
        return 0;
    }

    char **table = nullptr;
    int capacity = 0;
    int i = 0;
    for (; i < numScenes; i++) {
        // One byte more than the longest name read, so a 256-character name keeps its terminator.
        if (!makeRoom((void **)&table, &capacity, i, numScenes, sizeof(char *)) ||
            !(table[i] = (char *)calloc(MAX_FILENAME_LENGTH + 1, 1))) {
            noteReading(&d, readOutOfMemory, 1 + i, 0);
            break;
        }
        if (readFileName(&d, table[i]) < 2) {
            noteReading(&d, readShortEntry, 1 + i, numScenes);
            break;
        }
    }
    closeData(&d);
    if (i < numScenes) {
        // A table that cannot be allocated is as unusable as a short list.
        printf("Not all scene entries valid\n");
        freeSceneList(table, capacity);
        printf("Error in scene list file, scenelist.txt\n");
        return 0;
    }

    *sceneFiles = table;
    return numScenes;
}

void freeSceneList(char **sceneFiles, int numScenes)
{
    if (sceneFiles == nullptr) return;
    for (int i = 0; i < numScenes; i++)
        free(sceneFiles[i]);
    free(sceneFiles);
}

e_gameState startingStateFor(int i, int numScenes) { return i + 1 == numScenes ? over : awaitingThrow; }

int nextSceneIndex(int i, gameReturn result, int numScenes)
{
    if (result != restart) i++;
    if (i + 1 > numScenes) {
        printf("completed game...\n");
        i = 0;
    }
    return i;
}
