// Text and pointer as the player sees them: drawn in the real context under the
// heads-up projection and read back whole, so that nothing may be drawn but the
// expected glyphs.
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

#include "glSupport.h"
#include "text.h"

using namespace gltest;

namespace
{

const rgb WHITE{255, 255, 255};

// The game's heads-up pass (the unit square fills the window), pen at window pixel (320, 240).
void hudPassAtCentre()
{
    resetState();
    glOrtho(0, 1, 0, 1, 1, -1);
    glRasterPos2f(0.5f, 0.5f);
}

struct textCase {
    const char *why;
    valign align;
    std::function<void()> draw; // from (320, 240)
    std::string shown;          // glyphs expected from x = 320 in cells standing at cellY
    int cellY;
    float endX, endY; // the pen afterwards
};

char paused[] = "PAUSED", withNul[] = "AB\0CD", endsEarly[] = "Hi\0there", tildes[] = "~ ~", tall[] = "Qg|";

void invalidAlignments()
{
    setValign((valign)3);
    setValign((valign)-1);
    textChar('E');
}

void unprintables()
{
    for (int code : {31, 127, 0, 10, -1, -128, -23})
        textChar((char)code);
}

const textCase TEXT_CASES[] = {
    {"PAUSED in the middle: 48 px right, 8 above and below", middle, [] { textStringLength(paused, 6); },
     "PAUSED", 232, 368, 240},
    {"bottom stands on the pen", bottom, [] { textString(tall); }, "Qg|", 240, 344, 240},
    {"top hangs below the pen", top, [] { textString(tall); }, "Qg|", 224, 344, 240},
    {"an invalid alignment keeps the previous one", middle, invalidAlignments, "E", 232, 328, 240},
    {"tilde and space from their own glyphs", bottom, [] { textString(tildes); }, "~ ~", 240, 344, 240},
    {"a NUL inside the length is skipped", bottom, [] { textStringLength(withNul, 5); },
     std::string("AB\0CD", 5), 240, 352, 240},
    {"exactly len characters", bottom, [] { textStringLength(withNul, 1); }, "A", 240, 328, 240},
    {"no length, no text", bottom, [] { textStringLength(paused, -4); }, "", 0, 320, 240},
    {"a string ends at its NUL", bottom, [] { textString(endsEarly); }, "Hi", 240, 336, 240},
    {"moveCursor(-9, 0): 72 px left, nothing drawn", bottom, [] { moveCursor(-9, 0); }, "", 0, 248, 240},
    {"moveCursor(0, -1): 16 px down", bottom, [] { moveCursor(0, -1); }, "", 0, 320, 224},
    {"moveCursor ignores alignment", top, [] { moveCursor(2.5f, 0.5f); }, "", 0, 340, 248},
    {"codes 31, 127, 0, 10 and negatives neither draw nor move", bottom, unprintables, "", 0, 320, 240},
};

} // namespace

TEST(Text, GlyphsAndPenMovesFromTheRasterPosition)
{
    text_init(WIDTH, HEIGHT);
    for (const textCase &c : TEXT_CASES) {
        SCOPED_TRACE(c.why);
        hudPassAtCentre();
        setValign(c.align);
        c.draw();
        image want = blank();
        paintText(want, c.shown, 320, c.cellY, WHITE);
        EXPECT_EQ(differing(readBack(), want), 0);
        float x, y;
        rasterPos(&x, &y);
        EXPECT_EQ(x, c.endX);
        EXPECT_EQ(y, c.endY);
    }
}

// The arrow hangs below and right of the pointer position, counted in window
// pixels from the top-left corner, and the pen stays where the arrow is.
TEST(Text, PointerHangsFromItsPositionCountedFromTheTopLeft)
{
    struct {
        int winW, winH, x, y;
        int tipX, tipY;
    } cases[] = {
        {WIDTH, HEIGHT, 0, 0, 0, 479},
        // Another surface size scales the position, in floating point (320 / 1280 is not 0).
        {1280, 960, 320, 720, 160, 119},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.winW);
        hudPassAtCentre();
        text_init(c.winW, c.winH);
        drawPointer(c.x, c.y);
        image want = blank();
        paintPointer(want, c.tipX, c.tipY, WHITE);
        EXPECT_EQ(differing(readBack(), want), 0);
        float x, y;
        rasterPos(&x, &y);
        EXPECT_EQ(x, c.tipX);
        EXPECT_EQ(y, c.tipY + 1);
    }
    text_init(WIDTH, HEIGHT);
}

// Before text_init the game has no window: characters and moves do not
// advance, and the pointer, with no size to divide by, is not drawn at all.
// Exits 0 when all is well (with _exit: a sanitizer build's leak checker would
// fault the X libraries otherwise).
static void drawBeforeInit()
{
    hudPassAtCentre();
    textChar('A');
    moveCursor(3, 1);
    float x, y;
    rasterPos(&x, &y);
    bool still = x == 320 && y == 240;
    glClear(GL_COLOR_BUFFER_BIT);
    drawPointer(0, 0);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    rasterPos(&x, &y);
    _exit(still && valid && x == 320 && y == 240 && differing(readBack(), blank()) == 0 ? 0 : 1);
}

// The module starts uninitialised once a process, so this runs in a fresh one.
TEST(TextBeforeInit, NothingAdvancesAndNoPointerIsDrawn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(drawBeforeInit(), ::testing::ExitedWithCode(0), "");
}
