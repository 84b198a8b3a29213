#include "sceneList.h"

#include <cstdlib>

// Labels are free documentation and never examined, so any word is accepted
// whatever its length: it is skipped without being stored. A word counts as one
// conversion, as it would if it were stored.
static int skipLabel(FILE *f) { return fscanf(f, "%*s") == EOF ? 0 : 1; }

static int conversions(int scanned) { return scanned == EOF ? 0 : scanned; }

int readSceneList(FILE *f, char ***sceneFiles)
{
    int numScenes = -1;
    *sceneFiles = nullptr;

    int numValues = skipLabel(f);
    if (numValues) numValues += conversions(fscanf(f, " %d", &numScenes));
    printf("%d scenes\n", numScenes);
    if (numValues != 2 || numScenes < 1) {
        printf("invalid first line, or number of scenes stated\n");
        printf("Error in scene list file, scenelist.txt\n");
        return 0;
    }

    // The table grows as entries are read, so a count far beyond the entries in
    // the file fails on the missing entry instead of on a huge allocation.
    char **table = nullptr;
    int capacity = 0;
    int i;
    for (i = 0; i < numScenes; i++) {
        if (i == capacity) {
            int grown = capacity < numScenes / 2 ? (capacity > 0 ? 2 * capacity : 16) : numScenes;
            if (grown > numScenes) grown = numScenes;
            char **bigger = (char **)realloc(table, (size_t)grown * sizeof(char *));
            if (bigger == nullptr) break;
            for (int k = capacity; k < grown; k++)
                bigger[k] = nullptr;
            table = bigger;
            capacity = grown;
        }
        // One byte more than the longest name read, so a 256-character name keeps its terminator.
        table[i] = (char *)calloc(MAX_FILENAME_LENGTH + 1, 1);
        if (table[i] == nullptr) break;
        numValues = skipLabel(f);
        if (numValues) numValues += conversions(fscanf(f, " %" MAX_FILENAME_LENGTH_AS_STRING "s", table[i]));
        if (numValues < 2) break;
    }
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
