// Putting a level on the screen: the 3D view from the camera, which turns to
// follow the ball, and the heads-up display over it.
#include "draw/sceneDraw.h"

#include <GL/glu.h>

#include <cstdarg>
#include <cstdio>

#include "draw/text.h"

namespace
{

// The perspective of the 3D view: the vertical field of view in degrees and
// the near and far planes. The near plane is the float 0.09 widened to double.
const double FIELD_OF_VIEW = 60.0;
const float NEAR_PLANE = 0.09f;
const double FAR_PLANE = 100.0;

// Where a heads-up line stands: a raster position in fractions of the window
// from its bottom-left corner, then a move in whole 8x16 character cells, and
// how the text stands against it.
struct placement {
    float x, y, cellsRight, cellsUp;
    valign align;
};
const placement RATE = {0.0f, 0.0f, 0.0f, 0.0f, bottom};
const placement PIN_COUNT = {0.0f, 1.0f, 0.0f, 0.0f, top};
const placement THROW_TIME = {0.0f, 1.0f, 0.0f, -1.0f, top};      // a line under the pin count
const placement BANNER = {0.5f, 1.0f, -9.0f, 0.0f, top};          // 18 characters, centred
const placement PAUSE_NOTICE = {0.5f, 0.5f, -3.0f, 0.0f, middle}; // 6 characters, centred

// The banner of each game state: 18 characters, or a blank.
const char *const BANNERS[] = {"Level Introduction", "  Throw The Ball  ", " ", " ", "     Game Over    "};
static_assert(sizeof BANNERS / sizeof *BANNERS == over + 1, "a banner for every game state");

void drawAt(vec3 location, GLint list)
{
    glPushMatrix();
    glTranslatef(location.x, location.y, location.z);
    glCallList((GLuint)list);
    glPopMatrix();
}

void drawWorld(const levelPlay *p, const levelLook *look)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    lookFromCamera(p);
    glCallList((GLuint)look->worldDispList);
    // The ball is drawn whether in play or not; a pin only while in play.
    drawAt(locationBetweenSteps(p, 0), p->ball.dispList);
    for (int i = 0; i < (int)p->pins.size(); i++)
        if (p->pins[i].inPlay == 1) drawAt(locationBetweenSteps(p, i + 1), p->pins[i].dispList);
}

// One line of the heads-up display, formatted as printf formats it.
__attribute__((format(printf, 2, 3))) void headsUpLine(placement at, const char *format, ...)
{
    char line[64];
    va_list values;
    va_start(values, format);
    int length = vsnprintf(line, sizeof line, format, values);
    va_end(values);
    glRasterPos2f(at.x, at.y);
    moveCursor(at.cellsRight, at.cellsUp);
    setValign(at.align);
    textStringLength(line, length < (int)sizeof line ? length : (int)sizeof line - 1);
}

// The text's own projection, the unit square, over the view, in the text's colour.
void beginHeadsUp(const levelLook *look)
{
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, 1.0, -1.0);
    glDisable(GL_DEPTH_TEST);
    glColor3f(look->txtRed, look->txtGreen, look->txtBlue);
}

void endHeadsUp(void)
{
    glEnable(GL_DEPTH_TEST);
    // Back to the perspective of sceneReshape.
    glPopMatrix();
}

void drawHeadsUp(const levelPlay *p, const levelLook *look, float deltaTime, int paused,
                 const overlayPointer *pointer)
{
    beginHeadsUp(look);
    // The rate of the last frame alone; a frame of no measurable time shows -1.
    headsUpLine(RATE, "%.2f FPS", deltaTime != 0 ? 1.0 / deltaTime : -1.0);
    if (p->gameState != over) headsUpLine(PIN_COUNT, "%d / %d", p->remainingPins, p->numPins);
    // A negative throw time means no throw is rolling.
    if (p->throwTimeRemaining >= 0.0f) headsUpLine(THROW_TIME, "%.2f", p->throwTimeRemaining);
    headsUpLine(BANNER, "%s", BANNERS[p->gameState]);
    if (paused != 0) headsUpLine(PAUSE_NOTICE, "PAUSED");
    if (pointer->showGLPointer != 0) drawPointer(pointer->mousex, pointer->mousey);
    endHeadsUp();
}

} // namespace

void sceneReshape(int w, int h)
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A surface is never zero pixels high, but should one be, it is treated as
    // one pixel high rather than dividing by zero.
    if (h == 0) h = 1;
    gluPerspective(FIELD_OF_VIEW, (GLfloat)w / (GLfloat)h, NEAR_PLANE, FAR_PLANE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void lookFromCamera(const levelPlay *p)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Everything is drawn between the last two steps, as far on as the frame
    // is into the next, so that motion is as smooth as the frames come.
    vec3 eye = p->cameraLocation, toward = lookBetweenSteps(p);
    gluLookAt(eye.x, eye.y, eye.z, eye.x + toward.x, eye.y + toward.y, eye.z + toward.z, 0.0, 0.0, 1.0);
}

void drawFrame(const levelPlay *level, const levelLook *look, float deltaTime, int paused,
               const overlayPointer *pointer)
{
    drawWorld(level, look);
    drawHeadsUp(level, look, deltaTime, paused, pointer);
}
