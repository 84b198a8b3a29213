// Loading a level: its scene file read, then its meshes compiled into display
// lists and its drawing state set; and unloading it again.
#include "game/sceneLoad.h"

#include <cstdio>

#include "draw/objects.h"
#include "files/sceneFile.h"
#include "game/sceneState.h"

// Takes over what the reading left: a display list for every mesh entry that
// was read, the colours, and the level's values, its collision mesh indexed
// for the physics.
static void adoptScene(sceneData *s, e_gameState state)
{
    look = levelLook{s->bgRed, s->bgGreen, s->bgBlue, s->txtRed, s->txtGreen, s->txtBlue, 0};
    if (s->world.read) look.worldDispList = compileMesh(&s->world.mesh);
    if (s->ballMesh.read) s->ball.dispList = compileMesh(&s->ballMesh.mesh);
    for (int i = 0; i < s->pinRecords; i++)
        if (s->pinMeshes[i].read) s->pins[i].dispList = compileMesh(&s->pinMeshes[i].mesh);
    // A load that failed in the pins holds fewer records than its count. Without
    // an index (no faces, or no memory for one) the physics tests every face.
    int pinCount = s->numPins < s->pinRecords ? s->numPins : s->pinRecords;
    startLevelPlay(&level, s->ball, s->pins, pinCount, s->firstCollisionFace,
                   buildFaceIndex(s->firstCollisionFace), s->worldLowerBound, s->cameraLocation, state);
    keepStepStarts(&level);
    s->firstCollisionFace = nullptr;
    freeSceneData(s);
}

condition sceneLoad(char *fName, e_gameState state)
{
    sceneData s;
    condition result = readScene(fName, &s);
    writeSceneMessages(stdout, &s);
    if (!s.opened) return failure;
    int pinsIncomplete = s.pinsIncomplete;
    adoptScene(&s, state);
    if (result != success) {
        // Failing in the pins releases everything; failing before them keeps
        // what was built, and the run ends.
        if (pinsIncomplete) sceneUnload();
        return failure;
    }

    glClearColor(look.bgRed, look.bgGreen, look.bgBlue, 1.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Show the background until the first frame is drawn.
    SDL_GL_SwapBuffers();
    return success;
}

void sceneUnload(void)
{
    printf("unloading scene...\n");
    releaseScene();
}

static void deleteList(GLint list)
{
    if (glIsList((GLuint)list)) glDeleteLists((GLuint)list, 1);
}

void releaseScene(void)
{
    if (level.firstCollisionFace != nullptr) freeCollisionFaces(level.firstCollisionFace);
    level.firstCollisionFace = nullptr;
    freeFaceIndex(level.collisionIndex);
    level.collisionIndex = nullptr;
    deleteList(level.ball.dispList);
    level.ball.dispList = 0;
    for (const dynamicObject &pin : level.pins)
        deleteList(pin.dispList);
    level.pins.clear();
    deleteList(look.worldDispList);
    look.worldDispList = 0;
}
