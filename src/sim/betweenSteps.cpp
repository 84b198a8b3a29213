// Where the last step began, and the world drawn between it and now.
#include "sim/betweenSteps.h"

#include "sim/levelPlay.h"

namespace
{

const dynamicObject *objectOf(const levelPlay *p, int i) { return objectAt(&p->ball, p->pins.data(), i); }

vec3 between(vec3 from, vec3 to, float t)
{
    return vec_add(from, vec_scalar_multiple(vec_subtract(to, from), t));
}

float carriedFraction(const levelPlay *p) { return (float)p->carriedMs / (float)STEP_MS; }

} // namespace

void keepStepStarts(levelPlay *p)
{
    p->lastStep.location.resize(p->pins.size() + 1);
    rememberStepStart(p);
}

void rememberStepStart(levelPlay *p)
{
    if (p->lastStep.location.empty()) return;
    int pins = (int)p->pins.size();
    for (int i = 0; i <= pins; i++)
        p->lastStep.location[i] = objectOf(p, i)->location;
    p->lastStep.look = p->cameraVelocity;
}

void forgetJumps(levelPlay *p)
{
    if (p->lastStep.location.empty()) return;
    for (int i = 0; i <= (int)p->pins.size(); i++)
        if (!objectOf(p, i)->inPlay) p->lastStep.location[i] = objectOf(p, i)->location;
}

void forgetBallJump(levelPlay *p)
{
    if (p->lastStep.location.empty()) return;
    p->lastStep.location[0] = p->ball.location;
    p->lastStep.look = p->cameraVelocity;
}

vec3 locationBetweenSteps(const levelPlay *p, int object)
{
    vec3 now = objectOf(p, object)->location;
    const std::vector<vec3> &start = p->lastStep.location;
    // An object of no step start is drawn where it is.
    return object < (int)start.size() ? between(start[object], now, carriedFraction(p)) : now;
}

vec3 lookBetweenSteps(const levelPlay *p)
{
    if (p->lastStep.location.empty()) return p->cameraVelocity;
    // Both directions at unit length, so that the blend turns evenly.
    vec3 from = p->lastStep.look, to = p->cameraVelocity;
    vec_normalize(&from);
    vec_normalize(&to);
    return between(from, to, carriedFraction(p));
}
