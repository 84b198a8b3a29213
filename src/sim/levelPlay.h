// A level in play as plain data, and the one way it moves on: in fixed steps
// of game time, under the rules of a throw. The game plays its level through
// this, frame by frame, and the level checker plays the levels it proves
// through it too, so that what the checker finds holds in the game on any
// machine, at any frame rate.
#pragma once

#include <vector>

#include "common/bodies.h"
#include "common/gameStates.h"
#include "sim/betweenSteps.h"
#include "sim/faceIndex.h"

// The world advances in steps of 10 ms whatever the frame rate: a frame runs
// as many steps as its game time covers and carries the rest into the next.
// Game time is counted in whole milliseconds, as the clock gives it, so that
// the same span makes the same steps however the frames cut it up.
const int STEP_MS = 10;
const float STEP_SECONDS = 0.01f;
const float CLICK_SECONDS = 0.0001f; // a press and release closer in game time is a click, not a throw

// A released throw is watched this many game seconds; a drag's speed in pixels
// a second, times the sensitivity, is the ball's push.
#define THROW_SECONDS 10.0f
#define MOUSE_SENSITIVITY 0.02f

// A copy is a snapshot that plays on by itself: the level holds its own pins.
// The faces and their index are shared, and freed by whoever made them.
typedef struct levelPlay {
    // The world: the ball, the pins and what they bounce off.
    dynamicObject ball;
    std::vector<dynamicObject> pins; // numPins of them, or none for a count of 0 or less
    int numPins;                     // the count the level sets up, which the heads-up display shows
    int remainingPins;
    collisionFace *firstCollisionFace;
    faceIndex *collisionIndex; // the physics' broad phase over the faces, or null
    float worldLowerBound;
    // The throw, which goes on from one level into the next.
    e_gameState gameState;
    float throwTimeRemaining;         // game seconds left to watch a rolling throw; below 0 while none rolls
    float mouseMotionTime;            // game seconds since the press that began the drag
    int totalXChange, totalYChange;   // the drag so far, in pixels (screen y runs down)
    float xsensitivity, ysensitivity; // ball speed per pointer speed, in pixels a second
    // The camera stands still and turns its look toward the ball.
    vec3 cameraLocation, cameraInitLoc, cameraVelocity;
    float cameraSpeed;
    // Game time given but not yet stepped, and where the last step began, so
    // that a frame can be drawn between the last two steps.
    int carriedMs;
    stepStarts lastStep;
} levelPlay;

// The values a run starts from: no level, no throw.
levelPlay newLevelPlay(void);

// A level starts: the ball and a copy of the numPins pins as given (none for
// a count of 0 or less), all still to be knocked out, the faces and
// their index, the lower bound, the camera standing at `camera` and looking at
// the ball, the game in `state`, and its first step yet to come, keeping no
// step starts (keepStepStarts). The throw carries on as the last level left it.
void startLevelPlay(levelPlay *p, dynamicObject ball, const dynamicObject *pins, int numPins,
                    collisionFace *faces, faceIndex *index, float lowerBound, vec3 camera, e_gameState state);

// A level's first step is yet to come: nothing is carried, and what is
// drawn between steps is where everything stands now.
void startSteps(levelPlay *p);

// Moves the level on by `ms` milliseconds of game time, in whole steps, the
// rest carried to the next call. Each step counts down the throw, puts the
// ball back when its throw is over, ends the level when no pins are left
// (except on the game-over screen), moves the world while a throw is awaited
// or watched, and turns the camera. Returns 1 once the level is won; it then
// takes no more steps.
int advanceLevel(levelPlay *p, int ms);

// The ball's start for the next throw: it and the camera's look start over;
// the pins stay as the last throw left them.
void putBallBack(levelPlay *p);

// The drag that throws the ball: a press while a throw is awaited begins it,
// the pointer's motion adds to it, and the release pushes the ball by the
// drag's average speed over its game time.
void beginThrow(levelPlay *p);
void addDrag(levelPlay *p, int dx, int dy);
// Returns 1 when the ball was thrown, 0 for a click (no measurable game time),
// which awaits a throw again.
int endDrag(levelPlay *p);

// The push a drag gives the ball: its average speed in pixels a second over
// motionTime game seconds, times the sensitivities; motion up the screen
// (negative y) pushes along +y. A drag of no measurable time is a click:
// returns false.
bool dragPush(int totalX, int totalY, float motionTime, float xsens, float ysens, vec3 *push);
