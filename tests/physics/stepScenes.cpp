// Steps the scenes of scenes.txt (its head says how they are written) with and
// without the broad phase, and prints where everything ends up, as in expected.txt.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "laneScene.h"

// The number at the cursor, which moves past it; nan and inf are read as well.
static float number(char *&cursor) { return strtof(cursor, &cursor); }
static vec3 point(char *&cursor) { return vec3{number(cursor), number(cursor), number(cursor)}; }
#include "sim/levelPlay.h"

namespace
{

// Frame times in milliseconds, as the game's clock would measure them.
struct framing {
    const char *name;
    int (*next)(int frame);
};
std::mt19937 jitter(7);
int every(int frame, double ms) { return (int)((frame + 1) * ms) - (int)(frame * ms); }
const framing FRAMINGS[] = {
    {"frames of 1/30 s", [](int k) { return every(k, 1000 / 30.0); }},
    {"frames of 1/60 s", [](int k) { return every(k, 1000 / 60.0); }},
    {"frames of 1/144 s", [](int k) { return every(k, 1000 / 144.0); }},
    {"frames of 1/400 s", [](int k) { return every(k, 1000 / 400.0); }},
    {"frames of 1/2000 s", [](int k) { return every(k, 1000 / 2000.0); }},
    {"frames of 0 to 40 ms at random", [](int) { return (int)(jitter() % 41); }},
    {"1/60 s frames and stalls of up to 0.25 s",
     [](int k) { return k % 40 == 39 ? 150 + (int)(jitter() % 101) : every(k, 1000 / 60.0); }},
};

uint64_t hashBits(uint64_t h, const void *data, size_t size)
{
    for (size_t i = 0; i < size; i++)
        h = (h ^ ((const uint8_t *)data)[i]) * 0x100000001b3ULL;
    return h;
}

// The scene as a level, awaiting a throw: the drag's press and release come at
// given game times, each frame cut there so that every way of framing gives
// them at the same time, and it plays until `seconds` of game time. What it
// ends with is hashed: every location and velocity, the throw and the camera.
// Frames that took time but draw the rolling ball where the last one did are
// stale; the drawn ball's speed over the throw's first second is measured
// frame by frame.
void play(lane::scene &s, char *rest)
{
    s.lowerBound = number(rest);
    float seconds = number(rest), pressAt = number(rest), releaseAt = number(rest);
    int right = (int)number(rest), up = (int)number(rest);
    int endMs = (int)lroundf(seconds * 1000),
        events[] = {(int)lroundf(pressAt * 1000), (int)lroundf(releaseAt * 1000)};
    for (const framing &f : FRAMINGS) {
        collisionFace *faces = lane::linkFaces(s.faces);
        levelPlay p = newLevelPlay();
        startLevelPlay(&p, s.objects[0], s.objects.data() + 1, (int)s.objects.size() - 1, faces,
                       buildFaceIndex(faces), s.lowerBound, vec3{0, 0, 0}, awaitingThrow);
        keepStepStarts(&p);
        int now = 0, frames = 0, stale = 0, next = 0;
        float slowest = INFINITY, fastest = 0;
        vec3 drawn = locationBetweenSteps(&p, 0);
        while (now < endMs) {
            int ms = std::min(f.next(frames++), endMs - now);
            for (int end = now + ms; now < end;) {
                int until = next < 2 && events[next] < end ? events[next] : end;
                advanceLevel(&p, until - now);
                now = until;
                if (next < 2 && now == events[next]) {
                    if (next++ == 0)
                        beginThrow(&p), addDrag(&p, right, -up);
                    else
                        endDrag(&p);
                }
            }
            vec3 was = drawn;
            drawn = locationBetweenSteps(&p, 0);
            bool rolling = now - ms >= events[1] + STEP_MS && now <= events[1] + 1000;
            if (rolling && ms > 0) {
                stale += drawn.y == was.y;
                float speed = (drawn.y - was.y) * 1000.0f / (float)ms;
                slowest = std::min(slowest, speed), fastest = std::max(fastest, speed);
            }
        }
        uint64_t h = 0xcbf29ce484222325ULL;
        for (const dynamicObject &o : p.pins)
            h = hashBits(hashBits(h, &o.location, sizeof o.location), &o.velocity, sizeof o.velocity);
        h = hashBits(hashBits(h, &p.ball, sizeof p.ball), &p.cameraVelocity, sizeof p.cameraVelocity);
        h = hashBits(hashBits(h, &p.throwTimeRemaining, sizeof(float)), &p.gameState, sizeof p.gameState);
        printf(
            "   %s: %d frames, %d stale, the rolling ball drawn at %.1f to %.1f a second; ends %016llx, %d "
            "pins left, ball at %g %g %g\n",
            f.name, frames, stale, slowest, fastest, (unsigned long long)h, p.remainingPins,
            p.ball.location.x, p.ball.location.y, p.ball.location.z);
        freeFaceIndex(p.collisionIndex);
    }
}

} // namespace

int main(int argc, char **argv)
{
    FILE *f = fopen(argc > 1 ? argv[1] : "scenes.txt", "r");
    if (!f) return 1;
    lane::scene s = {};
    for (char line[512]; fgets(line, sizeof line, f);) {
        char *rest = line + strcspn(line, " \n");
        std::string what(line, rest);
        if (what == "scene") {
            s = lane::scene{};
            printf("== %s", line + 6);
        } else if (what == "face") {
            vec3 a = point(rest), b = point(rest), c = point(rest), no = point(rest);
            s.faces.push_back(collisionFace{{a, b, c}, no, vec_dot(no, a), nullptr});
        } else if (what == "ball" || what == "pin") {
            vec3 at = point(rest);
            float radius = number(rest);
            vec3 velocity = point(rest);
            float mass = number(rest);
            s.objects.push_back(lane::makeObject(at, radius, mass, velocity));
            s.objects.back().inPlay = strstr(rest, "out") == nullptr;
        } else if (what == "start") {
            s.objects.back().initLoc = point(rest);
        } else if (what == "contacts") {
            const dynamicObject &o = s.objects.back();
            for (const collisionFace &face : s.faces)
                printf("   corner %d inside %d edge %d\n",
                       touchesCorner(o.location, o.radius * o.radius, &face),
                       insideTriangle({o.location.x, o.location.y, face.offset}, &face),
                       touchesEdge(o.location, o.radius * o.radius, &face));
        } else if (what == "lane") {
            int columns = (int)number(rest), rows = (int)number(rest);
            float halfWidth = number(rest), length = number(rest);
            s.faces = lane::makeLane(columns, rows, halfWidth, length, strstr(rest, "gutters") != nullptr);
        } else if (what == "candidates") {
            faceIndex *index = buildFaceIndex(lane::linkFaces(s.faces));
            printf("   the ball's candidates %d of %zu faces, always %d\n",
                   index ? faceCandidates(index, s.objects[0].location, s.objects[0].radius) : -1,
                   s.faces.size(), index ? index->alwaysCount : 0);
            freeFaceIndex(index);
        } else if (what == "step") {
            float dt = number(rest);
            s.lowerBound = number(rest);
            int steps = (int)number(rest);
            bool exactly = strstr(rest, "exact") != nullptr;
            lane::run run = lane::stepBothWays(s, steps, dt);
            if (run.firstDifference >= 0)
                printf("   with the broad phase it differs from step %d\n", run.firstDifference);
            for (const dynamicObject &o : s.objects)
                printf(exactly ? "-> %s at %a %a %a moving %a %a %a%s\n"
                               : "-> %s at %g %g %g moving %g %g %g%s\n",
                       &o == &s.objects[0] ? "ball" : "pin", o.location.x, o.location.y, o.location.z,
                       o.velocity.x, o.velocity.y, o.velocity.z, o.inPlay ? "" : ", out");
            printf("   pins counted out %d\n", -run.pinsLeft);
            if (exactly) printf("   path hash %016llx\n", (unsigned long long)run.pathHash);
        } else if (what == "play") {
            play(s, rest);
        } else if (what == "differ") {
            std::mt19937 random(1);
            const float STEP_TIMES[] = {1.0f / 200.0f, 1.0f / 30.0f, 0.5f};
            int scenes = (int)number(rest), steps = (int)number(rest), differ = 0, first = -1;
            for (int n = 0; n < scenes; n++) {
                uint8_t data[768];
                for (uint8_t &byte : data)
                    byte = (uint8_t)random();
                lane::bytes bytes = {data, sizeof data, 0};
                lane::scene scene = lane::makeScene(bytes);
                if (lane::stepBothWays(scene, steps, STEP_TIMES[n % 3]).firstDifference >= 0 && differ++ == 0)
                    first = n;
            }
            printf("   %d of %d differ with the broad phase, the first %d\n", differ, scenes, first);
        }
    }
    fclose(f);
    return 0;
}
