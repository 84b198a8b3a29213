// Mesh files through the display-list loader. No OpenGL context is current, so
// the drawing commands go to the driver's no-op dispatch: only the reading is fuzzed.
#include "fuzzFile.h"
#include "objects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool quiet = (fuzzQuietStdout(), true);
    (void)quiet;
    fuzzFile f = fuzzFileOpen(data, size);
    loadNdDraw(f.name);
    fuzzFileClose(&f);
    return 0;
}
