// What the rest of the game sees of the scene module.
#pragma once

#include "common/gameStates.h"

extern e_gameState &gameState;

gameReturn sceneMain(char *sceneFname, e_gameState startingState);
void sceneReshape(int w, int h);
void showMyGLPointer(int newState);
