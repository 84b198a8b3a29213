// A level that the game would load, looked at as its author would want: meshes
// that culling hides or whose normals mislead the physics, objects that start
// inside something or above nothing, and what moves when nobody throws, all
// with the game's own physics step.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "check/check.h"
#include "common/vectorMath.h"
#include "sim/levelPlay.h"

namespace
{

const double SIN_ONE_DEGREE = 0.0175;
const int SETTLE_MS = 30000;
const float ALLOWED_DRIFT = 0.05f; // resting objects hop a little
const double LEAST_CONTRAST = 4.5; // WCAG's least for text, between relative luminances

struct dvec {
    double x, y, z;
};
dvec d(vec3 v) { return {v.x, v.y, v.z}; }
dvec sub(dvec a, dvec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(dvec a, dvec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
dvec cross(dvec a, dvec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double length(dvec a) { return sqrt(dot(a, a)); }

std::string number(double v)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.3g", v);
    return buf;
}

std::string objectName(int i) { return i == 0 ? "the ball" : "pin " + std::to_string(i); }
// Object i's entry: the ball's come in the same order as a pin's.
int objectEntry(int i, int field = pinLocation)
{
    return i == 0 ? ballLocationEntry + field : pinEntry(i - 1, field);
}
const dynamicObject &objectAt(const sceneData *s, int i) { return *objectAt(&s->ball, s->pins, i); }

// The distance from p to the closest point of triangle abc.
double distanceToTriangle(dvec p, dvec a, dvec b, dvec c)
{
    dvec n = cross(sub(b, a), sub(c, a));
    double area2 = dot(n, n);
    if (area2 > 0) {
        double u = dot(cross(sub(c, b), sub(p, b)), n), v = dot(cross(sub(a, c), sub(p, c)), n),
               w = dot(cross(sub(b, a), sub(p, a)), n);
        if (u >= 0 && v >= 0 && w >= 0) return fabs(dot(sub(p, a), n)) / sqrt(area2);
    }
    double best = INFINITY;
    dvec corners[] = {a, b, c, a};
    for (int k = 0; k < 3; k++) {
        dvec e = sub(corners[k + 1], corners[k]);
        double t = dot(e, e) > 0 ? std::min(1.0, std::max(0.0, dot(sub(p, corners[k]), e) / dot(e, e))) : 0;
        best = std::min(
            best, length(sub(p, {corners[k].x + t * e.x, corners[k].y + t * e.y, corners[k].z + t * e.z})));
    }
    return best;
}

// Whether a vertical line through p meets triangle abc below p and above the
// bound, and at what height.
bool standsOn(dvec p, dvec a, dvec b, dvec c, double lowerBound, double *height)
{
    double w = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (w == 0) return false;
    double u = ((b.x - p.x) * (c.y - p.y) - (b.y - p.y) * (c.x - p.x)) / w,
           v = ((c.x - p.x) * (a.y - p.y) - (c.y - p.y) * (a.x - p.x)) / w, t = 1 - u - v;
    *height = u * a.z + v * b.z + t * c.z;
    return u >= 0 && v >= 0 && t >= 0 && *height <= p.z && *height > lowerBound;
}

// Where the foot of p on the plane of abc lies within the triangle, and how far
// p is along n (a unit normal) from that plane.
bool overTriangle(dvec p, dvec a, dvec b, dvec c, dvec n, double *along)
{
    dvec w = cross(sub(b, a), sub(c, a));
    *along = dot(sub(p, a), n);
    return dot(w, w) > 0 && dot(cross(sub(c, b), sub(p, b)), w) >= 0 &&
           dot(cross(sub(a, c), sub(p, c)), w) >= 0 && dot(cross(sub(b, a), sub(p, a)), w) >= 0;
}

// Where an object starts against the collision mesh: how deep it is in the
// triangle it is deepest in and how far its centre is behind that triangle
// (0 when in front), and whether a triangle is under it and how high above the
// nearest one it would rest (0 when it touches something).
struct start {
    double deepest = 0, behind = 0, above = 0;
    int deepestFace = 0, aboveFace = 0;
    bool under = false;
};

start startOf(const sceneData *s, const dynamicObject &o)
{
    start st;
    double clearance = INFINITY, highest = -INFINITY;
    int faceNumber = 0;
    for (const collisionFace *f = s->firstCollisionFace; f; f = f->nextFace, faceNumber++) {
        double inside = o.radius - distanceToTriangle(d(o.location), d(f->v[0]), d(f->v[1]), d(f->v[2])),
               height;
        if (inside > st.deepest) {
            double along;
            st.deepest = inside, st.deepestFace = faceNumber;
            st.behind =
                overTriangle(d(o.location), d(f->v[0]), d(f->v[1]), d(f->v[2]), d(f->no), &along) && along < 0
                    ? -along
                    : 0;
        }
        clearance = std::min(clearance, -inside);
        if (standsOn(d(o.location), d(f->v[0]), d(f->v[1]), d(f->v[2]), s->worldLowerBound, &height) &&
            height > highest) {
            // Resting on a slope, the centre stands radius / cos(slope) above it.
            highest = height, st.aboveFace = faceNumber, st.under = true;
            st.above = o.location.z - height - o.radius / std::max(fabs(f->no.z), 1e-6);
        }
    }
    if (!(clearance > ALLOWED_DRIFT)) st.above = 0;
    return st;
}

// An object whose place or size makes no sense: its values are reported, and
// nothing about where it stands would mean anything.
bool sensible(const dynamicObject &o)
{
    return isFinite(o.location) && std::isfinite(o.radius) && o.radius > 0;
}

// WCAG's relative luminance of a colour, its parts from 0 to 1, and the
// contrast of two luminances.
double luminance(const double rgb[3])
{
    const double weight[] = {0.2126, 0.7152, 0.0722};
    double sum = 0;
    for (int k = 0; k < 3; k++) {
        double c = std::min(1.0, std::max(0.0, rgb[k]));
        sum += weight[k] * (c <= 0.03928 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}
double contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

std::string colourText(const double rgb[3])
{
    return "[" + number(rgb[0]) + ", " + number(rgb[1]) + ", " + number(rgb[2]) + "]";
}

std::string ratio(double c)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.1f:1", c);
    return buf;
}

// The text against what it is drawn on: the background, and the ball's colours,
// since the pause notice stands mid-screen, where the camera keeps the ball.
void checkContrast(const std::string &name, const sceneData *s, const double background[3],
                   const double text[3])
{
    int line = sceneEntryLine(s, textEntry);
    double ink = luminance(text), against = contrast(ink, luminance(background));
    if (against < LEAST_CONTRAST)
        report(name, line, warningFinding,
               "text colour: " + ratio(against) + " against the background " + colourText(background) +
                   "; text needs 4.5:1 to be read");
    const meshData &ball = s->ballMesh.mesh;
    double worst = INFINITY, worstColour[3] = {0, 0, 0};
    int worstLine = 0;
    for (int t = 0; t < ball.numTriangles; t++)
        for (const meshCorner &c : ball.triangles[t].corner) {
            double rgb[] = {c.colour[0] / 255.0, c.colour[1] / 255.0, c.colour[2] / 255.0};
            double here = contrast(ink, luminance(rgb));
            if (here < worst)
                worst = here, worstLine = ball.triangles[t].line, std::copy(rgb, rgb + 3, worstColour);
        }
    if (worst < LEAST_CONTRAST) {
        for (double &part : worstColour)
            part = round(part * 255);
        report(name, line, warningFinding,
               "text colour: " + ratio(worst) + " against the ball's colour " + colourText(worstColour) +
                   " (" + s->ballMesh.name + ":" + std::to_string(worstLine) +
                   "), which the pause notice is drawn over; text needs 4.5:1 to be read");
    }
}

// Triangles a drawn mesh or a collision mesh would be better without.
void checkTriangles(const std::string &file, const meshData &m, bool collision)
{
    for (int t = 0; t < m.numTriangles; t++) {
        const meshTriangle &tri = m.triangles[t];
        dvec w = cross(sub(d(tri.corner[1].position), d(tri.corner[0].position)),
                       sub(d(tri.corner[2].position), d(tri.corner[0].position)));
        dvec n = d(tri.normal);
        std::string which = "triangle " + std::to_string(t + 1);
        double cosine = dot(w, n) / (length(w) * length(n));
        std::vector<std::string> wrong;
        if (!isFinite(tri.normal)) {
            report(file, tri.line, collision ? errorFinding : warningFinding,
                   which + "'s normal is not finite: " +
                       (collision
                            ? "the triangle takes no part in collisions"
                            : "drawing ignores it, but it tells nothing of which side is meant to be seen"));
            continue;
        }
        if (length(w) == 0)
            wrong.push_back(collision ? " has no area: it bounces little" : " has no area: it draws nothing");
        else if (collision && fabs(cosine) < cos(asin(SIN_ONE_DEGREE)))
            wrong.push_back("'s normal is " + number(acos(fabs(cosine)) * 180 / M_PI) +
                            " degrees off the perpendicular of its corners: bounces go askew");
        else if (cosine < 0)
            wrong.push_back(
                collision ? "'s normal points against the way its corners wind"
                          : " is wound clockwise seen from where its normal points: culling hides it there");
        if (collision && fabs(length(n) - 1) > 1e-3)
            wrong.push_back("'s normal is " + number(length(n)) +
                            " long, not 1 (the game scales it, a zero one to up)");
        for (const std::string &w : wrong)
            report(file, tri.line, warningFinding, which + w);
    }
}

} // namespace

// The level as the game starts it, awaiting the first throw.
levelPlay startPlay(const sceneData *s, faceIndex *index)
{
    levelPlay p = newLevelPlay();
    startLevelPlay(&p, s->ball, s->pins, s->numPins, s->firstCollisionFace, index, s->worldLowerBound,
                   s->cameraLocation, awaitingThrow);
    return p;
}

void checkGeometry(const std::string &name, const sceneData *s)
{
    static std::set<std::string> seen;
    const meshEntry *drawn[] = {&s->world, &s->ballMesh};
    for (const meshEntry *m : drawn)
        if (seen.insert(m->name).second) checkTriangles(m->name, m->mesh, false);
    for (int i = 0; i < s->numPins; i++)
        if (seen.insert(s->pinMeshes[i].name).second)
            checkTriangles(s->pinMeshes[i].name, s->pinMeshes[i].mesh, false);
    // The faces keep only the scaled normals; the mesh they were made from has them as written.
    if (seen.insert(std::string("collision ") + s->collisionName).second)
        checkTriangles(s->collisionName, s->collisionMesh, true);

    // Triangles are named as an author counts them, with the line they start on.
    auto triangle = [&](int face) {
        int line = face < s->collisionMesh.numTriangles ? s->collisionMesh.triangles[face].line : 0;
        return "collision triangle " + std::to_string(face + 1) + " (counted from 1, " + s->collisionName +
               ":" + std::to_string(line) + ")";
    };
    for (int i = 0; i <= s->numPins; i++) {
        const dynamicObject &o = objectAt(s, i);
        if (!sensible(o)) continue;
        int line = sceneEntryLine(s, objectEntry(i));
        for (int j = 0; j < i; j++)
            if (sensible(objectAt(s, j)) &&
                length(sub(d(o.location), d(objectAt(s, j).location))) < o.radius + objectAt(s, j).radius)
                report(name, line, warningFinding, objectName(i) + " starts overlapping " + objectName(j));
        start st = startOf(s, o);
        // A centre behind a triangle is pushed out that side: through a floor, not onto it.
        if (st.behind > 0)
            report(name, line, warningFinding,
                   objectName(i) + "'s centre starts inside the solid, " + number(st.behind) + " behind " +
                       triangle(st.deepestFace) +
                       ", on the side its normal points away from: the game pushes it out that side");
        else if (st.deepest > 1e-3 * o.radius)
            report(name, line, warningFinding,
                   objectName(i) + " starts " + number(st.deepest) + " deep in " + triangle(st.deepestFace));
        if (!st.under && !(st.behind > 0))
            report(name, line, warningFinding,
                   "nothing of the collision mesh is under " + objectName(i) + ": it falls out");
        else if (st.above > ALLOWED_DRIFT)
            report(name, line, warningFinding,
                   objectName(i) + " starts " + number(st.above) + " above " + triangle(st.aboveFace) +
                       ": it drops when the level starts");
    }
}

void checkValues(const std::string &name, const sceneData *s)
{
    auto say = [&](int entry, severity level, const std::string &what) {
        report(name, sceneEntryLine(s, entry), level, sceneEntryName(entry) + ": " + what);
    };
    // Colours: OpenGL takes each part from 0 to 1, so the text must stand out at that.
    double background[] = {s->bgRed, s->bgGreen, s->bgBlue}, text[] = {s->txtRed, s->txtGreen, s->txtBlue};
    const double *colours[] = {background, text};
    bool readable = true;
    for (int k = 0; k < 2; k++) {
        bool finite =
            std::isfinite(colours[k][0]) && std::isfinite(colours[k][1]) && std::isfinite(colours[k][2]);
        readable = readable && finite;
        bool inRange = true;
        for (int c = 0; c < 3; c++)
            inRange = inRange && colours[k][c] >= 0 && colours[k][c] <= 1;
        if (!finite)
            say(k == 0 ? backgroundEntry : textEntry, warningFinding,
                "not all finite: what the game draws is undefined");
        else if (!inRange)
            say(k == 0 ? backgroundEntry : textEntry, warningFinding,
                "each part goes from 0 to 1; the game draws " + colourText(colours[k]) +
                    " with what is beyond made 0 or 1");
    }
    if (readable) checkContrast(name, s, background, text);

    if (!std::isfinite(s->worldLowerBound))
        say(lowerBoundEntry, errorFinding,
            number(s->worldLowerBound) + ": " +
                (s->worldLowerBound > 0 ? "everything is out at once" : "nothing ever falls out"));
    if (!isFinite(s->cameraLocation))
        say(cameraEntry, errorFinding, "not all finite: the view cannot be drawn");
    for (int i = 0; i <= s->numPins; i++) {
        const dynamicObject &o = objectAt(s, i);
        int entry = objectEntry(i);
        if (!isFinite(o.location))
            say(entry, errorFinding, "not all finite: the game cannot play it");
        else if (!withinLimit(o.location))
            say(entry, warningFinding,
                "beyond " + std::to_string((int)COORDINATE_LIMIT) +
                    " from the origin: single-precision physics is coarse that far out");
        if (!(std::isfinite(o.radius) && o.radius > 0))
            say(objectEntry(i, pinRadius), errorFinding,
                number(o.radius) + ": a radius must be a number above 0; this one touches " +
                    (o.radius > 0 ? "everything" : "nothing"));
        if (!std::isfinite(o.mass))
            say(objectEntry(i, pinMass), warningFinding,
                number(o.mass) + ": every collision of it is taken as between equal masses");
        else if (!(o.mass > 0))
            say(objectEntry(i, pinMass), errorFinding,
                number(o.mass) + ": a mass must be above 0; collisions make no sense of it");
    }
}

void checkSettling(const std::string &name, const sceneData *s)
{
    std::vector<float> worst(s->numPins + 1, 0.0f);
    std::vector<bool> fell(s->numPins + 1, false);
    // Through the broad phase like the game (the same bits), so that a
    // collision mesh of tens of thousands of triangles is checked in seconds.
    faceIndex *index = buildFaceIndex(s->firstCollisionFace);
    levelPlay p = startPlay(s, index);
    for (int t = 0; t < SETTLE_MS && !advanceLevel(&p, STEP_MS); t += STEP_MS)
        for (int i = 0; i <= s->numPins; i++) {
            const dynamicObject &o = *objectAt(&p.ball, p.pins.data(), i);
            fell[i] = fell[i] || !o.inPlay;
            worst[i] = std::max(worst[i], vec_mag(vec_between_points(o.initLoc, o.location)));
        }
    for (int i = 1; i <= s->numPins; i++)
        fell[i] = fell[i] || !p.pins[i - 1].inPlay;
    // An object that starts in the air, or whose place or size makes no sense, is
    // told so already; that it then moves is no news.
    for (int i = 0; i <= s->numPins; i++)
        if (sensible(objectAt(s, i)) &&
            (fell[i] || (worst[i] > ALLOWED_DRIFT && !(startOf(s, objectAt(s, i)).above > ALLOWED_DRIFT))))
            report(name, sceneEntryLine(s, objectEntry(i)), warningFinding,
                   objectName(i) +
                       (fell[i] ? " falls out" : " moves " + number(worst[i]) + " from where it starts") +
                       " when the level is left alone for " + number(SETTLE_MS / 1000) + " seconds");
    freeFaceIndex(index);
}
