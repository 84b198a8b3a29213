// Bitmap text and pointer drawn with glBitmap from a built-in 8x16 font.
#pragma once

#include <GL/gl.h>

#include "includes.h"

void text_init(int width, int height);
void setValign(enum valign newValign);
void moveCursor(GLfloat xmove, GLfloat ymove);
void textChar(char c);
void textString(char *c);
void textStringLength(char *c, int len);
void drawPointer(int x, int y);

// The compiled-in images, exposed read-only so tests can check their layout.
extern const GLubyte *const textFontBitmap;    // 95 glyphs x 64 bytes, tilde first
extern const GLubyte *const textPointerBitmap; // 16x16, 4 bytes a row, bottom row first
