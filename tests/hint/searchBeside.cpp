// The hint's search run beside the game's own steps, a throw of the search
// between two steps of the level, as the game interleaves them: the level
// plays on to the bit as it does alone, and the search recommends what it
// does alone. Both play over the level's collision faces and the one index
// whose scratch every query uses. The level is given a throw to watch, so
// that it queries the index hard while the search runs.
//   search_beside FOLDER SCENE...   (the scenes of the pack in FOLDER)
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/vectorMath.h"
#include "files/sceneFile.h"
#include "plan/throwPlan.h"

namespace
{

const int PRESS_MS = 1000;          // the hint is asked for a second into the level
const drag LEVEL_THROW = {40, 300}; // the throw the level then watches

levelPlay startPlay(const sceneData &s, faceIndex *index)
{
    levelPlay p = newLevelPlay();
    startLevelPlay(&p, s.ball, s.pins, s.numPins, s.firstCollisionFace, index, s.worldLowerBound,
                   s.cameraLocation, awaitingThrow);
    return p;
}

void throwIn(levelPlay *p)
{
    beginThrow(p);
    addDrag(p, LEVEL_THROW.right, -LEVEL_THROW.up);
    advanceLevel(p, LEVEL_THROW.ms);
    endDrag(p);
}

bool sameObject(const dynamicObject &a, const dynamicObject &b)
{
    return !memcmp(&a.location, &b.location, sizeof a.location) &&
           !memcmp(&a.velocity, &b.velocity, sizeof a.velocity) && a.inPlay == b.inPlay;
}

// What differs between two runs of the same level, or "" when nothing does.
std::string difference(const levelPlay &a, const levelPlay &b)
{
    if (!sameObject(a.ball, b.ball)) return "the ball";
    for (int i = 0; i < a.numPins; i++)
        if (!sameObject(a.pins[i], b.pins[i])) return "pin " + std::to_string(i + 1);
    if (a.remainingPins != b.remainingPins || a.gameState != b.gameState ||
        memcmp(&a.cameraVelocity, &b.cameraVelocity, sizeof a.cameraVelocity))
        return "the count, the state or the camera";
    return "";
}

bool sameAdvice(const throwAdvice &a, const throwAdvice &b)
{
    return a.found == b.found && a.throwDrag.right == b.throwDrag.right && a.throwDrag.up == b.throwDrag.up &&
           a.throwDrag.ms == b.throwDrag.ms && a.pinsLeft == b.pinsLeft &&
           a.windowDegrees == b.windowDegrees && a.windowSpeed == b.windowSpeed;
}

} // namespace

int main(int argc, char **argv)
{
    static throwSearch beside, alone;
    if (argc < 2 || chdir(argv[1]) != 0) return 2;
    for (int n = 2; n < argc; n++) {
        sceneData s;
        if (readScene(argv[n], &s) != success) {
            printf("%s: not read\n", argv[n]);
            continue;
        }
        faceIndex *index = buildFaceIndex(s.firstCollisionFace);
        levelPlay game = startPlay(s, index), gameAlone = startPlay(s, index);
        advanceLevel(&game, PRESS_MS);
        advanceLevel(&gameAlone, PRESS_MS);
        throwAdvice advice = findThrow(&alone, game);
        startSearch(&beside, game);
        throwIn(&game);
        throwIn(&gameAlone);
        int steps = 0;
        for (; !stepSearch(&beside, 1); steps++)
            advanceLevel(&game, STEP_MS);
        advanceLevel(&gameAlone, steps * STEP_MS);
        std::string differs = difference(game, gameAlone);
        printf("%s: the level beside the search %s; the search's advice %s\n", argv[n],
               differs.empty() ? "plays as alone" : ("differs in " + differs).c_str(),
               sameAdvice(beside.advice, advice) ? "is as alone" : "differs");
        freeFaceIndex(index);
        freeSceneData(&s);
    }
    return 0;
}
