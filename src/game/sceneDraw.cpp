// Putting a level on the screen: the 3D view from the camera, which turns to
// follow the ball, and the heads-up display over it.
#include <GL/glu.h>

#include <cstdio>

#include "draw/text.h"
#include "game/sceneDraw.h"
#include "game/sceneHint.h"
#include "game/sceneInternal.h"

// The perspective of the 3D view: the vertical field of view in degrees and
// the near and far planes. The near plane is the float 0.09 widened to double.
const double FIELD_OF_VIEW = 60.0;
const float NEAR_PLANE = 0.09f;
const double FAR_PLANE = 100.0;

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

static void drawAt(vec3 location, GLint list)
{
    glPushMatrix();
    glTranslatef(location.x, location.y, location.z);
    glCallList((GLuint)list);
    glPopMatrix();
}

static void drawWorld(void)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Everything is drawn between the last two steps, as far on as the frame
    // is into the next, so that motion is as smooth as the frames come.
    vec3 look = lookBetweenSteps(&level);
    gluLookAt(cameraLocation.x, cameraLocation.y, cameraLocation.z, cameraLocation.x + look.x,
              cameraLocation.y + look.y, cameraLocation.z + look.z, 0.0, 0.0, 1.0);

    glCallList((GLuint)worldDispList);
    // The ball is drawn whether in play or not; a pin only while in play.
    drawAt(locationBetweenSteps(&level, 0), ball.dispList);
    for (int i = 0; i < numPins; i++)
        if (pins[i].inPlay == 1) drawAt(locationBetweenSteps(&level, i + 1), pins[i].dispList);
}

// Positions are fractions of the window from its bottom-left corner; the text
// then moves in whole 8x16 character cells.
static void drawHeadsUp(void)
{
    static char aString[400];
    static int i;

    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, 1.0, -1.0);
    glDisable(GL_DEPTH_TEST);
    glColor3f(txtRed, txtGreen, txtBlue);

    // The rate of the last frame alone; a frame of no measurable time shows -1.
    glRasterPos2f(0.0f, 0.0f);
    setValign(bottom);
    i = sprintf(aString, "%.2f FPS", deltaTime != 0 ? 1.0 / deltaTime : -1.0);
    textStringLength(aString, i);

    if (gameState != over) {
        glRasterPos2f(0.0f, 1.0f);
        setValign(top);
        i = sprintf(aString, "%d / %d", remainingPins, numPins);
        textStringLength(aString, i);
    }

    // A negative throw time means no throw is rolling.
    if (throwTimeRemaining >= 0.0f) {
        glRasterPos2f(0.0f, 1.0f);
        moveCursor(0.0f, -1.0f);
        setValign(top);
        i = sprintf(aString, "%.2f", throwTimeRemaining);
        textStringLength(aString, i);
    }

    // Banners are 18 characters, centred by moving nine cells to the left.
    glRasterPos2f(0.5f, 1.0f);
    moveCursor(-9.0f, 0.0f);
    setValign(top);
    switch (gameState) {
    case introduction:
        i = sprintf(aString, "Level Introduction");
        break;
    case awaitingThrow:
        i = sprintf(aString, "  Throw The Ball  ");
        break;
    case throwing:
        i = sprintf(aString, " ");
        break;
    case watchingThrow:
        i = sprintf(aString, " ");
        break;
    case over:
        i = sprintf(aString, "     Game Over    ");
        break;
    }
    textStringLength(aString, i);

    if (isPaused != 0) {
        glRasterPos2f(0.5f, 0.5f);
        setValign(middle);
        moveCursor(-3.0f, 0.0f);
        textStringLength((char *)"PAUSED", 6);
    }

    if (showGLPointer != 0) drawPointer(mousex, mousey);

    glEnable(GL_DEPTH_TEST);
    // Back to the perspective of sceneReshape.
    glPopMatrix();
}

void drawFrame(void)
{
    drawWorld();
    drawHint(level, txtRed, txtGreen, txtBlue);
    drawHeadsUp();
}

void drawScene(void)
{
    drawFrame();
    SDL_GL_SwapBuffers();
}
