// A broad phase over the collision faces: the faces a sphere could touch,
// found without testing every face of the list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bodies.h"

// Built once from a face list that must not change while the index lives.
// A query answers with list positions in ascending order, so a scan over them
// adds the touched normals in the same order as a walk over the whole list.
typedef struct faceIndex {
    int faceCount;
    const collisionFace **faces; // by list position
    float *boxes;                // six a face: the low then the high corner of what it can reach
    // A uniform grid of cubic cells; a point beyond it belongs to the nearest
    // border cell. A face is listed in the cell of its box's centre, or where
    // the box is too big for that, in every cell the box meets.
    double origin[3];
    double cellSize, cellsPerUnit;
    int dims[3];
    uint32_t *cellStart;   // dims[0] * dims[1] * dims[2] + 1 offsets into cellFaces
    uint32_t *cellFaces;   // positions of the faces listed in each cell, ascending
    float *cellBoxes;      // six a cell: the box around its faces' boxes
    double beyond[3];      // how far a box listed once reaches out of its cell
    double queryBeyond[3]; // that, with rounding allowed for: how much further a query looks
    bool manyCells;        // some face is listed in more than one cell
    float gridBox[6];      // the box around every box listed in the grid
    uint32_t *alwaysFaces; // faces with no box or too big for the grid, ascending: in every answer
    int alwaysCount;
    uint64_t *marks;      // one bit a face, all clear between queries
    uint32_t *candidates; // room for every face: the last query's answer
} faceIndex;

// Null when there are no faces or memory runs out; the step then walks the list.
faceIndex *buildFaceIndex(const collisionFace *firstFace);
void freeFaceIndex(faceIndex *index);
// What the index holds on to, in bytes.
size_t faceIndexBytes(const faceIndex *index);

// Fills index->candidates with the positions, ascending, of every face that a
// sphere at `location` of `radius` could touch, and returns how many; or -1
// when the sphere cannot be bounded and every face must be tested.
int faceCandidates(faceIndex *index, vec3 location, float radius);
