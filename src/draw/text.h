// Bitmap text and pointer drawn with glBitmap from a built-in 8x16 font.
#pragma once

#include <GL/gl.h>

// Where a line of text stands against its raster position.
enum valign { bottom = 0, middle = 1, top = 2 };

void text_init(int width, int height);
void setValign(enum valign newValign);
void moveCursor(GLfloat xmove, GLfloat ymove);
void textChar(char c);
void textString(char *c);
void textStringLength(char *c, int len);
void drawPointer(int x, int y);
