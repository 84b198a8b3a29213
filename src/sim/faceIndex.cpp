// The broad phase: a uniform grid over the boxes of what each face can reach.
//
// Why a grid: a level is mostly a surface of triangles of similar size, so
// cells about the size of the typical face find a sphere's neighbours in a few
// steps however big the mesh, and the build is a few linear passes with no
// sort (a bounding volume hierarchy would need one, and a descent of log n
// levels a query). Each face is listed once, in the cell of its box's centre,
// and each cell keeps the box around its faces' boxes, so a query looks at a
// few cells and at each nearby face once. A face too big for one cell is
// listed in every cell it meets; one whose reach cannot be bounded (see
// below), or that would fill too many cells, is on a list every query tests.
//
// Why the boxes are safe. A sphere (centre c, radius r) touches a face when
// |offset - no.c| < r and then a corner is nearer than r, or the foot
// P = c + no (offset - no.c) is strictly inside the triangle, or the centre is
// within r of an edge whose open segment its foot falls on. In exact
// arithmetic each puts c within r of a corner, an edge or the point Q of the
// triangle below P along the winding normal N. P lies within |no| r of c, and
// no.P = offset + (|no|^2 - 1)(offset - no.c), so P is within
//     h = (gap + | |no|^2 - 1 | r) / |no.N|,   gap = max over corners |offset - no.v|,
// of the triangle's plane. Float rounding widens all of this:
// - the differences and products are rounded relative to the coordinates,
//   which COORD_REL (about 170 ulps) of the face's and the centre's largest
//   coordinate covers, QUERY_FLOOR covering underflow;
// - the edge test's |a x e|^2 is off by up to about 1e-6 |a|^2, the centre then
//   reaching up to r + 1e-3 (r + |e|); the inside test's signs, taken from
//   differences of products, can accept a point outside the triangle by a few
//   ulps of its size, and by up to about sqrt(1e-6 |e| h) where P is h off the
//   plane; FACE_REL of the longest edge (ten times that 1e-3) and h once more
//   cover these;
// - the radius is scaled by QUERY_RADIUS_SCALE, more than twice as far above 1
//   as the 1 + 1e-3 + 2e-4 the edge test and a normal of slightly wrong length
//   need.
// The limits below keep these estimates honest: coordinates small enough that
// no product overflows, normals of unit length near the winding normal, and
// no slivers or specks. Any other face is tested by every query.
#include "sim/faceIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{

// What a face must be for its box to be trusted.
const double MAX_COORD = 1e8;                // corners and centres; 1e8^4 products stay finite
const double MAX_OFFSET = 4e8;               // the plane's offset, of the same order
const double NORMAL_LENGTH_TOLERANCE = 1e-4; // on |no|^2 - 1; the loader's normals are within 1e-6
const double MIN_FACE_SIZE = 1e-6;           // the longest edge: the tests stay clear of underflow
const double MIN_SHAPE = 1e-2;               // twice the area over the longest edge squared
const double MIN_TILT_COS = 0.5;             // |no.N|: within 60 degrees of the winding normal
// A sphere beyond these walks the whole list.
const double MAX_RADIUS = 1e8;
const int MAX_QUERY_SPAN = 64; // cells along one axis

// Margins, as argued above.
const double FACE_REL = 0.01;
const double COORD_REL = 1e-5;
const double QUERY_RADIUS_SCALE = 1.003;
const double QUERY_FLOOR = 1e-12;
// Where a point falls in the grid is rounded; a cell's edges are moved out by this much of the grid's size.
const double CELL_EDGE_SLACK = 1e-9;
// More than the relative change of a double rounded to float (2^-24).
const double FLOAT_ROUNDING = 1e-6;

// Sizing the grid: cells as wide as the median face box, at most this many a
// face, and a face too big for one cell in at most so many.
const double CELL_SIZE_FACTOR = 1.0;
const double GRID_CELLS_PER_FACE = 0.5;
const int MAX_FACE_CELLS = 64;

// Where a face is listed, besides a cell number.
const int MANY_CELLS = -1, NO_CELL = -2;

double at(vec3 p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

double dot(const double *u, const double *v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; }

// The box of every centre that could touch the face, before the radius is
// added, rounded outward to float; false for a face no box can bound.
bool faceBox(const collisionFace *face, float *box)
{
    double v[3][3], no[3] = {face->no.x, face->no.y, face->no.z};
    double scale = std::fabs((double)face->offset);
    if (!(scale <= MAX_OFFSET)) return false;
    for (int j = 0; j < 3; j++)
        for (int a = 0; a < 3; a++) {
            v[j][a] = at(face->v[j], a);
            if (!(std::fabs(v[j][a]) <= MAX_COORD)) return false;
            scale = std::max(scale, std::fabs(v[j][a]));
        }
    if (!(std::fabs(dot(no, no) - 1.0) <= NORMAL_LENGTH_TOLERANCE)) return false;

    double e1[3], e2[3], e3[3];
    for (int a = 0; a < 3; a++)
        e1[a] = v[1][a] - v[0][a], e2[a] = v[2][a] - v[0][a], e3[a] = v[2][a] - v[1][a];
    double longest2 = std::max({dot(e1, e1), dot(e2, e2), dot(e3, e3)});
    if (!(longest2 >= MIN_FACE_SIZE * MIN_FACE_SIZE)) return false;
    double w[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                   e1[0] * e2[1] - e1[1] * e2[0]};
    double twiceArea = std::sqrt(dot(w, w));
    if (!(twiceArea >= MIN_SHAPE * longest2)) return false;
    double tiltCos = std::fabs(dot(no, w)) / twiceArea;
    if (!(tiltCos >= MIN_TILT_COS)) return false;

    double gap = 0.0;
    for (int j = 0; j < 3; j++)
        gap = std::max(gap, std::fabs((double)face->offset - dot(no, v[j])));
    double h = (gap + COORD_REL * scale) / tiltCos;
    double margin = FACE_REL * std::sqrt(longest2) + 2.0 * h + COORD_REL * scale;
    for (int a = 0; a < 3; a++) {
        double lo = std::min({v[0][a], v[1][a], v[2][a]}) - margin;
        double hi = std::max({v[0][a], v[1][a], v[2][a]}) + margin;
        // Moved out by more than rounding to float can move them in.
        box[a] = (float)(lo - FLOAT_ROUNDING * (std::fabs(lo) + 1e-30));
        box[3 + a] = (float)(hi + FLOAT_ROUNDING * (std::fabs(hi) + 1e-30));
    }
    return true;
}

// The cell along `axis` that holds x; monotone in x, so overlapping ranges
// land in overlapping cell ranges.
int cellOf(const faceIndex *index, int axis, double x)
{
    double c =
        std::min(std::max((x - index->origin[axis]) * index->cellsPerUnit, 0.0), (double)index->dims[axis]);
    return std::min((int)c, index->dims[axis] - 1); // truncation is the floor of what is not negative
}

size_t cellAt(const faceIndex *index, int i, int j, int k)
{
    return ((size_t)k * (size_t)index->dims[1] + (size_t)j) * (size_t)index->dims[0] + (size_t)i;
}

// How far a point's cell may be from where it lies, by rounding.
double edgeSlack(const faceIndex *index, int axis)
{
    return CELL_EDGE_SLACK * (std::fabs(index->origin[axis]) + index->cellSize * (index->dims[axis] + 1));
}

// The cells a face's box meets; true when they are too many.
bool faceCells(const faceIndex *index, int f, int *first, int *last)
{
    long cells = 1;
    for (int a = 0; a < 3; a++) {
        first[a] = cellOf(index, a, index->boxes[6 * (size_t)f + a]);
        last[a] = cellOf(index, a, index->boxes[6 * (size_t)f + 3 + a]);
        cells *= last[a] - first[a] + 1;
    }
    return cells > MAX_FACE_CELLS;
}

// Origin, cell size and dims from the boxes of the `count` faces listed in
// `which`: cells as wide as the median box, the grid over the boxes' centres.
void sizeGrid(faceIndex *index, const int *which, int count, float *scratch)
{
    double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (int n = 0; n < count; n++) {
        const float *b = index->boxes + 6 * which[n];
        scratch[n] = std::max({b[3] - b[0], b[4] - b[1], b[5] - b[2]});
        for (int a = 0; a < 3; a++) {
            double centre = 0.5 * ((double)b[a] + (double)b[3 + a]);
            lo[a] = std::min(lo[a], centre), hi[a] = std::max(hi[a], centre);
        }
    }
    std::nth_element(scratch, scratch + count / 2, scratch + count);
    double cell = CELL_SIZE_FACTOR * scratch[count / 2];
    if (!(cell > 0.0)) cell = 1.0;
    const double maxCells = GRID_CELLS_PER_FACE * (double)count + 8.0;
    for (;; cell *= 1.25) {
        double total = 1.0, span[3];
        for (int a = 0; a < 3; a++) {
            span[a] = std::max(1.0, std::ceil((hi[a] - lo[a]) / cell));
            total *= span[a];
        }
        if (total <= maxCells) {
            for (int a = 0; a < 3; a++)
                index->dims[a] = (int)span[a], index->origin[a] = lo[a];
            break;
        }
    }
    index->cellSize = cell;
    index->cellsPerUnit = 1.0 / cell;
}

// Where a face is listed: in the one cell of its box's centre when the box
// reaches no more than a cell beyond it (its number is returned), else in
// every cell the box meets (MANY_CELLS, or NO_CELL when those are too many).
// How far a box listed once reaches out of its cell is kept in
// index->beyond, for the queries to look that much further.
int faceHome(faceIndex *index, int f)
{
    const float *b = index->boxes + 6 * (size_t)f;
    double beyond[3];
    int home[3];
    bool fits = true;
    for (int a = 0; a < 3; a++) {
        home[a] = cellOf(index, a, 0.5 * ((double)b[a] + (double)b[3 + a]));
        // Points surely in the home cell, rounding allowed for; the border cells reach on outward.
        double slack = edgeSlack(index, a);
        double lo = home[a] == 0 ? -HUGE_VAL : index->origin[a] + index->cellSize * home[a] + slack;
        double hi = home[a] == index->dims[a] - 1
                        ? HUGE_VAL
                        : index->origin[a] + index->cellSize * (home[a] + 1) - slack;
        beyond[a] = std::max({lo - (double)b[a], (double)b[3 + a] - hi, 0.0});
        fits = fits && beyond[a] <= index->cellSize;
    }
    if (fits) {
        for (int a = 0; a < 3; a++)
            index->beyond[a] = std::max(index->beyond[a], beyond[a]);
        return (int)cellAt(index, home[0], home[1], home[2]);
    }
    int first[3], last[3];
    return faceCells(index, f, first, last) ? NO_CELL : MANY_CELLS;
}

// Visits each cell of the range, passing its number.
template <typename Visit>
void forCells(const faceIndex *index, const int *first, const int *last, Visit visit)
{
    for (int k = first[2]; k <= last[2]; k++)
        for (int j = first[1]; j <= last[1]; j++)
            for (int i = first[0]; i <= last[0]; i++)
                visit(cellAt(index, i, j, k));
}

// Builds the grid over the faces whose `home` is a cell number or MANY_CELLS, each cell with the box around
// its faces' boxes; false when the lists would not fit or memory runs out.
bool fillGrid(faceIndex *index, const int *home)
{
    size_t cellCount = (size_t)index->dims[0] * (size_t)index->dims[1] * (size_t)index->dims[2];
    index->cellStart = (uint32_t *)calloc(cellCount + 1, sizeof(uint32_t));
    index->cellBoxes = (float *)malloc(cellCount * 6 * sizeof(float));
    if (!index->cellStart || !index->cellBoxes) return false;
    for (size_t c = 0; c <= cellCount; c++) {
        float *box = c < cellCount ? index->cellBoxes + 6 * c : index->gridBox;
        for (int a = 0; a < 3; a++)
            box[a] = HUGE_VALF, box[3 + a] = -HUGE_VALF;
    }
    // Visits the cells face f is listed in.
    auto forFaceCells = [&](int f, auto visit) {
        int first[3], last[3];
        if (home[f] >= 0)
            visit((size_t)home[f]);
        else if (home[f] == MANY_CELLS && !faceCells(index, f, first, last))
            forCells(index, first, last, visit);
    };
    size_t total = 0;
    for (int f = 0; f < index->faceCount; f++)
        forFaceCells(f, [&](size_t c) {
            index->manyCells = index->manyCells || home[f] == MANY_CELLS;
            index->cellStart[c + 1]++;
            total++;
            for (float *box : {index->cellBoxes + 6 * c, index->gridBox})
                for (int a = 0; a < 3; a++) {
                    box[a] = std::min(box[a], index->boxes[6 * (size_t)f + a]);
                    box[3 + a] = std::max(box[3 + a], index->boxes[6 * (size_t)f + 3 + a]);
                }
        });
    if (total >= UINT32_MAX) return false;
    for (size_t c = 0; c < cellCount; c++)
        index->cellStart[c + 1] += index->cellStart[c];
    index->cellFaces = (uint32_t *)malloc((total + 1) * sizeof(uint32_t));
    if (!index->cellFaces) return false;
    // Filled in list order, so each cell's list ascends; cellStart[c] ends at
    // the start of cell c + 1 and is moved back below.
    for (int f = 0; f < index->faceCount; f++)
        forFaceCells(f, [&](size_t c) { index->cellFaces[index->cellStart[c]++] = (uint32_t)f; });
    for (size_t c = cellCount; c > 0; c--)
        index->cellStart[c] = index->cellStart[c - 1];
    index->cellStart[0] = 0;
    for (int a = 0; a < 3; a++)
        index->queryBeyond[a] = index->beyond[a] * (1.0 + 1e-9) + edgeSlack(index, a);
    return true;
}

// Everything but the grid, which needs the boxes first. False when memory runs out.
bool classifyFaces(faceIndex *index, const collisionFace *firstFace, unsigned char *inGrid, int *grid,
                   int *gridCount)
{
    int n = index->faceCount;
    index->faces = (const collisionFace **)malloc((size_t)n * sizeof(collisionFace *));
    index->boxes = (float *)malloc((size_t)n * 6 * sizeof(float));
    index->marks = (uint64_t *)calloc((size_t)n / 64 + 1, sizeof(uint64_t));
    index->candidates = (uint32_t *)malloc((size_t)n * sizeof(uint32_t));
    index->alwaysFaces = (uint32_t *)malloc((size_t)n * sizeof(uint32_t));
    if (!index->faces || !index->boxes || !index->marks || !index->candidates || !index->alwaysFaces)
        return false;
    int f = 0;
    for (const collisionFace *face = firstFace; face; face = face->nextFace, f++) {
        index->faces[f] = face;
        inGrid[f] = faceBox(face, index->boxes + 6 * f);
        if (inGrid[f]) grid[(*gridCount)++] = f;
    }
    return true;
}

// The squared distance from c to a box, in float: rounding moves it by a few
// parts in 1e7, and the reach it is held to has 1% to spare.
inline float boxDistance2(const float *box, float cx, float cy, float cz)
{
    float dx = std::max(std::max(box[0] - cx, cx - box[3]), 0.0f);
    float dy = std::max(std::max(box[1] - cy, cy - box[4]), 0.0f);
    float dz = std::max(std::max(box[2] - cz, cz - box[5]), 0.0f);
    return dx * dx + dy * dy + dz * dz;
}

} // namespace

faceIndex *buildFaceIndex(const collisionFace *firstFace)
{
    int n = 0;
    for (const collisionFace *face = firstFace; face; face = face->nextFace)
        n++;
    if (n == 0) return nullptr;
    faceIndex *index = (faceIndex *)calloc(1, sizeof(faceIndex));
    unsigned char *inGrid = (unsigned char *)malloc((size_t)n);
    int *grid = (int *)malloc((size_t)n * sizeof(int));
    float *scratch = (float *)malloc((size_t)n * sizeof(float));
    bool built = index && inGrid && grid && scratch;
    if (built) {
        index->faceCount = n;
        int gridCount = 0;
        built = classifyFaces(index, firstFace, inGrid, grid, &gridCount);
        if (built && gridCount > 0) {
            sizeGrid(index, grid, gridCount, scratch);
        } else {
            index->cellSize = index->cellsPerUnit = 1.0;
            index->dims[0] = index->dims[1] = index->dims[2] = 1;
        }
        // A face over too many cells would crowd them: every query tests it instead.
        int *home = grid;
        for (int f = 0; built && f < n; f++) {
            home[f] = inGrid[f] ? faceHome(index, f) : NO_CELL;
            if (home[f] == NO_CELL) index->alwaysFaces[index->alwaysCount++] = (uint32_t)f;
        }
        if (built) {
            // Only what is used is kept; a failed shrink keeps the larger block.
            void *kept =
                realloc(index->alwaysFaces, (size_t)std::max(index->alwaysCount, 1) * sizeof(uint32_t));
            if (kept) index->alwaysFaces = (uint32_t *)kept;
        }
        built = built && fillGrid(index, home);
    }
    free(inGrid);
    free(grid);
    free(scratch);
    if (!built) {
        freeFaceIndex(index);
        return nullptr;
    }
    return index;
}

void freeFaceIndex(faceIndex *index)
{
    if (!index) return;
    free(index->faces);
    free(index->boxes);
    free(index->cellStart);
    free(index->cellFaces);
    free(index->cellBoxes);
    free(index->alwaysFaces);
    free(index->marks);
    free(index->candidates);
    free(index);
}

size_t faceIndexBytes(const faceIndex *index)
{
    if (!index) return 0;
    size_t n = (size_t)index->faceCount;
    size_t cells = (size_t)index->dims[0] * (size_t)index->dims[1] * (size_t)index->dims[2];
    size_t refs = index->cellStart[cells];
    return sizeof(faceIndex) + n * (sizeof(collisionFace *) + 6 * sizeof(float) + sizeof(uint32_t)) +
           (n / 64 + 1) * sizeof(uint64_t) +
           (cells + 1 + refs + 1 + (size_t)std::max(index->alwaysCount, 1)) * sizeof(uint32_t) +
           cells * 6 * sizeof(float);
}

int faceCandidates(faceIndex *index, vec3 location, float radius)
{
    double c[3] = {location.x, location.y, location.z};
    if (!((double)radius > 0.0 && (double)radius <= MAX_RADIUS)) return -1;
    double farthest = 0.0;
    for (int a = 0; a < 3; a++) {
        if (!(std::fabs(c[a]) <= MAX_COORD)) return -1;
        farthest = std::max(farthest, std::fabs(c[a]));
    }
    double reach = (double)radius * QUERY_RADIUS_SCALE + COORD_REL * farthest + QUERY_FLOOR;

    float reach2f = (float)(reach * reach * (1.0 + FLOAT_ROUNDING)); // rounded up

    // Every listed box lies in the grid's box, so how far the sphere is from it
    // along the other axes narrows what it can reach along this one (a sphere
    // above a floor reaches out sideways only as far as the floor is near).
    double gap2[3];
    for (int a = 0; a < 3; a++) {
        double gap = std::max({(double)index->gridBox[a] - c[a], c[a] - (double)index->gridBox[3 + a], 0.0});
        gap2[a] = gap * gap * (1.0 - 1e-9); // rounded down
    }
    // A face listed once, in its centre's cell, may reach a little beyond it.
    int first[3], last[3];
    bool inReach = true;
    for (int a = 0; a < 3; a++) {
        double across = reach * reach - gap2[(a + 1) % 3] - gap2[(a + 2) % 3];
        inReach = inReach && across >= 0.0;
        double beyond = std::sqrt(std::max(across, 0.0)) * (1.0 + 1e-9) + index->queryBeyond[a];
        first[a] = cellOf(index, a, c[a] - beyond);
        last[a] = cellOf(index, a, c[a] + beyond);
        if (last[a] - first[a] >= MAX_QUERY_SPAN) return -1;
    }

    const float cx = location.x, cy = location.y, cz = location.z;
    int found = 0;
    uint32_t *out = index->candidates;
    for (int k = inReach ? first[2] : last[2] + 1; k <= last[2]; k++)
        for (int j = first[1]; j <= last[1]; j++)
            for (int i = first[0]; i <= last[0]; i++) {
                size_t cell = cellAt(index, i, j, k);
                if (!(boxDistance2(index->cellBoxes + 6 * cell, cx, cy, cz) <= reach2f)) continue;
                for (uint32_t p = index->cellStart[cell], end = index->cellStart[cell + 1]; p < end; p++) {
                    uint32_t f = index->cellFaces[p];
                    if (!(boxDistance2(index->boxes + 6 * (size_t)f, cx, cy, cz) <= reach2f)) continue;
                    if (index->manyCells) {
                        uint64_t bit = 1ull << (f & 63);
                        if (index->marks[f >> 6] & bit) continue; // listed in more than one cell
                        index->marks[f >> 6] |= bit;
                    }
                    out[found++] = f;
                }
            }
    std::sort(out, out + found);
    for (int m = 0; m < found && index->manyCells; m++)
        index->marks[out[m] >> 6] = 0;

    // Merge in the faces every query tests, from the back so nothing is overwritten early.
    int g = found - 1, w = found + index->alwaysCount - 1;
    for (int m = index->alwaysCount - 1; m >= 0; m--) {
        uint32_t f = index->alwaysFaces[m];
        while (g >= 0 && out[g] > f)
            out[w--] = out[g--];
        out[w--] = f;
    }
    return found + index->alwaysCount;
}
