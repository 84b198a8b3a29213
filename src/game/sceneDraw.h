// Drawing of a level, split so that tests can read a frame back before it is shown.
#pragma once

// Draws one frame (3D view and heads-up display) into the back buffer without
// presenting it; drawScene is drawFrame followed by the buffer swap.
void drawFrame(void);
