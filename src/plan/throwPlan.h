// Throws planned ahead: the drag a player makes, a throw played as the game
// plays it (watched until the ball is back, then the player's pause), and the
// search for the most forgiving throw from a level in play. Needs no window:
// the level checker proves levels with it, and the game can ask it for a hint,
// a few throws a frame.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/levelPlay.h"

// A throw as the player drags it: pixels of the game's 640x480 picture to the
// right and up the screen, over ms milliseconds of game time.
const int DRAG_MS = 500;
struct drag {
    int right, up;
    int ms = DRAG_MS;
};
// After a throw is watched and the ball is back, the player pauses this long
// before the next: a throw's outcome is the pins left after the pause.
const int AIM_MS = 3000;
// A player throws within this many steps (0.3 s) of the moment meant: the
// hop of a resting ball makes the step a throw starts on matter.
const int THROW_MOMENT_STEPS = 30;

// A drag from its direction (degrees from straight up the screen, positive to
// the right) and its length in pixels, rounded to whole pixels.
drag polarDrag(double degrees, double length, int ms = DRAG_MS);
double dragDegrees(drag d);
double dragLength(drag d);

// "drag 200 px up and 20 px right (201 px) in 0.5 s"
std::string dragWords(drag d);
// Reads a drag as dragWords writes it, or shorter ("200 up 40 right",
// "150 up in 0.3 s"); half a second unless the words say otherwise. On
// failure *why says what is wrong.
bool readDragWords(const std::string &words, drag *d, std::string *why);

// A copy of a level to play on, keeping no step starts (a level's copy holds
// pins of its own). Allocates nothing once `to` has held as many pins.
void copyLevel(levelPlay *to, const levelPlay &from);
// The pins a level holds.
inline int pinsOf(const levelPlay &p) { return (int)p.pins.size(); }

// How a level goes on from a state when nobody throws: every pin's track, and
// when each comes near another object or leaves play. A pin on its track
// needs no simulating ("asleep") until something that left its own track
// comes near it, or the track meets something that did: its place at any
// step is known, to the bit. Built once for the state a search starts from.
struct contactAt {
    int step;
    int other; // a pin, or -1 for the ball
};
struct leftAlone {
    int numPins = 0;
    int horizon = 0;                   // physics steps the tracks cover
    std::vector<dynamicObject> tracks; // pin i at the start of step k: tracks[i * (horizon + 1) + k]
    std::vector<int> leaves;           // the step each pin leaves play in; past the horizon if never
    std::vector<int> contactStart;   // pin i's contacts: contacts[contactStart[i]] up to contactStart[i + 1]
    std::vector<contactAt> contacts; // by step: another object within reach at its start
    std::vector<vec3> boxLow, boxHigh;    // where each pin's track goes
    std::vector<dynamicObject> ballTrack; // the ball put back, alone, for a pause and a step
    vec3 ballLow, ballHigh;               // where that goes
    bool ballStaysPut = false;            // and it stays in play
};
void buildLeftAlone(leftAlone *alone, const levelPlay &from);

// Scratch for playing throws: the level copy, which of its pins are asleep,
// how far through each pin's contacts the play is, what is awake, and how
// many pins something woke: none means the throw touched no pin.
struct reachPoint {
    float x, y, z, r;
};
// The ball's flights from throws' releases with nothing but the level near:
// the same bits whenever the ball leaves the drag in the same state, so many
// searches in a level share them. Its state at the start of each step, until
// it leaves play or the throw's time is up. For one level at a time: clear it
// before another (the level's faces are kept to make sure).
struct flightState {
    vec3 location, velocity;
    int inPlay;
};
struct flightKey {
    flightState ball;
    bool operator==(const flightKey &o) const;
};
struct flightKeyHash {
    size_t operator()(const flightKey &k) const;
};
struct flightBook {
    const collisionFace *faces = nullptr;
    std::unordered_map<flightKey, std::pair<int, int>, flightKeyHash> flights; // where in states, how long
    std::vector<flightState> states;
};
void clearFlights(flightBook *book);

struct throwRun {
    levelPlay level;
    std::vector<unsigned char> asleep;
    std::vector<int> nextContact;
    std::vector<reachPoint> awake;
    int physicsSteps;
    int woken;
    flightBook *flights = nullptr; // flights to use and add to, or none
};
// Called after every step that moves the world, with the level as it stands.
typedef void (*stepWatcher)(const levelPlay *p, void *data);

// Plays drag d on a copy of `from` into run->level: waitSteps steps of waiting
// first, then the drag, the throw watched until the ball is back, and the
// pause. `alone`, built from this same `from` or null, only saves time. With
// outcomeOnly the play may stop as soon as the pins left can no longer change,
// leaving run->level short of the pause's end. Returns the pins left.
int playThrowFrom(throwRun *run, const levelPlay &from, const leftAlone *alone, int waitSteps, drag d,
                  bool outcomeOnly, stepWatcher watcher = nullptr, void *watcherData = nullptr);

// The search's moments: steps after the state searched from at which a throw
// is tried, spread over THROW_MOMENT_STEPS and over the hop.
const int SEARCH_MOMENTS[] = {0, 13, 27};
const int MOMENT_COUNT = 3;

// The grid the search tries: directions out to widestDegrees either side in
// coarse steps, drag lengths from shortest to longest px, each the last times
// coarseRatio; then, around the best, directions in fineDegrees steps and
// lengths in fineRatio steps (a fineDegrees of 0 stops at the coarse grid).
// A throw counts as good only when it does as well at each of the first
// `moments` moments.
struct searchGrid {
    double widestDegrees, coarseDegrees, fineDegrees;
    double shortest, longest, coarseRatio, fineRatio;
    int moments;
};
extern const searchGrid FULL_GRID;

// What the search recommends: the throw, the pins it takes of those left
// (the worst of the moments tried), and its window, the run of directions at
// its speed (in degrees) and of speeds in its direction (in % of its speed)
// that do as well.
struct throwAdvice {
    bool found; // some throw takes a pin; nothing else is set otherwise
    drag throwDrag;
    int pinsBefore, pinsLeft;
    double windowDegrees, windowSpeed;
};

// A search for the most forgiving throw, run a few throws at a time. Among
// the throws that clear the level, or failing that take the most pins, it
// recommends the middle of the widest run of equally good directions and
// speeds rather than the first found.
struct searchLine {
    bool alongSpeed;  // lengths at a fixed direction, or directions at a fixed length
    double fixed;     // that direction or length
    double centre;    // where the line starts, known good
    int centreWorst;  // the pins the centre takes
    int side;         // +1, then -1
    int reach[2];     // good steps out on the high side, the low
    int worst[2][64]; // the pins each good step takes, from 1
    int steps;        // steps tried on the side now
};
struct throwSearch {
    searchGrid grid;
    levelPlay start;
    leftAlone alone;
    throwRun run;
    int phase;
    int pinsBefore;
    int directions, lengths;
    std::vector<int> score; // pins taken by each coarse cell (worst of its moments), -1 untried
    int nextCell;
    int best;
    bool trying; // a throw is being tried: its drag, its next moment, the worst so far
    drag cellDrag;
    int cellMoment, cellWorst;
    int centreDirection, centreLength; // the coarse cell the fine lines start from
    searchLine line;
    throwAdvice advice;
    int throwsPlayed;
};

// Starts a search from `from`, a level awaiting a throw (one watching a throw
// is first played until the ball is back). The search keeps its own copy;
// `from`'s collision index is used as scratch: one search or level at a
// time on it.
void startSearch(throwSearch *s, const levelPlay &from, const searchGrid &grid = FULL_GRID,
                 flightBook *flights = nullptr);
// Plays at most `budget` throws of the search; returns true once it is done.
bool stepSearch(throwSearch *s, int budget);
// The whole search at once.
throwAdvice findThrow(throwSearch *s, const levelPlay &from, const searchGrid &grid = FULL_GRID,
                      flightBook *flights = nullptr);
