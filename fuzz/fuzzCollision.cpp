// Collision mesh files: every face list that comes back must be well formed and freed.
#include <cmath>
#include <cstdlib>

#include "fuzzFile.h"
#include "objects.h"
#include "vectorMath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool quiet = (fuzzQuietStdout(), true);
    (void)quiet;
    fuzzFile f = fuzzFileOpen(data, size);
    collisionFace *faces = loadCollisionFaces(f.name);
    for (collisionFace *face = faces; face; face = face->nextFace) {
        // A finite normal must have come out of the loader with unit length.
        float len = vec_mag(face->no);
        if (std::isfinite(len) && std::fabs(len - 1.0f) > 1e-3f) abort();
    }
    freeCollisionFaces(faces);
    fuzzFileClose(&f);
    return 0;
}
