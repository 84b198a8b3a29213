// Throws simulated per second on levels of the shipped pack, from the start
// after the player's pause, over the search's coarse grid of drags at its
// first moment: way 0 plays them plainly, every object stepped to the end of
// the pause (as the checker played every throw before); way 1 as the search
// plays them, the pins left alone asleep on their tracks and the play stopped
// once its outcome is known; way 2 also with the ball on its flights, from a
// book kept over the run as a thread's is over a level's searches. Then whole
// searches, counted in the throws they play, with a book kept likewise.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <vector>

#include "files/sceneFile.h"
#include "plan/throwPlan.h"

namespace
{

const char *const LEVELS[] = {"classic.scene", "funnel.scene", "curve.scene"};

// A level of the pack as the game starts it, after the pause: read once.
struct benchLevel {
    sceneData scene;
    faceIndex *index;
    levelPlay start;
    bool read;
};

benchLevel *levelAt(int which)
{
    static benchLevel levels[3];
    benchLevel &l = levels[which];
    if (l.read) return &l;
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(PINWHIRL_PACK_DIR) != 0) return nullptr;
    bool loaded = readScene(LEVELS[which], &l.scene) == success;
    if (chdir(here) != 0 || !loaded) return nullptr;
    l.index = buildFaceIndex(l.scene.firstCollisionFace);
    l.start = newLevelPlay();
    startLevelPlay(&l.start, l.scene.ball, l.scene.pins, l.scene.numPins, l.scene.firstCollisionFace, l.index,
                   l.scene.worldLowerBound, l.scene.cameraLocation, awaitingThrow);
    advanceLevel(&l.start, AIM_MS);
    l.read = true;
    return &l;
}

std::vector<drag> gridDrags()
{
    std::vector<drag> drags;
    for (double length = FULL_GRID.shortest; length <= FULL_GRID.longest; length *= FULL_GRID.coarseRatio)
        for (double degrees = -FULL_GRID.widestDegrees; degrees <= FULL_GRID.widestDegrees;
             degrees += FULL_GRID.coarseDegrees)
            drags.push_back(polarDrag(degrees, length));
    return drags;
}

void BM_throws(benchmark::State &state)
{
    benchLevel *l = levelAt((int)state.range(0));
    if (!l) return state.SkipWithError("cannot read the level");
    int way = (int)state.range(1);
    std::vector<drag> drags = gridDrags();
    leftAlone alone;
    buildLeftAlone(&alone, l->start);
    throwRun run;
    flightBook book;
    if (way == 2) run.flights = &book;
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            playThrowFrom(&run, l->start, way ? &alone : nullptr, 0, drags[next], way != 0));
        next = (next + 1) % drags.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(LEVELS[state.range(0)]);
}
BENCHMARK(BM_throws)
    ->ArgNames({"level", "way"})
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

void BM_search(benchmark::State &state)
{
    benchLevel *l = levelAt((int)state.range(0));
    if (!l) return state.SkipWithError("cannot read the level");
    throwSearch search;
    flightBook book;
    long throws = 0;
    for (auto _ : state) {
        findThrow(&search, l->start, FULL_GRID, &book);
        throws += search.throwsPlayed;
    }
    state.SetItemsProcessed(throws);
    state.SetLabel(LEVELS[state.range(0)]);
}
BENCHMARK(BM_search)->ArgNames({"level"})->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
