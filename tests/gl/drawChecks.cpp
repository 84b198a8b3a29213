// Draws in one real 640x480 window (Mesa under Xvfb) and prints what the
// pixels and OpenGL's own state show, for the test to compare with
// expected.txt: the font pictured, the text, pointer and heads-up cases of
// cases.txt read back, the 3D view, a level's display lists and the axis
// gizmo. Text is read cell by cell against the glyphs the text module draws,
// so a line one pixel off reads as another place.
#include <GL/glu.h>
#include <SDL.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/vectorMath.h"
#include "draw/objects.h"
#include "draw/sceneDraw.h"
#include "draw/text.h"
#include "game/sceneControl.h"
#include "game/sceneLoad.h"
#include "game/sceneState.h"

namespace
{

const int W = 640, H = 480;
std::vector<unsigned char> px(W *H * 3); // the back buffer, bottom row first
std::map<std::string, char> glyphs;      // a cell's ink to its character

std::string format(const char *f, ...)
{
    char s[256];
    va_list a;
    va_start(a, f);
    vsnprintf(s, sizeof s, f, a);
    va_end(a);
    return s;
}

void readBack()
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, px.data());
}
int colour(int x, int y)
{
    return px[(y * W + x) * 3] << 16 | px[(y * W + x) * 3 + 1] << 8 | px[(y * W + x) * 3 + 2];
}
// Text is yellow, here and in the levels: nothing else is.
bool ink(int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && colour(x, y) == 0xffff00; }
bool inkBetween(int x, int y0, int y1)
{
    while (y0 <= y1 && !ink(x, y0))
        y0++;
    return y0 <= y1;
}

// The game's frame of its level, not yet shown.
void drawLevel() { drawFrame(&level, &look, sceneClock.deltaTime, sceneClock.isPaused, &pointer); }

// Black, yellow to draw, a projection of pixels or (as the heads-up pass has it) of the unit square.
void clean(bool unitSquare)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, W, H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, unitSquare ? 1 : W, 0, unitSquare ? 1 : H, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 0);
    text_init(W, H);
}

void picture(int x0, int y0, int x1, int y1) // top row first
{
    for (int y = y1; y >= y0; y--) {
        for (int x = x0; x <= x1; x++)
            putchar(ink(x, y) ? '#' : '.');
        putchar('\n');
    }
}

std::string cell(int x, int y)
{
    std::string bits;
    for (int k = 0; k < 128; k++)
        bits += ink(x + k % 8, y + k / 8) ? '#' : '.';
    return bits;
}

// The ink as text where its cells read as glyphs (each piece at its first
// cell's bottom-left pixel), or else as its box. Rows of ink next to each
// other make a band; 16 blank columns end a piece of a band.
std::string screenText()
{
    std::string out;
    std::vector<bool> rows(H);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            rows[y] = rows[y] || ink(x, y);
    for (int y0 = 0; y0 < H; y0++) {
        int y1 = y0;
        while (rows[y0] && y1 + 1 < H && rows[y1 + 1])
            y1++;
        for (int x0 = 0; rows[y0] && x0 < W; x0++) {
            if (!inkBetween(x0, y0, y1)) continue;
            int x1 = x0;
            for (int k = x0 + 1; k < W && k <= x1 + 16; k++)
                if (inkBetween(k, y0, y1)) x1 = k;
            std::string found;
            for (int cy = y1 - 15; cy <= y0; cy++)
                for (int cx = x0 - 7; cx <= x0; cx++) {
                    std::string text;
                    for (int k = cx; k <= x1 && text.size() < 200; k += 8)
                        text += glyphs.count(cell(k, cy)) ? glyphs[cell(k, cy)] : '\0';
                    if (text.find('\0') == std::string::npos)
                        found += format("%s'%s' at %d %d", found.empty() ? "" : " or ", text.c_str(), cx, cy);
                }
            out += (out.empty() ? "" : "; ") +
                   (found.empty() ? format("ink %d %d to %d %d", x0, y0, x1, y1) : found);
            x0 = x1;
        }
        y0 = y1;
    }
    GLfloat p[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, p);
    return (out.empty() ? "nothing" : out) + format(", pen at %g %g", p[0], p[1]);
}

// Every printable character sixteen to a row, from the blank at (0, 100) on
// down, drawn from its cell's bottom-left corner: learnt for reading, pictured.
void font()
{
    clean(false);
    setValign(bottom);
    for (int c = 32; c < 127; c++)
        glRasterPos2i(8 * (c % 16), 132 - 16 * (c / 16)), textChar((char)c);
    readBack();
    for (int c = 32; c < 127; c++)
        glyphs[cell(8 * (c % 16), 132 - 16 * (c / 16))] = (char)c;
    printf("== the font, from the blank up to the tilde\n");
    picture(0, 20, 127, 115);
}

// text STEP...: from the pen at the window's centre under the heads-up
// projection; steps: valign N|bottom|middle|top, string S, length N S, char C,
// code N, move DX DY. A \0 in S is a NUL.
void textCase(std::istringstream &in)
{
    clean(true);
    glRasterPos2f(0.5f, 0.5f);
    const std::map<std::string, int> ALIGN = {{"bottom", bottom}, {"middle", middle}, {"top", top}};
    std::string word, s;
    float a, b;
    while (in >> word) {
        if (word == "valign") in >> s, setValign((valign)(ALIGN.count(s) ? ALIGN.at(s) : atoi(s.c_str())));
        if (word == "length" || word == "code") in >> a;
        if (word == "move") in >> a >> b, moveCursor(a, b);
        if (word == "code") textChar((char)a);
        if (word == "string" || word == "length" || word == "char") {
            in >> s;
            for (size_t k; (k = s.find("\\0")) != std::string::npos;)
                s.replace(k, 2, 1, '\0');
            word == "string" ? textString(&s[0])
            : word == "char" ? textChar(s[0])
                             : textStringLength(&s[0], (int)a);
        }
    }
    readBack();
    printf("-> %s\n", screenText().c_str());
}

// pointer WIDTH HEIGHT X Y: the arrow for a window of that size; the first pictured.
void pointerCase(std::istringstream &in)
{
    int w, h, x, y;
    in >> w >> h >> x >> y;
    clean(true);
    text_init(w, h);
    drawPointer(x, y);
    readBack();
    printf("-> %s\n", screenText().c_str());
    if (x == 0 && y == 0) picture(0, H - 16, 9, H - 1);
}

// hud NAME=VALUE...: a heads-up frame over level.scene. (That it leaves the
// perspective and the depth test for the next frame shows in the 3D view.)
void hudCase(std::istringstream &in)
{
    const char *STATES[] = {"introduction", "awaitingThrow", "throwing", "watchingThrow", "over"};
    levelPlay &p = level;
    p.gameState = throwing, sceneClock.isPaused = 0, sceneClock.deltaTime = 0.02f, p.throwTimeRemaining = -1;
    p.remainingPins = p.numPins = 3;
    showMyGLPointer(0);
    for (std::string word; in >> word;) {
        std::string name = word.substr(0, word.find('=')), value = word.substr(word.find('=') + 1);
        float v = strtof(value.c_str(), nullptr);
        for (int k = 0; k < 5; k++)
            if (name == "gameState" && value == STATES[k]) p.gameState = (e_gameState)k;
        sceneClock.deltaTime = name == "deltaTime" ? v : sceneClock.deltaTime;
        p.throwTimeRemaining = name == "throwTimeRemaining" ? v : p.throwTimeRemaining;
        p.remainingPins = name == "remainingPins" ? (int)v : p.remainingPins;
        p.numPins = name == "numPins" ? (int)v : p.numPins;
        sceneClock.isPaused = name == "isPaused" ? (int)v : sceneClock.isPaused;
        if (name == "mouse")
            showMyGLPointer(1), pointer.mousex = (Uint16)v,
                                pointer.mousey = (Uint16)atoi(&value[value.find(',') + 1]);
    }
    drawLevel();
    readBack();
    printf("-> %s\n", screenText().c_str());
}

// A frame of the world, the ball and the pins in play from their own lists:
// how many pixels of each colour but black, in what box; where the camera looks.
void frame(const char *what)
{
    drawLevel();
    readBack();
    vec3 look = lookBetweenSteps(&level);
    printf("%s; the camera looks toward %g %g %g\n", what, look.x, look.y, look.z);
    std::map<int, std::vector<int>> seen; // colour to count, x0, y0, x1, y1
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++)
            if (int c = colour(x, y)) {
                auto &s = seen.emplace(c, std::vector<int>{0, x, y, x, y}).first->second;
                s = {s[0] + 1, std::min(s[1], x), std::min(s[2], y), std::max(s[3], x), std::max(s[4], y)};
            }
    for (auto &s : seen)
        printf("   %06x: %d pixels from %d %d to %d %d\n", s.first, s.second[0], s.second[1], s.second[2],
               s.second[3], s.second[4]);
}

// level.scene from its camera 10 back on -y: a blue wall at y 40 with a
// magenta triangle before it wound away from the camera, the ball red in the
// middle, pins green at x 2, white at z 2 and green behind the wall.
void view()
{
    printf("== the 3D view of level.scene\n");
    std::vector<dynamicObject> &pins = level.pins;
    level.numPins = 3;
    pins[1].inPlay = 0;
    frame("as loaded but the white pin out of play");
    level.ball.inPlay = 0, pins[1].inPlay = 1, pins[0].inPlay = 2;
    frame("the ball out of play, the white pin in play, the green pin's inPlay 2");
    // Every pin is drawn from where its last step began, the last one too.
    pins[2].location = vec3{-2, 0, 0};
    startSteps(&level);
    frame("the last pin moved to x -2 before the wall");
    pins[2].location = pins[2].initLoc;
    level.cameraVelocity = vec3{3, 0, 0}, level.ball.inPlay = 1;
    startSteps(&level);
    frame("the camera looking along x");
    // A frame is drawn a step behind the time it shows, between the last two steps.
    advanceLevel(&level, STEP_MS * 3 / 2);
    frame("15 ms on: drawn half way through the camera's first turn toward the ball");
    sceneReshape(320, 0); // no height is taken as one pixel
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    printf("a window 320 by 0: projection");
    for (float v : m)
        printf(" %.5g", v);
    printf("\n");
    sceneReshape(W, H);
}

// The gizmo's triangles, drawn 500 times as big and fed back in coordinates
// within [-1000, 1000]: corners, colour, and the side their winding faces.
void axis()
{
    printf("== the axis gizmo: bars along x, y and z from 0.05 to 1, 0.1 wide, each side facing out\n");
    clean(false);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1000, 1000, -1000, 1000, 1000, -1000);
    std::vector<GLfloat> buf(4096); // a token and a count, then x, y, z, r, g, b, a for each corner
    glFeedbackBuffer((GLsizei)buf.size(), GL_3D_COLOR, buf.data());
    glRenderMode(GL_FEEDBACK);
    glScalef(500, 500, 500);
    drawAxis();
    buf.resize((size_t)glRenderMode(GL_RENDER));
    for (size_t i = 0; i + 23 <= buf.size(); i += 23) {
        vec3 p[3];
        for (int k = 0; k < 3; k++) {
            const GLfloat *v = &buf[i + 2 + 7 * k];
            p[k] = vec3{v[0] * 2000 / W - 1000, v[1] * 2000 / H - 1000, v[2] * 2000 - 1000};
            p[k] = vec_add(vec_scalar_multiple(p[k], 1 / 500.0f), vec3{0, 0, 0}); // no -0
            printf("%s%g %g %g", k ? " / " : "   ", p[k].x, p[k].y, p[k].z);
        }
        vec3 n = vec_cross(vec_between_points(p[0], p[1]), vec_between_points(p[0], p[2]));
        vec_normalize(&n);
        n = vec_add(n, vec3{0, 0, 0});
        printf("  in %.0f %.0f %.0f facing %g %g %g\n", buf[i + 5] * 255, buf[i + 6] * 255, buf[i + 7] * 255,
               n.x, n.y, n.z);
    }
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    printf("the colour left %g %g %g\n", c[0], c[1], c[2]);
}

// The loader's own messages belong to the files' tests.
template <class F> void quietly(F call)
{
    fflush(stdout);
    int saved = dup(1);
    (void)!freopen("/dev/null", "w", stdout);
    call();
    fflush(stdout);
    dup2(saved, 1), close(saved);
}

void load(const char *file)
{
    std::string name = file;
    condition result = success;
    quietly([&] { result = sceneLoad(&name[0], introduction); });
    printf("load %s: %s\n", file, result == success ? "success" : "failure");
}

void live(const char *what, std::vector<GLint> made)
{
    printf("   %s: pins %s, collision faces %s, lists", what, level.pins.empty() ? "none" : "kept",
           level.firstCollisionFace ? "kept" : "none");
    for (GLint l : made)
        printf(" %s", glIsList((GLuint)l) ? "live" : "gone");
    printf("\n");
}

// A level's load makes a list for each mesh and sets its drawing state;
// unloading deletes them, and so does a load that fails in the pins; one that
// fails before them keeps the world's list.
void lists()
{
    printf("== display lists of level.scene\n");
    GLint made[5];
    made[0] = look.worldDispList, made[1] = level.ball.dispList;
    for (int k = 0; k < 3; k++)
        made[k + 2] = level.pins[k].dispList;
    GLint depthFunc, shade;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    printf("   depth %s, %s shading\n", depthFunc == GL_LESS ? "less" : "other",
           shade == GL_SMOOTH ? "smooth" : "flat");
    live("loaded", {made, made + 5});
    quietly(sceneUnload);
    live("unloaded", {made, made + 5});
    load("no-pin-mesh.scene");
    live("left", {look.worldDispList, level.ball.dispList});
    load("no-world-mesh.scene");
    live("left", {made[0] = look.worldDispList});
    releaseScene();
    live("released", {made[0]});
}

} // namespace

int main(int argc, char **argv)
{
    // SDL opens the display twice in quick succession, and now and then Xvfb drops a
    // connection that comes right after another closed: try a few times.
    for (int tries = 0; SDL_Init(SDL_INIT_VIDEO) != 0 && tries < 5; tries++)
        SDL_Delay(50);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    FILE *f = fopen(argc > 1 ? argv[1] : "cases.txt", "r");
    if (!f || !SDL_SetVideoMode(W, H, 24, SDL_OPENGL)) return fprintf(stderr, "%s\n", SDL_GetError()), 1;
    glReadBuffer(GL_BACK);
    font();
    for (char line[256]; fgets(line, sizeof line, f);) {
        std::istringstream in(line);
        std::string what;
        if (!(in >> what)) continue;
        printf("%s", line);
        if (what == "text") textCase(in);
        if (what == "pointer") pointerCase(in);
        if (what == "hud" && level.pins.empty()) load("level.scene"), sceneReshape(W, H), text_init(W, H);
        if (what == "hud") hudCase(in);
    }
    fclose(f);
    view();
    lists();
    axis();
    SDL_Quit();
    return 0;
}
