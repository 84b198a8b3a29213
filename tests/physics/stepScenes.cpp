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
