// pinwhirl-check --try: an author's drags played on a level one after another,
// and after each what became of the ball and which pins it touched.
#include <cmath>
#include <cstdio>

#include "check/check.h"
#include "sim/physics.h"

namespace
{

// The ball and a pin closer than their radii and this much touch.
const float CONTACT_MARGIN = 0.01f;
// A ball slower than this at the end of its throw has come to rest.
const float RESTING_SPEED = 0.05f;

// What the watcher saw of one throw, from its release.
struct throwWatch {
    int steps;                 // steps watched
    std::vector<bool> touched; // pins the ball touched
    dynamicObject ball;        // the ball at the last step watched
    vec3 lastContact;          // where something last turned the ball from falling freely
    int fellAt;                // the step the ball fell out in, or 0
};

bool fallingFreely(const dynamicObject &before, const dynamicObject &after)
{
    return after.velocity.x == before.velocity.x && after.velocity.y == before.velocity.y &&
           after.velocity.z == before.velocity.z - STEP_SECONDS * GRAVITY;
}

void watchStep(const levelPlay *p, void *data)
{
    throwWatch *w = (throwWatch *)data;
    if (p->gameState != watchingThrow || w->fellAt) return;
    w->steps++;
    if (!p->ball.inPlay) {
        w->fellAt = w->steps;
        return;
    }
    if (w->steps == 1 || !fallingFreely(w->ball, p->ball)) w->lastContact = p->ball.location;
    w->ball = p->ball;
    for (int i = 0; i < pinsOf(*p); i++)
        if (p->pins[i].inPlay && vec_mag(vec_between_points(p->ball.location, p->pins[i].location)) <=
                                     p->ball.radius + p->pins[i].radius + CONTACT_MARGIN)
            w->touched[i] = true;
}

std::string place(vec3 v)
{
    char buf[96];
    snprintf(buf, sizeof buf, "(%.2f, %.2f, %.2f)", v.x, v.y, v.z);
    return buf;
}

std::string seconds(int steps)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.2f s", steps * STEP_SECONDS);
    return buf;
}

// The nearest pin in play to a point, in words, or nothing.
std::string nearestPin(const levelPlay &p, vec3 at)
{
    int best = -1;
    float nearest = INFINITY;
    for (int i = 0; i < pinsOf(p); i++) {
        float d = vec_mag(vec_between_points(at, p.pins[i].location));
        if (p.pins[i].inPlay && d < nearest) nearest = d, best = i;
    }
    char buf[64];
    snprintf(buf, sizeof buf, ", %.2f from pin %d", nearest, best + 1);
    return best < 0 ? "" : buf;
}

std::string ballWords(const throwWatch &w, const levelPlay &after)
{
    if (after.gameState == watchingThrow) // won before the ball was back
        return "the level was won " + seconds(w.steps) + " after the release, the ball at " +
               place(w.ball.location);
    if (w.fellAt)
        return "the ball fell out " + seconds(w.fellAt) + " after the release, last touching something at " +
               place(w.lastContact) + nearestPin(after, w.lastContact);
    bool resting = vec_mag(w.ball.velocity) < RESTING_SPEED;
    return std::string("the ball was ") + (resting ? "at rest" : "still rolling") + " at " +
           place(w.ball.location) + nearestPin(after, w.ball.location) + " when its " + seconds(w.steps) +
           " were up";
}

std::string pinList(const std::vector<bool> &touched)
{
    std::vector<int> pins;
    for (size_t i = 0; i < touched.size(); i++)
        if (touched[i]) pins.push_back((int)i + 1);
    if (pins.empty()) return "it touched no pin";
    std::string s = pins.size() == 1 ? "it touched pin " : "it touched pins ";
    for (size_t k = 0; k < pins.size(); k++)
        s += (k == 0 ? "" : k + 1 == pins.size() ? " and " : ", ") + std::to_string(pins[k]);
    return s;
}

} // namespace

void tryDrags(const std::string &name, const sceneData *s, const std::vector<drag> &drags)
{
    faceIndex *index = buildFaceIndex(s->firstCollisionFace);
    levelPlay level = startPlay(s, index);
    advanceLevel(&level, AIM_MS);
    throwRun run;
    for (size_t t = 0; t < drags.size() && level.remainingPins > 0; t++) {
        throwWatch w = {0, std::vector<bool>(pinsOf(level), false), level.ball, level.ball.location, 0};
        int left = playThrowFrom(&run, level, nullptr, 0, drags[t], false, watchStep, &w);
        report(name, 0, noteFinding,
               "throw " + std::to_string(t + 1) + ", " + dragWords(drags[t]) + ": " + std::to_string(left) +
                   " of " + std::to_string(pinsOf(level)) + " pins left; " + ballWords(w, run.level) + "; " +
                   pinList(w.touched));
        std::swap(level, run.level);
    }
    report(name, 0, level.remainingPins ? warningFinding : noteFinding,
           level.remainingPins ? "the drags tried leave " + std::to_string(level.remainingPins) + " of " +
                                     std::to_string(pinsOf(level)) + " pins"
                               : "the drags tried clear it");
    freeFaceIndex(index);
}
