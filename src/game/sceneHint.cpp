// The hint key: the search for the most forgiving throw, a slice a frame, and
// its advice drawn over the picture and written on standard output.
//
// The search plays throws on its own copy of the level, and borrows only what
// does not change while the level lives: the collision faces and their index.
// The index's scratch (the marks and candidates of a query) holds nothing
// from one physics step to the next, and the search's steps and the game's
// never run at once, so neither disturbs the other.
#include "game/sceneHint.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "draw/text.h"

namespace
{

// The drag is in pixels of the game's picture, whatever size it is shown at.
const double PICTURE_WIDTH = 640, PICTURE_HEIGHT = 480;
const double ARROW_HEAD_PX = 12, ARROW_HEAD_DEGREES = 25;
const float ARROW_WIDTH_PX = 2;
const int CELL_WIDTH = 8, CELL_HEIGHT = 16; // the bitmap font's

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

// A line of text centred across the picture, hanging `row` lines below its top.
void centredLine(const std::string &s, const GLint view[4], int row)
{
    int x = std::max(0, (view[2] - CELL_WIDTH * (int)s.size()) / 2);
    glRasterPos2i(view[0] + x, view[1] + view[3] - CELL_HEIGHT * row);
    setValign(top);
    textStringLength((char *)s.data(), (int)s.size());
}

// An arrow from (x, y) by (dx, dy) window pixels, y up.
void drawArrow(double x, double y, double dx, double dy)
{
    double length = hypot(dx, dy);
    if (length < 1) return;
    double ux = dx / length, uy = dy / length, c = cos(ARROW_HEAD_DEGREES * M_PI / 180),
           s = sin(ARROW_HEAD_DEGREES * M_PI / 180);
    double tipX = x + dx, tipY = y + dy;
    glLineWidth(ARROW_WIDTH_PX);
    glBegin(GL_LINES);
    glVertex2d(x, y);
    glVertex2d(tipX, tipY);
    // The head's two barbs point back from the tip, turned either way.
    glVertex2d(tipX, tipY);
    glVertex2d(tipX - ARROW_HEAD_PX * (ux * c - uy * s), tipY - ARROW_HEAD_PX * (uy * c + ux * s));
    glVertex2d(tipX, tipY);
    glVertex2d(tipX - ARROW_HEAD_PX * (ux * c + uy * s), tipY - ARROW_HEAD_PX * (uy * c - ux * s));
    glEnd();
    glLineWidth(1);
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

void drawHint(const levelPlay &level, float red, float green, float blue)
{
    if (hint.stage == noHint) return;
    GLdouble model[16], projection[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    // Where the ball is drawn in this frame, in window pixels from the bottom left.
    vec3 at = locationBetweenSteps(&level, 0);
    GLdouble ballX, ballY, ballZ;
    bool seen =
        gluProject(at.x, at.y, at.z, model, projection, view, &ballX, &ballY, &ballZ) == GL_TRUE && ballZ < 1;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(view[0], view[0] + view[2], view[1], view[1] + view[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glColor3f(red, green, blue);
    // Below the banner, clear of the counters at the left.
    if (hint.stage == thinking) {
        centredLine("thinking...", view, 1);
    } else {
        const throwAdvice &a = hint.search.advice;
        if (a.found && seen)
            drawArrow(ballX, ballY, a.throwDrag.right * view[2] / PICTURE_WIDTH,
                      a.throwDrag.up * view[3] / PICTURE_HEIGHT);
        centredLine(a.found ? hint.words : hint.outcome, view, 1);
        if (a.found) centredLine(hint.outcome, view, 2);
    }
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void forgetHint(void) { hint.stage = noHint; }
