// One physics step for 1, 10 and 100 pins (and the ball) on generated lanes of
// 100 to 100,000 triangles, through the broad phase as the game runs it. With
// rolling 0 half the pins rest on the lane and the others and the ball roll
// slowly along it; with rolling 1 everything rolls across the lane's cells.
// Then the building of the broad phase itself, and steps of levels of the
// shipped pack as the game loads them.
//
// Counters: faceTests is the number of object-face tests in one step without
// the broad phase, and perFaceTest the time of one of them (the whole step
// divided by that count); bytesPerTriangle is what the index keeps; perObject
// is a level's step divided by its ball and pins.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "files/sceneFile.h"
#include "laneScene.h"
#include "sim/levelPlay.h"
#include "sim/physics.h"

namespace
{

const float STEP_TIME = 1.0f / 200.0f;
// The scene is put back every so many steps, so that the rolling objects
// stay on the lane however long the benchmark runs.
const int STEPS_BEFORE_RESET = 1000;

// Lanes 4 wide and 40 long; the cells get smaller as the triangles get more.
std::vector<collisionFace> laneOf(int triangles)
{
    switch (triangles) {
    case 100:
        return lane::makeLane(5, 10, 2.0f, 40.0f, false);
    case 1000:
        return lane::makeLane(10, 50, 2.0f, 40.0f, false);
    case 10000:
        return lane::makeLane(50, 100, 2.0f, 40.0f, false);
    default:
        return lane::makeLane(100, 500, 2.0f, 40.0f, false);
    }
}

// Pins on a 10 by 10 grid 0.35 apart; the odd ones roll forward at 1 unit/s,
// or all roll at 4 units/s, drifting sideways.
std::vector<dynamicObject> pinsOf(int count, bool rolling)
{
    std::vector<dynamicObject> pins;
    for (int k = 0; k < count; k++) {
        float x = -1.575f + 0.35f * (float)(k % 10);
        float y = 10.0f + 0.35f * (float)(k / 10);
        vec3 velocity = {0, k % 2 ? 1.0f : 0.0f, 0};
        if (rolling) velocity = {k % 2 ? 0.2f : -0.2f, 4.0f, 0};
        pins.push_back(lane::makeObject({x, y, 0.15f}, 0.15f, 1.0f, velocity));
    }
    return pins;
}

void BM_physicsStep(benchmark::State &state)
{
    int pinCount = (int)state.range(0);
    int triangles = (int)state.range(1);
    bool rolling = state.range(2) != 0;
    std::vector<collisionFace> faces = laneOf(triangles);
    const collisionFace *firstFace = lane::linkFaces(faces);
    faceIndex *index = buildFaceIndex(firstFace);
    const dynamicObject startBall =
        lane::makeObject({0, 2, 0.22f}, 0.22f, 5.0f, {0.1f, rolling ? 6.0f : 2.0f, 0});
    const std::vector<dynamicObject> startPins = pinsOf(pinCount, rolling);

    dynamicObject ball = startBall;
    std::vector<dynamicObject> pins = startPins;
    int remaining = pinCount;
    int steps = 0;
    for (auto _ : state) {
        if (++steps == STEPS_BEFORE_RESET) {
            ball = startBall;
            pins = startPins;
            steps = 0;
        }
        physicsStep(&ball, pins.data(), pinCount, firstFace, -10.0f, STEP_TIME, &remaining, index);
        benchmark::DoNotOptimize(ball);
        benchmark::DoNotOptimize(pins.data());
    }
    double faceTests = (double)(pinCount + 1) * (double)faces.size();
    state.counters["faceTests"] = faceTests;
    state.counters["perFaceTest"] = benchmark::Counter(
        faceTests, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    freeFaceIndex(index);
}

BENCHMARK(BM_physicsStep)
    ->ArgNames({"pins", "triangles", "rolling"})
    ->ArgsProduct({{1, 10, 100}, {100, 1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_buildFaceIndex(benchmark::State &state)
{
    std::vector<collisionFace> faces = laneOf((int)state.range(0));
    const collisionFace *firstFace = lane::linkFaces(faces);
    size_t bytes = 0;
    for (auto _ : state) {
        faceIndex *index = buildFaceIndex(firstFace);
        bytes = faceIndexBytes(index);
        freeFaceIndex(index);
    }
    state.counters["bytesPerTriangle"] = (double)bytes / (double)faces.size();
}

BENCHMARK(BM_buildFaceIndex)->ArgNames({"triangles"})->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Steps of levels of the pack as the game loads them: read by its reader from
// levels/ (which names the meshes relative to the pack's folder), each once.
// The reader prints nothing, so --benchmark_format=json is JSON alone.
const char *const PACK_LEVELS[] = {"classic.scene", "hills.scene"};
const float LEVEL_STEP = STEP_SECONDS;      // the game's one step
const vec3 THROW_PUSH = {0.0f, 8.0f, 0.0f}; // a drag of 200 px up the screen in half a second

const sceneData *packLevel(int which)
{
    static sceneData levels[2];
    static int read[2]; // 0 not yet, 1 read, -1 failed
    if (read[which] == 0) {
        char here[4096];
        bool moved = getcwd(here, sizeof here) && chdir(PINWHIRL_PACK_DIR) == 0;
        read[which] = moved && readScene((char *)PACK_LEVELS[which], &levels[which]) == success ? 1 : -1;
        if (moved && chdir(here) != 0) read[which] = -1;
    }
    return read[which] == 1 ? &levels[which] : nullptr;
}

// With thrown 0 the level waits for a throw, the ball and the pins at rest as
// loaded. With thrown 1 the ball is thrown straight down the lane and rolls
// over the level's ground until it comes within a unit of the nearest pin (or
// falls), then starts over: every object in play, the ball on the mesh.
void BM_levelStep(benchmark::State &state)
{
    const sceneData *scene = packLevel((int)state.range(0));
    if (!scene) {
        state.SkipWithError("the level does not load");
        return;
    }
    bool thrown = state.range(1) != 0;
    faceIndex *index = buildFaceIndex(scene->firstCollisionFace);
    levelPlay start = newLevelPlay();
    startLevelPlay(&start, scene->ball, scene->pins, scene->numPins, scene->firstCollisionFace, index,
                   scene->worldLowerBound, scene->cameraLocation, awaitingThrow);
    if (thrown) start.ball.velocity = THROW_PUSH;
    levelPlay p = start;
    int faces = 0;
    for (const collisionFace *f = scene->firstCollisionFace; f; f = f->nextFace)
        faces++;
    float nearestPin = HUGE_VALF;
    for (const dynamicObject &pin : start.pins)
        nearestPin = std::min(nearestPin, pin.location.y);
    for (auto _ : state) {
        if (thrown && (p.ball.location.y > nearestPin - 1.0f || !p.ball.inPlay)) p = start;
        physicsStep(&p.ball, p.pins.data(), p.numPins, p.firstCollisionFace, p.worldLowerBound, LEVEL_STEP,
                    &p.remainingPins, p.collisionIndex);
        benchmark::DoNotOptimize(p.ball);
        benchmark::DoNotOptimize(p.pins.data());
    }
    state.SetLabel(PACK_LEVELS[state.range(0)]);
    state.counters["triangles"] = faces;
    double objects = scene->numPins + 1;
    state.counters["objects"] = objects;
    state.counters["perObject"] = benchmark::Counter(objects, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
    // The game takes 1000 / STEP_MS steps a second of game time, whatever its frame rate.
    state.counters["perGameSecond"] = benchmark::Counter(
        STEP_MS / 1000.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    freeFaceIndex(index);
}

BENCHMARK(BM_levelStep)
    ->ArgNames({"level", "thrown"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Reading a level of the pack whole, its meshes and collision mesh included, as
// the game does when the level starts.
void BM_readLevel(benchmark::State &state)
{
    char here[4096];
    if (!getcwd(here, sizeof here) || chdir(PINWHIRL_PACK_DIR) != 0) {
        state.SkipWithError("no pack folder");
        return;
    }
    for (auto _ : state) {
        sceneData s;
        if (readScene((char *)PACK_LEVELS[state.range(0)], &s) != success) state.SkipWithError("refused");
        freeSceneData(&s);
    }
    state.SetLabel(PACK_LEVELS[state.range(0)]);
    if (chdir(here) != 0) state.SkipWithError("cannot go back");
}

BENCHMARK(BM_readLevel)->ArgNames({"level"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
