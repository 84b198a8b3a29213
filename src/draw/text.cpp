// Fixed-pitch text and the mouse pointer, drawn with glBitmap over the 3D view.
// Every glyph is a 16x16 bitmap whose ink sits in its left 8 columns; a character
// advances the raster position by 8 pixels, so the raster position is the pen.
#include "draw/text.h"

#include <cstring>

namespace
{

constexpr int FIRST_CODE = 32; // space
constexpr int LAST_CODE = 126; // tilde
constexpr int GLYPH_BYTES = 64;

// The cell size stays 0 until text_init: nothing advances before the game has a window.
GLfloat xwidth = 0.0f;
GLfloat yheight = 0.0f;
GLfloat yorig = 0.0f; // pixels from the bottom of a glyph's cell up to the raster position
int winWidth = 0;
int winHeight = 0;

// 95 glyphs, tilde first, space last.
const GLubyte text[(LAST_CODE - FIRST_CODE + 1) * GLYPH_BYTES] = {
#include "textFont.inc"
};

// An arrow with its tip at the top-left pixel, bottom row first, 16 columns in bytes 0-1.
// clang-format off
const GLubyte cursorBits[64] = {
    0x00, 0x00, 0x00, 0x00,
    0xC0, 0x00, 0x00, 0x00,
    0xA0, 0x00, 0x00, 0x00,
    0xD0, 0x00, 0x00, 0x00,
    0xA8, 0x00, 0x00, 0x00,
    0xD7, 0xC0, 0x00, 0x00,
    0xA8, 0x40, 0x00, 0x00,
    0xD0, 0x80, 0x00, 0x00,
    0xA1, 0x00, 0x00, 0x00,
    0xC2, 0x00, 0x00, 0x00,
    0x84, 0x00, 0x00, 0x00,
    0x88, 0x00, 0x00, 0x00,
    0x90, 0x00, 0x00, 0x00,
    0xA0, 0x00, 0x00, 0x00,
    0xC0, 0x00, 0x00, 0x00,
    0x80, 0x00, 0x00, 0x00,
};
// clang-format on

const GLubyte *glyph(int code) { return text + (LAST_CODE - code) * GLYPH_BYTES; }

} // namespace

void text_init(int width, int height)
{
    xwidth = 8.0f;
    yheight = 16.0f;
    winWidth = width;
    winHeight = height;
}

void setValign(enum valign newValign)
{
    switch (newValign) {
    case bottom:
        yorig = 0.0f;
        break;
    case middle:
        yorig = yheight / 2.0f;
        break;
    case top:
        yorig = yheight;
        break;
    default: // not an alignment: keep the one we have
        break;
    }
}

// The blank space glyph with a chosen advance: moves in window pixels whatever the projection.
void moveCursor(GLfloat xmove, GLfloat ymove)
{
    glBitmap(16, 16, 0.0f, 0.0f, xwidth * xmove, yheight * ymove, glyph(' '));
}

void textChar(char c)
{
    // A signed char puts everything past 127 below zero, so this also skips those.
    if (c < FIRST_CODE || c > LAST_CODE) return;
    glBitmap(16, 16, 0.0f, yorig, xwidth, 0.0f, glyph(c));
}

void textString(char *c)
{
    size_t n = strlen(c);
    for (size_t i = 0; i < n; ++i)
        textChar(c[i]);
}

// Draws exactly len characters: a NUL among them is skipped like any unprintable code.
void textStringLength(char *c, int len)
{
    for (int i = 0; i < len; ++i)
        textChar(c[i]);
}

// (x, y) are window pixels from the top-left corner, as mouse events report them; the
// heads-up projection maps the unit square onto the window. The bitmap's origin is its
// top-left corner, so the arrow hangs below and right of the position with its tip on it.
void drawPointer(int x, int y)
{
    // Without a window size there is nowhere to put it (and nothing to divide by).
    if (winWidth <= 0 || winHeight <= 0) return;
    glRasterPos2f((GLfloat)x / (GLfloat)winWidth, 1.0f - (GLfloat)y / (GLfloat)winHeight);
    glBitmap(16, 16, 0.0f, yheight, 0.0f, 0.0f, cursorBits);
}
