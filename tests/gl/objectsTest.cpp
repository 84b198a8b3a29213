// Mesh files compiled into real display lists, and the axis gizmo, captured in
// feedback mode from the real OpenGL context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "glSupport.h"
#include "objects.h"
#include "support/fileSupport.h"
#include "vectorMath.h"

namespace
{

const std::string HEADER_ERROR_START =
    "encountered file error, possibly an invalid first line\nor an invalid "
    "file\n or no file\nor something else\nwhen trying to load ";
const std::string SHORT_VERT = "not enough coordinates in vert\n";

// A drawn corner in scene coordinates with its colour in 0..255.
struct corner {
    float x, y, z;
    int r, g, b;
};

struct drawn {
    condition result;
    std::string out;
    std::vector<corner> corners;
    GLenum error;
};

void callList(void *list) { glCallList(*(GLuint *)list); }

// Compiles the file into a display list the way a level load does, then replays
// the list and captures what it draws.
drawn compileAndDraw(const std::string &path)
{
    gltest::resetState();
    std::string name = path;
    drawn d;
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    int filesOpen = testfiles::openFileCount();
    d.out = testfiles::captureStdout([&] { d.result = loadNdDraw(&name[0]); });
    EXPECT_EQ(testfiles::openFileCount(), filesOpen) << path << " left open";
    glEndList();
    d.error = glGetError();
    for (const gltest::fbVertex &v : gltest::captureTriangles(callList, &list))
        d.corners.push_back({gltest::sceneX(v.x), gltest::sceneY(v.y), gltest::sceneZ(v.z),
                             (int)lroundf(v.r * 255), (int)lroundf(v.g * 255), (int)lroundf(v.b * 255)});
    glDeleteLists(list, 1);
    return d;
}

void expectCorner(const corner &c, float x, float y, float z, int r, int g, int b)
{
    EXPECT_NEAR(c.x, x, 0.01);
    EXPECT_NEAR(c.y, y, 0.01);
    EXPECT_NEAR(c.z, z, 0.01);
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
}

// Three triangles with distinct corners; the k-th (from 0) is shifted by 100 k.
std::string threeTriangles()
{
    std::string s;
    for (int k = 0; k < 3; k++) {
        int o = 100 * k;
        s += "\nnormal [0, 0, 1]\ncolour [10, 20, 30]\nvertex [" + std::to_string(o) + ", 0, 5]\n" +
             "colour [40, 50, 60]\nvertex [" + std::to_string(o + 50) + ", 0, 5]\n" +
             "colour [70, 80, 90]\nvertex [" + std::to_string(o) + ", 50, 5]";
    }
    return s;
}

TEST(MeshLoader, CornersAreDrawnInFileOrderWithTheLowEightBitsOfTheirColours)
{
    testfiles::tempDir dir;
    drawn d = compileAndDraw(dir.write("mesh.txt", "tris 2\n"
                                                   "normal [0, 0, 1]\n"
                                                   "colour [255, 0, 256]\n"
                                                   "vertex [-100, -50.5, 10]\n"
                                                   "colour [0,255,0]\n"
                                                   "vertex [ 200,  -50.5,  -20.25]\n"
                                                   "colour [300, 511, 65535]\n"
                                                   "vertex [0, 300, 0]\n"
                                                   "normal [1, 0, 0]\n"
                                                   "colour [1, 2, 3]\n"
                                                   "vertex [1e2, 2.5e2, -7]\n"
                                                   "colour [4, 5, 6]\n"
                                                   "vertex [-999, -999, 999]\n"
                                                   "colour [7, 8, 9]\n"
                                                   "vertex [999, 999, -999]\n"));
    EXPECT_EQ(d.result, success);
    EXPECT_EQ(d.out, "");
    EXPECT_EQ(d.error, (GLenum)GL_NO_ERROR);
    ASSERT_EQ(d.corners.size(), 6u);
    // 256 is 0 and 300 is 44 once cut to a byte.
    expectCorner(d.corners[0], -100, -50.5f, 10, 255, 0, 0);
    expectCorner(d.corners[1], 200, -50.5f, -20.25f, 0, 255, 0);
    expectCorner(d.corners[2], 0, 300, 0, 44, 255, 255);
    expectCorner(d.corners[3], 100, 250, -7, 1, 2, 3);
    expectCorner(d.corners[4], -999, -999, 999, 4, 5, 6);
    expectCorner(d.corners[5], 999, 999, -999, 7, 8, 9);
}

// The header's count is not a limit for drawing; how the file ends decides the result.
TEST(MeshLoader, EveryTriangleIsDrawnAndTheFinalLineBreakDecidesTheResult)
{
    testfiles::tempDir dir;
    drawn withBreak = compileAndDraw(dir.write("a.txt", "tris 2" + threeTriangles() + "\n"));
    EXPECT_EQ(withBreak.result, success);
    drawn without = compileAndDraw(dir.write("b.txt", "tris 2" + threeTriangles()));
    EXPECT_EQ(without.result, unknown);
    for (const drawn *d : {&withBreak, &without}) {
        EXPECT_EQ(d->out, "");
        ASSERT_EQ(d->corners.size(), 9u);
        expectCorner(d->corners[0], 0, 0, 5, 10, 20, 30);
        expectCorner(d->corners[4], 150, 0, 5, 40, 50, 60);
        expectCorner(d->corners[8], 200, 50, 5, 70, 80, 90);
    }

    drawn emptyWithBreak = compileAndDraw(dir.write("c.txt", "tris 1\n"));
    EXPECT_EQ(emptyWithBreak.result, success);
    EXPECT_EQ(emptyWithBreak.corners.size(), 0u);
    drawn emptyWithout = compileAndDraw(dir.write("d.txt", "tris 1"));
    EXPECT_EQ(emptyWithout.result, unknown);
    EXPECT_EQ(emptyWithout.corners.size(), 0u);
    for (const drawn *d : {&emptyWithBreak, &emptyWithout}) {
        EXPECT_EQ(d->out, "");
        EXPECT_EQ(d->error, (GLenum)GL_NO_ERROR);
    }
}

TEST(MeshLoader, InvalidHeaderOrMissingFilePrintsTheFileErrorAndDrawsNothing)
{
    testfiles::tempDir dir;
    struct {
        const char *why;
        std::string text;
    } cases[] = {
        {"count 0", "tris 0" + threeTriangles() + "\n"},
        {"negative count", "tris -1" + threeTriangles() + "\n"},
        {"no number", "tris three" + threeTriangles() + "\n"},
        {"empty file", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        std::string path = dir.write("bad.txt", c.text);
        drawn d = compileAndDraw(path);
        EXPECT_EQ(d.result, unknown);
        // No line break after the name: the caller's own message follows on the same line.
        EXPECT_EQ(d.out, HEADER_ERROR_START + path);
        EXPECT_EQ(d.corners.size(), 0u);
        EXPECT_EQ(d.error, (GLenum)GL_NO_ERROR);
    }
    std::string absent = dir.missing("absent.txt");
    drawn d = compileAndDraw(absent);
    EXPECT_EQ(d.result, unknown);
    EXPECT_EQ(d.out, HEADER_ERROR_START + absent);
    EXPECT_EQ(d.corners.size(), 0u);
}

// A short entry does not stop the load: the next item is read from where the
// short one stopped, so the rest of the file is read out of step with its lines.
TEST(MeshLoader, ShortPositionIsReportedDrawnWithZeroAndReadingGoesOnOutOfStep)
{
    testfiles::tempDir dir;
    drawn d = compileAndDraw(dir.write("short.txt", "tris 1\n"
                                                    "normal [0, 0, 1]\n"
                                                    "c0 [10, 20, 30]\n"
                                                    "p0 [100, 200]\n"
                                                    "c1 [40, 50, 60]\n"
                                                    "p1 [300, 400, 500]\n"
                                                    "c2 [70, 80, 90]\n"
                                                    "p2 [600, 700, 800]\n"));
    ASSERT_EQ(d.corners.size(), 6u);
    // p0 stops at its "]", which then stands as the label of a colour entry that
    // finds "c1" where its "[" should be: no colour, so 128s.
    expectCorner(d.corners[0], 100, 200, 0, 10, 20, 30);
    // "c1 [40, 50, 60]" is taken for a position and "p1 [300, 400, 500]" for a colour.
    expectCorner(d.corners[1], 40, 50, 60, 128, 128, 128);
    expectCorner(d.corners[2], 70, 80, 90, 300 & 255, 400 & 255, 500 & 255);
    // "p2 ..." becomes the next normal, then the file runs out in the middle of a
    // triangle: three more corners at the origin, each position reported.
    for (int k = 3; k < 6; k++)
        expectCorner(d.corners[k], 0, 0, 0, 128, 128, 128);
    EXPECT_EQ(d.out, SHORT_VERT + SHORT_VERT + SHORT_VERT + SHORT_VERT);
    // The file ended where a separator was due.
    EXPECT_EQ(d.result, unknown);
}

TEST(MeshLoader, ShortColourKeepsTheMissingComponentsAt128)
{
    testfiles::tempDir dir;
    // An entry cut short before its line ends leaves the next line whole: still in step.
    drawn inStep = compileAndDraw(dir.write("x.txt", "tris 1\n"
                                                     "normal [0, 0, 1]\n"
                                                     "colour [10, 20,\n"
                                                     "vertex [1, 2, 3]\n"
                                                     "colour\n"
                                                     "vertex [4, 5, 6]\n"
                                                     "colour [7, 8, 9]\n"
                                                     "vertex [7, 8, 9]\n"));
    EXPECT_EQ(inStep.result, success);
    EXPECT_EQ(inStep.out, "");
    ASSERT_EQ(inStep.corners.size(), 3u);
    expectCorner(inStep.corners[0], 1, 2, 3, 10, 20, 128);
    expectCorner(inStep.corners[1], 4, 5, 6, 128, 128, 128);
    expectCorner(inStep.corners[2], 7, 8, 9, 7, 8, 9);

    // Two numbers and a "]": the "]" is taken for the position's label and the
    // position finds "vertex" where its "[" should be.
    drawn outOfStep = compileAndDraw(dir.write("two.txt", "tris 1\n"
                                                          "normal [0, 0, 1]\n"
                                                          "colour [10, 20]\n"
                                                          "vertex [1, 2, 3]\n"
                                                          "colour [4, 5, 6]\n"
                                                          "vertex [4, 5, 6]\n"
                                                          "colour [7, 8, 9]\n"
                                                          "vertex [7, 8, 9]\n"));
    // From there on each colour entry reads a position line and each position a
    // colour line, and the last position line becomes a normal.
    ASSERT_EQ(outOfStep.corners.size(), 6u);
    expectCorner(outOfStep.corners[0], 0, 0, 0, 10, 20, 128);
    expectCorner(outOfStep.corners[1], 4, 5, 6, 1, 2, 3);
    expectCorner(outOfStep.corners[2], 7, 8, 9, 4, 5, 6);
    for (int k = 3; k < 6; k++)
        expectCorner(outOfStep.corners[k], 0, 0, 0, 128, 128, 128);
    EXPECT_EQ(outOfStep.out, SHORT_VERT + SHORT_VERT + SHORT_VERT + SHORT_VERT);
    EXPECT_EQ(outOfStep.result, unknown);
}

// Labels are free text of any length, never examined.
TEST(MeshLoader, FilesDifferingOnlyInLabelsDrawIdentically)
{
    testfiles::tempDir dir;
    std::string plain = "tris 2" + threeTriangles() + "\n";
    drawn reference = compileAndDraw(dir.write("plain.txt", plain));
    ASSERT_EQ(reference.corners.size(), 9u);

    for (size_t length : {1u, 11u, 12u, 100u, 5000u}) {
        SCOPED_TRACE("label length " + std::to_string(length));
        std::string label(length, 'L');
        label[0] = ']';
        std::string text = plain;
        for (const char *word : {"tris ", "normal ", "colour ", "vertex "}) {
            size_t at = 0;
            while ((at = text.find(word, at)) != std::string::npos) {
                text.replace(at, strlen(word) - 1, label);
                at += label.size() + 1;
            }
        }
        drawn d = compileAndDraw(dir.write("labels.txt", text));
        EXPECT_EQ(d.result, success);
        EXPECT_EQ(d.out, "");
        ASSERT_EQ(d.corners.size(), reference.corners.size());
        EXPECT_EQ(memcmp(d.corners.data(), reference.corners.data(), d.corners.size() * sizeof(corner)), 0);
    }
}

// --- the axis gizmo ---

float axisOf(vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

const float SCALE = 500; // the bars are a unit long: make them large on the capture's scale

struct gizmoView {
    float angles[3]; // rotations about x, y and z, in degrees, applied in that order
    GLfloat modelview[16];
};

void drawScaledAxis(void *arg)
{
    gizmoView *view = (gizmoView *)arg;
    glScalef(SCALE, SCALE, SCALE);
    glRotatef(view->angles[0], 1, 0, 0);
    glRotatef(view->angles[1], 0, 1, 0);
    glRotatef(view->angles[2], 0, 0, 1);
    glGetFloatv(GL_MODELVIEW_MATRIX, view->modelview);
    drawAxis();
}

// A captured triangle back in the gizmo's own coordinates, with the bar it belongs to (by colour).
struct gizmoTriangle {
    vec3 p[3];
    int bar;
};

std::vector<gizmoTriangle> captureGizmo(gizmoView *view)
{
    std::vector<gltest::fbVertex> v = gltest::captureTriangles(drawScaledAxis, view);
    // The modelview is SCALE times a rotation R; undo it with R transposed.
    const GLfloat *m = view->modelview;
    std::vector<gizmoTriangle> tris;
    EXPECT_EQ(v.size() % 3, 0u) << "this Mesa feeds quads back as triangle pairs";
    for (size_t i = 0; i + 2 < v.size(); i += 3) {
        gizmoTriangle t;
        for (int k = 0; k < 3; k++) {
            const gltest::fbVertex &w = v[i + k];
            float e[3] = {gltest::sceneX(w.x), gltest::sceneY(w.y), gltest::sceneZ(w.z)};
            float o[3];
            for (int a = 0; a < 3; a++)
                o[a] = (m[a * 4 + 0] * e[0] + m[a * 4 + 1] * e[1] + m[a * 4 + 2] * e[2]) / (SCALE * SCALE);
            t.p[k] = {o[0], o[1], o[2]};
        }
        const gltest::fbVertex &c = v[i];
        t.bar = c.r == 1 && c.g == 0 && c.b == 0   ? 0
                : c.r == 0 && c.g == 1 && c.b == 0 ? 1
                : c.b == 1                         ? 2
                                                   : -1;
        EXPECT_NE(t.bar, -1) << "colour " << c.r << " " << c.g << " " << c.b;
        tris.push_back(t);
    }
    return tris;
}

// The way out of the bar through this side: along whichever cross axis the
// side's middle lies farthest from the bar's own axis.
vec3 outward(const gizmoTriangle &t)
{
    float mid[3];
    for (int a = 0; a < 3; a++)
        mid[a] = (axisOf(t.p[0], a) + axisOf(t.p[1], a) + axisOf(t.p[2], a)) / 3;
    int best = -1;
    for (int a = 0; a < 3; a++)
        if (a != t.bar && (best < 0 || std::fabs(mid[a]) > std::fabs(mid[best]))) best = a;
    float out[3] = {0, 0, 0};
    out[best] = mid[best] > 0 ? 1 : -1;
    return {out[0], out[1], out[2]};
}

// The right-hand normal of the corners in drawing order: it points to the side
// from which they run counter-clockwise.
vec3 facing(const gizmoTriangle &t)
{
    return vec_cross(vec_between_points(t.p[0], t.p[1]), vec_between_points(t.p[0], t.p[2]));
}

TEST(AxisGizmo, ThreeSquareBarsRedGreenBlueFromFiveHundredthsToOneWoundOutward)
{
    gltest::resetState();
    gizmoView view = {{0, 0, 0}, {}};
    std::vector<gizmoTriangle> tris = captureGizmo(&view);
    // Four sides a bar, each side a quad fed back as two triangles, bars in the order X, Y, Z.
    ASSERT_EQ(tris.size(), 24u);
    const float s = 0.05f;
    float area[3] = {0, 0, 0};
    for (size_t i = 0; i < tris.size(); i++) {
        const gizmoTriangle &t = tris[i];
        ASSERT_EQ(t.bar, (int)(i / 8)) << "triangle " << i;
        for (const vec3 &p : t.p) {
            // Along its own axis a bar runs from 0.05 to 1, so the cube of side 0.1
            // round the origin holds nothing; across, it is 0.1 wide.
            float along = axisOf(p, t.bar);
            EXPECT_TRUE(std::fabs(along - s) < 1e-3f || std::fabs(along - 1) < 1e-3f) << along;
            for (int a = 0; a < 3; a++) {
                if (a != t.bar) {
                    EXPECT_NEAR(std::fabs(axisOf(p, a)), s, 1e-3f);
                }
            }
        }
        float n = vec_mag(facing(t));
        area[t.bar] += n / 2;
        // Each side lies flat on the tube's surface and is wound counter-clockwise
        // seen from outside, so its normal is the way out.
        EXPECT_NEAR(vec_dot(facing(t), outward(t)) / n, 1, 1e-4f) << "bar " << t.bar << " triangle " << i;
    }
    for (float a : area)
        EXPECT_NEAR(a, 4 * 0.95f * 0.1f, 1e-3f);
}

// With back faces culled, as in a level, what remains of each bar is exactly
// the two sides that face the viewer: no bar loses a visible side.
TEST(AxisGizmo, BarsStayWholeWithBackFacesCulled)
{
    const float views[][3] = {{30, -40, 20}, {-120, 15, 200}, {75, 160, -35}};
    for (const auto &angles : views) {
        SCOPED_TRACE(std::to_string(angles[0]) + " " + std::to_string(angles[1]) + " " +
                     std::to_string(angles[2]));
        gltest::resetState();
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        gizmoView view = {{angles[0], angles[1], angles[2]}, {}};
        std::vector<gizmoTriangle> tris = captureGizmo(&view);
        glDisable(GL_CULL_FACE);
        // The eye looks down its -z; in the gizmo's coordinates the way to the eye is R transposed times +z.
        vec3 toEye = {view.modelview[2], view.modelview[6], view.modelview[10]};
        int perBar[3] = {0, 0, 0};
        for (const gizmoTriangle &t : tris) {
            EXPECT_GT(vec_dot(outward(t), toEye), 0) << "an inner side of bar " << t.bar << " is showing";
            if (t.bar >= 0) perBar[t.bar]++;
        }
        for (int n : perBar)
            EXPECT_EQ(n, 4);
    }
}

TEST(AxisGizmo, LeavesTheColourBlueAndTheMatricesAlone)
{
    gltest::resetState();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.25f, -0.5f, 0);
    glRotatef(33, 1, 1, 0);
    GLfloat before[16], after[16], projBefore[16], projAfter[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetFloatv(GL_PROJECTION_MATRIX, projBefore);
    glColor3f(0.3f, 0.6f, 0.9f);
    drawAxis();
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetFloatv(GL_PROJECTION_MATRIX, projAfter);
    EXPECT_EQ(memcmp(before, after, sizeof before), 0);
    EXPECT_EQ(memcmp(projBefore, projAfter, sizeof projBefore), 0);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

} // namespace
