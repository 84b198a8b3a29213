// The game's readers on files of every kind ('l' the scene list, 'm' a drawn
// mesh, 'c' a collision mesh, 's' a scene): what they print and what they read,
// checked for what must hold whatever the file, then freed. As the files test
// it reads the files named on its command line; built with FUZZ_TARGET it is
// the readers' libFuzzer target, the input's first byte the kind.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/vectorMath.h"
#include "files/sceneFile.h"
#include "files/sceneList.h"

static void printFaces(const collisionFace *f)
{
    for (; f; f = f->nextFace) {
        printf("   %g %g %g / %g %g %g / %g %g %g  normal %g %g %g  offset %g\n", f->v[0].x, f->v[0].y,
               f->v[0].z, f->v[1].x, f->v[1].y, f->v[1].z, f->v[2].x, f->v[2].y, f->v[2].z, f->no.x, f->no.y,
               f->no.z, f->offset);
        float length = vec_mag(f->no); // a finite normal comes out of the loader with unit length
        if (std::isfinite(length) && std::fabs(length - 1.0f) > 1e-3f) abort();
    }
}

static void printObject(const char *what, const dynamicObject &o, const meshEntry &m)
{
    printf("   %s at %g %g %g from %g %g %g radius %g mass %g inPlay %d mesh %s (%d triangles)\n", what,
           o.location.x, o.location.y, o.location.z, o.initLoc.x, o.initLoc.y, o.initLoc.z, o.radius, o.mass,
           o.inPlay, m.read ? m.name : "-", m.mesh.numTriangles);
}

// Without an allocator the collision loader uses its own.
static void readFile(char kind, char *name, faceAllocator allocFace)
{
    const char *RESULTS[] = {"failure", "unknown", "success"};
    if (kind == 'l') {
        sceneList l;
        readSceneList(name, &l);
        writeSceneListMessages(stdout, &l);
        printf("-> %d scenes:", l.count);
        for (int k = 0; k < l.count; k++) {
            if (!memchr(l.files[k], 0, MAX_FILENAME_LENGTH + 1)) abort(); // each ends within its buffer
            printf(" %s", l.files[k]);
        }
        printf("\n");
        freeSceneList(&l);
    } else if (kind == 'm') {
        meshData m;
        condition result = readMesh(name, &m);
        writeMeshMessages(stdout, &m);
        // Whatever is read is whole triangles within the array.
        if (m.numTriangles > m.capacity || (m.numTriangles > 0 && !m.headerValid)) abort();
        printf("-> %s, header %s %d, %d triangles\n", RESULTS[result + 1],
               m.headerValid ? "valid" : "invalid", m.headerCount, m.numTriangles);
        for (int t = 0; t < m.numTriangles; t++)
            for (const meshCorner &c : m.triangles[t].corner)
                printf("   %g %g %g  %d %d %d\n", c.position.x, c.position.y, c.position.z, c.colour[0],
                       c.colour[1], c.colour[2]);
        freeMesh(&m);
    } else if (kind == 'c') {
        meshData m;
        readRecord problem;
        readMesh(name, &m, collisionMeshFile);
        collisionFace *faces = collisionFacesOf(&m, allocFace, &problem);
        freeMesh(&m);
        writeMeshMessage(stdout, &problem);
        int n = 0;
        for (collisionFace *f = faces; f; f = f->nextFace)
            n++;
        printf("-> %d faces\n", n);
        printFaces(faces);
        freeCollisionFaces(faces);
    } else if (kind == 's') {
        sceneData s;
        condition result = readScene(name, &s);
        writeSceneMessages(stdout, &s);
        if (result == success && s.numPins > 0 && s.pinRecords < s.numPins) abort(); // a record for every pin
        printf("-> %s, opened %d, pins incomplete %d, %d pin records\n", RESULTS[result + 1], s.opened,
               s.pinsIncomplete, s.pinRecords);
        printf("   background %g %g %g text %g %g %g lowest %g camera %g %g %g pins %d\n", s.bgRed, s.bgGreen,
               s.bgBlue, s.txtRed, s.txtGreen, s.txtBlue, s.worldLowerBound, s.cameraLocation.x,
               s.cameraLocation.y, s.cameraLocation.z, s.numPins);
        printf("   world %s (%d triangles), collision %s\n", s.world.read ? s.world.name : "-",
               s.world.mesh.numTriangles, s.firstCollisionFace ? s.collisionName : "-");
        printFaces(s.firstCollisionFace);
        printObject("ball", s.ball, s.ballMesh);
        for (int k = 0; k < s.pinRecords && k < s.numPins; k++)
            if (s.pins[k].inPlay) printObject("pin", s.pins[k], s.pinMeshes[k]); // its location was read
        freeSceneData(&s);
    }
}

#ifdef FUZZ_TARGET
// The meshes a scene names, "m" and "c" in a scratch folder, are the files
// test's floor.mesh, so that the fuzzer can reach the pin entries. What the
// readers print would flood the fuzzer's output.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char dir[] = "/tmp/pinwhirl-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0 || !freopen("/dev/null", "w", stdout)) abort();
    if (symlink(FILES_DIR "/floor.mesh", "m") != 0 || symlink("m", "c") != 0) abort();
    return 0;
}

// The readers open files by name: the rest of the input becomes an in-memory file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || !memchr("mcsl", data[0], 4)) return 0;
    int fd = memfd_create("pinwhirl-fuzz", 0);
    if (fd < 0 || write(fd, data + 1, size - 1) != (ssize_t)(size - 1)) abort();
    char name[64];
    snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    readFile((char)data[0], name, nullptr);
    close(fd);
    return 0;
}
#else
static int facesLeft;
static collisionFace *scarceFace(void)
{
    return facesLeft-- > 0 ? (collisionFace *)calloc(1, sizeof(collisionFace)) : nullptr;
}

// The kind is the extension's first letter. "collide:N" before a name gives the
// collision loader memory for N faces only.
int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        bool scarce = strncmp(argv[i], "collide:", 8) == 0;
        if (scarce) facesLeft = atoi(argv[i++] + 8);
        const char *dot = strrchr(argv[i], '.');
        printf("== %s\n", argv[i]);
        fflush(stdout); // what went before stays if a check aborts
        readFile(dot ? dot[1] : '\0', argv[i], scarce ? scarceFace : nullptr);
    }
    return 0;
}
#endif
