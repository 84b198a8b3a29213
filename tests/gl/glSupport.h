// Helpers for tests that run in the real OpenGL context opened by glMain.cpp:
// a 640x480 SDL window on Mesa under Xvfb.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

namespace gltest {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

struct rgb {
    unsigned char r, g, b;
    bool operator==(const rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

// Black background, identity matrices, no depth test or culling, default unpack state.
void resetState();

// The back buffer as RGB, bottom row first (glReadPixels order).
std::vector<rgb> readBack();

inline rgb at(const std::vector<rgb> &px, int x, int y) { return px[(size_t)y * WIDTH + x]; }

// Pixels inside [x0, x1) x [y0, y1) that are not black.
int litIn(const std::vector<rgb> &px, int x0, int y0, int x1, int y1);

// Bounding box of all non-black pixels; false when there are none.
bool litBounds(const std::vector<rgb> &px, int *x0, int *y0, int *x1, int *y1);

// The current raster position in window pixels.
void rasterPos(float *x, float *y);

// A vertex captured in GL_3D_COLOR feedback mode: window position and RGBA.
struct fbVertex {
    float x, y, z;
    float r, g, b, a;
};

// Runs draw() in feedback mode with an ortho projection chosen so that scene
// coordinates (x, y) in [-1000, 1000] map linearly onto the window, and returns
// the vertices of every polygon drawn, in order.
// Window x = (X + 1000) * WIDTH / 2000, y likewise, z in [-1000, 1000] -> [0, 1].
std::vector<fbVertex> captureTriangles(void (*draw)(void *), void *arg);

// Inverse of the mapping above, for comparing with scene coordinates.
float sceneX(float windowX);
float sceneY(float windowY);
float sceneZ(float windowZ);

}  // namespace gltest
