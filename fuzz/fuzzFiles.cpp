// The game's file readers, the input's first byte choosing which: 'm' a drawn
// mesh, 'c' a collision mesh, 's' a scene, 'l' the scene list. They open files
// by name, so the rest is handed over as an anonymous in-memory file reached
// through /proc/self/fd. Whatever comes back is checked and freed.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "main/sceneList.h"
#include "meshFile.h"
#include "scene/sceneFile.h"
#include "vectorMath.h"

// The meshes a scene names are small valid files in a scratch folder ("m" and
// "c"), so that the fuzzer can reach the pin entries; any other name simply
// fails to open. The readers' messages would flood the fuzzer's output.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    char dir[] = "/tmp/pinwhirl-fuzz-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0 || !freopen("/dev/null", "w", stdout)) abort();
    for (const char *name : {"m", "c"}) {
        FILE *f = fopen(name, "w");
        fputs("t 1\nn [0, 0, 1]\nc [255, 0, 0]\np [0, 0, 0]\nc [0, 255, 0]\np [1, 0, 0]\nc [0, 0, 255]\np "
              "[0, 1, 0]\n",
              f);
        fclose(f);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || !memchr("mcsl", data[0], 4)) return 0;
    int fd = memfd_create("pinwhirl-fuzz", 0);
    if (fd < 0 || write(fd, data + 1, size - 1) != (ssize_t)(size - 1)) abort();
    char name[64];
    snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    if (data[0] == 'm') { // whatever is read is whole triangles within the array
        meshData mesh;
        readMesh(name, &mesh);
        if (mesh.numTriangles > mesh.capacity || (mesh.numTriangles > 0 && !mesh.headerValid)) abort();
        for (int t = 0; t < mesh.numTriangles; t++)
            (void)*(volatile float *)&mesh.triangles[t].corner[2].position.z;
        freeMesh(&mesh);
    } else if (data[0] == 'c') { // a finite normal comes out of the loader with unit length
        collisionFace *faces = loadCollisionFaces(name);
        for (collisionFace *face = faces; face; face = face->nextFace) {
            float len = vec_mag(face->no);
            if (std::isfinite(len) && std::fabs(len - 1.0f) > 1e-3f) abort();
        }
        freeCollisionFaces(faces);
    } else if (data[0] == 's') { // a scene read whole has a record for every pin
        sceneData scene;
        if (readScene(name, &scene) == success && scene.numPins > 0 && scene.pinRecords < scene.numPins)
            abort();
        freeSceneData(&scene);
    } else { // every name in the table is terminated within its buffer
        char **sceneFiles = nullptr;
        int numScenes = readSceneList(name, &sceneFiles);
        for (int i = 0; i < numScenes; i++)
            if (memchr(sceneFiles[i], 0, MAX_FILENAME_LENGTH + 1) == nullptr) abort();
        freeSceneList(sceneFiles, numScenes);
    }
    close(fd);
    return 0;
}
