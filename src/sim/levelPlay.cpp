// A level moving on in fixed steps under the rules of a throw.
#include "sim/levelPlay.h"

#include "common/vectorMath.h"
#include "sim/physics.h"

namespace
{

const float CAMERA_SPEED = 20.0f;
const float DEFAULT_LOWER_BOUND = -100.0f;

// The look direction blends toward the ball: the unit direction to the ball
// weighted by cameraSpeed * dt plus the unit old direction weighted by
// (1 - dt) / cameraSpeed, left unnormalised.
void turnCamera(levelPlay *p, float dt)
{
    vec3 tempVec1 = vec_between_points(p->cameraLocation, p->ball.location);
    vec_normalize(&tempVec1);
    vec_normalize(&p->cameraVelocity);
    float towardBall = p->cameraSpeed * dt;
    float keep = (1 - dt) / p->cameraSpeed;
    p->cameraVelocity =
        vec_add(vec_scalar_multiple(tempVec1, towardBall), vec_scalar_multiple(p->cameraVelocity, keep));
}

// The camera's look from where it stands to the ball.
void lookAtBall(levelPlay *p)
{
    p->cameraVelocity = vec_between_points(p->cameraInitLoc, p->ball.location);
    vec_normalize(&p->cameraVelocity);
}

int throwIsOver(const levelPlay *p)
{
    return (p->throwTimeRemaining <= 0 && p->gameState == watchingThrow) || p->ball.inPlay == 0;
}

// The world stands still while the player drags, and on the game-over screen.
int worldMoves(const levelPlay *p) { return p->gameState == awaitingThrow || p->gameState == watchingThrow; }

void doPhysics(levelPlay *p)
{
    physicsStep(&p->ball, p->pins.data(), (int)p->pins.size(), p->firstCollisionFace, p->worldLowerBound,
                STEP_SECONDS, &p->remainingPins, p->collisionIndex);
}

// One step; returns 1 when the level is won.
int step(levelPlay *p)
{
    rememberStepStart(p);
    p->mouseMotionTime += STEP_SECONDS;
    p->throwTimeRemaining -= STEP_SECONDS;
    if (throwIsOver(p)) putBallBack(p);
    if (p->remainingPins < 1 && p->gameState != over) {
        p->throwTimeRemaining = -1;
        return 1;
    }
    if (worldMoves(p)) doPhysics(p);
    turnCamera(p, STEP_SECONDS);
    forgetJumps(p);
    return 0;
}

} // namespace

levelPlay newLevelPlay(void)
{
    levelPlay p = {};
    p.worldLowerBound = DEFAULT_LOWER_BOUND;
    p.gameState = introduction;
    p.xsensitivity = p.ysensitivity = MOUSE_SENSITIVITY;
    p.cameraSpeed = CAMERA_SPEED;
    return p;
}

void startLevelPlay(levelPlay *p, dynamicObject ball, const dynamicObject *pins, int numPins,
                    collisionFace *faces, faceIndex *index, float lowerBound, vec3 camera, e_gameState state)
{
    p->ball = ball;
    p->pins.assign(pins, pins + (numPins > 0 ? numPins : 0));
    p->numPins = numPins;
    p->remainingPins = numPins;
    p->firstCollisionFace = faces;
    p->collisionIndex = index;
    p->worldLowerBound = lowerBound;
    p->gameState = state;
    p->cameraLocation = p->cameraInitLoc = camera;
    lookAtBall(p);
    p->lastStep.location.clear();
    startSteps(p);
}

void startSteps(levelPlay *p)
{
    p->carriedMs = 0;
    rememberStepStart(p);
}

int advanceLevel(levelPlay *p, int ms)
{
    p->carriedMs += ms;
    for (; p->carriedMs >= STEP_MS; p->carriedMs -= STEP_MS)
        if (step(p)) return 1;
    return 0;
}

void putBallBack(levelPlay *p)
{
    p->gameState = awaitingThrow;
    p->throwTimeRemaining = -1;
    p->ball.location = p->ball.initLoc;
    p->ball.velocity = vec3{0, 0, 0};
    p->ball.inPlay = 1;
    lookAtBall(p);
    forgetBallJump(p);
}

void beginThrow(levelPlay *p)
{
    p->ball.inPlay = 1;
    p->gameState = throwing;
    p->mouseMotionTime = 0;
    p->totalXChange = 0;
    p->totalYChange = 0;
}

void addDrag(levelPlay *p, int dx, int dy)
{
    p->totalXChange += dx;
    p->totalYChange += dy;
}

int endDrag(levelPlay *p)
{
    vec3 push;
    if (!dragPush(p->totalXChange, p->totalYChange, p->mouseMotionTime, p->xsensitivity, p->ysensitivity,
                  &push)) {
        p->gameState = awaitingThrow;
        return 0;
    }
    p->gameState = watchingThrow;
    p->throwTimeRemaining = THROW_SECONDS;
    p->ball.velocity.x += push.x;
    p->ball.velocity.y += push.y;
    return 1;
}

bool dragPush(int totalX, int totalY, float motionTime, float xsens, float ysens, vec3 *push)
{
    if (!(motionTime > CLICK_SECONDS)) return false;
    // Screen y runs down, so motion up the screen (negative) pushes the ball forward.
    *push = vec3{totalX * xsens / motionTime, -(totalY * ysens / motionTime), 0.0f};
    return true;
}
