// Drawing a level in the real OpenGL context: what reaches the pixels, where the
// heads-up lines land, how the camera turns and the GL state a frame leaves.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "glSupport.h"
#include "scene/sceneDraw.h"
#include "scene/sceneInternal.h"
#include "text.h"

using namespace gltest;

namespace
{

const rgb RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, WHITE{255, 255, 255}, YELLOW{255, 255, 0};

class SceneDraw : public ::testing::Test
{
  protected:
    dynamicObject pinArray[2] = {};
    std::vector<GLuint> lists;

    // A square of side 2s in the plane y = depth, facing -y (toward the camera), in one colour.
    GLint square(float s, rgb c, float depth = 0)
    {
        GLuint list = glGenLists(1);
        lists.push_back(list);
        glNewList(list, GL_COMPILE);
        glBegin(GL_QUADS);
        glColor3ub(c.r, c.g, c.b);
        glVertex3f(-s, depth, -s);
        glVertex3f(s, depth, -s);
        glVertex3f(s, depth, s);
        glVertex3f(-s, depth, s);
        glEnd();
        glEndList();
        return (GLint)list;
    }

    // A level as sceneLoad leaves the GL state, the camera 10 units back on -y
    // looking along +y at the ball, yellow text, nothing to show but the HUD.
    void SetUp() override
    {
        resetState();
        text_init(WIDTH, HEIGHT);
        GLint empty = square(0, BLACK);
        cameraLocation = vec3{0, -10, 0};
        cameraVelocity = vec3{0, 1, 0};
        ball = dynamicObject{};
        ball.dispList = empty;
        ball.inPlay = 1;
        worldDispList = empty;
        numPins = 0;
        pins = pinArray; // out of play until a test says otherwise
        remainingPins = 0;
        txtRed = txtGreen = 1.0f;
        txtBlue = 0.0f;
        deltaTime = 0.02f;
        gameDeltaTime = 0.0f;
        throwTimeRemaining = -1;
        gameState = throwing;
        isPaused = 0;
        showMyGLPointer(0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        sceneReshape(WIDTH, HEIGHT);
    }
    void TearDown() override
    {
        pins = nullptr;
        numPins = 0;
        for (GLuint list : lists)
            glDeleteLists(list, 1);
        resetState();
    }

    image frame()
    {
        drawFrame();
        return readBack();
    }
};

TEST_F(SceneDraw, WorldBallAndPinsInPlayComeFromTheirDisplayLists)
{
    worldDispList = square(100, BLUE, 40); // a wall behind everything
    ball.dispList = square(0.5f, RED);
    ball.location = vec3{-2, 0, 0};
    ball.inPlay = 0; // the ball shows whatever its state
    pinArray[0] = ball;
    pinArray[0].location = vec3{2, 0, 0};
    pinArray[0].dispList = square(0.5f, GREEN);
    pinArray[0].inPlay = 1;
    pinArray[1] = pinArray[0];
    pinArray[1].location = vec3{0, 0, 2};
    pinArray[1].dispList = square(0.5f, WHITE);
    pinArray[1].inPlay = 0;
    numPins = 2;

    // 10 units away a unit is 240 / (10 tan 30 degrees) = 41.6 pixels.
    image px = frame();
    EXPECT_GT(countIn(px, RED, 320 - 83 - 15, 240 - 15, 320 - 83 + 15, 240 + 15), 800);
    EXPECT_EQ(countIn(px, RED, 300, 0, WIDTH, HEIGHT), 0);
    EXPECT_GT(countIn(px, GREEN, 320 + 83 - 15, 240 - 15, 320 + 83 + 15, 240 + 15), 800);
    // The pin out of play, above the centre, is not drawn; the wall behind it is.
    EXPECT_EQ(countIn(px, WHITE), 0);
    EXPECT_EQ(countIn(px, BLUE, 300, 310, 340, 350), 40 * 40);

    pinArray[1].inPlay = 1;
    pinArray[0].inPlay = 2; // in play means 1, nothing else
    px = frame();
    EXPECT_GT(countIn(px, WHITE, 300, 310, 340, 350), 800);
    EXPECT_EQ(countIn(px, GREEN), 0);
}

// Each frame looks along last frame's direction, then turns it toward the ball.
TEST_F(SceneDraw, CameraTurnsTowardTheBallAfterTheFramesView)
{
    ball.dispList = square(0.5f, RED);
    cameraVelocity = vec3{3, 0, 0}; // a right angle from the ball
    gameDeltaTime = 0.01f;
    EXPECT_EQ(countIn(frame(), RED), 0);
    // 20 * 0.01 toward the ball and 0.99 / 20 of the old direction: 13.9 degrees off.
    EXPECT_FLOAT_EQ(cameraVelocity.x, 0.0495f);
    EXPECT_FLOAT_EQ(cameraVelocity.y, 0.2f);
    EXPECT_FLOAT_EQ(cameraVelocity.z, 0.0f);
    EXPECT_GT(countIn(frame(), RED), 800);
}

// Lines: rate bottom left, pins left / pins top left, throw time under it, the
// 18-character banner centred at the top, PAUSED in the centre. The whole frame
// is compared, so a line where none belongs fails as surely as a missing one.
TEST_F(SceneDraw, HeadsUpLinesWhereTheyBelong)
{
    const int X[] = {0, 0, 0, WIDTH / 2 - 72, WIDTH / 2 - 24}, Y[] = {0, 464, 448, 464, 232};
    const char *FPS = "50.00 FPS", *PINS = "0 / 0";
    struct {
        const char *why;
        std::function<void()> set;
        const char *lines[5]; // "" where nothing shows
    } cases[] = {
        {"a throw rolling: the blank banner shows nothing", [] {}, {FPS, PINS, "", "", ""}},
        {"a frame of no time", [] { deltaTime = 0; }, {"-1.00 FPS", PINS, "", "", ""}},
        {"pins left / pins", [] { remainingPins = 13, numPins = 2; }, {FPS, "13 / 2", "", "", ""}},
        {"throw time from 0", [] { throwTimeRemaining = 0; }, {FPS, PINS, "0.00", "", ""}},
        {"throw time rounded", [] { throwTimeRemaining = 9.876f; }, {FPS, PINS, "9.88", "", ""}},
        {"no throw time below 0", [] { throwTimeRemaining = -0.001f; }, {FPS, PINS, "", "", ""}},
        {"watching a throw", [] { gameState = watchingThrow; }, {FPS, PINS, "", "", ""}},
        {"introduction", [] { gameState = introduction; }, {FPS, PINS, "", "Level Introduction", ""}},
        {"awaiting a throw", [] { gameState = awaitingThrow; }, {FPS, PINS, "", "  Throw The Ball  ", ""}},
        {"game over hides the pin count",
         [] { gameState = over, throwTimeRemaining = 1; },
         {FPS, "", "1.00", "     Game Over    ", ""}},
        {"paused", [] { isPaused = 1; }, {FPS, PINS, "", "", "PAUSED"}},
        {"the pointer hangs from its pixel",
         [] { showMyGLPointer(1), mousex = 100, mousey = 50; },
         {FPS, PINS, "", "", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        SetUp();
        c.set();
        image want = blank();
        for (int k = 0; k < 5; k++)
            paintText(want, c.lines[k], X[k], Y[k], YELLOW);
        if (showGLPointer) paintPointer(want, 100, HEIGHT - 1 - 50, YELLOW);
        GLfloat before[16], after[16];
        glGetFloatv(GL_PROJECTION_MATRIX, before);
        EXPECT_EQ(differing(frame(), want), 0);
        // The next frame's 3D view needs the perspective and the depth test back.
        GLint mode, depth;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        glGetFloatv(GL_PROJECTION_MATRIX, after);
        EXPECT_TRUE(mode == GL_PROJECTION && depth == 1 && glIsEnabled(GL_DEPTH_TEST) &&
                    std::equal(before, before + 16, after));
    }
}

TEST_F(SceneDraw, ReshapeSetsViewportAndPerspective)
{
    for (int h : {200, 0}) {
        SCOPED_TRACE(h);
        sceneReshape(320, h);
        GLint viewport[4], mode;
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 320);
        EXPECT_EQ(viewport[3], h);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_PROJECTION);
        // 60 degrees high, near 0.09, far 100; a zero height is taken as one pixel.
        GLfloat got[16], want[16];
        glGetFloatv(GL_PROJECTION_MATRIX, got);
        glLoadIdentity();
        gluPerspective(60, 320.0 / (h ? h : 1), 0.09, 100);
        glGetFloatv(GL_PROJECTION_MATRIX, want);
        for (int k = 0; k < 16; k++)
            EXPECT_NEAR(got[k], want[k], 1e-5) << k;
    }
}

} // namespace
