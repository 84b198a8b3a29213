// One physics step for 1, 10 and 100 pins (and the ball) on generated lanes of
// 100, 10,000 and 100,000 triangles. Half the pins rest on the lane, the
// others and the ball roll along it.
//
// Counters: faceTests is the number of object-face tests in one step, and
// perFaceTest the time of one of them (the whole step divided by that count).
#include <benchmark/benchmark.h>

#include <vector>

#include "laneScene.h"
#include "scene/physics.h"

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
    case 10000:
        return lane::makeLane(50, 100, 2.0f, 40.0f, false);
    default:
        return lane::makeLane(100, 500, 2.0f, 40.0f, false);
    }
}

// Pins on a 10 by 10 grid 0.35 apart; the odd ones roll forward at 1 unit/s.
std::vector<dynamicObject> pinsOf(int count)
{
    std::vector<dynamicObject> pins;
    for (int k = 0; k < count; k++) {
        float x = -1.575f + 0.35f * (float)(k % 10);
        float y = 10.0f + 0.35f * (float)(k / 10);
        vec3 velocity = {0, k % 2 ? 1.0f : 0.0f, 0};
        pins.push_back(lane::makeObject({x, y, 0.15f}, 0.15f, 1.0f, velocity));
    }
    return pins;
}

void BM_physicsStep(benchmark::State &state)
{
    int pinCount = (int)state.range(0);
    int triangles = (int)state.range(1);
    std::vector<collisionFace> faces = laneOf(triangles);
    const collisionFace *firstFace = lane::linkFaces(faces);
    const dynamicObject startBall = lane::makeObject({0, 2, 0.22f}, 0.22f, 5.0f, {0.1f, 2.0f, 0});
    const std::vector<dynamicObject> startPins = pinsOf(pinCount);

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
        physicsStep(&ball, pins.data(), pinCount, firstFace, -10.0f, STEP_TIME, &remaining);
        benchmark::DoNotOptimize(ball);
        benchmark::DoNotOptimize(pins.data());
    }
    double faceTests = (double)(pinCount + 1) * (double)faces.size();
    state.counters["faceTests"] = faceTests;
    state.counters["perFaceTest"] = benchmark::Counter(
        faceTests, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_physicsStep)
    ->ArgNames({"pins", "triangles"})
    ->ArgsProduct({{1, 10, 100}, {100, 10000, 100000}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
