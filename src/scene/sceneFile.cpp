// The scene file: a level's colours, lower bound, camera, ball and pins, and the
// meshes they are drawn with. Entries are recognised by position alone.
#include <cstdio>
#include <cstdlib>

#include "../objects.h"
#include "../vectorMath.h"
#include "sceneInternal.h"

// Records allocated in pins; the array grows as pin entries are read.
static int pinRecords = 0;

// Labels are free documentation and never examined, so any word is accepted
// whatever its length: it is skipped without being stored. A word counts as one
// conversion, as it would if it were stored.
static int skipLabel(FILE *f) { return fscanf(f, "%*s") == EOF ? 0 : 1; }

static int conversions(int scanned) { return scanned == EOF ? 0 : scanned; }

// Each reader reads one entry while the load is still going (numValues not 0)
// and leaves the count of conversions in numValues, or 0 when the entry is short.
// Every number that converts is taken, nan and inf included: the physics and
// the drawing give each a harmless meaning (a bound of inf wins the level at
// once, a NaN radius touches nothing, an object placed at NaN is out of play).

static void readTriple(FILE *f, int *numValues, float *a, float *b, float *c)
{
    if (*numValues == 0) return;
    int n = skipLabel(f);
    if (n) n += conversions(fscanf(f, " [%f, %f, %f]", a, b, c));
    *numValues = n == 4 ? n : 0;
}

static void readNumber(FILE *f, int *numValues, float *value)
{
    if (*numValues == 0) return;
    int n = skipLabel(f);
    if (n) n += conversions(fscanf(f, " %f", value));
    *numValues = n == 2 ? n : 0;
}

static void readCount(FILE *f, int *numValues, int *value)
{
    if (*numValues == 0) return;
    int n = skipLabel(f);
    if (n) n += conversions(fscanf(f, " %d", value));
    *numValues = n == 2 ? n : 0;
}

// aFileName has room for MAX_FILENAME_LENGTH characters and the terminator.
static void readFileName(FILE *f, int *numValues, char *aFileName)
{
    if (*numValues == 0) return;
    int n = skipLabel(f);
    if (n) n += conversions(fscanf(f, " %" MAX_FILENAME_LENGTH_AS_STRING "s", aFileName));
    *numValues = n == 2 ? n : 0;
}

// Reads a mesh entry and compiles the mesh into a new display list in *list.
// The list is made and ended whether or not the mesh loads.
static void readMesh(FILE *f, int *numValues, GLint *list)
{
    char aFileName[MAX_FILENAME_LENGTH + 1];
    readFileName(f, numValues, aFileName);
    if (*numValues == 0) return;
    *list = (GLint)glGenLists(1);
    glNewList((GLuint)*list, GL_COMPILE);
    condition status = loadNdDraw(aFileName);
    glEndList();
    if (status != success) *numValues = 0;
}

// Makes room for pin i. The array grows by doubling up to numPins, so a pin count
// far beyond the entries in the file fails on the first missing entry instead
// of on a huge allocation; an allocation that fails ends the load as missing pins do.
static int roomForPin(int i)
{
    if (i < pinRecords) return 1;
    int grown = pinRecords < numPins / 2 ? (pinRecords > 0 ? 2 * pinRecords : 16) : numPins;
    if (grown > numPins) grown = numPins;
    dynamicObject *bigger = (dynamicObject *)realloc(pins, (size_t)grown * sizeof(dynamicObject));
    if (bigger == nullptr) return 0;
    // Records not read yet hold no display list (0), so unloading deletes only lists that were made.
    for (int k = pinRecords; k < grown; k++)
        bigger[k] = dynamicObject{};
    pins = bigger;
    pinRecords = grown;
    return 1;
}

static void readPins(FILE *f, int *numValues)
{
    for (int i = 0; i < numPins && *numValues != 0; i++) {
        if (!roomForPin(i)) {
            *numValues = 0;
            break;
        }
        dynamicObject *pin = &pins[i];
        readTriple(f, numValues, &pin->initLoc.x, &pin->initLoc.y, &pin->initLoc.z);
        if (*numValues == 0) break;
        pin->location = pin->initLoc;
        pin->velocity = vec3{0, 0, 0};
        pin->inPlay = 1;
        readNumber(f, numValues, &pin->radius);
        readNumber(f, numValues, &pin->mass);
        readMesh(f, numValues, &pin->dispList);
    }
}

condition sceneLoad(char *fName)
{
    FILE *f = fopen(fName, "r");
    if (f == nullptr) {
        printf("Unable to open file: %s for scene loading\n", fName);
        return failure;
    }

    int numValues = 1;
    readTriple(f, &numValues, &bgRed, &bgGreen, &bgBlue);
    readTriple(f, &numValues, &txtRed, &txtGreen, &txtBlue);
    readNumber(f, &numValues, &worldLowerBound);
    readMesh(f, &numValues, &worldDispList);

    char aFileName[MAX_FILENAME_LENGTH + 1];
    readFileName(f, &numValues, aFileName);
    if (numValues != 0) {
        firstCollisionFace = loadCollisionFaces(aFileName);
        if (firstCollisionFace == nullptr) numValues = 0;
    }

    readTriple(f, &numValues, &cameraLocation.x, &cameraLocation.y, &cameraLocation.z);
    readCount(f, &numValues, &numPins);
    remainingPins = numPins;

    readTriple(f, &numValues, &ball.initLoc.x, &ball.initLoc.y, &ball.initLoc.z);
    if (numValues != 0) ball.location = ball.initLoc;
    ball.velocity = vec3{0, 0, 0};
    ball.inPlay = 1;
    readNumber(f, &numValues, &ball.radius);
    readNumber(f, &numValues, &ball.mass);
    readMesh(f, &numValues, &ball.dispList);

    if (numValues == 0) {
        // What was built so far stays: the run ends here anyway.
        printf("error in scene file somewhere prior to pin specific information\n");
        fclose(f);
        return failure;
    }

    if (numPins > 0) {
        readPins(f, &numValues);
        if (numValues == 0) {
            printf("file didn't contain enough correctly formatted information about pins\n");
            sceneUnload();
            fclose(f);
            return failure;
        }
    }

    fclose(f);
    printf("done loading scene from file %s\n", fName);

    glClearColor(bgRed, bgGreen, bgBlue, 1.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    cameraInitLoc = cameraLocation;
    cameraVelocity = vec_between_points(cameraInitLoc, ball.location);
    vec_normalize(&cameraVelocity);

    // Show the background until the first frame is drawn.
    SDL_GL_SwapBuffers();
    return success;
}

void sceneUnload(void)
{
    printf("unloading scene...\n");
    releaseScene();
}

void releaseScene(void)
{
    if (firstCollisionFace != nullptr) freeCollisionFaces(firstCollisionFace);
    firstCollisionFace = nullptr;
    if (glIsList((GLuint)ball.dispList)) glDeleteLists((GLuint)ball.dispList, 1);
    if (pins != nullptr)
        for (int i = 0; i < numPins && i < pinRecords; i++)
            if (glIsList((GLuint)pins[i].dispList)) glDeleteLists((GLuint)pins[i].dispList, 1);
    free(pins);
    pins = nullptr;
    pinRecords = 0;
    if (glIsList((GLuint)worldDispList)) glDeleteLists((GLuint)worldDispList, 1);
}
