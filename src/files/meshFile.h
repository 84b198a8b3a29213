// Mesh files read into plain data: the triangles of a drawn mesh, and the
// collision mesh as a list of faces. Nothing here needs a window.
#pragma once

#include <cstdio>

#include "common/bodies.h"
#include "files/reader.h"

// A mesh file's entries in order: the header, then seven for each triangle,
// its normal and, for each of its three corners, a colour and a position.
const int ENTRIES_PER_TRIANGLE = 7;
int normalEntry(int triangle);
int colourEntry(int triangle, int corner);
int positionEntry(int triangle, int corner);
// Where an entry stands: its triangle from 0 (-1 for the header) and its
// corner from 0 (-1 for the normal), and whether it is the corner's colour.
typedef struct meshPlace {
    int triangle, corner;
    bool colour;
} meshPlace;
meshPlace meshPlaceOf(int entry);

typedef struct meshCorner {
    unsigned char colour[3]; // the low 8 bits of what the file says
    vec3 position;
} meshCorner;

typedef struct meshTriangle {
    vec3 normal; // as written; drawing ignores it
    meshCorner corner[3];
    int line; // where its normal stands
} meshTriangle;

typedef struct meshData {
    int headerValid; // a label and a count above 0: the mesh is drawn, if only as nothing
    int headerCount; // only compared by the collision loader
    int headerLine;
    int numTriangles; // read, whether or not their entries were whole
    int capacity;
    meshTriangle *triangles;
    // How the reading ended: readListEnded when it went well (at an entry that
    // is not a normal, found "" at the end of the file), else why not.
    readRecord end;
    // The first colour or position that was not whole, and how many were not
    // (the game prints a line for each position that was not).
    readRecord firstShort;
    int shortEntries, shortCorners;
    // The first colour beyond 255, and how many there are.
    readRecord oddColour;
    int oddColours;
    // The first position that is not finite, else the first beyond
    // COORDINATE_LIMIT, and how many such positions there are. (Normals are
    // kept as written: drawing ignores them.)
    readRecord oddNumber;
    int oddNumbers;
    // The first slip in an entry read whole (a missing or spaced "]", a
    // decimal comma), and how many there are.
    readRecord slip;
    int slips;
} meshData;

// Reads the mesh file fname into *mesh (zeroed first), its records naming a
// drawn mesh or a collision mesh as kind says. Returns success when the triangles ended at an entry
// that is not a normal (a well-formed file ends with a line break), unknown
// when the file ended where a triangle's separator was due or its header is not
// valid; never failure. A short colour leaves 128 in what it lacks, a short
// position 0 in what it lacks and the reading goes on out of step.
condition readMesh(const char *fname, meshData *mesh, fileKind kind = drawnMeshFile);
void freeMesh(meshData *mesh);

// The faces of a collision mesh read by readMesh, as the game takes them:
// every triangle must be whole, up to the first that is not, and there must be
// at least as many as the header says. Returns the faces in file order, each
// with its normal as written scaled to unit length and its plane's offset, or
// null with *problem saying why (where the file was read, it names the
// collision mesh only if the mesh was read as one); no partial list ever comes
// back. *problem is readFine on success. allocFace gives one zeroed face, or
// null; null stands for the usual allocator, and another lets running out of
// memory part-way through a file be tried on purpose.
typedef collisionFace *(*faceAllocator)(void);
collisionFace *collisionFacesOf(const meshData *mesh, faceAllocator allocFace, readRecord *problem);
void freeCollisionFaces(collisionFace *firstFace);

// What the game prints about a record of a mesh or collision mesh (nothing for
// most), and about a drawn mesh's reading: a line for each short position,
// then how it failed, if it did.
void writeMeshMessage(FILE *out, const readRecord *r);
void writeMeshMessages(FILE *out, const meshData *mesh);
