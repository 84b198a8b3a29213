#include "files/sceneList.h"

#include <cstdlib>

static bool readsAsEntry(dataFile *d)
{
    char name[MAX_FILENAME_LENGTH + 1];
    return readFileName(d, name) == 2;
}

void readSceneList(const char *fname, sceneList *list)
{
    *list = sceneList{};
    list->count = list->headerCount = -1;
    dataFile d;
    readEvent opened = openData(&d, fname, sceneListFile);
    if (opened != readFine) {
        recordUnopened(&list->problem, opened, fname, sceneListFile);
        return;
    }
    list->count = 0;
    int n = -1;
    if (readCount(&d, &n) != 2 || n < 1) {
        list->headerCount = n;
        recordEntry(&d, &list->problem, readBadHeader, 0, 0);
        closeData(&d);
        return;
    }
    list->headerCount = n;

    int i = 0, lineCapacity = 0;
    for (; i < n; i++) {
        // One byte more than the longest name read, so a 256-character name keeps its terminator.
        if (!makeRoom((void **)&list->files, &list->capacity, i, n, sizeof(char *)) ||
            !makeRoom((void **)&list->lines, &lineCapacity, i, n, sizeof(int)) ||
            !(list->files[i] = (char *)calloc(MAX_FILENAME_LENGTH + 1, 1))) {
            recordEntry(&d, &list->problem, readOutOfMemory, 1 + i, n);
            break;
        }
        if (readFileName(&d, list->files[i]) < 2) {
            recordEntry(&d, &list->problem, readShortEntry, 1 + i, n);
            break;
        }
        list->lines[i] = entryLine(&d);
    }
    if (i == n) recordRest(&d, &list->unread, 1 + n, n + wholeAhead(&d, readsAsEntry));
    closeData(&d);
    if (i == n) {
        list->count = n;
        return;
    }
    // A table that cannot be allocated is as unusable as a short list.
    for (int k = 0; k < list->capacity; k++)
        free(list->files[k]);
    free(list->files);
    list->files = nullptr;
    list->capacity = 0;
}

void writeSceneListMessages(FILE *out, const sceneList *list)
{
    if (list->count < 0) return;
    fprintf(out, "%d scenes\n", list->headerCount);
    if (list->problem.what == readFine) return;
    fputs(list->problem.what == readBadHeader ? "invalid first line, or number of scenes stated\n"
                                              : "Not all scene entries valid\n",
          out);
    fputs("Error in scene list file, scenelist.txt\n", out);
}

void freeSceneList(sceneList *list)
{
    for (int i = 0; i < list->capacity; i++)
        free(list->files[i]);
    free(list->files);
    free(list->lines);
    *list = sceneList{};
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
