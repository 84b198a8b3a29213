// Mesh files compiled into display lists, and an axis gizmo for checking orientation.
#include "draw/objects.h"

#include <type_traits>

static_assert(std::is_same<GLint, int>::value, "dynamicObject keeps display lists in an int");

void drawMesh(const meshData *mesh)
{
    if (!mesh->headerValid) return;
    glBegin(GL_TRIANGLES);
    for (int t = 0; t < mesh->numTriangles; t++)
        for (const meshCorner &c : mesh->triangles[t].corner) {
            glColor3ub(c.colour[0], c.colour[1], c.colour[2]);
            glVertex3f(c.position.x, c.position.y, c.position.z);
        }
    glEnd();
}

condition loadNdDraw(char *fname)
{
    meshData mesh;
    condition result = readMesh(fname, &mesh);
    writeMeshMessages(stdout, &mesh);
    drawMesh(&mesh);
    freeMesh(&mesh);
    return result;
}

GLint compileMesh(const meshData *mesh)
{
    GLint list = (GLint)glGenLists(1);
    glNewList((GLuint)list, GL_COMPILE);
    drawMesh(mesh);
    glEndList();
    return list;
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
