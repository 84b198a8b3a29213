// pinwhirl-check: what an author needs to know about a level pack, one finding
// a line in the form compilers use, from the game's own readers and physics.
#pragma once

#include <string>
#include <vector>

#include "files/sceneFile.h"
#include "plan/person.h"
#include "plan/throwPlan.h"

enum severity { noteFinding, warningFinding, errorFinding };

// One finding, file:line: level: message; line 0 stands for the file as a whole.
void report(const std::string &file, int line, severity level, const std::string &message);

// A scene entry in an author's words: "ball radius", "pin 3, mass".
std::string sceneEntryName(int entry);

// The scene list, read as the game reads it: the names of its scenes, or
// nothing when the game would refuse it.
std::vector<std::string> checkSceneList();
// One scene file and every mesh it names, read as the game reads them into
// *scene. Returns false when the game would refuse the level.
bool checkScene(const std::string &name, sceneData *scene);

// The values of a level that make no sense, and text colours a player cannot read.
void checkValues(const std::string &name, const sceneData *scene);
// The level's meshes and where its objects start.
void checkGeometry(const std::string &name, const sceneData *scene);
// The level left alone for half a minute: what moves or falls out.
void checkSettling(const std::string &name, const sceneData *scene);
// The level as the game starts it, awaiting the first throw.
levelPlay startPlay(const sceneData *s, faceIndex *index);

// How a level is measured: the hands of the people who play it (the first
// is the steady player the difficulty is taken from), attempts for each,
// the threads to spread them over, and the most throws the par may take.
struct personSettings {
    std::vector<hands> people;
    int attempts;
    int threads;
    int maxThrows;
    bool showProgress;
};
// A person's throws to clear a level over their attempts: the mean (more
// than PERSON_THROWS counting PERSON_THROWS + 1) with its 95% interval, and
// the shares of attempts cleared within par + 1 throws and within six.
const int PERSON_THROWS = 10;
struct personFigures {
    hands hand;
    int attempts;
    double mean, low, high;
    double withinParPlusOne, withinSix;
};
struct levelFigures {
    std::vector<drag> throws; // the par's, or none when the search clears it in no more than maxThrows
    bool throwsToTheStep;     // they clear it only thrown at the moment meant, to the step
    throwAdvice first;        // the advice for the first throw, with its window
    std::vector<personFigures> people;
};
levelFigures measureLevel(const std::string &name, const sceneData *s, const personSettings &settings);
// What keys a random stream by the hands: their spreads.
uint64_t handKey(const hands &h);

// pinwhirl-check --try: plays the drags on the level one after another and
// tells after each where the ball went and what it touched.
void tryDrags(const std::string &name, const sceneData *s, const std::vector<drag> &drags);
