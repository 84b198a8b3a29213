// The hint over a level's frame, in window pixels.
#include "draw/hintDraw.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "draw/text.h"

namespace
{

// The drag is in pixels of the game's picture, whatever size it is shown at.
const double PICTURE_WIDTH = 640, PICTURE_HEIGHT = 480;
const double ARROW_HEAD_PX = 12, ARROW_HEAD_DEGREES = 25;
const float ARROW_WIDTH_PX = 2;
const int CELL_WIDTH = 8, CELL_HEIGHT = 16; // the bitmap font's

// A line of text centred across the window, hanging `row` lines below its top.
void centredLine(const char *s, const GLint view[4], int row)
{
    int length = (int)strlen(s);
    int x = std::max(0, (view[2] - CELL_WIDTH * length) / 2);
    glRasterPos2i(view[0] + x, view[1] + view[3] - CELL_HEIGHT * row);
    setValign(top);
    textStringLength((char *)s, length);
}

// An arrow from (x, y) by (dx, dy) window pixels, y up.
void drawArrow(double x, double y, double dx, double dy)
{
    double length = hypot(dx, dy);
    if (length < 1) return;
    double ux = dx / length, uy = dy / length, c = cos(ARROW_HEAD_DEGREES * M_PI / 180),
           s = sin(ARROW_HEAD_DEGREES * M_PI / 180);
    double tipX = x + dx, tipY = y + dy;
    glLineWidth(ARROW_WIDTH_PX);
    glBegin(GL_LINES);
    glVertex2d(x, y);
    glVertex2d(tipX, tipY);
    // The head's two barbs point back from the tip, turned either way.
    glVertex2d(tipX, tipY);
    glVertex2d(tipX - ARROW_HEAD_PX * (ux * c - uy * s), tipY - ARROW_HEAD_PX * (uy * c + ux * s));
    glVertex2d(tipX, tipY);
    glVertex2d(tipX - ARROW_HEAD_PX * (ux * c + uy * s), tipY - ARROW_HEAD_PX * (uy * c - ux * s));
    glEnd();
    glLineWidth(1);
}

} // namespace

void drawHintOver(const levelPlay *level, const levelLook *look, const hintPicture *hint)
{
    // The ball's place in window pixels from the bottom left, through the
    // frame's own view and perspective.
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    lookFromCamera(level);
    GLdouble model[16], projection[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, view);
    vec3 at = locationBetweenSteps(level, 0);
    GLdouble ballX, ballY, ballZ;
    bool seen =
        gluProject(at.x, at.y, at.z, model, projection, view, &ballX, &ballY, &ballZ) == GL_TRUE && ballZ < 1;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(view[0], view[0] + view[2], view[1], view[1] + view[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glColor3f(look->txtRed, look->txtGreen, look->txtBlue);
    if (hint->arrow && seen)
        drawArrow(ballX, ballY, hint->right * view[2] / PICTURE_WIDTH, hint->up * view[3] / PICTURE_HEIGHT);
    for (int k = 0; k < 2; k++)
        if (hint->lines[k]) centredLine(hint->lines[k], view, k + 1);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode((GLenum)mode);
}
