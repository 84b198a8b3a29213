// A hint drawn over a level's frame: an arrow from where the ball is drawn,
// as long as the drag advised and in its direction, and lines of text under
// the banner, in the level's text colour.
#pragma once

#include "draw/sceneDraw.h"

typedef struct hintPicture {
    const char *lines[2]; // centred under the banner; null for none
    bool arrow;           // whether to draw the drag
    int right, up;        // the drag, in pixels of the game's 640x480 picture: up is toward its top
} hintPicture;

// Over the frame drawFrame drew, which it leaves as it found it.
void drawHintOver(const levelPlay *level, const levelLook *look, const hintPicture *hint);
