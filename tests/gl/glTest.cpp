// What only the pixels or OpenGL's own state show, in one real 640x480 window
// on Mesa under Xvfb: glyphs and pointer, the heads-up frame, the 3D view,
// display lists made and deleted by a level's load, and the axis gizmo.
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "objects.h"
#include "scene/sceneDraw.h"
#include "scene/sceneInternal.h"
#include "support.h"
#include "text.h"
#include "vectorMath.h"

namespace
{

const int W = 640, H = 480;
typedef std::vector<unsigned char> image; // RGB, bottom row first
typedef std::vector<std::pair<std::string, std::pair<int, int>>> textLines;

image readBack()
{
    image px(W * H * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

bool lit(const image &px, int x, int y) { return px[(y * W + x) * 3] || px[(y * W + x) * 3 + 1]; }

int count(const image &px, int r, int g, int b, int x0 = 0, int y0 = 0, int x1 = W, int y1 = H)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += px[(y * W + x) * 3] == r && px[(y * W + x) * 3 + 1] == g && px[(y * W + x) * 3 + 2] == b;
    return n;
}

// A black window under a projection of pixels, or of the unit square as the heads-up pass has it.
void clean(bool unitSquare = false)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, W, H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, unitSquare ? 1 : W, 0, unitSquare ? 1 : H, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 0);
    text_init(W, H);
}

// The text module's glyphs for each line, standing at its first cell's bottom-left pixel.
image written(const textLines &lines)
{
    clean();
    setValign(bottom);
    for (const auto &l : lines) {
        glRasterPos2i(l.second.first, l.second.second);
        textStringLength((char *)l.first.data(), (int)l.first.size());
    }
    return readBack();
}

vec3 pen()
{
    GLfloat p[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, p);
    return {p[0], p[1], 0};
}

// Every printable character in two rows of cells, at y 100 and 200.
TEST(Text, GlyphsKeepTheFontsMetricsAndCapitalAIsExact)
{
    std::string all;
    for (int c = 32; c <= 126; c++)
        all += (char)c;
    image px = written({{all.substr(0, 60), {0, 100}}, {all.substr(60), {0, 200}}});
    auto rows = [&](int c) {
        std::vector<int> r(16);
        for (int row = 0; row < 16; row++)
            for (int col = 0; col < 8; col++)
                r[row] |= lit(px, 8 * ((c - 32) % 60) + col, (c < 92 ? 100 : 200) + row) << (7 - col);
        return r;
    };
    std::set<std::vector<int>> shapes;
    for (int c = 32; c <= 126; c++) {
        int ink = 0;
        for (int v : rows(c))
            ink |= v;
        EXPECT_TRUE(rows(c)[0] == 0 && !(ink & 0x80) && (ink != 0) == (c != ' ')) << (char)c;
        EXPECT_TRUE(shapes.insert(rows(c)).second) << (char)c << " repeats a shape";
    }
    // clang-format off
    const struct { const char *chars; int lowest, highestFrom, highestTo; } groups[] = {
        {"ABCDEFGHIJKLMNOPRSTUVWXYZ", 4, 12, 12}, {"Q", 2, 12, 12}, {"acemnorsuvwxz", 4, 10, 10},
        {"bdfhikl0123456789", 4, 13, 13}, {"gpqy", 1, 10, 10}, {"j", 1, 13, 13}, {"()[]{}", 2, 14, 14},
        {"|", 1, 15, 15}, {"t", 4, 11, 13}};
    // clang-format on
    for (const auto &g : groups)
        for (const char *c = g.chars; *c; ++c) {
            std::vector<int> r = rows(*c);
            int lowest = 0, highest = 15;
            while (lowest < 15 && !r[lowest])
                lowest++;
            while (highest > 0 && !r[highest])
                highest--;
            EXPECT_TRUE(lowest == g.lowest && highest >= g.highestFrom && highest <= g.highestTo) << *c;
        }
    EXPECT_EQ(rows('A'),
              (std::vector<int>{0, 0, 0, 0, 0x63, 0x22, 0x22, 0x3E, 0x14, 0x14, 0x1C, 0x08, 0x08, 0, 0, 0}));
}

// Text drawn from the pen at (320, 240) under the heads-up projection, against
// the same glyphs written where they belong, and where the pen ends.
TEST(Text, AlignmentsLengthsAndMovesFromTheRasterPosition)
{
    // clang-format off
    const struct { valign align; std::function<void()> draw; std::string shown; int cellY; float endX, endY; } cases[] = {
        {middle, [] { textStringLength((char *)"PAUSED", 6); }, "PAUSED", 232, 368, 240},
        {bottom, [] { textString((char *)"Qg|"); }, "Qg|", 240, 344, 240},
        {top, [] { textString((char *)"Qg|"); }, "Qg|", 224, 344, 240},
        {middle, [] { setValign((valign)3), textChar('E'); }, "E", 232, 328, 240}, // keeps the last alignment
        {bottom, [] { textStringLength((char *)"AB\0CD", 5); }, "ABCD", 240, 352, 240},
        {bottom, [] { textStringLength((char *)"AB", 1); }, "A", 240, 328, 240},
        {bottom, [] { textStringLength((char *)"AB", -4); }, "", 0, 320, 240},
        {bottom, [] { textString((char *)"Hi\0there"); }, "Hi", 240, 336, 240},
        {bottom, [] { moveCursor(-9, 0); }, "", 0, 248, 240},
        {top, [] { moveCursor(2.5f, -1); }, "", 0, 340, 224},
        {bottom, [] { for (int c : {31, 127, 0, 10, -1, -128}) textChar((char)c); }, "", 0, 320, 240},
    };
    // clang-format on
    for (const auto &c : cases) {
        image want = written({{c.shown, {320, c.cellY}}});
        clean(true);
        glRasterPos2f(0.5f, 0.5f);
        setValign(c.align);
        c.draw();
        EXPECT_TRUE(readBack() == want) << c.shown << " " << c.endX;
        EXPECT_TRUE(pen().x == c.endX && pen().y == c.endY) << c.shown << " " << pen().x << ", " << pen().y;
    }
}

// The arrow hangs below and right of the pointer's pixel, counted from the
// top-left corner: a straight edge down column 0, a diagonal to column 9, a base
// on row 5 from column 5; the pen stays. Another window size scales the position.
TEST(Text, PointerHangsFromItsPosition)
{
    const struct {
        int winW, winH, x, y, tipX, tipY;
    } cases[] = {{W, H, 0, 0, 0, 479}, {W, H, 100, 50, 100, 429}, {1280, 960, 320, 720, 160, 119}};
    for (const auto &c : cases) {
        clean(true);
        text_init(c.winW, c.winH);
        drawPointer(c.x, c.y);
        image px = readBack();
        auto on = [&](int col, int row) { return lit(px, c.tipX + col, c.tipY - 15 + row); };
        EXPECT_EQ(count(px, 0, 0, 0) - count(px, 0, 0, 0, c.tipX, c.tipY - 15, c.tipX + 10, c.tipY + 1),
                  W * H - 160)
            << "only the arrow's 10 by 16 cell is drawn in, at " << c.x;
        EXPECT_FALSE(on(0, 0));
        for (int row = 1; row < 16; row++)
            EXPECT_TRUE(on(0, row) && (row < 6 || on(15 - row, row)) && !on(16 - row, row))
                << c.x << " row " << row;
        for (int col = 5; col < 10; col++)
            EXPECT_TRUE(on(col, 5)) << c.x << " column " << col;
        EXPECT_TRUE(pen().x == c.tipX && pen().y == c.tipY + 1) << pen().x << ", " << pen().y;
    }
    text_init(W, H);
}

// A level as sceneLoad leaves the GL state: the camera 10 back on -y looking
// along +y, yellow text, nothing drawn but the heads-up display.
class Frame : public ::testing::Test
{
  protected:
    std::vector<GLuint> lists;
    dynamicObject pinArray[2] = {};

    // A square of side 2s in the plane y = depth facing the camera, in one colour.
    GLint square(float s, GLubyte r, GLubyte g, GLubyte b, float depth = 0)
    {
        meshCorner c[4] = {{{r, g, b}, {-s, depth, -s}},
                           {{r, g, b}, {s, depth, -s}},
                           {{r, g, b}, {s, depth, s}},
                           {{r, g, b}, {-s, depth, s}}};
        meshTriangle t[2] = {{{}, {c[0], c[1], c[2]}}, {{}, {c[0], c[2], c[3]}}};
        meshData m = {1, 2, 2, 2, t};
        lists.push_back((GLuint)compileMesh(&m));
        return (GLint)lists.back();
    }
    void SetUp() override
    {
        clean();
        cameraLocation = vec3{0, -10, 0};
        cameraVelocity = vec3{0, 1, 0};
        ball = dynamicObject{};
        ball.dispList = worldDispList = square(0, 0, 0, 0);
        ball.inPlay = 1;
        numPins = remainingPins = 0;
        pins = pinArray;
        txtRed = txtGreen = 1, txtBlue = 0;
        deltaTime = 0.02f, gameDeltaTime = 0;
        throwTimeRemaining = -1;
        gameState = throwing;
        isPaused = 0;
        showMyGLPointer(0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        sceneReshape(W, H);
    }
    void TearDown() override
    {
        pins = nullptr;
        for (GLuint l : lists)
            glDeleteLists(l, 1);
    }
    image frame()
    {
        drawFrame();
        return readBack();
    }
};

// Rate bottom left, pins left / pins top left, throw time under it, the
// 18-character banner centred at the top, PAUSED in the centre: the whole frame
// against those lines written where they belong, so a line where none belongs
// fails as surely as a missing one. The frame leaves the perspective and the
// depth test for the next one.
TEST_F(Frame, HeadsUpLinesWhereTheyBelong)
{
    const int X[] = {0, 0, 0, W / 2 - 72, W / 2 - 24}, Y[] = {0, H - 16, H - 32, H - 16, H / 2 - 8};
    const char *FPS = "50.00 FPS", *PINS = "0 / 0";
    // clang-format off
    const struct { std::function<void()> set; const char *lines[5]; } cases[] = {
        {[] {}, {FPS, PINS, "", "", ""}},
        {[] { deltaTime = 0; }, {"-1.00 FPS", PINS, "", "", ""}},
        {[] { remainingPins = 13, numPins = 2; }, {FPS, "13 / 2", "", "", ""}},
        {[] { throwTimeRemaining = 0; }, {FPS, PINS, "0.00", "", ""}},
        {[] { throwTimeRemaining = 9.876f; }, {FPS, PINS, "9.88", "", ""}},
        {[] { throwTimeRemaining = -0.001f; }, {FPS, PINS, "", "", ""}},
        {[] { gameState = watchingThrow; }, {FPS, PINS, "", "", ""}},
        {[] { gameState = introduction; }, {FPS, PINS, "", "Level Introduction", ""}},
        {[] { gameState = awaitingThrow; }, {FPS, PINS, "", "  Throw The Ball  ", ""}},
        {[] { gameState = over, throwTimeRemaining = 1; }, {FPS, "", "1.00", "     Game Over    ", ""}},
        {[] { isPaused = 1; }, {FPS, PINS, "", "", "PAUSED"}},
    };
    // clang-format on
    for (const auto &c : cases) {
        textLines lines;
        for (int k = 0; k < 5; k++)
            lines.push_back({c.lines[k], {X[k], Y[k]}});
        image want = written(lines);
        SetUp();
        c.set();
        GLfloat before[16], after[16];
        GLint mode, depth;
        glGetFloatv(GL_PROJECTION_MATRIX, before);
        EXPECT_TRUE(frame() == want) << c.lines[0] << c.lines[1] << c.lines[2] << c.lines[3] << c.lines[4];
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        glGetFloatv(GL_PROJECTION_MATRIX, after);
        EXPECT_TRUE(mode == GL_PROJECTION && depth == 1 && glIsEnabled(GL_DEPTH_TEST) &&
                    std::equal(before, before + 16, after));
    }
    // The pointer, when shown, in the text's colour at the mouse position.
    showMyGLPointer(1);
    mousex = 100, mousey = 50;
    image px = frame();
    EXPECT_TRUE(lit(px, 100, H - 1 - 50) && lit(px, 100, H - 1 - 64) && !lit(px, 99, H - 1 - 50));
}

TEST_F(Frame, WorldBallAndPinsInPlayFromTheirListsAndTheCameraTurnsToTheBall)
{
    worldDispList = square(100, 0, 0, 255, 40); // a wall behind everything
    ball.dispList = square(0.5f, 255, 0, 0);
    ball.location = vec3{-2, 0, 0};
    ball.inPlay = 0; // the ball shows whatever its state
    pinArray[0] = pinArray[1] = ball;
    pinArray[0].location = vec3{2, 0, 0}, pinArray[0].dispList = square(0.5f, 0, 255, 0),
    pinArray[0].inPlay = 1;
    pinArray[1].location = vec3{0, 0, 2}, pinArray[1].dispList = square(0.5f, 255, 255, 255);
    numPins = 2;
    // 10 units away a unit is 240 / (10 tan 30 degrees) = 41.6 pixels.
    image px = frame();
    EXPECT_GT(count(px, 255, 0, 0, 320 - 98, 225, 320 - 68, 255), 800);
    EXPECT_GT(count(px, 0, 255, 0, 320 + 68, 225, 320 + 98, 255), 800);
    EXPECT_EQ(count(px, 255, 255, 255), 0) << "a pin out of play is not drawn";
    EXPECT_EQ(count(px, 0, 0, 255, 300, 310, 340, 350), 40 * 40);
    pinArray[1].inPlay = 1;
    pinArray[0].inPlay = 2; // in play means 1, nothing else
    px = frame();
    EXPECT_TRUE(count(px, 255, 255, 255, 300, 310, 340, 350) > 800 && count(px, 0, 255, 0) == 0);

    // Each frame looks along the last frame's direction, then turns: 20 * 0.01
    // toward the ball and 0.99 / 20 of the old direction.
    ball.location = vec3{0, 0, 0};
    cameraVelocity = vec3{3, 0, 0};
    gameDeltaTime = 0.01f;
    EXPECT_EQ(count(frame(), 255, 0, 0), 0);
    EXPECT_LT(fabsf(cameraVelocity.x - 0.0495f) + fabsf(cameraVelocity.y - 0.2f) + fabsf(cameraVelocity.z),
              1e-7f);
    EXPECT_GT(count(frame(), 255, 0, 0), 800);

    // 60 degrees high, near 0.09, far 100; a zero height is taken as one pixel.
    for (int h : {200, 0}) {
        sceneReshape(320, h);
        GLfloat got[16], want[16];
        glGetFloatv(GL_PROJECTION_MATRIX, got);
        glLoadIdentity();
        gluPerspective(60, 320.0 / (h ? h : 1), 0.09, 100);
        glGetFloatv(GL_PROJECTION_MATRIX, want);
        for (int k = 0; k < 16; k++)
            EXPECT_NEAR(got[k], want[k], 1e-5) << h;
    }
}

// What draw() issues, fed back in scene coordinates within [-1000, 1000]: 7
// floats a corner (x, y, z, r, g, b, a), after a token and a count a polygon.
std::vector<GLfloat> fedBack(const std::function<void()> &draw)
{
    clean();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, 1000, -1000);
    std::vector<GLfloat> buf(4096);
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    buf.resize((size_t)glRenderMode(GL_RENDER));
    for (size_t i = 0; i + 23 <= buf.size(); i += 23)
        for (int k = 0; k < 3; k++) {
            GLfloat *v = &buf[i + 2 + 7 * k];
            v[0] = v[0] * 2000 / W - 1000, v[1] = v[1] * 2000 / H - 1000, v[2] = v[2] * 2000 - 1000;
        }
    return buf;
}

// A level's load makes a list of its own for every mesh, replaying the file's
// corners, and sets the level's drawing state; unloading deletes them all, and
// so does a load that fails in the pins. One that fails before them keeps the
// world's list, made even though its mesh would not load.
TEST(Lists, ALevelsLoadMakesAListForEveryMeshAndItsUnloadDeletesThem)
{
    clean();
    testfiles::tempDir dir;
    std::string mesh =
        dir.write("m", "t 1\nn [0, 0, 1]\nc [255, 0, 256]\np [-5, -5, 0]\nc [0, 9, 0]\np [5, -5, 0]\n"
                       "c [7, 8, 9]\np [0, 5, 1e2]\n");
    auto level = [&](const std::string &world, const std::string &pinMesh, condition result) {
        std::string path =
            dir.write("level", "L [0.25, 0.5, 0.75]\nL [1, 0, 0.5]\nL -5\nL " + world + "\nL " + mesh +
                                   "\nL [0, -12, 3]\nL 1\nL [3, -8, 3]\nL 0.5\nL 5\nL " + mesh +
                                   "\nL [1, 8, 0.6]\nL 0.3\nL 1.5\nL " + pinMesh + "\n");
        return testfiles::captureStdout([&] { EXPECT_EQ(sceneLoad(&path[0]), result); });
    };
    level(mesh, mesh, success);
    GLint made[] = {worldDispList, ball.dispList, pins[0].dispList}, depthFunc, shade;
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_TRUE(std::set<GLint>(made, made + 3).size() == 3 && glIsList(made[0]) && glIsList(made[1]) &&
                glIsList(made[2]));
    EXPECT_TRUE(clear[0] == 0.25f && clear[1] == 0.5f && clear[2] == 0.75f && depthFunc == GL_LESS &&
                shade == GL_SMOOTH && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(cameraVelocity.x == 0.6f && cameraVelocity.y == 0.8f && cameraVelocity.z == 0);
    std::vector<GLfloat> fed = fedBack([&] { glCallList(made[2]); });
    ASSERT_EQ(fed.size(), 23u);
    const float want[3][6] = {{-5, -5, 0, 255, 0, 0}, {5, -5, 0, 0, 9, 0}, {0, 5, 100, 7, 8, 9}};
    for (int k = 0; k < 3; k++)
        for (int a = 0; a < 6; a++)
            EXPECT_NEAR(fed[2 + 7 * k + a] * (a < 3 ? 1 : 255), want[k][a], 0.01f)
                << "corner " << k << " " << a;

    EXPECT_EQ(testfiles::captureStdout([] { sceneUnload(); }), "unloading scene...\n");
    EXPECT_TRUE(pins == nullptr && firstCollisionFace == nullptr);
    for (GLint l : made)
        EXPECT_FALSE(glIsList(l));
    EXPECT_NE(level(mesh, dir.missing("none"), failure).find("unloading scene...\n"), std::string::npos);
    EXPECT_TRUE(pins == nullptr && firstCollisionFace == nullptr && !glIsList(worldDispList) &&
                !glIsList(ball.dispList));
    level(dir.missing("none"), mesh, failure);
    EXPECT_TRUE(glIsList(worldDispList) && firstCollisionFace == nullptr);
    releaseScene();
    EXPECT_FALSE(glIsList(worldDispList));
}

// Square bars along x (red), y (green) and z (blue) from 0.05 to 1 and 0.1
// wide, every side wound counter-clockwise seen from outside; the colour is left blue.
TEST(Lists, AxisGizmoBarsAreWoundOutward)
{
    std::vector<GLfloat> fed = fedBack([] {
        glScalef(500, 500, 500);
        drawAxis();
    });
    ASSERT_EQ(fed.size(), 3u * 8 * 23);
    for (int t = 0; t < 24; t++) {
        const GLfloat *f = &fed[t * 23 + 2];
        int bar = t / 8;
        vec3 p[3], out = {0, 0, 0};
        for (int k = 0; k < 3; k++) {
            const GLfloat *v = f + 7 * k;
            p[k] = vec3{v[0] / 500, v[1] / 500, v[2] / 500};
            EXPECT_TRUE(v[3] == (bar == 0) && v[4] == (bar == 1) && v[5] == (bar == 2)) << t;
            for (int a = 0; a < 3; a++) {
                float c = (&p[k].x)[a];
                EXPECT_TRUE(a == bar ? fabsf(c - 0.05f) < 1e-3f || fabsf(c - 1) < 1e-3f
                                     : fabsf(fabsf(c) - 0.05f) < 1e-3f)
                    << t;
                if (a != bar) (&out.x)[a] += c; // the way out of the bar, from its axis
            }
        }
        EXPECT_GT(vec_dot(vec_cross(vec_between_points(p[0], p[1]), vec_between_points(p[0], p[2])), out), 0)
            << "triangle " << t << " faces inward";
    }
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_TRUE(colour[0] == 0 && colour[1] == 0 && colour[2] == 1);
}

} // namespace

// One window for every test, opened only when tests run (not when they are listed).
struct window : ::testing::Environment {
    void SetUp() override
    {
        // SDL opens the display twice in quick succession, and now and then Xvfb drops a
        // connection that comes right after another closed: try a few times.
        for (int tries = 0; SDL_Init(SDL_INIT_VIDEO) != 0 && tries < 5; tries++)
            SDL_Delay(50);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        if (!SDL_SetVideoMode(W, H, 24, SDL_OPENGL))
            fprintf(stderr, "no OpenGL window: %s\n", SDL_GetError()), exit(1);
        glReadBuffer(GL_BACK);
    }
    void TearDown() override { SDL_Quit(); }
};

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new window);
    return RUN_ALL_TESTS();
}
