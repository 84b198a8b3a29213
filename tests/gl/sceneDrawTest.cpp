// Drawing a level in the real OpenGL context: what reaches the pixels, where the
// heads-up lines land, how the camera turns and the GL state each call leaves.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "glSupport.h"
#include "scene/sceneDraw.h"
#include "scene/sceneInternal.h"
#include "text.h"

namespace
{

using gltest::HEIGHT;
using gltest::WIDTH;

// A square of side 2s at depth y facing -y (toward a camera on the -y side), in one colour.
GLuint square(float s, GLubyte r, GLubyte g, GLubyte b, float y = 0)
{
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    glColor3ub(r, g, b);
    glVertex3f(-s, y, -s);
    glVertex3f(s, y, -s);
    glVertex3f(s, y, s);
    glVertex3f(-s, y, -s);
    glVertex3f(s, y, s);
    glVertex3f(-s, y, s);
    glEnd();
    glEndList();
    return list;
}

int countColour(const std::vector<gltest::rgb> &px, gltest::rgb c, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (gltest::at(px, x, y) == c) n++;
    return n;
}

class SceneDraw : public ::testing::Test
{
  protected:
    dynamicObject pinArray[2] = {};
    GLuint emptyList = 0;

    void SetUp() override
    {
        gltest::resetState();
        text_init(WIDTH, HEIGHT);
        emptyList = glGenLists(1);
        glNewList(emptyList, GL_COMPILE);
        glEndList();
        // A camera 10 units back on -y looking along +y, as a level would set it up.
        cameraLocation = vec3{0, -10, 0};
        cameraVelocity = vec3{0, 1, 0};
        ball = dynamicObject{};
        ball.location = vec3{0, 0, 0};
        ball.dispList = (GLint)emptyList;
        ball.inPlay = 1;
        worldDispList = (GLint)emptyList;
        numPins = 0;
        pins = nullptr;
        remainingPins = 0;
        txtRed = 1.0f;
        txtGreen = 1.0f;
        txtBlue = 0.0f;
        deltaTime = 0.02f;
        gameDeltaTime = 0.0f;
        throwTimeRemaining = -1;
        gameState = throwing;
        isPaused = 0;
        showMyGLPointer(0);
        glClearColor(0, 0, 0, 1);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        sceneReshape(WIDTH, HEIGHT);
    }
    void TearDown() override
    {
        pins = nullptr;
        numPins = 0;
        glDeleteLists(emptyList, 1);
        gltest::resetState();
    }

    std::vector<gltest::rgb> frame()
    {
        drawFrame();
        return gltest::readBack();
    }

    // The given text as the heads-up display would draw it with its cells'
    // bottom-left corner at window pixel (x, y), alone on a black window.
    std::vector<gltest::rgb> expectedText(const char *s, int x, int y)
    {
        gltest::resetState();
        glMatrixMode(GL_PROJECTION);
        glOrtho(0, WIDTH, 0, HEIGHT, -1, 1);
        glColor3f(txtRed, txtGreen, txtBlue);
        glRasterPos2f((float)x, (float)y);
        setValign(bottom);
        textStringLength((char *)s, (int)strlen(s));
        auto px = gltest::readBack();
        sceneReshape(WIDTH, HEIGHT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        return px;
    }

    // Whether the frame shows exactly the given text in the region it covers
    // (one line of 16 pixels from (x, y), as wide as the text).
    void expectTextAt(const std::vector<gltest::rgb> &px, const char *s, int x, int y)
    {
        auto want = expectedText(s, x, y);
        int w = 8 * (int)strlen(s);
        ASSERT_GT(gltest::litIn(want, x, y, x + w, y + 16), 0) << s;
        int differ = 0;
        for (int yy = y; yy < y + 16; yy++)
            for (int xx = x; xx < x + w; xx++)
                if (!(gltest::at(px, xx, yy) == gltest::at(want, xx, yy))) differ++;
        EXPECT_EQ(differ, 0) << "\"" << s << "\" at " << x << "," << y;
    }
};

TEST_F(SceneDraw, WorldBallAndPinsInPlayAreDrawnWhereTheyAre)
{
    GLuint world = square(100, 0, 0, 255, 40); // a wall behind everything
    GLuint red = square(0.5f, 255, 0, 0);
    GLuint green = square(0.5f, 0, 255, 0);
    GLuint white = square(0.5f, 255, 255, 255);
    worldDispList = (GLint)world;
    ball.dispList = (GLint)red;

    pinArray[0].location = vec3{2, 0, 0};
    pinArray[0].dispList = (GLint)green;
    pinArray[0].inPlay = 1;
    pinArray[1].location = vec3{0, 0, 2};
    pinArray[1].dispList = (GLint)white;
    pinArray[1].inPlay = 0;
    pins = pinArray;
    numPins = 2;
    ball.location = vec3{-2, 0, 0};
    ball.inPlay = 0; // the ball shows whatever its state

    auto px = frame();
    // 10 units away a unit is 240 / (10 tan 30deg) = 41.6 pixels.
    const gltest::rgb RED{255, 0, 0}, GREEN{0, 255, 0}, WHITE{255, 255, 255}, BLUE{0, 0, 255};
    EXPECT_GT(countColour(px, RED, 320 - 83 - 15, 240 - 15, 320 - 83 + 15, 240 + 15), 800);
    EXPECT_EQ(countColour(px, RED, 300, 0, WIDTH, HEIGHT), 0);
    EXPECT_GT(countColour(px, GREEN, 320 + 83 - 15, 240 - 15, 320 + 83 + 15, 240 + 15), 800);
    // The pin out of play, above the centre, is not drawn; the world behind is.
    EXPECT_EQ(countColour(px, WHITE, 0, 0, WIDTH, HEIGHT), 0);
    EXPECT_EQ(countColour(px, BLUE, 300, 310, 340, 350), 40 * 40);
    EXPECT_NEAR(countColour(px, BLUE, 200, 200, 440, 280), 240 * 80 - 2 * 41.6 * 41.6, 250);

    pinArray[1].inPlay = 1;
    px = frame();
    EXPECT_GT(countColour(px, WHITE, 300, 310, 340, 350), 800);
    // A pin whose flag holds anything but 1 is not drawn either.
    pinArray[0].inPlay = 2;
    px = frame();
    EXPECT_EQ(countColour(px, GREEN, 0, 0, WIDTH, HEIGHT), 0);

    glDeleteLists(world, 1);
    glDeleteLists(red, 1);
    glDeleteLists(green, 1);
    glDeleteLists(white, 1);
}

TEST_F(SceneDraw, CameraTurnsTowardTheBallOnceAFrame)
{
    // Looking along +x with the ball along +y: a right angle.
    cameraLocation = vec3{0, 0, 0};
    cameraVelocity = vec3{3, 0, 0};
    ball.location = vec3{0, 10, 0};
    gameDeltaTime = 0.01f;
    drawFrame();
    EXPECT_FLOAT_EQ(cameraVelocity.x, 0.0495f);
    EXPECT_FLOAT_EQ(cameraVelocity.y, 0.2f);
    EXPECT_FLOAT_EQ(cameraVelocity.z, 0.0f);
    double degrees = atan2(cameraVelocity.x, cameraVelocity.y) * 180 / M_PI;
    EXPECT_NEAR(degrees, 13.9, 0.1);

    // Paused, the direction only loses its length.
    gameDeltaTime = 0;
    cameraVelocity = vec3{0, 0, 2};
    drawFrame();
    EXPECT_FLOAT_EQ(cameraVelocity.x, 0.0f);
    EXPECT_FLOAT_EQ(cameraVelocity.z, 1.0f / 20.0f);
}

TEST_F(SceneDraw, TheViewUsesLastFramesDirection)
{
    GLuint red = square(0.5f, 255, 0, 0);
    ball.dispList = (GLint)red;
    ball.location = vec3{0, 0, 0};
    // Looking straight up, away from the ball: this frame cannot see it.
    cameraVelocity = vec3{0, 0, 1};
    gameDeltaTime = 0.05f;
    auto px = frame();
    EXPECT_EQ(countColour(px, gltest::rgb{255, 0, 0}, 0, 0, WIDTH, HEIGHT), 0);
    // Turned most of the way, the next frame does.
    px = frame();
    EXPECT_GT(countColour(px, gltest::rgb{255, 0, 0}, 0, 0, WIDTH, HEIGHT), 100);
    glDeleteLists(red, 1);
}

TEST_F(SceneDraw, FrameRateSitsBottomLeft)
{
    deltaTime = 0;
    auto px = frame();
    expectTextAt(px, "-1.00 FPS", 0, 0);
    deltaTime = 0.016f;
    px = frame();
    expectTextAt(px, "62.50 FPS", 0, 0);
}

TEST_F(SceneDraw, PinCountTopLeftExceptOnTheGameOverScreen)
{
    pins = pinArray; // both records out of play: nothing drawn from them
    numPins = 2;
    remainingPins = 0;
    auto px = frame();
    expectTextAt(px, "0 / 2", 0, HEIGHT - 16);
    remainingPins = 13;
    px = frame();
    expectTextAt(px, "13 / 2", 0, HEIGHT - 16);

    gameState = over;
    px = frame();
    EXPECT_EQ(gltest::litIn(px, 0, HEIGHT - 16, 200, HEIGHT), 0);
    expectTextAt(px, "     Game Over    ", WIDTH / 2 - 72, HEIGHT - 16);
}

TEST_F(SceneDraw, ThrowTimeOnTheSecondLineFromZeroUp)
{
    throwTimeRemaining = 0.0f;
    auto px = frame();
    expectTextAt(px, "0.00", 0, HEIGHT - 32);
    throwTimeRemaining = 9.876f;
    px = frame();
    expectTextAt(px, "9.88", 0, HEIGHT - 32);
    throwTimeRemaining = -0.001f;
    px = frame();
    EXPECT_EQ(gltest::litIn(px, 0, HEIGHT - 32, WIDTH, HEIGHT - 16), 0);
}

TEST_F(SceneDraw, BannersAreCentredAtTheTop)
{
    gameState = introduction;
    auto px = frame();
    expectTextAt(px, "Level Introduction", WIDTH / 2 - 72, HEIGHT - 16);
    gameState = awaitingThrow;
    px = frame();
    expectTextAt(px, "  Throw The Ball  ", WIDTH / 2 - 72, HEIGHT - 16);
    // A single blank shows nothing while the ball is thrown or watched.
    for (e_gameState s : {throwing, watchingThrow}) {
        gameState = s;
        px = frame();
        EXPECT_EQ(gltest::litIn(px, WIDTH / 2 - 72, HEIGHT - 16, WIDTH / 2 + 72, HEIGHT), 0);
    }
}

TEST_F(SceneDraw, PausedInTheCentreAndThePointerWhenWanted)
{
    isPaused = 1;
    auto px = frame();
    expectTextAt(px, "PAUSED", WIDTH / 2 - 24, HEIGHT / 2 - 8);
    int x0, y0, x1, y1;
    ASSERT_TRUE(gltest::litBounds(px, &x0, &y0, &x1, &y1));
    isPaused = 0;
    px = frame();
    EXPECT_EQ(gltest::litIn(px, WIDTH / 2 - 24, HEIGHT / 2 - 8, WIDTH / 2 + 24, HEIGHT / 2 + 8), 0);

    // The pointer hangs below and right of its pixel: (100, 50) from the top.
    showMyGLPointer(1);
    mousex = 100;
    mousey = 50;
    px = frame();
    EXPECT_GT(gltest::litIn(px, 100, HEIGHT - 50 - 16, 100 + 16, HEIGHT - 50), 10);
    EXPECT_EQ(gltest::at(px, 100, HEIGHT - 50 - 1), (gltest::rgb{255, 255, 0}));
    showMyGLPointer(0);
    px = frame();
    EXPECT_EQ(gltest::litIn(px, 100, HEIGHT - 50 - 16, 100 + 16, HEIGHT - 50), 0);
}

TEST_F(SceneDraw, FrameLeavesThePerspectiveAndDepthTestInPlace)
{
    GLfloat before[16], after[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    isPaused = 1;
    throwTimeRemaining = 3;
    drawFrame();
    GLint mode, depth;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(before[k], after[k]) << k;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int k = 0; k < 16; k++)
        EXPECT_EQ(modelview[k], k % 5 == 0 ? 1.0f : 0.0f) << k;
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 0.0f);
}

TEST_F(SceneDraw, ReshapeFitsViewportAndPerspective)
{
    sceneReshape(320, 200);
    GLint viewport[4], mode;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 200);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);

    GLfloat m[16];
    sceneReshape(WIDTH, HEIGHT);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5] / m[0], 640.0 / 480.0, 1e-5);
    EXPECT_NEAR(m[5], 1.0 / tan(M_PI / 6), 1e-5);
    // Near 0.09 and far 100: z' = (f + n) / (n - f), w' = 2 f n / (n - f).
    EXPECT_NEAR(m[10], (100 + 0.09) / (0.09 - 100), 1e-5);
    EXPECT_NEAR(m[14], 2 * 100 * 0.09 / (0.09 - 100), 1e-5);

    // A zero height is taken as one pixel: a finite projection, no division by zero.
    sceneReshape(WIDTH, 0);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (int k = 0; k < 16; k++)
        EXPECT_TRUE(std::isfinite(m[k])) << k;
    EXPECT_NEAR(m[5] / m[0], 640.0, 1e-2);
    sceneReshape(WIDTH, HEIGHT);
}

} // namespace
