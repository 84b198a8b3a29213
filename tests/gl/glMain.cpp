// Opens one real OpenGL window (SDL 1.2 on the X display in $DISPLAY) for all
// the tests of this binary.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "glSupport.h"

namespace {

class glEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        // SDL opens the display twice in quick succession, and Xvfb now and then drops a
        // connection that arrives right after another closed ("Couldn't open X11 display"
        // about one start in ten here), so try a few times before giving up.
        int tries = 0;
        while (SDL_Init(SDL_INIT_VIDEO) != 0) {
            if (++tries == 5) {
                fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
                exit(1);
            }
            SDL_Quit();
            SDL_Delay(50);
        }
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        if (!SDL_SetVideoMode(gltest::WIDTH, gltest::HEIGHT, 0, SDL_OPENGL)) {
            fprintf(stderr, "no OpenGL window (is DISPLAY set?): %s\n", SDL_GetError());
            exit(1);
        }
    }
    void TearDown() override { SDL_Quit(); }
};

}  // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new glEnvironment);
    return RUN_ALL_TESTS();
}
