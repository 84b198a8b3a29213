#include "meshFile.h"

#include <climits>
#include <cstdlib>

#include "reader.h"
#include "vectorMath.h"

namespace
{

// Entry numbers of a mesh file: the header, then seven a triangle.
int normalEntry(int triangle) { return 1 + 7 * triangle; }
int colourEntry(int triangle, int corner) { return 2 + 7 * triangle + 2 * corner; }
int positionEntry(int triangle, int corner) { return 3 + 7 * triangle + 2 * corner; }

// Opens a mesh file and reads its header. A file that will not open, or whose
// header is not a label and a count above 0, gets the error message (followed
// by `end`) and 0; the file is then closed.
int openMesh(dataFile *d, char *fname, int *count, const char *end)
{
    if (openData(d, fname)) {
        if (readCount(d, count) == 2 && *count > 0) return 1;
        noteReading(d, readBadHeader, 0, 0);
    } else {
        noteReading(d, readCannotOpen, 0, 0);
    }
    printf("encountered file error, possibly an invalid first line\nor an invalid file\n or no "
           "file\nor something else\nwhen trying to load %s%s",
           fname, end);
    closeData(d);
    return 0;
}

collisionFace *allocateFace(void) { return (collisionFace *)calloc(1, sizeof(collisionFace)); }

// No partial list ever reaches the caller: everything built so far goes, the
// incomplete face included, and the file is closed.
collisionFace *abandonLoad(dataFile *d, collisionFace *firstFace)
{
    freeCollisionFaces(firstFace);
    closeData(d);
    return nullptr;
}

collisionFace *outOfMemory(dataFile *d, collisionFace *firstFace, char *fname)
{
    noteReading(d, readOutOfMemory, 0, 0);
    printf("Ran out of memory while loading the collision object %s\n", fname);
    return abandonLoad(d, firstFace);
}

} // namespace

condition readMesh(char *fname, meshData *mesh)
{
    *mesh = meshData{};
    condition result = unknown;
    dataFile d;
    // No line break after the message: the caller's own message runs on after the name.
    if (!openMesh(&d, fname, &mesh->headerCount, "")) return unknown;
    mesh->headerValid = 1;
    for (int t = 0;; t++) {
        // One character parts the triangles; the file ending there leaves the result unknown.
        if (readSeparator(&d) == EOF) {
            noteReading(&d, readNoFinalBreak, normalEntry(t), 0);
            break;
        }
        vec3 normal;
        if (readTriple(&d, &normal.x, &normal.y, &normal.z) < 4) {
            noteReading(&d, readListEnded, normalEntry(t), 0);
            result = success;
            break;
        }
        noteReading(&d, readEntry, normalEntry(t), 0);
        if (!makeRoom((void **)&mesh->triangles, &mesh->capacity, t, INT_MAX, sizeof(meshTriangle))) {
            noteReading(&d, readOutOfMemory, normalEntry(t), 0);
            printf("Ran out of memory while loading the mesh %s\n", fname);
            break;
        }
        meshTriangle *tri = &mesh->triangles[t];
        tri->normal = normal;
        for (int j = 0; j < 3; j++) {
            unsigned short c[3] = {128, 128, 128};
            vec3 p = {0, 0, 0};
            if (readColour(&d, &c[0], &c[1], &c[2]) < 4)
                noteReading(&d, readShortColour, colourEntry(t, j), 0);
            if (readTriple(&d, &p.x, &p.y, &p.z) < 4) {
                noteReading(&d, readShortCorner, positionEntry(t, j), 0);
                printf("not enough coordinates in vert\n");
            }
            // A short corner is still drawn, so the vertex count stays a multiple of three.
            tri->corner[j] = meshCorner{{(unsigned char)c[0], (unsigned char)c[1], (unsigned char)c[2]}, p};
        }
        mesh->numTriangles = t + 1;
    }
    closeData(&d);
    return result;
}

void freeMesh(meshData *mesh)
{
    free(mesh->triangles);
    *mesh = meshData{};
}

collisionFace *loadCollisionFaces(char *fname) { return loadCollisionFacesWith(fname, allocateFace); }

collisionFace *loadCollisionFacesWith(char *fname, faceAllocator allocFace)
{
    int numTriangles = 0;
    dataFile d;
    if (!openMesh(&d, fname, &numTriangles, "\n")) return nullptr;

    // This first record serves the first triangle.
    collisionFace *firstFace = allocFace();
    if (!firstFace) return outOfMemory(&d, firstFace, fname);
    collisionFace *newFace = firstFace;
    collisionFace *lastFace = nullptr;
    int i = 0;
    vec3 n;
    while (readSeparator(&d) != EOF && readTriple(&d, &n.x, &n.y, &n.z) == 4) {
        noteReading(&d, readEntry, normalEntry(i), 0);
        if (i > 0) {
            newFace = allocFace();
            if (!newFace) return outOfMemory(&d, firstFace, fname);
            lastFace->nextFace = newFace;
        }
        newFace->no = n;
        vec_normalize(&newFace->no);
        for (int j = 0; j < 3; j++) {
            unsigned short c1, c2, c3;
            vec3 *p = &newFace->v[j];
            // The colour means nothing to a collision, but a short one still spoils the file.
            int whole = readColour(&d, &c1, &c2, &c3) == 4;
            if (!whole || readTriple(&d, &p->x, &p->y, &p->z) < 4) {
                noteReading(&d, readShortEntry, whole ? positionEntry(i, j) : colourEntry(i, j), 0);
                printf("Colision file loading error\n");
                return abandonLoad(&d, firstFace);
            }
        }
        newFace->offset = vec_dot(newFace->no, newFace->v[0]);
        lastFace = newFace;
        i++;
    }

    // The header's count is a minimum: more triangles are welcome, fewer are not.
    if (i < numTriangles) {
        noteReading(&d, readTooFew, i, numTriangles);
        printf("Didn't find enough triangles in colision object\n");
        return abandonLoad(&d, firstFace);
    }
    closeData(&d);
    return firstFace;
}

void freeCollisionFaces(collisionFace *firstFace)
{
    collisionFace *thisFace = firstFace;
    while (thisFace) {
        collisionFace *nextFace = thisFace->nextFace;
        free(thisFace);
        thisFace = nextFace;
    }
}
