// The hint's search as the game runs it, a slice a frame, on levels of the
// shipped pack a second after they start: Hills (20,644 collision triangles)
// and the levels with the most pins (ten). An iteration is one whole search;
// the time is the search's. Counters: slices, the frames it takes; sliceMs,
// the longest slice (the search's share of its longest frame), in real time
// and in the processor time of the thread (which a busy machine does not
// stretch); throws, how many it played.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "files/sceneFile.h"
#include "game/sceneHint.h"

namespace
{

const char *const LEVELS[] = {"hills.scene", "classic.scene", "plateau.scene", "wall.scene"};
const int LEVEL_COUNT = sizeof LEVELS / sizeof LEVELS[0];
// The player presses the key a second into the level, the ball settled.
const int PRESS_MS = 1000;

struct packLevel {
    sceneData scene;
    faceIndex *index;
    levelPlay play;
};

// The level as the game starts it, moved on to the press.
const levelPlay *levelAtPress(int which)
{
    static packLevel levels[LEVEL_COUNT];
    static int read[LEVEL_COUNT];
    packLevel &l = levels[which];
    if (read[which] == 0) {
        char here[4096];
        bool moved = getcwd(here, sizeof here) && chdir(PINWHIRL_PACK_DIR) == 0;
        read[which] = moved && readScene(LEVELS[which], &l.scene) == success ? 1 : -1;
        if (moved && chdir(here) != 0) read[which] = -1;
        if (read[which] < 0) return nullptr;
        const sceneData &s = l.scene;
        l.index = buildFaceIndex(s.firstCollisionFace);
        l.play = newLevelPlay();
        startLevelPlay(&l.play, s.ball, s.pins, s.numPins, s.firstCollisionFace, l.index, s.worldLowerBound,
                       s.cameraLocation, awaitingThrow);
        advanceLevel(&l.play, PRESS_MS);
    }
    return read[which] > 0 ? &l.play : nullptr;
}

double threadMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void BM_hintSearch(benchmark::State &state)
{
    const levelPlay *level = levelAtPress((int)state.range(0));
    if (!level) return state.SkipWithError("the level could not be read");
    state.SetLabel(LEVELS[state.range(0)]);
    static throwSearch search;
    double longestSlice = 0, longestSliceCpu = 0;
    int slices = 0;
    for (auto _ : state) {
        startSearch(&search, *level);
        for (slices = 1;; slices++) {
            auto start = std::chrono::steady_clock::now();
            double startCpu = threadMs();
            bool done = searchSlice(&search, HINT_SLICE_MS);
            std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            longestSlice = std::max(longestSlice, took.count());
            longestSliceCpu = std::max(longestSliceCpu, threadMs() - startCpu);
            if (done) break;
        }
    }
    state.counters["slices"] = slices;
    state.counters["sliceMs"] = longestSlice;
    state.counters["sliceCpuMs"] = longestSliceCpu;
    state.counters["throws"] = search.throwsPlayed;
}
BENCHMARK(BM_hintSearch)->DenseRange(0, LEVEL_COUNT - 1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
