"""Where the game draws what, on the 640 by 480 screen, for pixel checks (x, y from the top-left)."""

import harness

WIDTH, HEIGHT = 640, 480

TEXT = (1.0, 1.0, 0.0)
BACKGROUND = (0.1, 0.3, 0.5)


def isText(p):
    # The heads-up colour of the test scenes is pure yellow; nothing else on screen is.
    return p[0] > 200 and p[1] > 200 and p[2] < 80


# Regions as (x0, y0, x1, y1). Glyph cells are 8 by 16 pixels.
PIN_COUNT = (0, 0, 64, 16)
THROW_TIME = (0, 16, 64, 32)
FPS = (0, HEIGHT - 16, 120, HEIGHT)
BANNER = (WIDTH // 2 - 72, 0, WIDTH // 2 + 72, 16)
PAUSED = (WIDTH // 2 - 24, HEIGHT // 2 - 8, WIDTH // 2 + 24, HEIGHT // 2 + 8)

# Enough lit pixels that stray pixels cannot pass for a line of text.
MIN_TEXT = 12


def textIn(shot, region):
    return shot.count(*region, isText)


def hasText(shot, region):
    return textIn(shot, region) >= MIN_TEXT


def noText(shot, region):
    return textIn(shot, region) == 0


def litCells(shot, region):
    """The set of text pixels in region, relative to its corner: the shape of what is written there."""
    x0, y0, x1, y1 = region
    return frozenset((x - x0, y - y0) for y in range(y0, y1) for x in range(x0, x1)
                     if isText(shot.pixel(x, y)))


def glyphs(shot, x0, y0, n):
    """The shapes in the n character cells from (x0, y0) rightward."""
    return [litCells(shot, (x0 + 8 * i, y0, x0 + 8 * i + 8, y0 + 16)) for i in range(n)]


def reads(shot, x0, y0, text):
    """Whether the cells from (x0, y0) could show text, whatever the font: blank cells where it
    has blanks, writing elsewhere, the same shape wherever a character repeats and different
    shapes for different characters."""
    shapes = glyphs(shot, x0, y0, len(text))
    byChar = {}
    for ch, shape in zip(text, shapes):
        if (ch == " ") != (not shape):
            return False
        if ch != " " and byChar.setdefault(ch, shape) != shape:
            return False
    return len(set(byChar.values())) == len(byChar)


def paused(shot):
    return reads(shot, PAUSED[0], PAUSED[1], "PAUSED")


def running(shot):
    return noText(shot, PAUSED)


def throwBanner(shot):
    return reads(shot, BANNER[0], 0, "  Throw The Ball  ")


def gameOverBanner(shot):
    return reads(shot, BANNER[0], 0, "     Game Over    ")


def pinCount(shot, text):
    """The pin count line reads text (e.g. "1 / 1") and nothing after it."""
    return reads(shot, 0, 0, text + "  ")


def frameRate(shot):
    """The bottom line reads a number with two decimals and " FPS"."""
    shapes = glyphs(shot, 0, HEIGHT - 16, 16)
    last = max(i for i, shape in enumerate(shapes) if shape) if any(shapes) else -1
    if last < 7 or shapes[last - 3]:
        return False
    f, p, s, point = shapes[last - 2], shapes[last - 1], shapes[last], shapes[last - 6]
    digits = shapes[last - 5:last - 3] + [shapes[last - 7]]
    # A decimal point is smaller than any digit.
    return (len({f, p, s}) == 3 and all(digits) and point
            and all(len(point) < len(d) for d in digits))


def sceneFiles(names, **sceneArgs):
    """Lane levels drawn with the test colours: yellow text on a blue-grey background."""
    files = harness.laneMeshes()
    files["scenelist.txt"] = harness.sceneList(names)
    for name in names:
        files[name] = harness.sceneText(background=BACKGROUND, text=TEXT, **sceneArgs)
    return files
