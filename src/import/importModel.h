// pinwhirl-import: a level modelled in Blender and exported as glTF 2.0 or
// Wavefront OBJ, gathered into what the game's files hold, in the game's axes
// (+z up, +y down the lane, away from the camera). Nothing here needs a window.
#pragma once

#include <string>
#include <vector>

#include "common/vectorMath.h"
#include "files/reader.h" // MAX_FILENAME_LENGTH

// What an object of the model is to the level: by its "pinwhirl" property
// (glTF extras), else by its name.
enum objectRole { drawnRole, collideRole, bothRole, ballRole, pinRole, cameraRole };

// The role a name gives (case aside): collide... is the collision mesh, ball
// (or ball.001, as Blender numbers copies) the ball, pin... a pin, camera the
// camera; anything else is drawn.
objectRole roleFromName(const std::string &name);
// The role a "pinwhirl" property's word names; false for no such word.
bool roleFromWord(const std::string &word, objectRole *role);

// A triangle as it will be written: corners rounded as the mesh file writes
// them, its unit normal from their winding, a colour (0..255, sRGB) a corner.
struct importedTriangle {
    vec3 corner[3];
    vec3 normal;
    unsigned char colour[3][3];
};

// The ball, a pin or the camera, where the model places it. radius and mass
// are 0 where the model does not give them.
struct placedObject {
    std::string name;
    vec3 at;
    float radius, mass;
};

struct importedLevel {
    std::vector<importedTriangle> drawn, collide;
    std::vector<placedObject> balls, pins, cameras;
    bool hasBackground, hasText, hasLowest;
    float background[3], text[3], lowest;
    std::vector<std::string> notes; // what the reading had to say: shown, never fatal
};

// glTF and Blender keep colours linear; the game draws the numbers it is given
// as they are, which a screen shows as sRGB. From 0..1 linear to 0..255 sRGB.
unsigned char linearToSrgb(double linear);
unsigned char srgbByte(double srgb); // 0..1 sRGB to 0..255

// Adds a triangle of an object with a geometry role (drawn, collide or both)
// to the level. Returns false, adding nothing, for one without area once its
// corners are rounded as written. A double-sided one is drawn from behind too.
bool addTriangle(importedLevel *level, objectRole role, const vec3 corner[3],
                 const unsigned char colour[3][3], bool doubleSided);

// The corners an object of a placing role (ball, pin, camera) is modelled
// with: placed at the centre of their box, its radius half the box's largest side.
placedObject placeByBox(const std::string &name, const std::vector<vec3> &corners);
// Adds a placed object to the list its role keeps.
void addPlaced(importedLevel *level, objectRole role, const placedObject &object);

// The model readers: false with a one-line *error when the file cannot be read
// as a model or holds what cannot be made sense of; nothing is written then.
bool loadGltf(const std::string &path, importedLevel *level, std::string *error);
// zUp: the OBJ file was exported with +Z up (Blender's own axes) rather than
// Blender's default for OBJ, +Y up and -Z forward.
bool loadObj(const std::string &path, bool zUp, importedLevel *level, std::string *error);

// The files of the level, by name in the output folder.
struct levelFile {
    std::string name, text;
};
// The mesh file of a list of triangles.
std::string meshText(const std::vector<importedTriangle> &triangles);
// A sphere of the given radius for the ball or the pins, shaded as if lit from
// above: the meshes written when the output folder has none.
std::string ballMeshText(float radius);
std::string pinMeshText(float radius);
// A number as the files write it: at most four decimals, never "-0".
std::string fileNumber(double x);
