// The physics step with and without the broad phase: a scene decoded from the
// input must step to the same bits both ways.
#include <cstdlib>

#include "laneScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    lane::bytes in = {data, size, 0};
    const float STEP_TIMES[] = {1.0f / 200.0f, 1.0f / 30.0f, 0.5f, 0.0f};
    float dt = STEP_TIMES[in.pick(4)];
    int steps = 1 + (int)in.pick(32);
    lane::scene scene = lane::makeScene(in);
    if (lane::stepBothWays(scene, steps, dt).firstDifference >= 0) abort();
    return 0;
}
