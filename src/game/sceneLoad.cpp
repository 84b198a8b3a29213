// Loading a level: its scene file read, then its meshes compiled into display
// lists and its drawing state set; and unloading it again.
#include <cstdio>
#include <cstdlib>

#include "common/vectorMath.h"
#include "draw/objects.h"
#include "files/sceneFile.h"
#include "game/sceneInternal.h"

// Takes over what the reading left: the values, the pins and the collision
// mesh, indexed for the physics, and a display list for every mesh entry that was read.
static void adoptScene(sceneData *s)
{
    bgRed = s->bgRed, bgGreen = s->bgGreen, bgBlue = s->bgBlue;
    txtRed = s->txtRed, txtGreen = s->txtGreen, txtBlue = s->txtBlue;
    worldLowerBound = s->worldLowerBound;
    cameraLocation = s->cameraLocation;
    numPins = s->numPins;
    remainingPins = numPins;
    ball = s->ball;
    firstCollisionFace = s->firstCollisionFace;
    // Without an index (no faces, or no memory for one) the physics tests every face.
    collisionIndex = buildFaceIndex(firstCollisionFace);
    pins = s->pins;
    pinRecords = s->pinRecords;
    if (s->world.read) worldDispList = compileMesh(&s->world.mesh);
    if (s->ballMesh.read) ball.dispList = compileMesh(&s->ballMesh.mesh);
    for (int i = 0; i < pinRecords; i++)
        if (s->pinMeshes[i].read) pins[i].dispList = compileMesh(&s->pinMeshes[i].mesh);
    // Where each object's last step began, for drawing between steps; without
    // the memory for it objects are drawn where the last step left them.
    level.stepStart = (vec3 *)calloc((size_t)pinRecords + 1, sizeof(vec3));
    s->firstCollisionFace = nullptr;
    s->pins = nullptr;
    freeSceneData(s);
}

condition sceneLoad(char *fName)
{
    sceneData s;
    condition result = readScene(fName, &s);
    writeSceneMessages(stdout, &s);
    if (!s.opened) return failure;
    int pinsIncomplete = s.pinsIncomplete;
    adoptScene(&s);
    if (result != success) {
        // Failing in the pins releases everything; failing before them keeps
        // what was built, and the run ends.
        if (pinsIncomplete) sceneUnload();
        return failure;
    }

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
    startSteps(&level);

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
    freeFaceIndex(collisionIndex);
    collisionIndex = nullptr;
    if (glIsList((GLuint)ball.dispList)) glDeleteLists((GLuint)ball.dispList, 1);
    if (pins != nullptr)
        for (int i = 0; i < numPins && i < pinRecords; i++)
            if (glIsList((GLuint)pins[i].dispList)) glDeleteLists((GLuint)pins[i].dispList, 1);
    free(pins);
    pins = nullptr;
    pinRecords = 0;
    free(level.stepStart);
    level.stepStart = nullptr;
    if (glIsList((GLuint)worldDispList)) glDeleteLists((GLuint)worldDispList, 1);
}
