// The compiled-in font and pointer images: the byte layout glBitmap reads, and the
// metrics that let the HUD align lines and keep neighbouring glyphs apart.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text.h"

namespace
{

const GLubyte *glyph(int code) { return textFontBitmap + (126 - code) * 64; }

std::string name(int code) { return std::string("'") + (char)code + "' (" + std::to_string(code) + ")"; }

// Every glyph is 16 rows of 4 bytes, bottom row first, with its ink in the
// columns 1-7 of byte 0 and nothing on row 0: neighbours never touch.
TEST(FontLayout, EveryGlyphIsEightPixelsWideWithBlankLeftColumnAndBottomRowAndItsOwnShape)
{
    std::set<std::string> shapes;
    for (int code = 32; code <= 126; ++code) {
        const GLubyte *g = glyph(code);
        int ink = 0;
        for (int row = 0; row < 16; ++row) {
            EXPECT_EQ(g[row * 4] & 0x80, 0) << name(code) << " row " << row;
            EXPECT_EQ(g[row * 4 + 1] | g[row * 4 + 2] | g[row * 4 + 3], 0) << name(code) << " row " << row;
            ink |= g[row * 4];
        }
        EXPECT_EQ(g[0], 0) << name(code);
        EXPECT_EQ(ink != 0, code != ' ') << name(code) << ": only space is blank";
        EXPECT_TRUE(shapes.insert(std::string((const char *)g, 64)).second) << name(code) << " repeats";
    }
}

TEST(FontLayout, LettersDigitsAndBracketsSitBetweenTheirRows)
{
    const struct {
        const char *chars;
        int lowest, highestFrom, highestTo;
    } groups[] = {
        {"ABCDEFGHIJKLMNOPRSTUVWXYZ", 4, 12, 12},
        {"Q", 2, 12, 12}, // the tail
        {"acemnorsuvwxz", 4, 10, 10},
        {"bdfhikl0123456789", 4, 13, 13},
        {"gpqy", 1, 10, 10},
        {"j", 1, 13, 13},
        {"()[]{}", 2, 14, 14},
        {"|", 1, 15, 15},
        // t rises above the lowercase letters without reaching the full ascender height.
        {"t", 4, 11, 13},
    };
    for (const auto &g : groups)
        for (const char *c = g.chars; *c; ++c) {
            int lowest = -1, highest = -1;
            for (int row = 0; row < 16; ++row)
                if (glyph(*c)[row * 4]) {
                    if (lowest < 0) lowest = row;
                    highest = row;
                }
            EXPECT_EQ(lowest, g.lowest) << name(*c);
            EXPECT_GE(highest, g.highestFrom) << name(*c);
            EXPECT_LE(highest, g.highestTo) << name(*c);
        }
}

TEST(FontLayout, CapitalAAndThePointerImage)
{
    const GLubyte a[16] = {0, 0, 0, 0, 0x63, 0x22, 0x22, 0x3E, 0x14, 0x14, 0x1C, 0x08, 0x08, 0, 0, 0};
    // The pointer is 16 columns wide in bytes 0 and 1, its tip at the top left.
    const GLubyte pointer[16][2] = {{0x00, 0x00}, {0xC0, 0x00}, {0xA0, 0x00}, {0xD0, 0x00},
                                    {0xA8, 0x00}, {0xD7, 0xC0}, {0xA8, 0x40}, {0xD0, 0x80},
                                    {0xA1, 0x00}, {0xC2, 0x00}, {0x84, 0x00}, {0x88, 0x00},
                                    {0x90, 0x00}, {0xA0, 0x00}, {0xC0, 0x00}, {0x80, 0x00}};
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(textFontBitmap[3904 + row * 4], a[row]) << "row " << row; // 'A' is glyph 126 - 65
        const GLubyte *p = textPointerBitmap + row * 4;
        EXPECT_EQ(p[0], pointer[row][0]) << "row " << row;
        EXPECT_EQ(p[1], pointer[row][1]) << "row " << row;
        EXPECT_EQ(p[2] | p[3], 0) << "row " << row;
    }
}

} // namespace
