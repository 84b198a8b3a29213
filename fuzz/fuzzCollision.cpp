// Collision mesh files: every face list that comes back is well formed and freed.
#include <cmath>

#include "fuzzFile.h"
#include "meshFile.h"
#include "vectorMath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzFile f(data, size);
    collisionFace *faces = loadCollisionFaces(f.name);
    for (collisionFace *face = faces; face; face = face->nextFace) {
        // A finite normal comes out of the loader with unit length.
        float len = vec_mag(face->no);
        if (std::isfinite(len) && std::fabs(len - 1.0f) > 1e-3f) abort();
    }
    freeCollisionFaces(faces);
    return 0;
}
