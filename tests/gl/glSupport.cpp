#include "glSupport.h"

#include <gtest/gtest.h>

#include "text.h"

namespace gltest
{

void resetState()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glReadBuffer(GL_BACK);
    // An error left by an earlier test is not the next one's.
    while (glGetError() != GL_NO_ERROR)
        continue;
}

image blank() { return image((size_t)WIDTH * HEIGHT, BLACK); }

image readBack()
{
    image px = blank();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

int countIn(const image &px, rgb c, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += at(px, x, y) == c;
    return n;
}

int differing(const image &a, const image &b)
{
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += !(a[i] == b[i]);
    return n;
}

// Glyph and pointer rows are stored bottom row first, 4 bytes a row, bit 7 leftmost.
static void paintBits(image &img, const GLubyte *bits, int width, int x, int y, rgb colour)
{
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < width; ++col)
            if (bits[row * 4 + col / 8] >> (7 - col % 8) & 1) at(img, x + col, y + row) = colour;
}

void paintText(image &img, const std::string &s, int x, int y, rgb colour)
{
    for (char c : s) {
        if (c == '\0') continue;
        paintBits(img, textFontBitmap + (126 - c) * 64, 8, x, y, colour);
        x += 8;
    }
}

void paintPointer(image &img, int x, int y, rgb colour)
{
    paintBits(img, textPointerBitmap, 16, x, y - 15, colour);
}

void rasterPos(float *x, float *y)
{
    GLfloat pos[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
    *x = pos[0];
    *y = pos[1];
}

std::vector<corner> captureTriangles(const std::function<void()> &draw)
{
    std::vector<GLfloat> buf(1 << 20);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, 1000, -1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);

    std::vector<corner> out;
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    for (GLint i = 0; i < n;) {
        if (buf[i++] != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "feedback token " << buf[i - 1] << " is not a polygon";
            break;
        }
        for (GLint k = (GLint)buf[i++]; k > 0; --k, i += 7)
            out.push_back({buf[i] * 2000 / WIDTH - 1000, buf[i + 1] * 2000 / HEIGHT - 1000,
                           buf[i + 2] * 2000 - 1000, buf[i + 3], buf[i + 4], buf[i + 5]});
    }
    return out;
}

} // namespace gltest
