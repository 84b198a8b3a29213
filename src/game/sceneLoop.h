// One level from load to unload, frame by frame: what the rest of the game
// sees of the scene module.
#pragma once

#include "common/gameStates.h"

// Runs the level in the scene file sceneFname, starting in startingState.
// Returns quit when the level cannot be loaded, or how the player ended it.
gameReturn sceneMain(char *sceneFname, e_gameState startingState);
