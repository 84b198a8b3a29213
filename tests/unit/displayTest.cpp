// The display surface without a window, and the one fatal error when no
// OpenGL mode can be had.
#include <gtest/gtest.h>

#include <cstdlib>

#include "main/main.h"

namespace
{

TEST(Display, NoSurfaceBeforeTheFirstModeAndTheRequestedSizeIsFixed)
{
    EXPECT_EQ(getScreen(), nullptr);
    EXPECT_EQ(getScreenWidth(), 640);
    EXPECT_EQ(getScreenHeight(), 480);
}

// Each runs in a child process, which the fatal error ends.
TEST(DisplayDeathTest, NoOpenGLModeEndsTheGameWithStatus2)
{
    const char *message = "^Couldn't set a particular GL video mode: [^\n]+\n$";
    // SDL's dummy driver starts but has no OpenGL.
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            SDL_Init(SDL_INIT_VIDEO);
            toggleFullscreen();
        },
        ::testing::ExitedWithCode(2), message);
    // As after a failed SDL_Init: no video subsystem at all. Classic SDL would
    // crash on the GL attributes if the mode set did not try to start it.
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "nosuchdriver", 1);
            toggleFullscreen();
        },
        ::testing::ExitedWithCode(2), message);
}

} // namespace
