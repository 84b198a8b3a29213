#include "files/meshFile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "common/vectorMath.h"

int normalEntry(int triangle) { return 1 + ENTRIES_PER_TRIANGLE * triangle; }
int colourEntry(int triangle, int corner) { return normalEntry(triangle) + 1 + 2 * corner; }
int positionEntry(int triangle, int corner) { return colourEntry(triangle, corner) + 1; }

meshPlace meshPlaceOf(int entry)
{
    if (entry < normalEntry(0)) return meshPlace{-1, -1, false};
    int item = (entry - normalEntry(0)) % ENTRIES_PER_TRIANGLE;
    return meshPlace{(entry - normalEntry(0)) / ENTRIES_PER_TRIANGLE, item == 0 ? -1 : (item - 1) / 2,
                     item % 2 == 1};
}

namespace
{

const unsigned short MAX_COLOUR = 255;

// Opens a mesh file and reads its header. A file that will not open, or whose
// header is not a label and a count above 0, gets a record in *problem and 0;
// the file is then closed.
int openMesh(dataFile *d, const char *fname, fileKind kind, int *count, readRecord *problem)
{
    readEvent opened = openData(d, fname, kind);
    if (opened != readFine) {
        recordUnopened(problem, opened, fname, kind);
        return 0;
    }
    if (readCount(d, count) == 2 && *count > 0) return 1;
    recordEntry(d, problem, readBadHeader, 0, 0);
    closeData(d);
    return 0;
}

collisionFace *allocateFace(void) { return (collisionFace *)calloc(1, sizeof(collisionFace)); }

// A whole position that makes no sense; the worst kind is kept.
void notePosition(dataFile *d, meshData *m, int entry, vec3 v)
{
    readEvent what = !isFinite(v) ? readNotFinite : !withinLimit(v) ? readTooFar : readFine;
    if (what == readFine) return;
    if (m->oddNumbers++ == 0 || (what == readNotFinite && m->oddNumber.what == readTooFar))
        recordEntry(d, &m->oddNumber, what, entry, 0);
}

void noteColour(dataFile *d, meshData *m, int entry, const unsigned short c[3])
{
    for (int k = 0; k < 3; k++)
        if (c[k] > MAX_COLOUR) {
            if (m->oddColours++ == 0) recordEntry(d, &m->oddColour, readColourRange, entry, c[k]);
            return;
        }
}

void noteShort(dataFile *d, meshData *m, readEvent what, int entry)
{
    if (m->shortEntries++ == 0) recordEntry(d, &m->firstShort, what, entry, 0);
}

} // namespace

condition readMesh(const char *fname, meshData *mesh, fileKind kind)
{
    *mesh = meshData{};
    condition result = unknown;
    dataFile d;
    if (!openMesh(&d, fname, kind, &mesh->headerCount, &mesh->end)) return unknown;
    mesh->headerValid = 1;
    mesh->headerLine = entryLine(&d);
    for (int t = 0;; t++) {
        // One character parts the triangles; the file ending there leaves the result unknown.
        if (readSeparator(&d) == EOF) {
            recordEntry(&d, &mesh->end, readNoFinalBreak, normalEntry(t), 0);
            break;
        }
        vec3 normal;
        if (readTriple(&d, &normal.x, &normal.y, &normal.z) < 4) {
            recordEntry(&d, &mesh->end, readListEnded, normalEntry(t), 0);
            result = success;
            break;
        }
        int line = entryLine(&d);
        if (!makeRoom((void **)&mesh->triangles, &mesh->capacity, t, INT_MAX, sizeof(meshTriangle))) {
            recordEntry(&d, &mesh->end, readOutOfMemory, normalEntry(t), 0);
            break;
        }
        meshTriangle *tri = &mesh->triangles[t];
        tri->normal = normal;
        tri->line = line;
        for (int j = 0; j < 3; j++) {
            unsigned short c[3] = {128, 128, 128};
            vec3 p = {0, 0, 0};
            if (readColour(&d, &c[0], &c[1], &c[2]) < 4)
                noteShort(&d, mesh, readShortColour, colourEntry(t, j));
            else
                noteColour(&d, mesh, colourEntry(t, j), c);
            if (readTriple(&d, &p.x, &p.y, &p.z) < 4) {
                noteShort(&d, mesh, readShortCorner, positionEntry(t, j));
                mesh->shortCorners++;
            } else {
                notePosition(&d, mesh, positionEntry(t, j), p);
            }
            // A short corner is still drawn, so the vertex count stays a multiple of three.
            tri->corner[j] = meshCorner{{(unsigned char)c[0], (unsigned char)c[1], (unsigned char)c[2]}, p};
        }
        mesh->numTriangles = t + 1;
    }
    mesh->slip = d.slip;
    mesh->slips = d.slips;
    closeData(&d);
    return result;
}

void freeMesh(meshData *mesh)
{
    free(mesh->triangles);
    *mesh = meshData{};
}

// The collision loader takes the triangles one by one as the file gives them:
// a face for each whose normal it read (the first made before any), and the
// load ends at the first entry that is not whole. What ended the drawn
// reading, its first short entry, or the header's count ends it too.
collisionFace *collisionFacesOf(const meshData *mesh, faceAllocator allocFace, readRecord *problem)
{
    *problem = readRecord{};
    if (!mesh->headerValid) {
        *problem = mesh->end;
        return nullptr;
    }
    if (!allocFace) allocFace = allocateFace;
    const meshPlace broken = meshPlaceOf(mesh->firstShort.entry);
    int faces = mesh->shortEntries > 0 ? broken.triangle + 1 : mesh->numTriangles;
    collisionFace *firstFace = nullptr, *lastFace = nullptr;
    for (int i = 0; i < std::max(faces, 1); i++) {
        collisionFace *newFace = allocFace();
        if (!newFace) {
            recordUnopened(problem, readOutOfMemory, mesh->end.file, mesh->end.kind);
            problem->line = i > 0 ? mesh->triangles[i].line : mesh->headerLine;
            problem->entry = i > 0 ? normalEntry(i) : 0;
            freeCollisionFaces(firstFace);
            return nullptr;
        }
        (lastFace ? lastFace->nextFace : firstFace) = newFace;
        lastFace = newFace;
        if (i >= mesh->numTriangles) break; // the first face, made before a triangle was read
        const meshTriangle &t = mesh->triangles[i];
        newFace->no = t.normal;
        vec_normalize(&newFace->no);
        for (int j = 0; j < 3; j++)
            newFace->v[j] = t.corner[j].position;
        newFace->offset = vec_dot(newFace->no, newFace->v[0]);
    }

    // The colour means nothing to a collision, but a short one still spoils the file.
    if (mesh->shortEntries > 0) {
        *problem = mesh->firstShort;
        problem->what = readShortEntry;
    } else if (mesh->end.what == readOutOfMemory) {
        *problem = mesh->end;
    } else if (mesh->numTriangles < mesh->headerCount) {
        // The header's count is a minimum: more triangles are welcome, fewer
        // are not. Where the list runs to the file's end, the header's count is
        // the slip; else the entry that stopped it.
        *problem = mesh->end;
        problem->what = readTooFew;
        problem->count = mesh->headerCount;
        if (mesh->end.what == readNoFinalBreak || !problem->found[0]) {
            problem->line = mesh->headerLine;
            problem->found[0] = '\0';
        }
    }
    if (problem->what == readFine) return firstFace;
    freeCollisionFaces(firstFace);
    return nullptr;
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

void writeMeshMessage(FILE *out, const readRecord *r)
{
    bool collision = r->kind == collisionMeshFile;
    switch (r->what) {
    case readCannotOpen:
    case readBadHeader:
        // No line break after a drawn mesh's: the scene's own message runs on after the name.
        fprintf(out,
                "encountered file error, possibly an invalid first line\nor an invalid file\n or no "
                "file\nor something else\nwhen trying to load %s%s",
                r->file, collision ? "\n" : "");
        break;
    case readOutOfMemory:
        fprintf(out, "Ran out of memory while loading the %s %s\n", collision ? "collision object" : "mesh",
                r->file);
        break;
    case readShortEntry:
        fputs("Colision file loading error\n", out);
        break;
    case readTooFew:
        fputs("Didn't find enough triangles in colision object\n", out);
        break;
    default:
        break;
    }
}

void writeMeshMessages(FILE *out, const meshData *mesh)
{
    for (int k = 0; k < mesh->shortCorners; k++)
        fputs("not enough coordinates in vert\n", out);
    writeMeshMessage(out, &mesh->end);
}
