// Loading a level: its scene file read, its meshes compiled into display lists,
// its play started; and unloading it again.
#pragma once

#include "common/gameStates.h"
#include "files/reader.h"

// Loads the scene file fName and starts the level in `state`. Returns success,
// or failure after the reader's messages.
condition sceneLoad(char *fName, e_gameState state);
// Prints that the scene unloads, and releases it.
void sceneUnload(void);
// What sceneUnload releases, without its message: a level whose load failed
// ends the run quietly, but must not leave its collision mesh behind.
void releaseScene(void);
