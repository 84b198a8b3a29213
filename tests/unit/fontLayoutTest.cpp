// The compiled-in font and pointer images: the byte layout glBitmap reads, and the
// metrics that let the HUD align lines and keep neighbouring glyphs apart.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "text.h"

namespace {

// Byte 0 of row `row` (0 = bottom) of the glyph of `code`.
GLubyte glyphRow(int code, int row) { return textFontBitmap[(126 - code) * 64 + row * 4]; }

struct inkRows {
    int lowest = -1, highest = -1;  // -1 when the glyph is blank
};

inkRows inkOf(int code)
{
    inkRows r;
    for (int row = 0; row < 16; ++row)
        if (glyphRow(code, row)) {
            if (r.lowest < 0) r.lowest = row;
            r.highest = row;
        }
    return r;
}

std::string name(int code) { return std::string("'") + (char)code + "' (" + std::to_string(code) + ")"; }

void expectRows(const char *chars, int lowest, int highest)
{
    for (const char *c = chars; *c; ++c) {
        inkRows r = inkOf(*c);
        EXPECT_EQ(r.lowest, lowest) << name(*c);
        EXPECT_EQ(r.highest, highest) << name(*c);
    }
}

}  // namespace

TEST(FontLayout, EveryGlyphIsEightPixelsWideWithBlankLeftColumnAndBottomRow)
{
    for (int code = 32; code <= 126; ++code) {
        const GLubyte *g = textFontBitmap + (126 - code) * 64;
        for (int row = 0; row < 16; ++row) {
            EXPECT_EQ(g[row * 4 + 1], 0) << name(code) << " row " << row;
            EXPECT_EQ(g[row * 4 + 2], 0) << name(code) << " row " << row;
            EXPECT_EQ(g[row * 4 + 3], 0) << name(code) << " row " << row;
            EXPECT_EQ(g[row * 4] & 0x80, 0) << name(code) << " column 0, row " << row;
        }
        EXPECT_EQ(g[0], 0) << name(code) << " row 0";
    }
}

TEST(FontLayout, SpaceIsBlankAndEveryOtherGlyphHasInkAndItsOwnShape)
{
    for (int row = 0; row < 16; ++row)
        EXPECT_EQ(glyphRow(' ', row), 0);
    std::set<std::string> shapes;
    for (int code = 33; code <= 126; ++code) {
        EXPECT_GE(inkOf(code).lowest, 1) << name(code) << " has no ink";
        std::string shape((const char *)textFontBitmap + (126 - code) * 64, 64);
        EXPECT_TRUE(shapes.insert(shape).second) << name(code) << " repeats another glyph";
    }
}

TEST(FontLayout, CapitalA)
{
    const GLubyte expected[16] = {0x00, 0x00, 0x00, 0x00, 0x63, 0x22, 0x22, 0x3E,
                                  0x14, 0x14, 0x1C, 0x08, 0x08, 0x00, 0x00, 0x00};
    // The glyph of 'A' starts at byte (126 - 65) * 64.
    EXPECT_EQ(textFontBitmap + 3904, textFontBitmap + (126 - 'A') * 64);
    for (int row = 0; row < 16; ++row)
        EXPECT_EQ(textFontBitmap[3904 + row * 4], expected[row]) << "row " << row;
}

TEST(FontLayout, LettersAndDigitsStandOnTheBaseline)
{
    expectRows("ABCDEFGHIJKLMNOPRSTUVWXYZ", 4, 12);
    expectRows("Q", 2, 12);  // the tail
    expectRows("acemnorsuvwxz", 4, 10);
    expectRows("bdfhikl", 4, 13);
    expectRows("0123456789", 4, 13);
    expectRows("gpqy", 1, 10);
    expectRows("j", 1, 13);
    // t rises above the lowercase letters without reaching the full ascender height.
    inkRows t = inkOf('t');
    EXPECT_EQ(t.lowest, 4);
    EXPECT_GT(t.highest, 10);
    EXPECT_LE(t.highest, 13);
}

TEST(FontLayout, BracketsAndBarSpanTheLine)
{
    expectRows("()[]{}", 2, 14);
    expectRows("|", 1, 15);
}

TEST(FontLayout, PointerImage)
{
    const GLubyte expected[16][2] = {{0x00, 0x00}, {0xC0, 0x00}, {0xA0, 0x00}, {0xD0, 0x00},
                                     {0xA8, 0x00}, {0xD7, 0xC0}, {0xA8, 0x40}, {0xD0, 0x80},
                                     {0xA1, 0x00}, {0xC2, 0x00}, {0x84, 0x00}, {0x88, 0x00},
                                     {0x90, 0x00}, {0xA0, 0x00}, {0xC0, 0x00}, {0x80, 0x00}};
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(textPointerBitmap[row * 4], expected[row][0]) << "row " << row;
        EXPECT_EQ(textPointerBitmap[row * 4 + 1], expected[row][1]) << "row " << row;
        EXPECT_EQ(textPointerBitmap[row * 4 + 2], 0) << "row " << row;
        EXPECT_EQ(textPointerBitmap[row * 4 + 3], 0) << "row " << row;
    }
}
