// A scene file read into plain data: the level's colours, lower bound, camera,
// ball and pins, its collision mesh, and the meshes still to be compiled into
// display lists. Nothing here needs a window.
#pragma once

#include "common/bodies.h"
#include "files/meshFile.h"

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
    // readFine and the file's name, or why the reading stopped: at an entry not
    // whole, at a mesh entry whose mesh did not load (the mesh's own record, or
    // collisionProblem, says why), for want of memory, or at the file itself.
    readRecord problem;
    readRecord collisionProblem;
    // The first slip in an entry read whole, and how many there are; and, in a
    // file read through, the words after its last pin (readUnread) or none.
    readRecord slip;
    int slips;
    readRecord unread;
    int *entryLines; // the line of each entry read, by its number; entryLineRecords of them
    int entryLineRecords;
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
    meshData collisionMesh; // as written, which the faces are made from
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
// A pin's entries, and where pin `pin` (from 0) has each; an entry's pin and field.
enum pinField { pinLocation, pinRadius, pinMass, pinMesh };
inline int pinEntry(int pin, int field) { return firstPinEntry + ENTRIES_PER_PIN * pin + field; }
inline int pinOfEntry(int entry) { return (entry - firstPinEntry) / ENTRIES_PER_PIN; }
inline int fieldOfEntry(int entry) { return (entry - firstPinEntry) % ENTRIES_PER_PIN; }

// Reads the scene file fName into *scene (zeroed first): every entry in order,
// each mesh it names and its collision mesh. An entry that is not whole ends
// the reading; entries before it are kept. Returns success or failure.
condition readScene(const char *fName, sceneData *scene);

// What the game prints about a scene's reading: its meshes' messages in the
// order they were read, then its own, "done loading scene from file ..." included.
void writeSceneMessages(FILE *out, const sceneData *scene);

// The line of an entry that was read, or 0.
int sceneEntryLine(const sceneData *scene, int entry);

// Frees whatever the reading left in *scene.
void freeSceneData(sceneData *scene);
