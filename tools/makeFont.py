#!/usr/bin/env python3
"""Generates src/draw/textFont.inc, the game's built-in 8x16 bitmap font.

Origin: the glyphs are derived from the X11 "9x15" fixed font
(-Misc-Fixed-Medium-R-Normal--15-140-75-75-C-90-ISO10646-1), shipped by Debian in
package xfonts-base as /usr/share/fonts/X11/misc/9x15.pcf.gz. Licence: public domain
(its COPYRIGHT property reads "Public domain font.  Share and enjoy."), so the
derived glyphs carry no conditions either.

9x15 already has the shape we want in most places: ink in columns 1 to 7, lowercase
x-height of 7 rows, digits and ascenders 10 rows, descenders 3 rows. The fitting:
  - the cell is 16 rows with the baseline at row 4 (the lowest row of a capital),
    row 0 and column 0 are kept blank so neighbouring glyphs and lines never touch;
  - capitals are 10 rows tall in 9x15 and 9 here: one straight row of each is
    dropped (chosen by eye below), K is redrawn, A is our own slab-footed A;
  - brackets, parentheses and braces are stretched to rows 2-14, the vertical bar
    runs rows 1-15, the underscore and J lose the pixel outside columns 1-7.

Usage: tools/makeFont.py [path/to/9x15.pcf.gz] > src/draw/textFont.inc
Needs pcf2bdf (Debian package pcf2bdf) and xfonts-base.
"""

import gzip
import subprocess
import sys
import tempfile

FIRST, LAST = 32, 126
ROWS, BASELINE = 16, 4

# Row of the 9x15 cell (baseline at row 4) that each capital loses to become 9 rows
# tall: always one that repeats its neighbour, where the letter is a straight run.
CAPITAL_DROP = {
    'B': 7, 'C': 8, 'D': 8, 'E': 7, 'F': 7, 'G': 10, 'H': 6, 'I': 8, 'J': 8, 'L': 8,
    'M': 5, 'N': 5, 'O': 8, 'P': 6, 'Q': 8, 'R': 11, 'S': 11, 'T': 8, 'U': 8, 'V': 12,
    'W': 11, 'X': 9, 'Y': 6, 'Z': 5,
}

# Row at which each bracket-like glyph gets one more copy of its stem.
STRETCH = {'(': 8, ')': 8, '[': 8, ']': 8}

# Glyphs drawn here, top row first; the lowest row listed is the row given.
DRAWN = {
    # Our own capital A, the one glyph with feet.
    'A': (4, ['....#...',
              '....#...',
              '...###..',
              '...#.#..',
              '...#.#..',
              '..#####.',
              '..#...#.',
              '..#...#.',
              '.##...##']),
    # 9x15's K has no straight row to spare; this one keeps its arms at 45 degrees.
    'K': (4, ['.#.....#',
              '.#....#.',
              '.#...#..',
              '.#..#...',
              '.###....',
              '.#..#...',
              '.#...#..',
              '.#....#.',
              '.#.....#']),
    # Braces with a one-row point, so that both arms are the same length.
    '{': (2, ['.....###',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '..##....',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '.....###']),
    '}': (2, ['.###....',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '.....##.',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '....#...',
              '.###....']),
    '|': (1, ['....#...'] * 15),
}


def loadBdf(text):
    """Glyphs by code point: (width, height, xoff, yoff, rows top first as int lists)."""
    glyphs = {}
    lines = text.split('\n')
    i = 0
    enc = bbx = None
    while i < len(lines):
        line = lines[i]
        if line.startswith('ENCODING'):
            enc = int(line.split()[1])
        elif line.startswith('BBX'):
            bbx = [int(v) for v in line.split()[1:]]
        elif line == 'BITMAP':
            w, h, xoff, yoff = bbx
            bits = (w + 7) // 8 * 8
            rows = []
            i += 1
            while lines[i] != 'ENDCHAR':
                value = int(lines[i], 16)
                rows.append([(value >> (bits - 1 - c)) & 1 for c in range(w)])
                i += 1
            glyphs[enc] = (w, h, xoff, yoff, rows)
        i += 1
    return glyphs


def toCell(glyph):
    """16 rows (index 0 = bottom) of 9 columns, baseline at BASELINE."""
    w, h, xoff, yoff, rows = glyph
    cell = [[0] * 9 for _ in range(ROWS)]
    for i, row in enumerate(rows):
        y = BASELINE + yoff + (h - 1 - i)
        for c, bit in enumerate(row):
            if bit:
                cell[y][xoff + c] = 1
    return cell


def dropRow(cell, row):
    """Removes one row; everything above it comes down by one."""
    return cell[:row] + cell[row + 1:] + [[0] * len(cell[0])]


def stretchAt(cell, row):
    """Repeats one row; everything below it goes down by one."""
    return cell[1:row + 1] + [list(cell[row])] + cell[row + 1:]


def drawn(bottom, art):
    cell = [[0] * 9 for _ in range(ROWS)]
    for i, line in enumerate(art):
        y = bottom + len(art) - 1 - i
        cell[y] = [1 if ch == '#' else 0 for ch in line] + [0]
    return cell


def fit(ch, cell):
    if ch in DRAWN:
        return drawn(*DRAWN[ch])
    if ch in CAPITAL_DROP:
        cell = dropRow(cell, CAPITAL_DROP[ch])
    if ch in STRETCH:
        cell = stretchAt(cell, STRETCH[ch])
    if ch == 'J':
        cell[12][8] = 0  # the top serif stops at column 7
    if ch == '_':
        cell = [[0] + row[1:] for row in cell]
    return cell


def byteOf(row):
    for c in (0, 8):
        assert not row[c], 'ink outside columns 1-7'
    value = 0
    for c in range(8):
        value |= row[c] << (7 - c)
    return value


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else '/usr/share/fonts/X11/misc/9x15.pcf.gz'
    with tempfile.NamedTemporaryFile(suffix='.pcf') as pcf, tempfile.NamedTemporaryFile(suffix='.bdf') as bdf:
        pcf.write(gzip.open(path).read() if path.endswith('.gz') else open(path, 'rb').read())
        pcf.flush()
        subprocess.run(['pcf2bdf', '-o', bdf.name, pcf.name], check=True)
        glyphs = loadBdf(open(bdf.name, encoding='latin-1').read())

    out = sys.stdout
    out.write('// Generated by tools/makeFont.py from the public-domain X11 9x15 font; do not edit.\n')
    out.write('// 95 glyphs from tilde (126) down to space (32), 64 bytes each: 16 rows of 4 bytes,\n')
    out.write('// bottom row first, pixels in byte 0 only (bit 7 = column 0).\n')
    out.write('// clang-format off\n')
    for code in range(LAST, FIRST - 1, -1):
        ch = chr(code)
        cell = fit(ch, toCell(glyphs[code])) if code != 32 else [[0] * 9 for _ in range(ROWS)]
        assert not any(cell[0]), 'row 0 must stay blank'
        out.write('// %d %s\n' % (code, repr(ch)))
        for y in range(ROWS):
            art = ''.join('#' if cell[y][c] else '.' for c in range(8))
            out.write('0x%02X, 0x00, 0x00, 0x00,  // %2d %s\n' % (byteOf(cell[y]), y, art))
    out.write('// clang-format on\n')


if __name__ == '__main__':
    main()
