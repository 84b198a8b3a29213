// Reads each file named on the command line with the game's reader for its
// kind (by extension: .list, .mesh, .collide, .scene) and prints what the game
// prints and then what it read, for the test to compare with the transcript
// recorded in expected.txt. "collide:N" before a name gives the collision
// loader memory for N faces only.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "main/sceneList.h"
#include "scene/sceneFile.h"

static int facesLeft;
static collisionFace *scarceFace(void)
{
    return facesLeft-- > 0 ? (collisionFace *)calloc(1, sizeof(collisionFace)) : nullptr;
}

static const char *RESULTS[] = {"failure", "unknown", "success"};

static void corners(condition result, const meshData &m)
{
    printf("-> %s, header %s %d, %d triangles\n", RESULTS[result + 1], m.headerValid ? "valid" : "invalid",
           m.headerCount, m.numTriangles);
    for (int t = 0; t < m.numTriangles; t++)
        for (const meshCorner &c : m.triangles[t].corner)
            printf("   %g %g %g  %d %d %d\n", c.position.x, c.position.y, c.position.z, c.colour[0],
                   c.colour[1], c.colour[2]);
}

static void faces(const collisionFace *f)
{
    for (; f; f = f->nextFace)
        printf("   %g %g %g / %g %g %g / %g %g %g  normal %g %g %g  offset %g\n", f->v[0].x, f->v[0].y,
               f->v[0].z, f->v[1].x, f->v[1].y, f->v[1].z, f->v[2].x, f->v[2].y, f->v[2].z, f->no.x, f->no.y,
               f->no.z, f->offset);
}

static void object(const char *what, const dynamicObject &o, const meshEntry &m)
{
    printf("   %s at %g %g %g from %g %g %g radius %g mass %g inPlay %d mesh %s (%d triangles)\n", what,
           o.location.x, o.location.y, o.location.z, o.initLoc.x, o.initLoc.y, o.initLoc.z, o.radius, o.mass,
           o.inPlay, m.read ? m.name : "-", m.mesh.numTriangles);
}

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        std::string name = argv[i];
        facesLeft = 1 << 30;
        if (name.compare(0, 8, "collide:") == 0) facesLeft = atoi(&name[8]), name = argv[++i];
        std::string kind = name.substr(name.rfind('.') + 1);
        printf("== %s\n", name.c_str());
        fflush(stdout);
        if (kind == "list") {
            char **table = nullptr;
            int n = readSceneList(name.c_str(), &table);
            printf("-> %d scenes:", n);
            for (int k = 0; k < n; k++)
                printf(" %s", table[k]);
            printf("\n");
            freeSceneList(table, n);
        } else if (kind == "mesh") {
            meshData m;
            condition result = readMesh(&name[0], &m);
            corners(result, m);
            freeMesh(&m);
        } else if (kind == "collide") {
            collisionFace *f = loadCollisionFacesWith(&name[0], scarceFace);
            int n = 0;
            for (collisionFace *g = f; g; g = g->nextFace)
                n++;
            printf("-> %d faces\n", n);
            faces(f);
            freeCollisionFaces(f);
        } else {
            sceneData s;
            condition result = readScene(&name[0], &s);
            printf("-> %s, opened %d, pins incomplete %d, %d pin records\n", RESULTS[result + 1], s.opened,
                   s.pinsIncomplete, s.pinRecords);
            printf("   background %g %g %g text %g %g %g lowest %g camera %g %g %g pins %d\n", s.bgRed,
                   s.bgGreen, s.bgBlue, s.txtRed, s.txtGreen, s.txtBlue, s.worldLowerBound,
                   s.cameraLocation.x, s.cameraLocation.y, s.cameraLocation.z, s.numPins);
            printf("   world %s (%d triangles), collision %s\n", s.world.read ? s.world.name : "-",
                   s.world.mesh.numTriangles, s.firstCollisionFace ? s.collisionName : "-");
            faces(s.firstCollisionFace);
            object("ball", s.ball, s.ballMesh);
            for (int k = 0; k < s.pinRecords && k < s.numPins; k++)
                if (s.pins[k].inPlay) object("pin", s.pins[k], s.pinMeshes[k]); // its location was read
            freeSceneData(&s);
        }
    }
    return 0;
}
