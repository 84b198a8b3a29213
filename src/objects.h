// Mesh files: display-list loader, collision mesh loader, axis gizmo.
#pragma once

#include "includes.h"

condition loadNdDraw(char *fname);
collisionFace *loadCollisionFaces(char *fname);
void freeCollisionFaces(collisionFace *firstFace);
void drawAxis(void);
