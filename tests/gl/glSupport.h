// Helpers for tests that run in the real OpenGL context opened by glMain.cpp:
// a 640x480 SDL window on Mesa under Xvfb.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <string>
#include <vector>

namespace gltest
{

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

struct rgb {
    unsigned char r, g, b;
    bool operator==(const rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};
const rgb BLACK{0, 0, 0};
typedef std::vector<rgb> image; // bottom row first, as glReadPixels gives it

// Black background, identity matrices, no depth test or culling.
void resetState();

image readBack();
image blank();
inline rgb &at(image &px, int x, int y) { return px[(size_t)y * WIDTH + x]; }
inline rgb at(const image &px, int x, int y) { return px[(size_t)y * WIDTH + x]; }

// Pixels of colour c inside [x0, x1) x [y0, y1), by default the whole window.
int countIn(const image &px, rgb c, int x0 = 0, int y0 = 0, int x1 = WIDTH, int y1 = HEIGHT);

// Pixels that differ between two images.
int differing(const image &a, const image &b);

// Paints into img what the game's font draws for s from the bottom-left corner
// (x, y) of the first 8x16 cell; a NUL takes no cell.
void paintText(image &img, const std::string &s, int x, int y, rgb colour);
// Paints the arrow with its tip at pixel (x, y).
void paintPointer(image &img, int x, int y, rgb colour);

// The current raster position in window pixels.
void rasterPos(float *x, float *y);

// A polygon corner captured in feedback mode, in scene coordinates, colour in 0..1.
struct corner {
    float x, y, z;
    float r, g, b;
};

// Runs draw() in GL_3D_COLOR feedback mode under an ortho projection that maps
// scene coordinates in [-1000, 1000] onto the window (depth included) and
// returns the corners of every polygon drawn, in order. Leaves that projection
// and the modelview draw() left.
std::vector<corner> captureTriangles(const std::function<void()> &draw);

// The text with every "L" that starts a line replaced by label and every line
// break by sep: files whose labels and layout differ but not their meaning.
inline std::string relabel(const std::string &text, const std::string &label, char sep = '\n')
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] == 'L' && (i == 0 || text[i - 1] == '\n'))
            out += label;
        else
            out += text[i] == '\n' ? sep : text[i];
    return out;
}

} // namespace gltest
