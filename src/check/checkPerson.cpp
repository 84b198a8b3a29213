// A level as people play it. The par is the fewest throws the search's
// advice clears it in; then modelled players, with the spreads of steady
// and casual hands, each plan every throw with the same search from where
// the ball and pins stand, throw it a little off at a moment a little off,
// and go on until the level is clear. Attempts are spread over the cores;
// each draws from its own random stream, keyed by the level, the hands and
// its number, so the figures are the same bits whatever the thread count.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "check/check.h"
#include "plan/person.h"

namespace
{

const uint64_t SEED = 0x70696e7768697231ULL;
// A player's later throws are planned on a coarser grid: a search each.
// Throws that need the very step may be few and close together: the par's
// second look tries them on a finer grid, at the one moment.
const searchGrid TO_THE_STEP_GRID = {36, 3, 1, 100, 450, 1.1, 1.04, 1};
const searchGrid REPLAN_GRID = {36, 6, 0, 100, 450, 1.25, 0, MOMENT_COUNT};
// A pin a person takes for one that was never touched.
const float STANDING_DRIFT = 0.05f, STANDING_SPEED = 0.02f;

// A plan made once for a level: from the start after the pause, or from the
// start with only some of its pins left standing.
struct sharedPlan {
    std::once_flag made;
    throwAdvice advice;
};

// What the threads share of a level; read only, but for the plans and the results.
struct levelWork {
    uint64_t key;
    levelPlay loaded;  // the level as the game starts it
    throwSearch first; // from the start after the pause: its state and tracks are every attempt's
    const personSettings *settings;
    std::mutex plansLock;
    std::map<std::vector<bool>, std::unique_ptr<sharedPlan>> plans;
    std::atomic<int> next{0}, done{0};
    int tasks;
    std::vector<int> taken; // throws each attempt took, hand by hand
    std::vector<drag> par;
    bool parToTheStep = false;
    const char *name;
};

// One thread's own: the collision index is scratch the physics writes.
struct worker {
    faceIndex *index;
    flightBook flights;
    levelPlay start, state;
    throwSearch search;
    throwRun run;
};

// Every pin left stands where it started and still: a person sees the level
// as it began, less the pins gone.
bool untouched(const levelPlay &p, std::vector<bool> *standing)
{
    standing->assign(pinsOf(p), false);
    for (int i = 0; i < pinsOf(p); i++) {
        const dynamicObject &o = p.pins[i];
        if (!o.inPlay) continue;
        vec3 off = vec_between_points(o.initLoc, o.location);
        if (fabsf(off.x) > STANDING_DRIFT || fabsf(off.y) > STANDING_DRIFT || fabsf(off.z) > STANDING_DRIFT ||
            fabsf(o.velocity.x) > STANDING_SPEED || fabsf(o.velocity.y) > STANDING_SPEED)
            return false;
        (*standing)[i] = true;
    }
    return true;
}

// The plan from the start with only the standing pins, made once a level.
const throwAdvice &standingPlan(levelWork *w, worker *k, const std::vector<bool> &standing)
{
    sharedPlan *plan;
    {
        std::lock_guard<std::mutex> hold(w->plansLock);
        std::unique_ptr<sharedPlan> &slot = w->plans[standing];
        if (!slot) slot.reset(new sharedPlan);
        plan = slot.get();
    }
    std::call_once(plan->made, [&] {
        levelPlay c;
        copyLevel(&c, w->loaded);
        c.collisionIndex = k->index;
        for (int i = 0; i < pinsOf(c); i++)
            if (!standing[i])
                c.pins[i].location = c.pins[i].initLoc, c.pins[i].velocity = {0, 0, 0}, c.pins[i].inPlay = 0;
        c.remainingPins = 0;
        for (bool s : standing)
            c.remainingPins += s;
        advanceLevel(&c, AIM_MS);
        plan->advice = findThrow(&k->search, c, FULL_GRID, &k->flights);
    });
    return plan->advice;
}

// The pins stand as they stood: the same in play, none moved further than a
// resting pin hops.
bool standsAsBefore(const levelPlay &before, const levelPlay &after)
{
    for (int i = 0; i < pinsOf(before); i++) {
        vec3 off = vec_between_points(before.pins[i].location, after.pins[i].location);
        if (before.pins[i].inPlay != after.pins[i].inPlay || fabsf(off.x) > STANDING_DRIFT ||
            fabsf(off.y) > STANDING_DRIFT || fabsf(off.z) > STANDING_DRIFT)
            return false;
    }
    return true;
}

// One attempt: up to PERSON_THROWS throws, each planned from where the level
// stands (a throw that touched nothing and left every pin where it was
// leaves the plan as it was); the throws it took, or PERSON_THROWS + 1.
int playAttempt(levelWork *w, worker *k, const hands &h, int attempt)
{
    randomStream r = streamFor(SEED, w->key, handKey(h), (uint64_t)attempt);
    copyLevel(&k->state, k->start);
    k->state.collisionIndex = k->index;
    std::vector<bool> standing;
    throwAdvice advice = w->first.advice;
    const leftAlone *alone = &w->first.alone;
    for (int t = 1; t <= PERSON_THROWS; t++) {
        if (!advice.found) break;
        drag d = spreadDrag(advice.throwDrag, h, &r);
        playThrowFrom(&k->run, k->state, alone, throwMoment(&r), d, false);
        bool same = alone && k->run.woken == 0 && standsAsBefore(k->state, k->run.level);
        std::swap(k->state, k->run.level);
        if (k->state.remainingPins == 0) return t;
        alone = nullptr;
        if (same) continue;
        if (untouched(k->state, &standing))
            advice = standingPlan(w, k, standing);
        else
            advice = findThrow(&k->search, k->state, REPLAN_GRID, &k->flights), alone = &k->search.alone;
    }
    return PERSON_THROWS + 1;
}

// Throws from the start, the first the advice given, each after it the
// search's on `grid` from where the last left the level, played at the
// moment meant: the throws if they clear it in maxThrows, else none.
std::vector<drag> parThrows(levelWork *w, worker *k, const searchGrid &grid, throwAdvice advice)
{
    copyLevel(&k->state, k->start);
    k->state.collisionIndex = k->index;
    std::vector<drag> played;
    for (int t = 0; t < w->settings->maxThrows && advice.found; t++) {
        playThrowFrom(&k->run, k->state, nullptr, 0, advice.throwDrag, false);
        std::swap(k->state, k->run.level);
        played.push_back(advice.throwDrag);
        if (k->state.remainingPins == 0) return played;
        if (t + 1 < w->settings->maxThrows) advice = findThrow(&k->search, k->state, grid, &k->flights);
    }
    return {};
}

// The par: the most forgiving throws, or where throws thrown to the step
// clear the level in fewer, those.
void playPar(levelWork *w, worker *k)
{
    w->par = parThrows(w, k, FULL_GRID, w->first.advice);
    if (w->par.size() == 1) return;
    const searchGrid precise = TO_THE_STEP_GRID;
    std::vector<drag> toTheStep =
        parThrows(w, k, precise, findThrow(&k->search, k->start, precise, &k->flights));
    if (!toTheStep.empty() && (w->par.empty() || toTheStep.size() < w->par.size()))
        w->par = toTheStep, w->parToTheStep = true;
}

// Task 0 is the par; the rest are the attempts, hand by hand.
void work(levelWork *w)
{
    worker k;
    k.index = buildFaceIndex(w->loaded.firstCollisionFace);
    copyLevel(&k.start, w->first.start);
    k.start.collisionIndex = k.index;
    const personSettings &s = *w->settings;
    for (int task; (task = w->next++) < w->tasks;) {
        if (task == 0)
            playPar(w, &k);
        else
            w->taken[task - 1] =
                playAttempt(w, &k, s.people[(task - 1) / s.attempts], (task - 1) % s.attempts);
        int done = ++w->done;
        if (s.showProgress && (done % 8 == 0 || done == w->tasks))
            fprintf(stderr, "\r%s: %d of %d attempts played \033[K", w->name, done, w->tasks);
    }
    freeFaceIndex(k.index);
}

personFigures figuresOf(const int *taken, const hands &h, int attempts, int par)
{
    personFigures f = {h, attempts, 0, 0, 0, 0, 0};
    double sum = 0, squares = 0;
    for (int a = 0; a < attempts; a++) {
        sum += taken[a];
        f.withinParPlusOne += taken[a] <= par + 1;
        f.withinSix += taken[a] <= 6;
    }
    f.mean = sum / attempts;
    for (int a = 0; a < attempts; a++)
        squares += (taken[a] - f.mean) * (taken[a] - f.mean);
    double halfWidth = attempts > 1 ? 1.96 * sqrt(squares / (attempts - 1) / attempts) : 0;
    // The mean lies between 1 and PERSON_THROWS + 1, and so does its interval.
    f.low = std::max(1.0, f.mean - halfWidth), f.high = std::min(PERSON_THROWS + 1.0, f.mean + halfWidth);
    f.withinParPlusOne /= attempts, f.withinSix /= attempts;
    return f;
}

} // namespace

uint64_t handKey(const hands &h)
{
    return (uint64_t)llround(h.degrees * 1000) << 32 | (uint64_t)llround(h.speed * 1000);
}

levelFigures measureLevel(const std::string &name, const sceneData *s, const personSettings &settings)
{
    levelWork w;
    w.key = nameKey(name.c_str());
    w.name = name.c_str();
    w.settings = &settings;
    faceIndex *index = buildFaceIndex(s->firstCollisionFace);
    w.loaded = startPlay(s, index);
    levelPlay start;
    copyLevel(&start, w.loaded);
    advanceLevel(&start, AIM_MS);
    findThrow(&w.first, start);
    // The start with every pin standing is the first plan's.
    std::vector<bool> all(pinsOf(w.loaded), true);
    w.plans[all].reset(new sharedPlan);
    std::call_once(w.plans[all]->made, [&] { w.plans[all]->advice = w.first.advice; });

    int attempts = settings.attempts * (int)settings.people.size();
    w.tasks = 1 + attempts;
    w.taken.assign(attempts, 0);
    std::vector<std::thread> threads;
    for (int t = 1; t < settings.threads; t++)
        threads.emplace_back(work, &w);
    work(&w);
    for (std::thread &t : threads)
        t.join();
    if (settings.showProgress) fprintf(stderr, "\r\033[K");
    freeFaceIndex(index);

    levelFigures f;
    f.throws = w.par;
    f.throwsToTheStep = w.parToTheStep;
    f.first = w.first.advice;
    int par = f.throws.empty() ? settings.maxThrows : (int)f.throws.size();
    for (size_t h = 0; h < settings.people.size() && settings.attempts > 0; h++)
        f.people.push_back(
            figuresOf(&w.taken[h * settings.attempts], settings.people[h], settings.attempts, par));
    return f;
}
