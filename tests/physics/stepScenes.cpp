// Steps the scenes of scenes.txt (its head says how they are written) with the
// game's physics step, with and without the broad phase, and prints where
// everything ends up, for the test to compare with expected.txt.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "randomScene.h"

static float number(std::istringstream &in)
{
    std::string word;
    in >> word;
    return strtof(word.c_str(), nullptr); // reads nan and inf as well
}

static vec3 point(std::istringstream &in)
{
    float x = number(in), y = number(in);
    return vec3{x, y, number(in)};
}

int main(int argc, char **argv)
{
    FILE *f = fopen(argc > 1 ? argv[1] : "scenes.txt", "r");
    if (!f) return 1;
    std::vector<collisionFace> faces;
    std::vector<dynamicObject> objects; // the ball first
    int left = 0;
    uint64_t hash = 0; // FNV-1a, over the bytes as a little-endian machine holds them
    for (char line[512]; fgets(line, sizeof line, f);) {
        std::istringstream in(line);
        std::string what;
        in >> what;
        if (what == "scene") {
            faces.clear(), objects.clear(), left = 0, hash = 0xcbf29ce484222325ull;
            printf("== %s", line + 6);
        } else if (what == "face") {
            vec3 a = point(in), b = point(in), c = point(in), no = point(in);
            faces.push_back(collisionFace{{a, b, c}, no, vec_dot(no, a), nullptr});
        } else if (what == "ball" || what == "pin") {
            vec3 at = point(in);
            float radius = number(in);
            vec3 velocity = point(in);
            float mass = number(in);
            objects.push_back(lane::makeObject(at, radius, mass, velocity));
            std::string out;
            objects.back().inPlay = !(in >> out);
        } else if (what == "start") {
            objects.back().initLoc = point(in);
        } else if (what == "contacts") {
            const dynamicObject &o = objects.back();
            for (const collisionFace &face : faces)
                printf("   corner %d inside %d edge %d\n",
                       touchesCorner(o.location, o.radius * o.radius, &face),
                       insideTriangle({o.location.x, o.location.y, face.offset}, &face),
                       touchesEdge(o.location, o.radius * o.radius, &face));
        } else if (what == "reference") {
            lane::scene s = lane::referenceScene();
            faces = s.faces, objects = s.pins, objects.insert(objects.begin(), s.ball);
        } else if (what == "candidates") {
            faceIndex *index = buildFaceIndex(lane::linkFaces(faces));
            printf("   the ball's candidates %d of %zu faces, always %d\n",
                   index ? faceCandidates(index, objects[0].location, objects[0].radius) : -1, faces.size(),
                   index ? index->alwaysCount : 0);
            freeFaceIndex(index);
        } else if (what == "step") {
            float dt = number(in), lowerBound = number(in);
            int count = (int)number(in);
            lane::scene s = {faces, objects[0], {objects.begin() + 1, objects.end()}, lowerBound};
            int differs = randomScene::firstDifference(s, count, dt);
            bool exactly = (bool)(in >> what);
            for (int k = count; k > 0; k--) {
                physicsStep(&objects[0], objects.data() + 1, (int)objects.size() - 1, lane::linkFaces(faces),
                            lowerBound, dt, &left);
                for (const dynamicObject &o : objects)
                    for (const vec3 *v : {&o.location, &o.velocity})
                        for (size_t b = 0; b < sizeof *v; b++)
                            hash = (hash ^ ((const uint8_t *)v)[b]) * 0x100000001b3ull;
            }
            if (differs >= 0) printf("   with the broad phase it differs from step %d\n", differs);
            for (const dynamicObject &o : objects)
                printf(exactly ? "-> %s at %a %a %a moving %a %a %a%s\n"
                               : "-> %s at %g %g %g moving %g %g %g%s\n",
                       &o == &objects[0] ? "ball" : "pin", o.location.x, o.location.y, o.location.z,
                       o.velocity.x, o.velocity.y, o.velocity.z, o.inPlay ? "" : ", out");
            printf("   pins counted out %d\n", -left);
            if (exactly) printf("   path hash %016llx\n", (unsigned long long)hash);
        } else if (what == "differ") {
            std::mt19937 random(1);
            const float STEP_TIMES[] = {1.0f / 200.0f, 1.0f / 30.0f, 0.5f};
            int scenes = (int)number(in), steps = (int)number(in), differ = 0, first = -1;
            for (int n = 0; n < scenes; n++) {
                uint8_t data[768];
                for (uint8_t &byte : data)
                    byte = (uint8_t)random();
                randomScene::bytes bytes = {data, sizeof data, 0};
                lane::scene s = randomScene::makeScene(bytes);
                if (randomScene::firstDifference(s, steps, STEP_TIMES[n % 3]) >= 0 && differ++ == 0)
                    first = n;
            }
            printf("   %d of %d differ with the broad phase, the first %d\n", differ, scenes, first);
        }
    }
    fclose(f);
    return 0;
}
