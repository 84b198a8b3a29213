// The list of scene files (scenelist.txt) and the walk through it.
#pragma once

#include <cstdio>

#include "common/gameStates.h"
#include "files/reader.h"

typedef struct sceneList {
    int count;       // the scenes to play: 0 when the list is bad, -1 when it cannot be opened
    int headerCount; // what the header says, -1 when it says nothing readable
    char **files;    // count names, each MAX_FILENAME_LENGTH + 1 bytes; null when count < 1
    int *lines;      // where each name stands
    int capacity;
    readRecord problem; // why the list is bad, or readFine
    readRecord unread;  // the words after the last entry the header counts (readUnread), or none
} sceneList;

// Reads the list in the file named fname: a header "label count", then count
// entries "label fileName".
void readSceneList(const char *fname, sceneList *list);

// What the game prints about the list's reading: "%d scenes" and, on a bad
// list, its error lines; nothing when the file cannot be opened.
void writeSceneListMessages(FILE *out, const sceneList *list);

// Frees the names and everything else the reading left.
void freeSceneList(sceneList *list);

// The last entry is the game-over screen; every other entry is a level to play.
e_gameState startingStateFor(int i, int numScenes);

// The entry to run after entry i ended with result: restart stays, anything else
// moves on, and running past the last entry prints "completed game..." and wraps.
int nextSceneIndex(int i, gameReturn result, int numScenes);
