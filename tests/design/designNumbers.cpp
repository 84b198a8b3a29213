// The numbers an author designs a level with, measured through the game's own
// throw and physics on small made-up courses for the shipped ball (radius
// 0.5), then looked for, in the same order, on the page that gives them: the
// section of pinwhirl-level(5) named on the command line. A number the page
// does not give is marked. As design/expected.txt records.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "laneScene.h"
#include "sim/levelPlay.h"

namespace
{

const float RADIUS = 0.5f;

typedef std::vector<collisionFace> course;

// A rectangle across the course (x from -5 to 5) from a along `along`.
void addStrip(course &c, vec3 a, vec3 along)
{
    vec3 across = {10, 0, 0}, b = vec_add(a, across), e = vec_add(b, along), f = vec_add(a, along);
    c.push_back(lane::makeFace(a, b, e));
    c.push_back(lane::makeFace(a, e, f));
}

// The floor the ball starts on, from y = -5 to 5.
course floorTo5()
{
    course c;
    addStrip(c, {-5, -5, 0}, {0, 10, 0});
    return c;
}

// Where the ball starts its roll: resting on the floor it hops by a few
// thousandths, so whether it touches the floor as it reaches something
// depends on where it set out from, and each number is taken over PHASES starts.
const int PHASES = 10;
float startAt(int phase) { return -0.0371f * (float)phase; }

// The ball rolled along +y at `speed` from the phase's start, stepped for
// `seconds`; `watch` sees it after each step.
template <class F> void roll(course c, float speed, float seconds, F watch, int phase = 0)
{
    const collisionFace *first = lane::linkFaces(c);
    dynamicObject ball = lane::makeObject({0, startAt(phase), RADIUS}, RADIUS, 5, {0, speed, 0});
    int left = 0;
    for (int k = 0; k * STEP_SECONDS < seconds; k++) {
        physicsStep(&ball, nullptr, 0, first, -100, STEP_SECONDS, &left);
        watch(ball);
    }
}

// How many of the starts take the ball at `speed` onto the flat top of a
// course that reaches height `top` at y = `edge`: its centre more than a
// radius past the edge, above it.
int startsOnto(const course &c, float speed, float edge, float top)
{
    int onto = 0;
    for (int phase = 0; phase < PHASES; phase++) {
        bool got = false;
        roll(
            c, speed, 4,
            [&](const dynamicObject &b) {
                got = got || (b.location.y > edge + RADIUS && b.location.z > top);
            },
            phase);
        onto += got;
    }
    return onto;
}

// A step `height` high at y = 5, a shelf beyond it.
course step(float height)
{
    course c = floorTo5();
    addStrip(c, {-5, 5, 0}, {0, 0, height});
    addStrip(c, {-5, 5, height}, {0, 10, 0});
    return c;
}

// A ramp from y = 5 rising `rise` at `degrees`, then a flat top (or nothing).
course ramp(float degrees, float rise, bool top, float *end)
{
    course c = floorTo5();
    float run = rise / tanf(degrees * (float)M_PI / 180);
    *end = 5 + run;
    addStrip(c, {-5, 5, 0}, {0, run, rise});
    if (top) addStrip(c, {-5, *end, rise}, {0, 10, 0});
    return c;
}

// The steepest ramp rising 1 that the ball climbs from `speed` from every
// start, every gentler one too: degrees in fives.
int steepestClimbed(float speed)
{
    int degrees = 0;
    for (float end;
         degrees + 5 < 90 && startsOnto(ramp((float)degrees + 5, 1, true, &end), speed, end, 1) == PHASES;)
        degrees += 5;
    return degrees;
}

// The lowest step, in tenths, over which the ball at `speed` gets from no start.
float lowestStopping(float speed)
{
    int tenths = 1;
    while (startsOnto(step((float)tenths / 10), speed, 5, (float)tenths / 10) > 0)
        tenths++;
    return (float)tenths / 10;
}

// How far the ball flies from the lip of a 20 degree ramp rising 0.5 before it
// is back down at the lip's height: the shortest flight of any start.
float jumpLength(float speed)
{
    float shortest = INFINITY;
    for (int phase = 0; phase < PHASES; phase++) {
        float lip, from = NAN, to = NAN;
        roll(
            ramp(20, 0.5f, false, &lip), speed, 3,
            [&](const dynamicObject &b) {
                if (std::isnan(from) && b.location.y > lip) from = b.location.y;
                if (!std::isnan(from) && std::isnan(to) && b.location.z < 0.5f + RADIUS &&
                    b.location.y > lip + RADIUS)
                    to = b.location.y;
            },
            phase);
        shortest = std::min(shortest, to - from);
    }
    return shortest;
}

std::string page;
size_t reached; // where on the page the last number given stands

// Prints a number the page should give, after the one before: marked when it does not.
void give(const char *what, double value, const char *format)
{
    char number[32];
    snprintf(number, sizeof number, format, value);
    auto digit = [](char c) { return isdigit((unsigned char)c) || c == '.'; };
    size_t at = page.find(number, reached);
    while (at != std::string::npos && ((at > 0 && digit(page[at - 1])) || digit(page[at + strlen(number)])))
        at = page.find(number, at + 1);
    if (at != std::string::npos) reached = at + strlen(number);
    printf("%s: %s%s\n", what, number,
           at != std::string::npos ? "" : "   <- not on the page after the one before");
}

} // namespace

int main(int argc, char **argv)
{
    // The section of the page between its heading and the next.
    std::ifstream in(argc > 1 ? argv[1] : "");
    std::stringstream text;
    text << in.rdbuf();
    page = text.str();
    size_t from = page.find(".SH NUMBERS"), to = page.find(".SH", from + 1);
    page = from == std::string::npos ? "" : page.substr(from, to - from);

    float fall = 0;
    roll({}, 0, 1, [&](const dynamicObject &b) { fall = -b.velocity.z; });
    give("gravity, units/s^2", fall, "%.2g");

    // A drag up the screen, thrown as the game throws it; a pin far off keeps the level in play.
    course lane = floorTo5();
    addStrip(lane, {-5, 5, 0}, {0, 100, 0});
    dynamicObject pin = lane::makeObject({0, 100, 0.3f}, 0.3f, 1, {0, 0, 0});
    levelPlay p = newLevelPlay();
    startLevelPlay(&p, lane::makeObject({0, 0, RADIUS}, RADIUS, 5, {0, 0, 0}), &pin, 1, lane::linkFaces(lane),
                   nullptr, -100, vec3{0, -10, RADIUS}, awaitingThrow);
    beginThrow(&p);
    addDrag(&p, 0, -200);
    advanceLevel(&p, 500);
    endDrag(&p);
    give("ball speed per px/s of drag", p.ball.velocity.y / 400, "%.2g");
    give("ball speed after a 200 px drag in 0.5 s", p.ball.velocity.y, "%.2g");

    // Into a wall: back off it, or, where the ball touches the floor in the same
    // step, up it, off the mean of the two normals.
    float back = 0, lift = 0;
    for (int phase = 0; phase < PHASES; phase++)
        roll(
            step(20), 8, 3,
            [&](const dynamicObject &b) {
                back = std::max(back, -b.velocity.y / 8);
                lift = std::max(lift, b.location.z - RADIUS);
            },
            phase);
    give("speed a wall's bounce keeps", back, "%.2g");
    give("how high the floor and a wall kick a ball at 8 units/s", lift, "%.2g");
    give("lowest step a ball at 8 units/s never gets over", lowestStopping(8), "%.2g");
    give("lowest step a ball at 16 units/s never gets over", lowestStopping(16), "%.2g");

    give("steepest ramp rising 1 climbed from 8 units/s, degrees", steepestClimbed(8), "%.0f");
    give("steepest ramp rising 1 climbed from 12 units/s, degrees", steepestClimbed(12), "%.0f");
    give("flight off a 20 degree ramp at 8 units/s", jumpLength(8), "%.2g");
    give("flight off a 20 degree ramp at 12 units/s", jumpLength(12), "%.2g");
    return 0;
}
