// Steps the small scenes of scenes.txt with the game's physics step and prints
// where everything ends up, for the test to compare with expected.txt. A scene
// is its faces ("face" and three corners, then the normal as the file would
// give it), its objects ("ball", then "pin"s: centre, radius, velocity, mass,
// and "out" for one out of play), optional "start" points for the last object,
// "contacts" (the three contact tests of the last object on every face) and
// "step" lines (seconds, lower bound, how many steps).
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "laneScene.h"
#include "scene/physics.h"

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
    for (char line[512]; fgets(line, sizeof line, f);) {
        std::istringstream in(line);
        std::string what;
        in >> what;
        if (what == "scene") {
            faces.clear(), objects.clear(), left = 0;
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
        } else if (what == "step") {
            float dt = number(in), lowerBound = number(in);
            for (int k = (int)number(in); k > 0; k--)
                physicsStep(&objects[0], objects.data() + 1, (int)objects.size() - 1, lane::linkFaces(faces),
                            lowerBound, dt, &left);
            for (const dynamicObject &o : objects)
                printf("-> %s at %g %g %g moving %g %g %g%s\n", &o == &objects[0] ? "ball" : "pin",
                       o.location.x, o.location.y, o.location.z, o.velocity.x, o.velocity.y, o.velocity.z,
                       o.inPlay ? "" : ", out");
            printf("   pins counted out %d\n", -left);
        }
    }
    fclose(f);
    return 0;
}
