// Putting a level on the screen: the 3D view from its camera, drawn between
// its last two steps, and the heads-up display over it.
#pragma once

#include <GL/gl.h>

#include "sim/levelPlay.h"

// How a level looks, from its load to its unload: the colours of its scene
// file and the display list of its world (the ball and each pin keep their own).
typedef struct levelLook {
    float bgRed, bgGreen, bgBlue;    // the window's clear colour
    float txtRed, txtGreen, txtBlue; // the heads-up text, and the overlay pointer
    GLint worldDispList;
} levelLook;

// The mouse as the heads-up display may show it: where motion last put it, in
// window pixels from the top-left corner, and whether to draw the overlay
// pointer there (offered, but no frame turns it on).
typedef struct overlayPointer {
    unsigned short mousex, mousey;
    int showGLPointer;
} overlayPointer;

// Fits the viewport and the perspective to a window of w by h pixels, and
// leaves the projection as the current matrix mode.
void sceneReshape(int w, int h);

// Makes the modelview matrix the 3D view's: from the camera, looking where it
// looks between the level's last two steps.
void lookFromCamera(const levelPlay *level);

// Draws one frame of the level into the back buffer: the 3D view, then the
// heads-up display with the rate of a frame of deltaTime seconds, the pause
// notice when paused, and the pointer when it is shown. The caller presents it.
void drawFrame(const levelPlay *level, const levelLook *look, float deltaTime, int paused,
               const overlayPointer *pointer);
