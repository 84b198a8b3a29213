// A person's drags and moments, from splitmix64 and the Box-Muller transform.
#include "plan/person.h"

#include <algorithm>
#include <cmath>

namespace
{

// A drag is never scaled below this: a person's hand does not throw backwards.
const double LEAST_SCALE = 0.05;

uint64_t mix(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace

randomStream streamFor(uint64_t a, uint64_t b, uint64_t c, uint64_t d)
{
    uint64_t keys[] = {a, b, c, d}, state = 0;
    for (uint64_t k : keys)
        state = mix(state ^ mix(k + 0x9e3779b97f4a7c15ULL));
    return {state};
}

uint64_t nextRandom(randomStream *r) { return mix(r->state += 0x9e3779b97f4a7c15ULL); }

double uniformRandom(randomStream *r) { return (double)(nextRandom(r) >> 11) * 0x1.0p-53; }

double normalRandom(randomStream *r)
{
    double u = 1 - uniformRandom(r), v = uniformRandom(r); // u in (0, 1]
    return sqrt(-2 * log(u)) * cos(2 * M_PI * v);
}

uint64_t nameKey(const char *name)
{
    uint64_t h = 0xcbf29ce484222325ULL;
    for (; *name; name++)
        h = (h ^ (unsigned char)*name) * 0x100000001b3ULL;
    return h;
}

drag spreadDrag(drag meant, const hands &h, randomStream *r)
{
    double turn = normalRandom(r) * h.degrees, scale = 1 + normalRandom(r) * h.speed / 100;
    return polarDrag(dragDegrees(meant) + turn, dragLength(meant) * std::max(scale, LEAST_SCALE), meant.ms);
}

int throwMoment(randomStream *r) { return (int)(uniformRandom(r) * (THROW_MOMENT_STEPS + 1)); }
