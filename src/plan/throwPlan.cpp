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
// A book of flights holds at most this many states (28 bytes each).
const size_t MOST_FLIGHT_STATES = 4 << 20;

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

bool mayTouch(const dynamicObject &a, const dynamicObject &b)
{
    return mayReach(a.location, a.location, a.radius, b.location, b.location, b.radius);
}

void widen(vec3 *lo, vec3 *hi, vec3 p)
{
    *lo = {std::min(lo->x, p.x), std::min(lo->y, p.y), std::min(lo->z, p.z)};
    *hi = {std::max(hi->x, p.x), std::max(hi->y, p.y), std::max(hi->z, p.z)};
}

dynamicObject &trackAt(leftAlone *alone, int pin, int step)
{
    return alone->tracks[(size_t)pin * (alone->horizon + 1) + step];
}
const dynamicObject &trackAt(const leftAlone *alone, int pin, int step)
{
    return alone->tracks[(size_t)pin * (alone->horizon + 1) + step];
}

// The world from `from` for the horizon, through the physics step the level
// takes: each pin's track, and who comes within reach of whom at each step.
void recordTracks(leftAlone *alone, const levelPlay &from, std::vector<contactAt> *byPin)
{
    dynamicObject ball = from.ball;
    std::vector<dynamicObject> pins = from.pins;
    int left = from.remainingPins, n = pinsOf(from);
    for (int k = 0; k <= alone->horizon; k++) {
        for (int i = 0; i < n; i++) {
            trackAt(alone, i, k) = pins[i];
            if (k > 0 && trackAt(alone, i, k - 1).inPlay && !pins[i].inPlay) alone->leaves[i] = k - 1;
        }
        if (k == alone->horizon) break;
        for (int i = 0; i < n; i++) {
            if (!pins[i].inPlay) continue;
            if (ball.inPlay && mayTouch(ball, pins[i])) byPin[i].push_back({k, -1});
            for (int j = i + 1; j < n; j++)
                if (pins[j].inPlay && mayTouch(pins[i], pins[j]))
                    byPin[i].push_back({k, j}), byPin[j].push_back({k, i});
        }
        physicsStep(&ball, pins.data(), n, from.firstCollisionFace, from.worldLowerBound, STEP_SECONDS, &left,
                    from.collisionIndex);
    }
}

// An object alone in the level for `steps` steps, as the level's step moves
// it when nothing else is near: each state into track, where it went into the
// box. Returns false once it leaves play.
bool trackAlone(const levelPlay &p, dynamicObject o, int steps, dynamicObject *track, vec3 *lo, vec3 *hi)
{
    *lo = *hi = o.location;
    int unused = 0;
    for (int k = 0; k <= steps; k++) {
        if (!o.inPlay) return false;
        track[k] = o;
        widen(lo, hi, o.location);
        if (k < steps)
            physicsStep(&o, nullptr, 0, p.firstCollisionFace, p.worldLowerBound, STEP_SECONDS, &unused,
                        p.collisionIndex);
    }
    return true;
}

void wake(throwRun *run, const leftAlone *alone, int pin)
{
    run->level.pins[pin] = trackAt(alone, pin, run->physicsSteps);
    run->asleep[pin] = 0;
}

bool near(const reachPoint &a, const dynamicObject &b)
{
    float dx = a.x - b.location.x, dy = a.y - b.location.y, dz = a.z - b.location.z;
    float reach = a.r + b.radius + (float)REACH_MARGIN;
    return dx * dx + dy * dy + dz * dz < reach * reach;
}

void addAwake(throwRun *run, vec3 at, float radius) { run->awake.push_back({at.x, at.y, at.z, radius}); }

// Whether sleeping pin s must wake before step k: its track ends or leaves
// play in it, something awake may reach it, or its track meets something
// awake (the ball's track always counts as left).
bool threatened(throwRun *run, const leftAlone *alone, int s, int k)
{
    if (k >= alone->horizon || alone->leaves[s] == k) return true;
    const dynamicObject &here = trackAt(alone, s, k);
    for (const reachPoint &a : run->awake)
        if (near(a, here)) return true;
    int &c = run->nextContact[s], end = alone->contactStart[s + 1];
    while (c < end && alone->contacts[c].step < k)
        c++;
    for (int m = c; m < end && alone->contacts[m].step == k; m++)
        if (alone->contacts[m].other < 0 || !run->asleep[alone->contacts[m].other]) return true;
    return false;
}

// Before a step: every sleeping pin threatened in it wakes, at its place on
// its track, until none is. What is awake: the ball, also at its start (it
// may be put back there within the step, before it moves), and the pins in
// play that are not asleep.
void wakeThreatened(throwRun *run, const leftAlone *alone)
{
    const levelPlay &p = run->level;
    run->awake.clear();
    if (p.ball.inPlay) addAwake(run, p.ball.location, p.ball.radius);
    addAwake(run, p.ball.initLoc, p.ball.radius);
    for (int i = 0; i < pinsOf(p); i++)
        if (!run->asleep[i] && p.pins[i].inPlay) addAwake(run, p.pins[i].location, p.pins[i].radius);
    for (bool woke = true; woke;) {
        woke = false;
        for (int s = 0; s < pinsOf(p); s++)
            if (run->asleep[s] && threatened(run, alone, s, run->physicsSteps)) {
                wake(run, alone, s);
                addAwake(run, p.pins[s].location, p.pins[s].radius);
                run->woken++, woke = true;
            }
    }
}

bool sameState(const dynamicObject &a, const dynamicObject &b)
{
    return a.inPlay == b.inPlay && !memcmp(&a.location, &b.location, sizeof a.location) &&
           !memcmp(&a.velocity, &b.velocity, sizeof a.velocity);
}

// The pins left at the end of the pause, once it is known at its step
// `from`, `steps` before the end; or -1. It is known when no pin in play is
// awake, the ball is on the track it takes alone from where it was put back,
// and up to the end no sleeping pin's track meets anything but another's,
// nor comes near the ball's: then each sleeping pin goes on along its track,
// leaving play where its track does.
int pinsLeftAtEnd(const throwRun *run, const leftAlone *alone, int putBack, int steps)
{
    const levelPlay &p = run->level;
    int from = run->physicsSteps, to = from + steps, leaving = 0;
    if (to > alone->horizon || !sameState(p.ball, alone->ballTrack[from - putBack])) return -1;
    for (int s = 0; s < pinsOf(p); s++) {
        if (!run->asleep[s]) {
            if (p.pins[s].inPlay) return -1;
            continue;
        }
        if (mayReach(alone->ballLow, alone->ballHigh, p.ball.radius, alone->boxLow[s], alone->boxHigh[s],
                     trackAt(alone, s, 0).radius))
            return -1;
        for (int m = run->nextContact[s]; m < alone->contactStart[s + 1] && alone->contacts[m].step < to; m++)
            if (alone->contacts[m].step >= from &&
                (alone->contacts[m].other < 0 || !run->asleep[alone->contacts[m].other]))
                return -1;
        leaving += alone->leaves[s] >= from && alone->leaves[s] < to;
    }
    return p.remainingPins - leaving;
}

// The flight from the ball as it leaves the drag, from the book or worked
// out and added: where in book->states it starts, and how many states.
std::pair<int, int> flightOf(flightBook *book, const levelPlay &p)
{
    if (book->faces != p.firstCollisionFace) clearFlights(book), book->faces = p.firstCollisionFace;
    flightKey key = {{p.ball.location, p.ball.velocity, p.ball.inPlay}};
    auto found = book->flights.find(key);
    if (found != book->flights.end()) return found->second;
    if (book->states.size() > MOST_FLIGHT_STATES) clearFlights(book), book->faces = p.firstCollisionFace;
    int start = (int)book->states.size(), unused = 0;
    dynamicObject ball = p.ball;
    for (float left = THROW_SECONDS;; left -= STEP_SECONDS) {
        book->states.push_back({ball.location, ball.velocity, ball.inPlay});
        // The step that takes the time below 0, or finds the ball out, puts it back.
        if (!ball.inPlay || left - STEP_SECONDS <= 0) break;
        physicsStep(&ball, nullptr, 0, p.firstCollisionFace, p.worldLowerBound, STEP_SECONDS, &unused,
                    p.collisionIndex);
    }
    return book->flights[key] = {start, (int)book->states.size() - start};
}

// While no pin in play is awake and none wakes, the ball alone moves: it
// follows its flight, the level's clock counting down, and nothing else
// changes but the camera (an outcome does not depend on it). Stops short of
// the step that puts the ball back.
void followFlight(throwRun *run, const leftAlone *alone)
{
    levelPlay *p = &run->level;
    // A pin out of play below the lower bound counts out again every step:
    // the level's own step must see to it.
    for (int i = 0; i < pinsOf(*p); i++)
        if (!p->pins[i].inPlay && !run->asleep[i] && !(p->pins[i].location.z >= p->worldLowerBound)) return;
    std::pair<int, int> flight = flightOf(run->flights, *p);
    const flightState *states = &run->flights->states[flight.first];
    for (int k = 0; k + 1 < flight.second; k++) {
        wakeThreatened(run, alone);
        for (int i = 0; i < pinsOf(*p); i++)
            if (!run->asleep[i] && p->pins[i].inPlay) return;
        p->mouseMotionTime += STEP_SECONDS;
        p->throwTimeRemaining -= STEP_SECONDS;
        p->ball.location = states[k + 1].location, p->ball.velocity = states[k + 1].velocity;
        p->ball.inPlay = states[k + 1].inPlay;
        run->physicsSteps++;
    }
}

// One step of a world that moves; true when the level is won (nothing moved).
bool stepWorld(throwRun *run, const leftAlone *alone, stepWatcher watcher, void *data)
{
    if (alone) wakeThreatened(run, alone);
    if (advanceLevel(&run->level, STEP_MS)) return true;
    run->physicsSteps++;
    if (watcher) watcher(&run->level, data);
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

bool flightKey::operator==(const flightKey &o) const
{
    return !memcmp(&ball.location, &o.ball.location, sizeof ball.location) &&
           !memcmp(&ball.velocity, &o.ball.velocity, sizeof ball.velocity) && ball.inPlay == o.ball.inPlay;
}

size_t flightKeyHash::operator()(const flightKey &k) const
{
    uint32_t words[7];
    memcpy(words, &k.ball.location, 12);
    memcpy(words + 3, &k.ball.velocity, 12);
    memcpy(words + 6, &k.ball.inPlay, 4);
    uint64_t h = 0xcbf29ce484222325ULL;
    for (uint32_t w : words)
        h = (h ^ w) * 0x100000001b3ULL;
    return (size_t)(h ^ (h >> 29));
}

void clearFlights(flightBook *book)
{
    book->flights.clear();
    book->states.clear();
    book->faces = nullptr;
}

void copyLevel(levelPlay *to, const levelPlay &from)
{
    *to = from;
    to->lastStep.location.clear();
}

void buildLeftAlone(leftAlone *alone, const levelPlay &from)
{
    int n = pinsOf(from);
    alone->numPins = n;
    alone->horizon = HORIZON;
    alone->tracks.resize((size_t)n * (HORIZON + 1));
    alone->leaves.assign(n, HORIZON + 1);
    std::vector<std::vector<contactAt>> byPin(n);
    recordTracks(alone, from, byPin.data());
    alone->contactStart.assign(1, 0);
    alone->contacts.clear();
    for (int i = 0; i < n; i++) {
        alone->contacts.insert(alone->contacts.end(), byPin[i].begin(), byPin[i].end());
        alone->contactStart.push_back((int)alone->contacts.size());
    }
    alone->boxLow.resize(n);
    alone->boxHigh.resize(n);
    for (int i = 0; i < n; i++) {
        alone->boxLow[i] = alone->boxHigh[i] = from.pins[i].location;
        for (int k = 0; k <= HORIZON; k++)
            widen(&alone->boxLow[i], &alone->boxHigh[i], trackAt(alone, i, k).location);
    }
    // The ball put back, for a pause and the step it is put back in.
    dynamicObject ball = from.ball;
    ball.location = ball.initLoc, ball.velocity = {0, 0, 0}, ball.inPlay = 1;
    alone->ballTrack.resize(PAUSE_STEPS + 3);
    alone->ballStaysPut =
        trackAlone(from, ball, PAUSE_STEPS + 2, alone->ballTrack.data(), &alone->ballLow, &alone->ballHigh);
}

int playThrowFrom(throwRun *run, const levelPlay &from, const leftAlone *alone, int waitSteps, drag d,
                  bool outcomeOnly, stepWatcher watcher, void *watcherData)
{
    copyLevel(&run->level, from);
    levelPlay *p = &run->level;
    run->physicsSteps = 0;
    run->woken = 0;
    if (watcher) alone = nullptr; // a watcher sees every pin where it is
    run->asleep.assign(pinsOf(*p), 0);
    for (int i = 0; alone && i < pinsOf(*p); i++)
        if (p->pins[i].inPlay) run->asleep[i] = 1, p->pins[i].inPlay = 0;
    if (alone) run->nextContact.assign(alone->contactStart.begin(), alone->contactStart.end() - 1);
    auto finish = [&]() {
        for (int i = 0; i < pinsOf(*p); i++)
            if (run->asleep[i]) wake(run, alone, i);
        return p->remainingPins;
    };
    if (p->remainingPins < 1) return finish();
    for (int k = 0; k < waitSteps; k++)
        if (stepWorld(run, alone, watcher, watcherData)) return finish();
    beginThrow(p);
    addDrag(p, d.right, -d.up);
    advanceLevel(p, d.ms); // the world stands still while the player drags
    bool thrown = endDrag(p);
    if (thrown && outcomeOnly && alone && run->flights) followFlight(run, alone);
    while (p->gameState == watchingThrow)
        if (stepWorld(run, alone, watcher, watcherData)) return finish();
    int putBack = run->physicsSteps - 1, known;
    bool mayStop = outcomeOnly && alone && thrown && alone->ballStaysPut;
    for (int k = 0; k < PAUSE_STEPS; k++) {
        if (mayStop && (known = pinsLeftAtEnd(run, alone, putBack, PAUSE_STEPS - k)) >= 0) return known;
        if (stepWorld(run, alone, watcher, watcherData)) break;
    }
    return finish();
}
