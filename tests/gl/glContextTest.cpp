#include <gtest/gtest.h>

#include "glSupport.h"

// The harness itself: a clear colour must come back from the framebuffer exactly,
// and feedback capture must report a drawn triangle at its scene coordinates.
TEST(GlContext, ClearColourAndFeedbackCaptureWork)
{
    gltest::resetState();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    auto px = gltest::readBack();
    EXPECT_EQ(gltest::at(px, 0, 0), (gltest::rgb{255, 0, 0}));
    EXPECT_EQ(gltest::at(px, 639, 479), (gltest::rgb{255, 0, 0}));

    auto tri = gltest::captureTriangles(
        [](void *) {
            glBegin(GL_TRIANGLES);
            glColor3ub(0, 255, 0);
            glVertex3f(-500, -500, 250);
            glVertex3f(500, -500, 0);
            glVertex3f(0, 500, 0);
            glEnd();
        },
        nullptr);
    ASSERT_EQ(tri.size(), 3u);
    EXPECT_NEAR(gltest::sceneX(tri[0].x), -500, 0.01);
    EXPECT_NEAR(gltest::sceneY(tri[0].y), -500, 0.01);
    EXPECT_NEAR(gltest::sceneZ(tri[0].z), 250, 0.01);
    EXPECT_FLOAT_EQ(tri[1].g, 1.0f);
}
