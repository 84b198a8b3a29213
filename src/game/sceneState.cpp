// The scene module's state, with the values a run starts from.
#include "game/sceneState.h"

levelPlay level = newLevelPlay();
levelLook look = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0};
frameClock sceneClock = {0.0f, 0, 1, 0};
overlayPointer pointer = {0, 0, 0};
