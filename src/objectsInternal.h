// Inside of the objects module, open to its tests.
#pragma once

#include "includes.h"

// Gives one zeroed face (nextFace null), or null when memory has run out.
typedef collisionFace *(*faceAllocator)(void);

// loadCollisionFaces with the face allocator passed in, so that running out of
// memory part-way through a file can be tried on purpose.
collisionFace *loadCollisionFacesWith(char *fname, faceAllocator newFace);
