// pinwhirl-check: what an author needs to know about a level pack, one finding
// a line in the form compilers use, from the game's own readers and physics.
#pragma once

#include <string>
#include <vector>

#include "files/sceneFile.h"
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
// Searches for at most maxThrows throws that clear the level, played as the
// game plays them; the drags found, or none.
std::vector<drag> searchThrows(const std::string &name, const sceneData *scene, int maxThrows,
                               bool showProgress);
// How hard the level is: the throws it takes on average when the first is any
// of a grid of drags (21 slopes by 4 lengths) and the rest are the search's,
// more than maxThrows counting as maxThrows + 1. *throws holds the search's
// drags and is given the fewest found, should a first throw of the grid lead
// to fewer.
double measureDifficulty(const std::string &name, const sceneData *scene, int maxThrows,
                         std::vector<drag> *throws, bool showProgress);
