// The list of scene files (scenelist.txt) and the walk through it.
#pragma once

#include "../includes.h"

// Reads the list in the file named fname: a header "label count", then count
// entries "label fileName". Prints "%d scenes" and, on a bad list, its error
// lines. Returns the number of scenes and stores a table of that many file
// names (each MAX_FILENAME_LENGTH + 1 bytes) in *sceneFiles; returns 0 with
// *sceneFiles null when the list is bad, and -1 when the file cannot be opened.
int readSceneList(const char *fname, char ***sceneFiles);

// Frees the table and every name in it.
void freeSceneList(char **sceneFiles, int numScenes);

// The last entry is the game-over screen; every other entry is a level to play.
e_gameState startingStateFor(int i, int numScenes);

// The entry to run after entry i ended with result: restart stays, anything else
// moves on, and running past the last entry prints "completed game..." and wraps.
int nextSceneIndex(int i, gameReturn result, int numScenes);
