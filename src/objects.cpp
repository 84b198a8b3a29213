// Mesh files: coloured triangles compiled into display lists, the collision
// mesh read from the same format, and an axis gizmo for checking orientation.
#include "objects.h"

#include <cstdio>
#include <cstdlib>

#include "objectsInternal.h"
#include "vectorMath.h"

namespace
{

// Labels are notes for whoever reads the file and are never examined, so they
// are skipped rather than stored: a label of any length is accepted and nothing
// can be written past a buffer. The skipped label still counts as one
// conversion, so every item is whole at the same count as if it had been kept.
int countWithLabel(int assigned) { return assigned == EOF ? EOF : assigned + 1; }

int readHeader(FILE *f, int *numTriangles) { return countWithLabel(fscanf(f, "%*s %d", numTriangles)); }

// Opens a mesh file and reads its header. A file that will not open, or whose
// header is not a label and a count above 0, gets the error message (followed
// by `end`) and null; the file is then closed.
FILE *openMeshFile(char *fname, int *numTriangles, const char *end)
{
    FILE *f = fopen(fname, "r");
    if (f && readHeader(f, numTriangles) == 2 && *numTriangles > 0) return f;
    printf("encountered file error, possibly an invalid first line\nor an invalid file\n or no "
           "file\nor something else\nwhen trying to load %s%s",
           fname, end);
    if (f) fclose(f);
    return nullptr;
}

int readTriple(FILE *f, GLfloat *d1, GLfloat *d2, GLfloat *d3)
{
    return countWithLabel(fscanf(f, "%*s [%f, %f, %f]", d1, d2, d3));
}

int readColour(FILE *f, GLushort *c1, GLushort *c2, GLushort *c3)
{
    return countWithLabel(fscanf(f, "%*s [%hu, %hu, %hu]", c1, c2, c3));
}

collisionFace *allocateFace(void) { return (collisionFace *)calloc(1, sizeof(collisionFace)); }

// No partial list ever reaches the caller: everything built so far goes, the
// incomplete face included, and the file is closed.
collisionFace *abandonLoad(FILE *f, collisionFace *firstFace)
{
    freeCollisionFaces(firstFace);
    fclose(f);
    return nullptr;
}

} // namespace

condition loadNdDraw(char *fname)
{
    int numTriangles = 0;
    int success = unknown;
    GLushort c1, c2, c3;
    GLfloat d1, d2, d3;

    // No line break after the message: the caller's own message runs on after the name.
    FILE *f = openMeshFile(fname, &numTriangles, "");
    if (f) {
        glBegin(GL_TRIANGLES);
        for (;;) {
            // One character parts the triangles; the file ending there leaves the result unknown.
            if (getc(f) == EOF) break;
            // The normal is only for collisions. A normal that will not read ends the list.
            if (readTriple(f, &d1, &d2, &d3) < 4) {
                success = 1;
                break;
            }
            for (int i = 0; i < 3; i++) {
                c1 = c2 = c3 = 128;
                d1 = d2 = d3 = 0;
                readColour(f, &c1, &c2, &c3);
                glColor3ub((GLubyte)c1, (GLubyte)c2, (GLubyte)c3);
                if (readTriple(f, &d1, &d2, &d3) < 4) printf("not enough coordinates in vert\n");
                // A short corner is still drawn, so the vertex count stays a multiple of three.
                glVertex3f(d1, d2, d3);
            }
        }
        glEnd();
        fclose(f);
    }
    return (condition)success;
}

collisionFace *loadCollisionFaces(char *fname) { return loadCollisionFacesWith(fname, allocateFace); }

collisionFace *loadCollisionFacesWith(char *fname, faceAllocator allocFace)
{
    int numTriangles = 0;
    GLushort c1, c2, c3;
    GLfloat d1, d2, d3;

    FILE *f = openMeshFile(fname, &numTriangles, "\n");
    if (!f) return nullptr;

    // Running out of memory fails the load like a bad file does: what was built
    // is freed, a message names the file and the caller gets null.
    collisionFace *firstFace = allocFace();
    if (!firstFace) {
        printf("Ran out of memory while loading the collision object %s\n", fname);
        return abandonLoad(f, firstFace);
    }
    collisionFace *newFace = firstFace;
    collisionFace *lastFace = nullptr;
    int i = 0;

    for (;;) {
        if (getc(f) == EOF) break;
        if (readTriple(f, &d1, &d2, &d3) < 4) break;
        if (i > 0) {
            newFace = allocFace();
            if (!newFace) {
                printf("Ran out of memory while loading the collision object %s\n", fname);
                return abandonLoad(f, firstFace);
            }
            lastFace->nextFace = newFace;
        }
        newFace->no = vec3{d1, d2, d3};
        vec_normalize(&newFace->no);
        for (int j = 0; j < 3; j++) {
            // The colour means nothing to a collision, but a short one still spoils the file.
            if (readColour(f, &c1, &c2, &c3) < 4 || readTriple(f, &d1, &d2, &d3) < 4) {
                printf("Colision file loading error\n");
                return abandonLoad(f, firstFace);
            }
            newFace->v[j] = vec3{d1, d2, d3};
        }
        newFace->offset = vec_dot(newFace->no, newFace->v[0]);
        lastFace = newFace;
        i++;
    }

    // The header's count is a minimum: more triangles are welcome, fewer are not.
    if (i < numTriangles) {
        printf("Didn't find enough triangles in colision object\n");
        return abandonLoad(f, firstFace);
    }
    fclose(f);
    return firstFace;
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

// Square bars along X (red), Y (green) and Z (blue) from 0.05 to 1, open at both
// ends, each side wound counter-clockwise seen from outside so that culling keeps
// the bars whole.
void drawAxis(void)
{
    float smallNum = 0.05f;
    float s = smallNum;

    glColor3f(1, 0, 0);
    glBegin(GL_QUAD_STRIP);
    glVertex3f(1, s, s);
    glVertex3f(s, s, s);
    glVertex3f(1, -s, s);
    glVertex3f(s, -s, s);
    glVertex3f(1, -s, -s);
    glVertex3f(s, -s, -s);
    glVertex3f(1, s, -s);
    glVertex3f(s, s, -s);
    glVertex3f(1, s, s);
    glVertex3f(s, s, s);
    glEnd();

    glColor3f(0, 1, 0);
    glBegin(GL_QUAD_STRIP);
    glVertex3f(s, s, s);
    glVertex3f(s, 1, s);
    glVertex3f(-s, s, s);
    glVertex3f(-s, 1, s);
    glVertex3f(-s, s, -s);
    glVertex3f(-s, 1, -s);
    glVertex3f(s, s, -s);
    glVertex3f(s, 1, -s);
    glVertex3f(s, s, s);
    glVertex3f(s, 1, s);
    glEnd();

    glColor3f(0, 0, 1);
    glBegin(GL_QUAD_STRIP);
    glVertex3f(s, s, 1);
    glVertex3f(s, s, s);
    glVertex3f(-s, s, 1);
    glVertex3f(-s, s, s);
    glVertex3f(-s, -s, 1);
    glVertex3f(-s, -s, s);
    glVertex3f(s, -s, 1);
    glVertex3f(s, -s, s);
    glVertex3f(s, s, 1);
    glVertex3f(s, s, s);
    glEnd();
}
