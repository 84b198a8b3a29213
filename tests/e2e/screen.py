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
# "  Throw The Ball  " has text in these two spans; "     Game Over    " has none.
THROW_BANNER_ONLY = [(WIDTH // 2 - 56, 0, WIDTH // 2 - 32, 16), (WIDTH // 2 + 40, 0, WIDTH // 2 + 56, 16)]
# "     Game Over    " has text in the middle, as does the throw banner.
BANNER_MIDDLE = (WIDTH // 2 - 32, 0, WIDTH // 2 + 40, 16)
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


def paused(shot):
    return hasText(shot, PAUSED)


def running(shot):
    return noText(shot, PAUSED)


def throwBanner(shot):
    return all(hasText(shot, r) for r in THROW_BANNER_ONLY) and hasText(shot, BANNER_MIDDLE)


def gameOverBanner(shot):
    return all(noText(shot, r) for r in THROW_BANNER_ONLY) and hasText(shot, BANNER_MIDDLE)


def sceneFiles(names, **sceneArgs):
    """Lane levels drawn with the test colours: yellow text on a blue-grey background."""
    files = harness.laneMeshes()
    files["scenelist.txt"] = harness.sceneList(names)
    for name in names:
        files[name] = harness.sceneText(background=BACKGROUND, text=TEXT, **sceneArgs)
    return files
