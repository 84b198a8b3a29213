// Bitmap text and pointer drawn with glBitmap from a built-in 8x16 font.
#pragma once

#include <GL/gl.h>

// Where a line of text stands against its raster position.
enum valign { bottom = 0, middle = 1, top = 2 };

// The window's size in pixels, which places the pointer; until then nothing advances.
void text_init(int width, int height);
void setValign(enum valign newValign);
// Moves the raster position by whole character cells, drawing nothing.
void moveCursor(GLfloat xmove, GLfloat ymove);
void textChar(char c);
// Draws exactly len characters, unprintable ones (a NUL among them) skipped.
void textStringLength(char *c, int len);

// Offered but not called by any frame:
// Draws a NUL-terminated string, for text whose length is not at hand.
void textString(char *c);
// Draws the arrow pointer with its tip at window pixel (x, y) from the top-left
// corner; the heads-up display does so only when its overlay pointer is shown.
void drawPointer(int x, int y);
