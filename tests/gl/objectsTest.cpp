// Mesh files compiled into real display lists, and the axis gizmo, captured in
// feedback mode from the real OpenGL context.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "glSupport.h"
#include "objects.h"
#include "support/fileSupport.h"
#include "vectorMath.h"

namespace
{

struct want {
    float x, y, z;
    int r, g, b;
};

struct meshCase {
    const char *why;
    const char *text; // null for no file
    condition result;
    std::string out; // the path follows BAD_HEADER
    std::vector<want> corners;
};

const std::string BAD_HEADER = "encountered file error, possibly an invalid first line\nor an invalid "
                               "file\n or no file\nor something else\nwhen trying to load ";
const std::string SHORT = "not enough coordinates in vert\n";

// Two triangles under a header that asks for one: the count is no limit for
// drawing. Colours keep their low 8 bits; spaces inside brackets and exponents read.
#define TWO_TRIANGLES                                                                                        \
    "L 1\nL [0, 0, 1]\n"                                                                                     \
    "L [255, 0, 256]\nL [-100, -50.5, 10]\n"                                                                 \
    "L [0,255,0]\nL [ 200,  -50.5,  -20.25]\n"                                                               \
    "L [300, 511, 65535]\nL [0, 300, 0]\n"                                                                   \
    "L [1, 0, 0]\nL [1, 2, 3]\nL [1e2, 2.5e2, -7]\n"                                                         \
    "L [4, 5, 6]\nL [-999, -999, 999]\nL [7, 8, 9]\nL [999, 999, -999]"
const std::vector<want> TWO_DRAWN = {{-100, -50.5f, 10, 255, 0, 0}, {200, -50.5f, -20.25f, 0, 255, 0},
                                     {0, 300, 0, 44, 255, 255},     {100, 250, -7, 1, 2, 3},
                                     {-999, -999, 999, 4, 5, 6},    {999, 999, -999, 7, 8, 9}};

const meshCase MESH_CASES[] = {
    // One character parts the triangles: a file that ends where one is due leaves the result unknown.
    {"a final line break is success", TWO_TRIANGLES "\n", success, "", TWO_DRAWN},
    {"no final line break is unknown", TWO_TRIANGLES, unknown, "", TWO_DRAWN},
    {"a header alone with its line break", "L 1\n", success, "", {}},
    {"a header alone", "L 1", unknown, "", {}},
    {"count 0", "L 0\n" TWO_TRIANGLES "\n", unknown, BAD_HEADER, {}},
    {"negative count", "L -1\n" TWO_TRIANGLES "\n", unknown, BAD_HEADER, {}},
    {"no number", "L three\n" TWO_TRIANGLES "\n", unknown, BAD_HEADER, {}},
    {"empty file", "", unknown, BAD_HEADER, {}},
    {"no file", nullptr, unknown, BAD_HEADER, {}},
    // A short entry is read on from where it stopped: p0 stops at its "]", which
    // becomes the label of a colour that finds "c1" for its "[" (so 128s); then
    // c1 is read as a position, p1 as a colour, p2 as the next normal, and the file
    // runs out inside a triangle: three more corners at the origin.
    {"a short position reads on out of step",
     "L 1\nn [0, 0, 1]\nc0 [10, 20, 30]\np0 [100, 200]\nc1 [40, 50, 60]\np1 [300, 400, 500]\n"
     "c2 [70, 80, 90]\np2 [600, 700, 800]\n",
     unknown,
     SHORT + SHORT + SHORT + SHORT,
     {{100, 200, 0, 10, 20, 30},
      {40, 50, 60, 128, 128, 128},
      {70, 80, 90, 44, 144, 244},
      {0, 0, 0, 128, 128, 128},
      {0, 0, 0, 128, 128, 128},
      {0, 0, 0, 128, 128, 128}}},
    {"a short colour keeps 128 for what is missing",
     "L 1\nL [0, 0, 1]\nL [10, 20,\nL [1, 2, 3]\nL\nL [4, 5, 6]\nL [7, 8, 9]\nL [7, 8, 9]\n",
     success,
     "",
     {{1, 2, 3, 10, 20, 128}, {4, 5, 6, 128, 128, 128}, {7, 8, 9, 7, 8, 9}}},
};

// The loader compiled into a display list as a level load does it, then the list replayed.
void expectLoad(testfiles::tempDir &dir, const meshCase &c, const char *text)
{
    gltest::resetState();
    std::string path = text ? dir.write("mesh", text) : dir.missing("absent");
    condition result = unknown;
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    int filesOpen = testfiles::openFileCount();
    std::string out = testfiles::captureStdout([&] { result = loadNdDraw(&path[0]); });
    EXPECT_EQ(testfiles::openFileCount(), filesOpen) << "file left open";
    glEndList();
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    std::vector<gltest::corner> drawn = gltest::captureTriangles([&] { glCallList(list); });
    glDeleteLists(list, 1);

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(out, c.out == BAD_HEADER ? BAD_HEADER + path : c.out);
    ASSERT_EQ(drawn.size(), c.corners.size());
    for (size_t k = 0; k < drawn.size(); k++) {
        const gltest::corner &d = drawn[k];
        const want &w = c.corners[k];
        EXPECT_TRUE(std::fabs(d.x - w.x) < 0.01f && std::fabs(d.y - w.y) < 0.01f &&
                    std::fabs(d.z - w.z) < 0.01f && lroundf(d.r * 255) == w.r && lroundf(d.g * 255) == w.g &&
                    lroundf(d.b * 255) == w.b)
            << "corner " << k << ": (" << d.x << ", " << d.y << ", " << d.z << ") colour " << d.r * 255 << " "
            << d.g * 255 << " " << d.b * 255;
    }
}

} // namespace

TEST(MeshLoader, DrawsWhatTheFileSaysAndReportsHowItEnded)
{
    testfiles::tempDir dir;
    for (const meshCase &c : MESH_CASES) {
        SCOPED_TRACE(c.why);
        expectLoad(dir, c, c.text);
    }
}

TEST(MeshLoader, LabelsOfAnyLengthDrawTheSame)
{
    testfiles::tempDir dir;
    for (size_t length : {1u, 12u, 5000u}) {
        SCOPED_TRACE(length);
        std::string label(length, 'x');
        label[0] = ']';
        expectLoad(dir, MESH_CASES[0], gltest::relabel(MESH_CASES[0].text, label).c_str());
    }
}

// Square bars along x (red), y (green) and z (blue) from 0.05 to 1 and 0.1
// wide, so the cube of side 0.1 round the origin holds nothing; every side
// wound counter-clockwise seen from outside, so that culling, as in a level,
// leaves exactly the sides facing the eye.
TEST(AxisGizmo, ThreeBarsWoundOutwardStayWholeWithCulling)
{
    const float s = 0.05f, SCALE = 500;
    const float views[][3] = {
        {0, 0, 0}, {30, -40, 1}, {-120, 15, 1}, {75, 160, 1}}; // about x, about y, culled
    for (const auto &view : views) {
        SCOPED_TRACE(std::to_string(view[0]) + ", " + std::to_string(view[1]));
        gltest::resetState();
        if (view[2] != 0) glEnable(GL_CULL_FACE);
        glColor3f(0.3f, 0.6f, 0.9f);
        GLfloat m[16];
        std::vector<gltest::corner> c = gltest::captureTriangles([&] {
            glScalef(SCALE, SCALE, SCALE);
            glRotatef(view[0], 1, 0, 0);
            glRotatef(view[1], 0, 1, 0);
            glGetFloatv(GL_MODELVIEW_MATRIX, m);
            drawAxis();
        });
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_TRUE(colour[0] == 0 && colour[1] == 0 && colour[2] == 1 && colour[3] == 1) << "left blue";
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

        // Four sides a bar, a side fed back as two triangles, bars in the order x, y, z;
        // culled, the two sides that face the eye.
        const size_t perBar = view[2] != 0 ? 4 : 8;
        ASSERT_EQ(c.size(), 3 * 3 * perBar);
        // The modelview is SCALE times a rotation, whose transpose takes the capture
        // back to the gizmo's coordinates; the eye looks down -z.
        const vec3 toEye = {m[2], m[6], m[10]};
        float area[3] = {0, 0, 0};
        for (size_t i = 0; i < c.size(); i += 3) {
            const int bar = (int)(i / 3 / perBar);
            EXPECT_TRUE(c[i].r == (bar == 0) && c[i].g == (bar == 1) && c[i].b == (bar == 2))
                << "triangle " << i / 3;
            float p[3][3], mid[3] = {0, 0, 0};
            for (int k = 0; k < 3; k++)
                for (int a = 0; a < 3; a++) {
                    const gltest::corner &e = c[i + k];
                    p[k][a] = (m[a * 4] * e.x + m[a * 4 + 1] * e.y + m[a * 4 + 2] * e.z) / (SCALE * SCALE);
                    mid[a] += p[k][a] / 3;
                    if (a == bar) {
                        EXPECT_TRUE(std::fabs(p[k][a] - s) < 1e-3f || std::fabs(p[k][a] - 1) < 1e-3f)
                            << p[k][a];
                    } else {
                        EXPECT_NEAR(std::fabs(p[k][a]), s, 1e-3f);
                    }
                }
            // The way out of the bar: along the cross axis where the side's middle lies farthest out.
            int across = (bar + 1) % 3, other = (bar + 2) % 3;
            if (std::fabs(mid[other]) > std::fabs(mid[across])) across = other;
            vec3 out = {0, 0, 0};
            (&out.x)[across] = mid[across] > 0 ? 1 : -1;
            // The right-hand normal of the corners in drawing order points the way out.
            vec3 facing = vec_cross(vec3{p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]},
                                    vec3{p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]});
            area[bar] += vec_mag(facing) / 2;
            EXPECT_NEAR(vec_dot(facing, out) / vec_mag(facing), 1, 1e-4f) << "triangle " << i / 3;
            if (view[2] != 0) {
                EXPECT_GT(vec_dot(out, toEye), 0) << "an inner side of bar " << bar << " shows";
            }
        }
        for (float a : area)
            EXPECT_NEAR(a, perBar / 2 * 0.95f * 0.1f, 1e-3f);
    }
}
