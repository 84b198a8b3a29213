#include "glSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace gltest {

void resetState()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glReadBuffer(GL_BACK);
}

std::vector<rgb> readBack()
{
    std::vector<rgb> px((size_t)WIDTH * HEIGHT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glFinish();
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

static bool lit(rgb p) { return p.r || p.g || p.b; }

int litIn(const std::vector<rgb> &px, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (x >= 0 && y >= 0 && x < WIDTH && y < HEIGHT && lit(at(px, x, y))) ++n;
    return n;
}

bool litBounds(const std::vector<rgb> &px, int *x0, int *y0, int *x1, int *y1)
{
    bool any = false;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            if (lit(at(px, x, y))) {
                if (!any) {
                    *x0 = *x1 = x;
                    *y0 = *y1 = y;
                    any = true;
                }
                if (x < *x0) *x0 = x;
                if (x > *x1) *x1 = x;
                if (y < *y0) *y0 = y;
                if (y > *y1) *y1 = y;
            }
    return any;
}

void rasterPos(float *x, float *y)
{
    GLfloat pos[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
    *x = pos[0];
    *y = pos[1];
}

std::vector<fbVertex> captureTriangles(void (*draw)(void *), void *arg)
{
    std::vector<GLfloat> buf(1 << 20);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, 1000, -1000);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw(arg);
    GLint n = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    std::vector<fbVertex> out;
    EXPECT_GE(n, 0) << "feedback buffer overflow";
    for (GLint i = 0; i < n;) {
        GLint token = (GLint)buf[i++];
        if (token == GL_POLYGON_TOKEN) {
            GLint count = (GLint)buf[i++];
            for (GLint k = 0; k < count; ++k, i += 7)
                out.push_back({buf[i], buf[i + 1], buf[i + 2], buf[i + 3], buf[i + 4], buf[i + 5], buf[i + 6]});
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += 7;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 14;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

float sceneX(float windowX) { return windowX * 2000.0f / WIDTH - 1000.0f; }
float sceneY(float windowY) { return windowY * 2000.0f / HEIGHT - 1000.0f; }
float sceneZ(float windowZ) { return windowZ * 2000.0f - 1000.0f; }

}  // namespace gltest
