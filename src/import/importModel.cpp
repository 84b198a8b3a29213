// What the glTF and the OBJ readers share: the roles objects play, colours,
// triangles as the mesh files will hold them, and the files' text.
#include "importModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/vectorMath.h"

namespace
{

// Twice the area below which a triangle is taken to have none: its normal
// would be noise.
const double LEAST_DOUBLE_AREA = 1e-8;
// The mesh files keep four decimals, a tenth of a millimetre.
const double FILE_UNITS = 1e4;

// Light from above the camera's shoulder for the meshes written by default,
// and how much of a colour is left in the shade (as the shipped pack shades).
const vec3 LIGHT = {0.35f, -0.55f, 0.75f};
const float SHADE_FLOOR = 0.62f;
const int SPHERE_SEGMENTS = 16, SPHERE_BANDS = 8;

bool startsWith(const std::string &s, const char *prefix)
{
    return s.compare(0, strlen(prefix), prefix) == 0;
}

float rounded(double x) { return (float)(std::round(x * FILE_UNITS) / FILE_UNITS); }

// A sphere of bands from the bottom up, each corner's colour the band's
// colour as lit from LIGHT.
std::string sphereText(float radius, unsigned char (*colourOf)(int band, int part))
{
    importedLevel sphere = {};
    vec3 light = LIGHT;
    vec_normalize(&light);
    auto corner = [&](int segment, int band) {
        double around = 2 * M_PI * segment / SPHERE_SEGMENTS, up = M_PI * band / SPHERE_BANDS - M_PI / 2;
        return vec3{(float)(cos(up) * cos(around)), (float)(cos(up) * sin(around)), (float)sin(up)};
    };
    for (int s = 0; s < SPHERE_SEGMENTS; s++)
        for (int b = 0; b < SPHERE_BANDS; b++) {
            vec3 unit[4] = {corner(s, b), corner(s + 1, b), corner(s + 1, b + 1), corner(s, b + 1)};
            vec3 at[4];
            unsigned char colour[4][3];
            for (int k = 0; k < 4; k++) {
                at[k] = vec_scalar_multiple(unit[k], radius);
                float lit = SHADE_FLOOR + (1 - SHADE_FLOOR) * std::max(0.0f, vec_dot(unit[k], light));
                for (int part = 0; part < 3; part++)
                    colour[k][part] = (unsigned char)lroundf(colourOf(b, part) * lit);
            }
            const int halves[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (const int *h : halves) {
                vec3 tri[3] = {at[h[0]], at[h[1]], at[h[2]]};
                unsigned char c[3][3];
                for (int k = 0; k < 3; k++)
                    std::copy(colour[h[k]], colour[h[k]] + 3, c[k]);
                addTriangle(&sphere, drawnRole, tri, c, false); // the poles' halves without area go
            }
        }
    return meshText(sphere.drawn);
}

// A dark red ball, so that light text stands out on it as on the default sky.
unsigned char ballColour(int, int part)
{
    const unsigned char RED[3] = {150, 30, 40};
    return RED[part];
}

// A white pin with a red band round its upper half.
unsigned char pinColour(int band, int part)
{
    const unsigned char WHITE[3] = {240, 240, 235}, RED[3] = {200, 30, 30};
    return band == SPHERE_BANDS - 3 ? RED[part] : WHITE[part];
}

} // namespace

objectRole roleFromName(const std::string &name)
{
    std::string lower = name;
    for (char &c : lower)
        c = (char)tolower((unsigned char)c);
    if (startsWith(lower, "collide")) return collideRole;
    if (lower == "ball" || startsWith(lower, "ball.")) return ballRole;
    if (startsWith(lower, "pin")) return pinRole;
    if (lower == "camera" || startsWith(lower, "camera.")) return cameraRole;
    return drawnRole;
}

bool roleFromWord(const std::string &word, objectRole *role)
{
    const char *const WORDS[] = {"draw", "collide", "both", "ball", "pin", "camera"};
    for (int k = 0; k < 6; k++)
        if (word == WORDS[k]) return *role = (objectRole)k, true;
    return false;
}

unsigned char linearToSrgb(double linear)
{
    linear = std::min(1.0, std::max(0.0, linear));
    return srgbByte(linear <= 0.0031308 ? 12.92 * linear : 1.055 * pow(linear, 1 / 2.4) - 0.055);
}

unsigned char srgbByte(double srgb)
{
    return (unsigned char)lround(std::min(1.0, std::max(0.0, srgb)) * 255);
}

bool addTriangle(importedLevel *level, objectRole role, const vec3 corner[3],
                 const unsigned char colour[3][3], bool doubleSided)
{
    importedTriangle t;
    for (int k = 0; k < 3; k++) {
        t.corner[k] = {rounded(corner[k].x), rounded(corner[k].y), rounded(corner[k].z)};
        std::copy(colour[k], colour[k] + 3, t.colour[k]);
    }
    // In double, as the checker weighs the written normal against the corners.
    double a[3] = {t.corner[1].x - (double)t.corner[0].x, t.corner[1].y - (double)t.corner[0].y,
                   t.corner[1].z - (double)t.corner[0].z};
    double b[3] = {t.corner[2].x - (double)t.corner[0].x, t.corner[2].y - (double)t.corner[0].y,
                   t.corner[2].z - (double)t.corner[0].z};
    double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    double length = sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length >= LEAST_DOUBLE_AREA)) return false;
    t.normal = {(float)(n[0] / length), (float)(n[1] / length), (float)(n[2] / length)};
    if (role != collideRole) level->drawn.push_back(t);
    if (role != drawnRole) level->collide.push_back(t);
    if (doubleSided && role != collideRole) {
        std::swap(t.corner[1], t.corner[2]);
        std::swap(t.colour[1], t.colour[2]);
        t.normal = vec_scalar_multiple(t.normal, -1);
        level->drawn.push_back(t);
    }
    return true;
}

placedObject placeByBox(const std::string &name, const std::vector<vec3> &corners)
{
    vec3 low = corners.empty() ? vec3{0, 0, 0} : corners[0], high = low;
    for (const vec3 &c : corners) {
        low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
        high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
    }
    vec3 size = vec_subtract(high, low);
    return {name, vec_scalar_multiple(vec_add(low, high), 0.5f), std::max({size.x, size.y, size.z}) / 2, 0};
}

void addPlaced(importedLevel *level, objectRole role, const placedObject &object)
{
    (role == ballRole ? level->balls : role == pinRole ? level->pins : level->cameras).push_back(object);
}

std::string fileNumber(double x)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%.4f", x);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string meshText(const std::vector<importedTriangle> &triangles)
{
    auto triple = [](vec3 v) {
        return "[" + fileNumber(v.x) + ", " + fileNumber(v.y) + ", " + fileNumber(v.z) + "]";
    };
    std::string out = "triangles " + std::to_string(triangles.size()) + "\n";
    for (const importedTriangle &t : triangles) {
        out += "n " + triple(t.normal) + "\n";
        for (int k = 0; k < 3; k++)
            out += "c [" + std::to_string(t.colour[k][0]) + ", " + std::to_string(t.colour[k][1]) + ", " +
                   std::to_string(t.colour[k][2]) + "]\np " + triple(t.corner[k]) + "\n";
    }
    return out;
}

std::string ballMeshText(float radius) { return sphereText(radius, ballColour); }
std::string pinMeshText(float radius) { return sphereText(radius, pinColour); }
