// Mesh files read into plain data: the triangles of a drawn mesh, and the
// collision mesh as a list of faces. Nothing here needs a window.
#pragma once

#include "bodies.h"

typedef struct meshCorner {
    unsigned char colour[3]; // the low 8 bits of what the file says
    vec3 position;
} meshCorner;

typedef struct meshTriangle {
    vec3 normal; // as written; drawing ignores it
    meshCorner corner[3];
} meshTriangle;

typedef struct meshData {
    int headerValid;  // a label and a count above 0: the mesh is drawn, if only as nothing
    int headerCount;  // only compared by the collision loader
    int numTriangles; // read, whether or not their entries were whole
    int capacity;
    meshTriangle *triangles;
} meshData;

// Reads the mesh file fname into *mesh (zeroed first), printing the loader's
// messages. Returns success when the triangles ended at an entry that is not a
// normal (a well-formed file ends with a line break), unknown when the file
// ended where a triangle's separator was due or its header is not valid;
// never failure. A short colour leaves 128 in what it lacks, a short position
// 0 in what it lacks and the reading goes on out of step.
condition readMesh(char *fname, meshData *mesh);
void freeMesh(meshData *mesh);

// Reads a collision mesh: every triangle must be whole and there must be at
// least as many as the header says. Returns the faces in file order, each with
// a unit normal and its plane's offset, or null after a message; no partial
// list ever comes back.
collisionFace *loadCollisionFaces(char *fname);
void freeCollisionFaces(collisionFace *firstFace);

// loadCollisionFaces with the face allocator passed in, so that running out of
// memory part-way through a file can be tried on purpose. allocFace gives one
// zeroed face, or null.
typedef collisionFace *(*faceAllocator)(void);
collisionFace *loadCollisionFacesWith(char *fname, faceAllocator allocFace);
