// Meshes drawn with OpenGL: the display-list loader and the axis gizmo.
#pragma once

#include <GL/gl.h>

#include "files/meshFile.h"

// Issues the immediate-mode commands that draw mesh: one glBegin/glEnd pair
// around every corner's colour and vertex, or nothing when its header was not valid.
void drawMesh(const meshData *mesh);

// Reads the mesh file fname and issues the commands that draw it, into
// whatever display list the caller has open. Returns success or unknown.
condition loadNdDraw(char *fname);

// A new display list holding mesh.
GLint compileMesh(const meshData *mesh);

// Offered but not called by any frame:
// The axes of the current modelview space as square bars, x red, y green, z
// blue, for checking which way a mesh faces while building a level.
void drawAxis(void);
