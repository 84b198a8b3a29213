// Drawing between steps: the world moves in fixed steps, and a frame shows it
// as far between the last two as the time carried is into the next, so that
// motion is as smooth as the frames come. A level that is drawn keeps where its
// last step began, and its steps keep that up to date through the calls below;
// one that is only played (the level checker's) keeps nothing and pays nothing.
#pragma once

#include <vector>

#include "common/vectorMath.h"

struct levelPlay;

// Where the last step began.
typedef struct stepStarts {
    std::vector<vec3> location; // the ball's, then each pin's; empty keeps none
    vec3 look;                  // the camera's look
} stepStarts;

// From now on the level keeps where each step begins, until it starts anew.
void keepStepStarts(levelPlay *p);

// Before a step: where everything stands is where the step begins.
void rememberStepStart(levelPlay *p);
// After a step: an object taken out of play jumped to where it is parked,
// and is drawn there.
void forgetJumps(levelPlay *p);
// The ball put back for the next throw jumped to its start, and the camera's
// look with it: both are drawn there.
void forgetBallJump(levelPlay *p);

// Where to draw the ball (object 0) or pin i (object i + 1), and where the
// camera looks, between the last two steps: as far from the start of the last
// step as the carried time is into the next. A level that keeps no step starts
// is drawn where it stands.
vec3 locationBetweenSteps(const levelPlay *p, int object);
vec3 lookBetweenSteps(const levelPlay *p);
