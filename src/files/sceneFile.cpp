// The scene file: a level's colours, lower bound, camera, ball and pins, and the
// meshes they are drawn with. Entries are recognised by position alone.
#include "files/sceneFile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "files/reader.h"

namespace
{

// One scene file being read. numValues is the count of conversions of the last
// entry, or 0 once the load is failing: from then on no entry is read and no
// mesh loaded, but the steps that do not read still run.
struct sceneReading {
    dataFile d;
    sceneData *s;
    int numValues;
};

// A whole entry's line is kept for whoever explains the level; an entry not
// whole ends the reading.
void checkEntry(sceneReading *r, int conversions, int whole, int entry)
{
    sceneData *s = r->s;
    r->numValues = conversions == whole ? conversions : 0;
    if (r->numValues == 0)
        recordEntry(&r->d, &s->problem, readShortEntry, entry, 0);
    else if (makeRoom((void **)&s->entryLines, &s->entryLineRecords, entry, INT_MAX, sizeof(int)))
        s->entryLines[entry] = entryLine(&r->d);
}

void readTriple(sceneReading *r, int entry, float *a, float *b, float *c)
{
    if (r->numValues) checkEntry(r, readTriple(&r->d, a, b, c), 4, entry);
}

void readNumber(sceneReading *r, int entry, float *value)
{
    if (r->numValues) checkEntry(r, readNumber(&r->d, value), 2, entry);
}

void readVec(sceneReading *r, int entry, vec3 *v) { readTriple(r, entry, &v->x, &v->y, &v->z); }

void stop(sceneReading *r, readEvent what, int entry)
{
    recordEntry(&r->d, &r->s->problem, what, entry, 0);
    r->numValues = 0;
}

// Whether the entry's file name was read; name holds MAX_FILENAME_LENGTH characters and the terminator.
int readFileName(sceneReading *r, int entry, char *name)
{
    if (r->numValues) checkEntry(r, readFileName(&r->d, name), 2, entry);
    return r->numValues != 0;
}

// A mesh entry: the mesh is read now and compiled by the caller.
void readMeshEntry(sceneReading *r, int entry, meshEntry *m)
{
    if (!readFileName(r, entry, m->name)) return;
    m->read = 1;
    if (readMesh(m->name, &m->mesh) != success) stop(r, readMeshFailed, entry);
}

// An allocation that fails ends the load as missing pins do.
int roomForPin(sceneReading *r, int i)
{
    sceneData *s = r->s;
    if (makeRoom((void **)&s->pins, &s->pinRecords, i, s->numPins, sizeof(dynamicObject)) &&
        makeRoom((void **)&s->pinMeshes, &s->pinMeshRecords, i, s->numPins, sizeof(meshEntry)))
        return 1;
    stop(r, readOutOfMemory, pinEntry(i, pinLocation));
    return 0;
}

void readPins(sceneReading *r)
{
    sceneData *s = r->s;
    for (int i = 0; i < s->numPins && r->numValues != 0 && roomForPin(r, i); i++) {
        dynamicObject *pin = &s->pins[i];
        readVec(r, pinEntry(i, pinLocation), &pin->initLoc);
        if (r->numValues == 0) break;
        pin->location = pin->initLoc;
        pin->velocity = vec3{0, 0, 0};
        pin->inPlay = 1;
        readNumber(r, pinEntry(i, pinRadius), &pin->radius);
        readNumber(r, pinEntry(i, pinMass), &pin->mass);
        readMeshEntry(r, pinEntry(i, pinMesh), &s->pinMeshes[i]);
    }
}

// A pin's four entries read whole, where the text goes on after the last pin.
bool readsAsPin(dataFile *d)
{
    float x, y, z, radius, mass;
    char name[MAX_FILENAME_LENGTH + 1];
    return readTriple(d, &x, &y, &z) == 4 && readNumber(d, &radius) == 2 && readNumber(d, &mass) == 2 &&
           readFileName(d, name) == 2;
}

// Closes the file; what it was read through to holds nothing unread, else the
// pins it holds beyond the count are counted.
condition finish(sceneReading *r, condition result)
{
    sceneData *s = r->s;
    s->slip = r->d.slip;
    s->slips = r->d.slips;
    if (result == success)
        recordRest(&r->d, &s->unread, pinEntry(std::max(s->numPins, 0), pinLocation),
                   std::max(s->numPins, 0) + wholeAhead(&r->d, readsAsPin));
    closeData(&r->d);
    return result;
}

} // namespace

condition readScene(const char *fName, sceneData *s)
{
    *s = sceneData{};
    sceneReading r = {{}, s, 1};
    readEvent opened = openData(&r.d, fName, sceneFile);
    recordUnopened(&s->problem, opened, fName, sceneFile);
    if (opened != readFine) return failure;
    s->opened = 1;

    readTriple(&r, backgroundEntry, &s->bgRed, &s->bgGreen, &s->bgBlue);
    readTriple(&r, textEntry, &s->txtRed, &s->txtGreen, &s->txtBlue);
    readNumber(&r, lowerBoundEntry, &s->worldLowerBound);
    readMeshEntry(&r, worldMeshEntry, &s->world);

    if (readFileName(&r, collisionMeshEntry, s->collisionName)) {
        readMesh(s->collisionName, &s->collisionMesh, collisionMeshFile);
        s->firstCollisionFace = collisionFacesOf(&s->collisionMesh, nullptr, &s->collisionProblem);
        if (s->firstCollisionFace == nullptr) stop(&r, readMeshFailed, collisionMeshEntry);
    }

    readVec(&r, cameraEntry, &s->cameraLocation);
    if (r.numValues) checkEntry(&r, readCount(&r.d, &s->numPins), 2, pinCountEntry);

    readVec(&r, ballLocationEntry, &s->ball.initLoc);
    if (r.numValues != 0) s->ball.location = s->ball.initLoc;
    s->ball.velocity = vec3{0, 0, 0};
    s->ball.inPlay = 1;
    readNumber(&r, ballRadiusEntry, &s->ball.radius);
    readNumber(&r, ballMassEntry, &s->ball.mass);
    readMeshEntry(&r, ballMeshEntry, &s->ballMesh);

    if (r.numValues == 0) return finish(&r, failure);
    // With a count of 0 or less no pin entry is read and no array made.
    if (s->numPins > 0) {
        readPins(&r);
        if (r.numValues == 0) {
            s->pinsIncomplete = 1;
            return finish(&r, failure);
        }
    }
    return finish(&r, success);
}

void writeSceneMessages(FILE *out, const sceneData *s)
{
    const readRecord &p = s->problem;
    if (!s->opened) {
        fprintf(out, "Unable to open file: %s for scene loading\n", p.file);
        return;
    }
    if (s->world.read) writeMeshMessages(out, &s->world.mesh);
    writeMeshMessage(out, &s->collisionProblem);
    if (s->ballMesh.read) writeMeshMessages(out, &s->ballMesh.mesh);
    for (int i = 0; i < s->pinMeshRecords; i++)
        if (s->pinMeshes[i].read) writeMeshMessages(out, &s->pinMeshes[i].mesh);
    if (p.what == readFine)
        fprintf(out, "done loading scene from file %s\n", p.file);
    else if (p.entry < firstPinEntry)
        fputs("error in scene file somewhere prior to pin specific information\n", out);
    else
        fputs("file didn't contain enough correctly formatted information about pins\n", out);
}

int sceneEntryLine(const sceneData *s, int entry)
{
    return entry >= 0 && entry < s->entryLineRecords ? s->entryLines[entry] : 0;
}

void freeSceneData(sceneData *s)
{
    freeCollisionFaces(s->firstCollisionFace);
    freeMesh(&s->collisionMesh);
    freeMesh(&s->world.mesh);
    freeMesh(&s->ballMesh.mesh);
    for (int i = 0; i < s->pinMeshRecords; i++)
        freeMesh(&s->pinMeshes[i].mesh);
    free(s->pinMeshes);
    free(s->pins);
    free(s->entryLines);
    *s = sceneData{};
}
