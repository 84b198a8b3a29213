// Where a level stands, and how a level's run ended: shared by the game, the
// level it plays and the walk through the scene list.
#pragma once

enum e_gameState { introduction = 0, awaitingThrow = 1, throwing = 2, watchingThrow = 3, over = 4 };

enum gameReturn { quit = 0, levelCompleted = 1, restart = 2 };
