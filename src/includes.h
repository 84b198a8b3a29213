// Shared types and constants of the whole game. Plain C++: no SDL or OpenGL here.
#pragma once

#define SCREEN_WIDTH 640
#define SCREEN_HEIGHT 480
#define SCREEN_BITS 16
#define REBOUND 0.85f
#define GRAVITY 9.8f
#define MAX_FILENAME_LENGTH 256
#define MAX_FILENAME_LENGTH_AS_STRING "256"

// A released throw is watched this many game seconds; a drag's speed in pixels
// a second, times the sensitivity, is the ball's push.
#define THROW_SECONDS 10.0f
#define MOUSE_SENSITIVITY 0.02f

typedef struct vec3 {
    float x, y, z;
} vec3;

enum e_gameState { introduction = 0, awaitingThrow = 1, throwing = 2, watchingThrow = 3, over = 4 };

enum gameReturn { quit = 0, levelCompleted = 1, restart = 2 };

enum condition { failure = -1, unknown = 0, success = 1 };

enum valign { bottom = 0, middle = 1, top = 2 };
