// Drawn mesh files: whatever is read is whole triangles within the array.
#include "fuzzFile.h"
#include "meshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzFile f(data, size);
    meshData mesh;
    readMesh(f.name, &mesh);
    if (mesh.numTriangles > mesh.capacity || (mesh.numTriangles > 0 && !mesh.headerValid)) abort();
    for (int t = 0; t < mesh.numTriangles; t++)
        (void)*(volatile float *)&mesh.triangles[t].corner[2].position.z;
    freeMesh(&mesh);
    return 0;
}
