// The hint key: the search for the most forgiving throw, a slice a frame, and
// its advice drawn over the picture and written on standard output.
//
// The search plays throws on its own copy of the level, and borrows only what
// does not change while the level lives: the collision faces and their index.
// The index's scratch (the marks and candidates of a query) holds nothing
// from one physics step to the next, and the search's steps and the game's
// never run at once, so neither disturbs the other.
#include "game/sceneHint.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "draw/hintDraw.h"

namespace
{

enum hintStage { noHint, thinking, shown };
struct hintState {
    hintStage stage;
    throwSearch search;
    std::string words, outcome;
} hint;

double msSince(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

} // namespace

bool searchSlice(throwSearch *s, double budgetMs)
{
    // A throw the machine stalled in says nothing of the next: the guess is
    // this slice's alone.
    auto start = std::chrono::steady_clock::now();
    double longest = 0;
    bool done;
    do {
        auto before = std::chrono::steady_clock::now();
        done = stepSearch(s, 1);
        longest = std::max(longest, msSince(before));
    } while (!done && msSince(start) + longest <= budgetMs);
    return done;
}

std::string adviceOutcome(const throwAdvice &a)
{
    if (!a.found) return "no throw takes a pin";
    if (a.pinsLeft == 0) return "clears the level";
    return "takes " + std::to_string(a.pinsBefore - a.pinsLeft) + " of " + std::to_string(a.pinsBefore) +
           " pins";
}

void hintEvent(const SDL_Event *event, const levelPlay &level, bool paused)
{
    if (event->type != SDL_KEYDOWN || event->key.keysym.sym != HINT_KEY) return;
    if (paused || level.gameState != awaitingThrow) return;
    if (hint.stage != noHint) {
        hint.stage = noHint;
        return;
    }
    startSearch(&hint.search, level);
    hint.stage = thinking;
    // A script learns that the press was taken, and from how many pins.
    printf("hint: thinking (%d of %d pins left)\n", level.remainingPins, level.numPins);
}

void hintFrame(const levelPlay &level, bool paused)
{
    if (level.gameState != awaitingThrow) hint.stage = noHint;
    if (hint.stage != thinking || paused) return;
    if (!searchSlice(&hint.search, HINT_SLICE_MS)) return;
    const throwAdvice &a = hint.search.advice;
    hint.words = a.found ? dragWords(a.throwDrag) : "";
    hint.outcome = adviceOutcome(a);
    hint.stage = shown;
    printf("hint: %s%s%s\n", hint.words.c_str(), a.found ? ": " : "", hint.outcome.c_str());
    fflush(stdout);
}

void drawHint(const levelPlay &level, const levelLook &look)
{
    if (hint.stage == noHint) return;
    const throwAdvice &a = hint.search.advice;
    bool drawn = hint.stage == shown && a.found;
    hintPicture picture = {{hint.stage == thinking ? "thinking..."
                            : drawn                ? hint.words.c_str()
                                                   : hint.outcome.c_str(),
                            drawn ? hint.outcome.c_str() : nullptr},
                           drawn,
                           a.throwDrag.right,
                           a.throwDrag.up};
    drawHintOver(&level, &look, &picture);
}

void forgetHint(void) { hint.stage = noHint; }
