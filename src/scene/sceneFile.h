// A scene file read into plain data: the level's colours, lower bound, camera,
// ball and pins, its collision mesh, and the meshes still to be compiled into
// display lists. Nothing here needs a window.
#pragma once

#include "../bodies.h"
#include "../meshFile.h"

// A mesh entry: read says whether its file name was read, in which case the
// game makes a display list for it whether or not the mesh itself loaded.
typedef struct meshEntry {
    int read;
    char name[MAX_FILENAME_LENGTH + 1];
    meshData mesh;
} meshEntry;

typedef struct sceneData {
    int opened;         // the file could be opened; nothing is set otherwise
    int pinsIncomplete; // the load failed in the pins: everything built is to be released
    float bgRed, bgGreen, bgBlue;
    float txtRed, txtGreen, txtBlue;
    float worldLowerBound;
    vec3 cameraLocation;
    int numPins;
    dynamicObject ball;
    dynamicObject *pins; // pinRecords records, grown as pin entries are read; null with no pins
    int pinRecords;
    collisionFace *firstCollisionFace;
    char collisionName[MAX_FILENAME_LENGTH + 1];
    meshEntry world, ballMesh;
    meshEntry *pinMeshes; // one for each record of pins
    int pinMeshRecords;
} sceneData;

// The entries of a scene file in order; a pin's four follow the ball's mesh.
enum sceneEntry {
    backgroundEntry,
    textEntry,
    lowerBoundEntry,
    worldMeshEntry,
    collisionMeshEntry,
    cameraEntry,
    pinCountEntry,
    ballLocationEntry,
    ballRadiusEntry,
    ballMassEntry,
    ballMeshEntry,
    firstPinEntry,
    ENTRIES_PER_PIN = 4
};

// Reads the scene file fName into *scene (zeroed first): every entry in order,
// each mesh it names and its collision mesh, printing the loaders' messages and
// its own, "done loading scene from file ..." included. An entry that is not
// whole ends the reading; entries before it are kept. Returns success or failure.
condition readScene(char *fName, sceneData *scene);

// Frees whatever the reading left in *scene.
void freeSceneData(sceneData *scene);
