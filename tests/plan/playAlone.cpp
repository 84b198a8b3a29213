// Throws played three ways from the same state must end the same, to the bit:
// stepping every object; with the pins left alone asleep on their tracks until
// something comes near; and, for the outcome alone, with the ball following
// its flights from a book. From each level's start, and from where a first
// throw leaves it (pins rolling, some gone).
//   play_alone PACK-FOLDER LEVEL.scene...
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "files/sceneFile.h"
#include "plan/throwPlan.h"

namespace
{

bool sameLevel(const levelPlay &a, const levelPlay &b)
{
    return a.remainingPins == b.remainingPins && !memcmp(&a.ball, &b.ball, sizeof a.ball) &&
           !memcmp(a.pins.data(), b.pins.data(), a.pins.size() * sizeof a.pins[0]);
}

// Drags over the search's range, each at its own moment; returns how many
// differ, telling the first.
int compare(const char *level, const char *from, const levelPlay &start)
{
    leftAlone alone;
    buildLeftAlone(&alone, start);
    throwRun plain, asleep, outcome;
    flightBook book;
    outcome.flights = &book;
    int tried = 0, differ = 0;
    for (int degrees = -36; degrees <= 36; degrees += 6)
        for (int length = 100; length <= 450; length += 70, tried++) {
            drag d = polarDrag(degrees, length);
            int moment = tried % (THROW_MOMENT_STEPS + 1);
            int left = playThrowFrom(&plain, start, nullptr, moment, d, false);
            bool same = playThrowFrom(&asleep, start, &alone, moment, d, false) == left &&
                        sameLevel(plain.level, asleep.level) &&
                        playThrowFrom(&outcome, start, &alone, moment, d, true) == left;
            if (!same && differ++ == 0)
                printf("%s, %s: %s at step %d differs\n", level, from, dragWords(d).c_str(), moment);
        }
    printf("%s, %s: %d throws, %d the same three ways\n", level, from, tried, tried - differ);
    return differ;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3 || chdir(argv[1]) != 0)
        return fprintf(stderr, "usage: play_alone PACK-FOLDER LEVEL.scene...\n"), 2;
    int differ = 0;
    for (int i = 2; i < argc; i++) {
        sceneData s;
        if (readScene(argv[i], &s) != success) return fprintf(stderr, "cannot read %s\n", argv[i]), 2;
        faceIndex *index = buildFaceIndex(s.firstCollisionFace);
        levelPlay start = newLevelPlay();
        startLevelPlay(&start, s.ball, s.pins, s.numPins, s.firstCollisionFace, index, s.worldLowerBound,
                       s.cameraLocation, awaitingThrow);
        advanceLevel(&start, AIM_MS);
        differ += compare(argv[i], "from the start", start);
        throwRun first;
        playThrowFrom(&first, start, nullptr, 0, polarDrag(4, 220), false);
        differ += compare(argv[i], "after a throw", first.level);
        freeFaceIndex(index);
        freeSceneData(&s);
    }
    return differ ? 1 : 0;
}
