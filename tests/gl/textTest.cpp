// Text and pointer as the player sees them: drawn in the real context under the
// heads-up projection, pixels read back and compared with the compiled-in images.
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "glSupport.h"
#include "text.h"

using gltest::at;
using gltest::rgb;

namespace {

const rgb WHITE{255, 255, 255};

// The game's heads-up pass: the unit square fills the window.
void hudPass()
{
    gltest::resetState();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, 1, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3ub(255, 255, 255);
}

// Raster position at a window pixel; callers pick pixels whose fractions are exact in binary.
void rasterAt(int x, int y) { glRasterPos2f(x / (float)gltest::WIDTH, y / (float)gltest::HEIGHT); }

void expectRaster(float x, float y)
{
    float rx, ry;
    gltest::rasterPos(&rx, &ry);
    EXPECT_FLOAT_EQ(rx, x);
    EXPECT_FLOAT_EQ(ry, y);
}

bool glyphBit(int code, int row, int col)
{
    return textFontBitmap[(126 - code) * 64 + row * 4] >> (7 - col) & 1;
}

int inkOf(int code)
{
    int n = 0;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 8; ++col)
            n += glyphBit(code, row, col);
    return n;
}

// The 8x16 cell with its bottom-left pixel at (x, y) shows exactly the glyph of `code`.
void expectGlyphAt(const std::vector<rgb> &px, char code, int x, int y)
{
    int wrong = 0;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 8; ++col) {
            rgb want = glyphBit(code, row, col) ? WHITE : rgb{0, 0, 0};
            if (!(at(px, x + col, y + row) == want)) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "glyph '" << code << "' at (" << x << ", " << y << ")";
}

// Draws `s` (n characters) from the raster position and checks every glyph and that
// nothing else was drawn; cells stand at cellY.
void expectLine(const char *s, int n, int x, int cellY)
{
    auto px = gltest::readBack();
    int ink = 0;
    for (int i = 0; i < n; ++i) {
        expectGlyphAt(px, s[i], x + 8 * i, cellY);
        ink += inkOf(s[i]);
    }
    EXPECT_EQ(gltest::litIn(px, 0, 0, gltest::WIDTH, gltest::HEIGHT), ink);
}

bool pointerBit(int row, int col) { return textPointerBitmap[row * 4 + col / 8] >> (7 - col % 8) & 1; }

// The arrow's tip (its top-left pixel) at window pixel (x, y), in colour `c`, and nothing else drawn.
void expectPointerTipAt(const std::vector<rgb> &px, int x, int y, rgb c)
{
    int wrong = 0, ink = 0;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 16; ++col) {
            bool on = pointerBit(row, col);
            ink += on;
            if (!(at(px, x + col, y - 15 + row) == (on ? c : rgb{0, 0, 0}))) ++wrong;
        }
    EXPECT_EQ(wrong, 0) << "pointer with its tip at (" << x << ", " << y << ")";
    EXPECT_EQ(gltest::litIn(px, 0, 0, gltest::WIDTH, gltest::HEIGHT), ink);
}

class Text : public ::testing::Test {
  protected:
    void SetUp() override
    {
        text_init(gltest::WIDTH, gltest::HEIGHT);
        setValign(bottom);
        hudPass();
    }
};

}  // namespace

TEST_F(Text, PausedCentredOnItsLineCoversSixCellsRightOfTheRasterPosition)
{
    char paused[] = "PAUSED";
    rasterAt(320, 240);
    setValign(middle);
    textStringLength(paused, 6);
    expectRaster(368, 240);
    expectLine(paused, 6, 320, 232);
    auto px = gltest::readBack();
    int x0, y0, x1, y1;
    ASSERT_TRUE(gltest::litBounds(px, &x0, &y0, &x1, &y1));
    EXPECT_GE(x0, 320);
    EXPECT_LT(x1, 368);
    EXPECT_GE(y0, 232);
    EXPECT_LT(y1, 248);
}

TEST_F(Text, BottomStandsOnTheRasterPositionAndTopHangsBelowIt)
{
    char s[] = "Qg|";
    rasterAt(160, 120);
    setValign(bottom);
    textStringLength(s, 3);
    expectRaster(184, 120);
    expectLine(s, 3, 160, 120);

    hudPass();
    rasterAt(160, 120);
    setValign(top);
    textStringLength(s, 3);
    expectLine(s, 3, 160, 104);
}

TEST_F(Text, InvalidAlignmentKeepsThePreviousOne)
{
    char e[] = "E";
    setValign(middle);
    setValign((valign)3);
    setValign((valign)-1);
    rasterAt(320, 240);
    textChar(e[0]);
    expectLine(e, 1, 320, 232);

    hudPass();
    setValign(top);
    setValign((valign)7);
    rasterAt(320, 240);
    textChar(e[0]);
    expectLine(e, 1, 320, 224);
}

TEST_F(Text, MoveCursorShiftsByWholeCellsAndDrawsNothing)
{
    rasterAt(320, 240);
    moveCursor(-9.0f, 0.0f);
    expectRaster(248, 240);
    moveCursor(0.0f, -1.0f);
    expectRaster(248, 224);
    setValign(top);  // alignment is for characters only
    moveCursor(2.5f, 0.5f);
    expectRaster(268, 232);
    int x0, y0, x1, y1;
    EXPECT_FALSE(gltest::litBounds(gltest::readBack(), &x0, &y0, &x1, &y1));
}

TEST_F(Text, UnprintableCodesNeitherDrawNorMove)
{
    rasterAt(320, 240);
    for (int code : {31, 127, 0, 10, -1, -128, -23})
        textChar((char)code);
    expectRaster(320, 240);
    int x0, y0, x1, y1;
    EXPECT_FALSE(gltest::litBounds(gltest::readBack(), &x0, &y0, &x1, &y1));
}

TEST_F(Text, TildeAndSpaceUseTheirOwnGlyphs)
{
    char s[] = "~ ~";
    rasterAt(80, 60);
    textString(s);
    expectRaster(104, 60);
    expectLine(s, 3, 80, 60);
    EXPECT_GT(inkOf('~'), 0);
}

TEST_F(Text, StringLengthDrawsExactlyLenCharactersAndSkipsNul)
{
    char s[] = "AB\0CD";
    char drawn[] = "ABCD";  // the NUL takes no cell
    rasterAt(320, 240);
    textStringLength(s, 5);
    expectRaster(352, 240);
    expectLine(drawn, 4, 320, 240);

    hudPass();
    rasterAt(320, 240);
    textStringLength(s, 1);
    expectRaster(328, 240);
    expectLine(s, 1, 320, 240);
}

TEST_F(Text, StringLengthOfZeroOrLessDrawsNothing)
{
    char s[] = "ABCD";
    rasterAt(320, 240);
    textStringLength(s, 0);
    textStringLength(s, -4);
    expectRaster(320, 240);
    int x0, y0, x1, y1;
    EXPECT_FALSE(gltest::litBounds(gltest::readBack(), &x0, &y0, &x1, &y1));
}

TEST_F(Text, StringEndsAtItsNul)
{
    char s[] = "Hi\0there";
    rasterAt(320, 240);
    textString(s);
    expectRaster(336, 240);
    expectLine(s, 2, 320, 240);
}

TEST_F(Text, PointerHangsFromTheTopLeftCorner)
{
    drawPointer(0, 0);
    expectRaster(0, 480);  // and it stays there: the pointer does not advance
    expectPointerTipAt(gltest::readBack(), 0, 479, WHITE);
}

TEST_F(Text, PointerPositionIsAFractionOfTheWindowCountedFromTheTop)
{
    // 5/640 and 15/480 are fractions, not 0: the division is in floating point.
    drawPointer(5, 15);
    expectRaster(5, 465);
    expectPointerTipAt(gltest::readBack(), 5, 464, WHITE);

    // A surface of another size than the one asked for scales the position.
    hudPass();
    text_init(1280, 960);
    drawPointer(320, 720);
    expectPointerTipAt(gltest::readBack(), 160, 119, WHITE);
}

TEST_F(Text, PointerTakesTheColourCurrentAtItsOwnRasterPosition)
{
    glColor3ub(255, 0, 0);
    rasterAt(160, 120);
    glColor3ub(0, 255, 0);
    drawPointer(320, 240);
    expectPointerTipAt(gltest::readBack(), 320, 239, rgb{0, 255, 0});
}

// Runs in a process of its own where text_init was never called; exits 0 when all is well
// (with _exit: the leak checker of a sanitizer build would fault the X libraries otherwise).
static void drawBeforeInit()
{
    hudPass();
    rasterAt(320, 240);
    textChar('A');
    moveCursor(3.0f, 1.0f);
    float x, y;
    gltest::rasterPos(&x, &y);
    if (x != 320.0f || y != 240.0f) {
        fprintf(stderr, "raster position moved to (%g, %g)\n", x, y);
        _exit(1);
    }
    // No window size to divide by: the pointer leaves everything as it was.
    hudPass();
    rasterAt(320, 240);
    drawPointer(0, 0);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    gltest::rasterPos(&x, &y);
    if (!valid || x != 320.0f || y != 240.0f) {
        fprintf(stderr, "pointer moved the raster position before the window size is known\n");
        _exit(1);
    }
    int x0, y0, x1, y1;
    if (gltest::litBounds(gltest::readBack(), &x0, &y0, &x1, &y1)) {
        fprintf(stderr, "pointer drawn before the window size is known\n");
        _exit(1);
    }
    _exit(0);
}

// The module starts uninitialised only once per process, so this runs in a fresh one
// (the threadsafe style re-executes the test binary for this test alone).
TEST(TextBeforeInit, CharactersDoNotAdvanceAndThePointerIsNotDrawn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(drawBeforeInit(), ::testing::ExitedWithCode(0), "");
}
