// A person's throw: never the drag they mean. Its direction is off by a
// normal spread and its speed scaled by one, and it starts at a moment
// spread over a few tenths of a second. Random numbers come from a generator
// of our own, the same bits on every machine and library.
#pragma once

#include <cstdint>

#include "plan/throwPlan.h"

// The spreads of a person's drags, as standard deviations: degrees of
// direction, and % of speed.
struct hands {
    const char *name;
    double degrees, speed;
};
const hands STEADY_HANDS = {"steady", 2, 10};
const hands CASUAL_HANDS = {"casual", 4, 20};

// splitmix64: one stream a seed.
struct randomStream {
    uint64_t state;
};
// A stream of its own for each set of keys, e.g. (seed, level, hand, attempt).
randomStream streamFor(uint64_t a, uint64_t b, uint64_t c, uint64_t d);
uint64_t nextRandom(randomStream *r);
// Uniform in [0, 1); standard normal.
double uniformRandom(randomStream *r);
double normalRandom(randomStream *r);
// A word's 64-bit FNV-1a hash, to key a stream by a name.
uint64_t nameKey(const char *name);

// The drag a person with these hands makes meaning `meant`: turned by
// N(0, degrees), its length scaled by N(1, speed %), over the same time.
drag spreadDrag(drag meant, const hands &h, randomStream *r);
// The steps after the moment meant that the throw starts: 0 to THROW_MOMENT_STEPS, evenly.
int throwMoment(randomStream *r);
