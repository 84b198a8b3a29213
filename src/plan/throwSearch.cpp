// The search for the most forgiving throw. A coarse grid of directions and
// drag lengths finds what the best throws take; the middle of the widest
// patch of grid cells that take that much is then walked out along its
// direction and its speed in fine steps, and the throw recommended is the
// middle of both walks.
#include <algorithm>
#include <cmath>

#include "plan/throwPlan.h"

const searchGrid FULL_GRID = {36, 4, 1, 100, 450, 1.15, 1.04, MOMENT_COUNT};

namespace
{

enum searchPhase { restPhase, coarsePhase, firstLine, speedLine, lastLine, donePhase };

const int LINE_STEPS = 64; // searchLine::worst's room
// How the widths of a patch compare: a direction's window counts in a steady
// hand's spread of 2 degrees, a speed's in its 10%.
const double STEADY_DEGREES = 2, STEADY_SPEED = 10;

double directionAt(const throwSearch *s, int a) { return (a - s->directions / 2) * s->grid.coarseDegrees; }
double lengthAt(const throwSearch *s, int b) { return s->grid.shortest * pow(s->grid.coarseRatio, b); }

// The coarse cells in the order tried: straight down the middle first, then
// out to the sides and to the slow and fast drags. A patch found earlier wins
// a tie.
int cellInOrder(const throwSearch *s, int n)
{
    int a = n % s->directions, b = n / s->directions;
    int da = (a + 1) / 2 * (a % 2 ? 1 : -1), db = (b + 1) / 2 * (b % 2 ? 1 : -1);
    // From the middle (the lower of two middles) out, first one way then the other.
    return ((s->lengths - 1) / 2 + db) * s->directions + (s->directions - 1) / 2 + da;
}

// Plays the throw being tried at its next moment; true once the throw is
// known: it takes fewer than `needed` pins at some moment, or it was tried at
// every one.
bool tryMoment(throwSearch *s, int needed)
{
    int left = playThrowFrom(&s->run, s->start, &s->alone, SEARCH_MOMENTS[s->cellMoment], s->cellDrag, true);
    s->throwsPlayed++;
    s->cellWorst = std::min(s->cellWorst, s->pinsBefore - left);
    return s->cellWorst < needed || ++s->cellMoment == s->grid.moments;
}

void startCell(throwSearch *s, drag d)
{
    s->trying = true;
    s->cellDrag = d;
    s->cellMoment = 0;
    s->cellWorst = s->pinsBefore;
}

bool good(const throwSearch *s, int a, int b)
{
    return a >= 0 && a < s->directions && b >= 0 && b < s->lengths &&
           s->score[b * s->directions + a] == s->best;
}

// How many good cells follow (a, b) in steps of (da, db).
int goodRun(const throwSearch *s, int a, int b, int da, int db)
{
    int n = 0;
    while (good(s, a + (n + 1) * da, b + (n + 1) * db))
        n++;
    return n;
}

// The coarse cell deepest in its patch, in steady hands' spreads: the
// nearer of its edges along either line, the narrower way counting first.
void pickCentre(throwSearch *s)
{
    double bestDepth = -1, bestWidth = -1;
    for (int n = 0; n < s->directions * s->lengths; n++) {
        int c = cellInOrder(s, n), a = c % s->directions, b = c / s->directions;
        if (!good(s, a, b)) continue;
        double across = (std::min(goodRun(s, a, b, -1, 0), goodRun(s, a, b, 1, 0)) + 0.5) *
                        s->grid.coarseDegrees / STEADY_DEGREES;
        double along = (std::min(goodRun(s, a, b, 0, -1), goodRun(s, a, b, 0, 1)) + 0.5) *
                       (s->grid.coarseRatio - 1) * 100 / STEADY_SPEED;
        double depth = std::min(across, along), width = across + along;
        if (depth > bestDepth || (depth == bestDepth && width > bestWidth))
            bestDepth = depth, bestWidth = width, s->centreDirection = a, s->centreLength = b;
    }
}

// The window of a run of `low` steps below and `high` above a centre, in %
// of the speed `mid` steps from it, for lengths in steps of `ratio`.
double speedWindow(int low, int high, int mid, double ratio)
{
    return (pow(ratio, high + 0.5) - pow(ratio, -low - 0.5)) / pow(ratio, mid) * 100;
}

void startLine(throwSearch *s, bool alongSpeed, double fixed, double centre, int centreWorst)
{
    searchLine &l = s->line;
    l.alongSpeed = alongSpeed, l.fixed = fixed, l.centre = centre, l.centreWorst = centreWorst;
    l.side = 1, l.reach[0] = l.reach[1] = 0, l.steps = 0;
}

double lineValue(const throwSearch *s, int k)
{
    const searchLine &l = s->line;
    return l.alongSpeed ? l.centre * pow(s->grid.fineRatio, k) : l.centre + k * s->grid.fineDegrees;
}

drag lineDrag(const throwSearch *s, int k)
{
    return s->line.alongSpeed ? polarDrag(s->line.fixed, lineValue(s, k))
                              : polarDrag(lineValue(s, k), s->line.fixed);
}

// A fine step may go a coarse step past the grid's edges.
bool lineInside(const throwSearch *s, int k)
{
    const searchGrid &g = s->grid;
    double v = lineValue(s, k);
    return abs(k) < LINE_STEPS &&
           (s->line.alongSpeed ? v >= g.shortest / g.coarseRatio && v <= g.longest * g.coarseRatio
                               : fabs(v) <= g.widestDegrees + g.coarseDegrees);
}

// The step of the line's run the throw moves to: its middle, or for speeds,
// the step nearest the centre (the middle of a patch, which the coarse grid
// chose for its directions too) that keeps two steady spreads of the run on
// either side.
int lineMiddle(const throwSearch *s)
{
    const searchLine &l = s->line;
    int low = -l.reach[1], high = l.reach[0];
    int margin = (int)ceil(log(1 + 2 * STEADY_SPEED / 100) / log(s->grid.fineRatio) - 1e-9);
    if (l.alongSpeed && high - low >= 2 * margin) return std::min(std::max(0, low + margin), high - margin);
    return (high + low) / 2;
}

int worstAt(const searchLine &l, int m)
{
    return m > 0 ? l.worst[0][m] : m < 0 ? l.worst[1][-m] : l.centreWorst;
}

void finishLine(throwSearch *s)
{
    searchLine &l = s->line;
    int m = lineMiddle(s), worst = worstAt(l, m);
    double middle = lineValue(s, m);
    if (s->phase == firstLine) {
        s->advice.windowDegrees = (l.reach[0] + l.reach[1] + 1) * s->grid.fineDegrees;
        startLine(s, true, middle, l.fixed, worst);
        s->phase = speedLine;
    } else if (s->phase == speedLine) {
        s->advice.windowSpeed = speedWindow(l.reach[1], l.reach[0], m, s->grid.fineRatio);
        s->advice.throwDrag = polarDrag(l.fixed, middle);
        s->advice.pinsLeft = s->pinsBefore - worst;
        // At the speed the first line was walked at, its window is the throw's.
        s->phase = m == 0 ? donePhase : lastLine;
        startLine(s, false, middle, l.fixed, worst);
    } else {
        s->advice.windowDegrees = (l.reach[0] + l.reach[1] + 1) * s->grid.fineDegrees;
        s->phase = donePhase;
    }
}

void endSide(throwSearch *s)
{
    if (s->line.side > 0)
        s->line.side = -1, s->line.steps = 0;
    else
        finishLine(s);
}

// One moment of the line's next throw out from its centre, on the high side,
// then the low; a throw that does worse than the best ends the side.
void lineStep(throwSearch *s)
{
    searchLine &l = s->line;
    if (!s->trying) {
        int k = (l.steps + 1) * l.side;
        if (!lineInside(s, k)) return endSide(s);
        startCell(s, lineDrag(s, k));
    }
    if (!tryMoment(s, s->best)) return;
    s->trying = false;
    if (s->cellWorst < s->best) return endSide(s);
    int side = l.side > 0 ? 0 : 1;
    l.reach[side] = ++l.steps;
    l.worst[side][l.steps] = s->cellWorst;
}

void finishCoarse(throwSearch *s)
{
    if (s->best < 1) {
        s->phase = donePhase;
        return;
    }
    pickCentre(s);
    int a = s->centreDirection, b = s->centreLength;
    s->advice.found = true;
    s->advice.throwDrag = polarDrag(directionAt(s, a), lengthAt(s, b));
    s->advice.pinsLeft = s->pinsBefore - s->best;
    s->advice.windowDegrees = (goodRun(s, a, b, -1, 0) + goodRun(s, a, b, 1, 0) + 1) * s->grid.coarseDegrees;
    s->advice.windowSpeed =
        speedWindow(goodRun(s, a, b, 0, -1), goodRun(s, a, b, 0, 1), 0, s->grid.coarseRatio);
    if (s->grid.fineDegrees <= 0) {
        s->phase = donePhase;
        return;
    }
    startLine(s, false, lengthAt(s, b), directionAt(s, a), s->best);
    s->phase = firstLine;
}

// One moment of the next coarse cell; a cell that does worse than the best so
// far is left at that.
void coarseStep(throwSearch *s)
{
    int cells = s->directions * s->lengths;
    if (s->nextCell == cells) return finishCoarse(s);
    int c = cellInOrder(s, s->nextCell);
    if (!s->trying)
        startCell(s, polarDrag(directionAt(s, c % s->directions), lengthAt(s, c / s->directions)));
    if (!tryMoment(s, std::max(s->best, 1))) return;
    s->trying = false;
    s->score[c] = s->cellWorst;
    if (s->cellMoment == s->grid.moments) s->best = std::max(s->best, s->cellWorst);
    s->nextCell++;
}

} // namespace

void startSearch(throwSearch *s, const levelPlay &from, const searchGrid &grid, flightBook *flights)
{
    s->grid = grid;
    s->run.flights = flights;
    copyLevel(&s->start, from);
    while (s->start.gameState == watchingThrow && !advanceLevel(&s->start, STEP_MS)) {
    }
    s->pinsBefore = s->start.remainingPins;
    s->directions = 2 * (int)floor(grid.widestDegrees / grid.coarseDegrees + 1e-9) + 1;
    s->lengths = (int)floor(log(grid.longest / grid.shortest) / log(grid.coarseRatio) + 1e-9) + 1;
    s->score.assign(s->directions * s->lengths, -1);
    s->nextCell = 0;
    s->best = 0;
    s->trying = false;
    s->advice = throwAdvice();
    s->advice.pinsBefore = s->advice.pinsLeft = s->pinsBefore;
    s->throwsPlayed = 0;
    s->phase = s->pinsBefore > 0 ? restPhase : donePhase;
}

bool stepSearch(throwSearch *s, int budget)
{
    for (; budget > 0 && s->phase != donePhase; budget--) {
        if (s->phase == restPhase) {
            buildLeftAlone(&s->alone, s->start);
            s->phase = coarsePhase;
        } else if (s->phase == coarsePhase) {
            coarseStep(s);
        } else {
            lineStep(s);
        }
    }
    return s->phase == donePhase;
}

throwAdvice findThrow(throwSearch *s, const levelPlay &from, const searchGrid &grid, flightBook *flights)
{
    startSearch(s, from, grid, flights);
    while (!stepSearch(s, 1 << 20)) {
    }
    return s->advice;
}
