// Drags, and throws played as the game plays them, with the pins that stand
// still left unsimulated until something comes near them.
#include "plan/throwPlan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "sim/physics.h"

namespace
{

const double DEGREE = M_PI / 180;
// A throw is watched for THROW_SECONDS, a step or two more for the rounding
// of the count-down, then the ball is back.
const int WATCH_STEPS = (int)(THROW_SECONDS / STEP_SECONDS) + 2;
const int PAUSE_STEPS = AIM_MS / STEP_MS;
// The tracks reach past the last step a throw started within the moments can
// take: the wait, the watching and the pause.
const int HORIZON = THROW_MOMENT_STEPS + WATCH_STEPS + PAUSE_STEPS + 2;
// Two spheres closer than their radii and this much may touch: far more than
// the rounding of the physics' own distance.
const double REACH_MARGIN = 0.01;
// A pin whose track wanders further than this is not standing still: it is
// simulated all the time.
const double STANDING_EXTENT = 0.5;

// Whether a sphere of radius r at any point of the box lo..hi can reach a
// sphere of radius s at any point of the box lo2..hi2 (points are boxes too).
bool mayReach(vec3 lo, vec3 hi, double r, vec3 lo2, vec3 hi2, double s)
{
    double gap[3] = {std::max({0.0, (double)lo2.x - hi.x, (double)lo.x - hi2.x}),
                     std::max({0.0, (double)lo2.y - hi.y, (double)lo.y - hi2.y}),
                     std::max({0.0, (double)lo2.z - hi.z, (double)lo.z - hi2.z})};
    double reach = r + s + REACH_MARGIN;
    return gap[0] * gap[0] + gap[1] * gap[1] + gap[2] * gap[2] < reach * reach;
}

void widen(vec3 *lo, vec3 *hi, vec3 p)
{
    *lo = {std::min(lo->x, p.x), std::min(lo->y, p.y), std::min(lo->z, p.z)};
    *hi = {std::max(hi->x, p.x), std::max(hi->y, p.y), std::max(hi->z, p.z)};
}

// An object alone in the level for `steps` steps, as the level's step moves
// it when nothing else is near: each state into track (when given), where it
// went into the box. Returns false once it leaves play.
bool trackAlone(const levelPlay &p, dynamicObject o, int steps, dynamicObject *track, vec3 *lo, vec3 *hi)
{
    *lo = *hi = o.location;
    int unused = 0;
    for (int k = 0; k <= steps; k++) {
        if (!o.inPlay) return false;
        if (track) track[k] = o;
        widen(lo, hi, o.location);
        if (k < steps)
            physicsStep(&o, nullptr, 0, p.firstCollisionFace, p.worldLowerBound, STEP_SECONDS, &unused,
                        p.collisionIndex);
    }
    return true;
}

const dynamicObject &trackAt(const restingWorld *rest, int pin, int step)
{
    return rest->tracks[(size_t)pin * (rest->horizon + 1) + step];
}

void wake(throwRun *run, const restingWorld *rest, int pin)
{
    run->level.pins[pin] = trackAt(rest, pin, run->physicsSteps);
    run->asleep[pin] = 0;
}

bool mayTouch(const dynamicObject &o, const restingWorld *rest, int pin, float pinRadius)
{
    return mayReach(o.location, o.location, o.radius, rest->boxLow[pin], rest->boxHigh[pin], pinRadius);
}

// Before a step: every sleeping pin that something awake may reach in it is
// woken, at its place on its track; at the tracks' end, all are. Sleeping pins
// never reach each other (buildRestingWorld sees to that).
void wakeThreatened(throwRun *run, const restingWorld *rest)
{
    levelPlay &p = run->level.play;
    bool end = run->physicsSteps >= rest->horizon;
    for (int s = 0; s < p.numPins; s++) {
        if (!run->asleep[s]) continue;
        float radius = trackAt(rest, s, 0).radius;
        // The ball may be put back at its start within the step, before it moves.
        dynamicObject start = p.ball;
        start.location = start.initLoc;
        bool threat =
            end || (p.ball.inPlay && mayTouch(p.ball, rest, s, radius)) || mayTouch(start, rest, s, radius);
        for (int j = 0; j < p.numPins && !threat; j++)
            threat = !run->asleep[j] && p.pins[j].inPlay && mayTouch(p.pins[j], rest, s, radius);
        if (threat) wake(run, rest, s);
    }
}

bool sameState(const dynamicObject &a, const dynamicObject &b)
{
    return a.inPlay == b.inPlay && !memcmp(&a.location, &b.location, sizeof a.location) &&
           !memcmp(&a.velocity, &b.velocity, sizeof a.velocity);
}

bool anyPinAwake(const throwRun *run)
{
    for (int i = 0; i < run->level.play.numPins; i++)
        if (!run->asleep[i] && run->level.pins[i].inPlay) return true;
    return false;
}

// One step of a world that moves; true when the level is won (nothing moved).
bool stepWorld(throwRun *run, const restingWorld *rest, stepWatcher watcher, void *data)
{
    if (rest) wakeThreatened(run, rest);
    if (advanceLevel(&run->level.play, STEP_MS)) return true;
    run->physicsSteps++;
    if (watcher) watcher(&run->level.play, data);
    return false;
}

std::string secondsWords(int ms)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.3g", ms / 1000.0);
    return buf;
}

} // namespace

drag polarDrag(double degrees, double length, int ms)
{
    return {(int)lround(length * sin(degrees * DEGREE)), (int)lround(length * cos(degrees * DEGREE)), ms};
}

double dragDegrees(drag d) { return atan2((double)d.right, (double)d.up) / DEGREE; }
double dragLength(drag d) { return hypot((double)d.right, (double)d.up); }

std::string dragWords(drag d)
{
    auto px = [](long v) { return std::to_string(labs(v)) + " px"; };
    std::string along = px(d.up) + (d.up < 0 ? " down" : " up"),
                across = px(d.right) + (d.right < 0 ? " left" : " right");
    std::string parts = d.right == 0 ? along
                        : d.up == 0  ? across
                                     : along + " and " + across + " (" + px(lround(dragLength(d))) + ")";
    return "drag " + parts + " in " + secondsWords(d.ms) + " s";
}

bool readDragWords(const std::string &words, drag *d, std::string *why)
{
    std::istringstream in(words);
    std::string w;
    bool seen[2] = {false, false};
    *d = {0, 0, DRAG_MS};
    while (in >> w) {
        if (w == "drag" || w == "and" || w == "px") continue;
        if (w[0] == '(') { // the length, as dragWords adds it: "(201 px)"
            while (w.back() != ')' && in >> w) {
            }
            continue;
        }
        char *end;
        if (w == "in") {
            double seconds = in >> w ? strtod(w.c_str(), &end) : 0;
            std::string unit;
            if (w.empty() || *end || !(seconds > 0 && seconds < 60) || !(in >> unit) || unit != "s")
                return *why = "expected \"in SECONDS s\" in \"" + words + "\"", false;
            d->ms = (int)lround(seconds * 1000);
            continue;
        }
        long n = strtol(w.c_str(), &end, 10);
        std::string way;
        if (*end || !(in >> way) || (way == "px" && !(in >> way)))
            return *why = "expected a number of pixels and up, down, left or right, found \"" + w + "\"",
                   false;
        bool across = way == "left" || way == "right";
        if ((!across && way != "up" && way != "down") || labs(n) > 100000 || seen[across])
            return *why = "\"" + w + " " + way + "\" is not a drag up, down, left or right, once each", false;
        seen[across] = true;
        (across ? d->right : d->up) = (int)(way == "left" || way == "down" ? -n : n);
    }
    if (!seen[0] && !seen[1]) return *why = "no drag in \"" + words + "\"", false;
    return true;
}

void copyLevel(levelCopy *to, const levelPlay &from)
{
    to->pins.assign(from.pins, from.pins + from.numPins);
    to->play = from;
    to->play.pins = to->pins.data();
    to->play.stepStart = nullptr;
}

void buildRestingWorld(restingWorld *rest, const levelPlay &from)
{
    rest->numPins = from.numPins;
    rest->horizon = HORIZON;
    rest->sleeps.assign(from.numPins, 0);
    rest->tracks.resize((size_t)from.numPins * (HORIZON + 1));
    rest->boxLow.resize(from.numPins);
    rest->boxHigh.resize(from.numPins);
    for (int i = 0; i < from.numPins; i++) {
        vec3 &lo = rest->boxLow[i], &hi = rest->boxHigh[i];
        rest->sleeps[i] =
            from.pins[i].inPlay &&
            trackAlone(from, from.pins[i], HORIZON, &rest->tracks[(size_t)i * (HORIZON + 1)], &lo, &hi) &&
            std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}) < STANDING_EXTENT;
    }
    // Pins whose tracks come near each other would touch: neither sleeps.
    std::vector<unsigned char> near(from.numPins, 0);
    for (int i = 0; i < from.numPins; i++)
        for (int j = i + 1; j < from.numPins; j++)
            if (rest->sleeps[i] && rest->sleeps[j] &&
                mayReach(rest->boxLow[i], rest->boxHigh[i], from.pins[i].radius, rest->boxLow[j],
                         rest->boxHigh[j], from.pins[j].radius))
                near[i] = near[j] = 1;
    for (int i = 0; i < from.numPins; i++)
        rest->sleeps[i] = rest->sleeps[i] && !near[i];
    // The ball put back, for a pause and the step it is put back in.
    dynamicObject ball = from.ball;
    ball.location = ball.initLoc, ball.velocity = {0, 0, 0}, ball.inPlay = 1;
    vec3 lo, hi;
    rest->ballTrack.resize(PAUSE_STEPS + 3);
    rest->ballStaysPut = trackAlone(from, ball, PAUSE_STEPS + 2, rest->ballTrack.data(), &lo, &hi);
    for (int i = 0; i < from.numPins && rest->ballStaysPut; i++)
        rest->ballStaysPut = !rest->sleeps[i] || !mayReach(lo, hi, ball.radius, rest->boxLow[i],
                                                           rest->boxHigh[i], from.pins[i].radius);
}

int playThrowFrom(throwRun *run, const levelPlay &from, const restingWorld *rest, int waitSteps, drag d,
                  bool outcomeOnly, stepWatcher watcher, void *watcherData)
{
    copyLevel(&run->level, from);
    levelPlay *p = &run->level.play;
    run->physicsSteps = 0;
    if (watcher) rest = nullptr; // a watcher sees every pin where it is
    run->asleep.assign(p->numPins, 0);
    for (int i = 0; rest && i < p->numPins; i++)
        if (rest->sleeps[i]) run->asleep[i] = 1, run->level.pins[i].inPlay = 0;
    auto finish = [&]() {
        for (int i = 0; i < p->numPins; i++)
            if (run->asleep[i]) wake(run, rest, i);
        return p->remainingPins;
    };
    if (p->remainingPins < 1) return finish();
    for (int k = 0; k < waitSteps; k++)
        if (stepWorld(run, rest, watcher, watcherData)) return finish();
    beginThrow(p);
    addDrag(p, d.right, -d.up);
    advanceLevel(p, d.ms); // the world stands still while the player drags
    bool thrown = endDrag(p);
    while (p->gameState == watchingThrow)
        if (stepWorld(run, rest, watcher, watcherData)) return finish();
    // Once no pin in play is awake and the ball is where it would be had
    // nothing touched it since it was put back, everything goes on along its
    // track, and the ball's stays clear of the pins': nothing more falls.
    int putBack = run->physicsSteps - 1;
    bool mayStop = outcomeOnly && rest && thrown && rest->ballStaysPut;
    for (int k = 0; k < PAUSE_STEPS; k++) {
        if (mayStop && run->physicsSteps + PAUSE_STEPS - k <= rest->horizon && !anyPinAwake(run) &&
            sameState(p->ball, rest->ballTrack[run->physicsSteps - putBack]))
            return p->remainingPins;
        if (stepWorld(run, rest, watcher, watcherData)) break;
    }
    return finish();
}
