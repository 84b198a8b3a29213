// The collision mesh loader, read from real files in a temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "objects.h"
#include "objectsInternal.h"
#include "support/fileSupport.h"

namespace
{

using faceList = std::unique_ptr<collisionFace, void (*)(collisionFace *)>;

const std::string HEADER_ERROR_START =
    "encountered file error, possibly an invalid first line\nor an invalid "
    "file\n or no file\nor something else\nwhen trying to load ";

// One triangle as a modeller writes it: a normal, then colour and position of
// each corner, one item a line, without a line break after the last.
std::string triangle(const char *normal, const char *p0, const char *p1, const char *p2)
{
    return std::string("normal ") + normal + "\ncolour [255, 128, 0]\nvertex " + p0 +
           "\ncolour [0, 128, 255]\nvertex " + p1 + "\ncolour [1, 2, 3]\nvertex " + p2;
}

// A flat triangle at height z, so that each face of a file can be told apart.
std::string flatTriangle(int z)
{
    std::string zs = std::to_string(z);
    return triangle("[0, 0, 1]", ("[0, 0, " + zs + "]").c_str(), ("[1, 0, " + zs + "]").c_str(),
                    ("[0, 1, " + zs + "]").c_str());
}

// A header and the triangles at heights 1..n, one line break between items.
std::string meshOf(int count, int n)
{
    std::string s = "faces " + std::to_string(count);
    for (int k = 1; k <= n; k++)
        s += "\n" + flatTriangle(k);
    return s;
}

struct loadResult {
    faceList faces;
    std::string out;
};

loadResult load(const std::string &path, faceAllocator allocFace = nullptr)
{
    std::string name = path;
    collisionFace *faces = nullptr;
    int filesOpen = testfiles::openFileCount();
    std::string out = testfiles::captureStdout([&] {
        faces = allocFace ? loadCollisionFacesWith(&name[0], allocFace) : loadCollisionFaces(&name[0]);
    });
    EXPECT_EQ(testfiles::openFileCount(), filesOpen) << path << " left open";
    return {faceList(faces, freeCollisionFaces), out};
}

std::vector<const collisionFace *> facesOf(const collisionFace *first)
{
    std::vector<const collisionFace *> all;
    for (const collisionFace *f = first; f; f = f->nextFace)
        all.push_back(f);
    return all;
}

void expectVec(vec3 v, vec3 e)
{
    EXPECT_FLOAT_EQ(v.x, e.x);
    EXPECT_FLOAT_EQ(v.y, e.y);
    EXPECT_FLOAT_EQ(v.z, e.z);
}

// A load that printed nothing and gave the triangles at heights 1..count in order.
void expectFlatMesh(const loadResult &r, size_t count)
{
    EXPECT_EQ(r.out, "");
    std::vector<const collisionFace *> faces = facesOf(r.faces.get());
    ASSERT_EQ(faces.size(), count);
    for (size_t k = 0; k < count; k++) {
        float z = (float)(k + 1);
        expectVec(faces[k]->v[0], {0, 0, z});
        expectVec(faces[k]->v[1], {1, 0, z});
        expectVec(faces[k]->v[2], {0, 1, z});
        EXPECT_FLOAT_EQ(faces[k]->offset, z);
    }
}

TEST(CollisionFaces, ReadsEveryTriangleInFileOrderHoweverTheFileIsLaidOut)
{
    testfiles::tempDir dir;
    // Line breaks are ordinary white space.
    std::string oneLine = meshOf(2, 2);
    for (char &c : oneLine)
        if (c == '\n') c = ' ';
    struct {
        const char *why;
        std::string text;
        size_t count;
    } cases[] = {
        {"no final line break", meshOf(3, 3), 3},
        {"final line break", meshOf(3, 3) + "\n", 3},
        {"the count is a minimum", meshOf(3, 5) + "\n", 5},
        {"a single triangle", meshOf(1, 1), 1},
        {"all on one line", oneLine, 2},
        {"blank lines and tabs", "faces 2\n\n\n" + flatTriangle(1) + "\n\n\t " + flatTriangle(2) + "\n\n", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        expectFlatMesh(load(dir.write("mesh.txt", c.text)), c.count);
    }
}

TEST(CollisionFaces, NormalsAreScaledToUnitLengthBeforeTheOffsetPutsVertexZeroOnThePlane)
{
    testfiles::tempDir dir;
    struct {
        const char *normal, *v0;
        vec3 no;
        float offset;
    } cases[] = {
        {"[0, 0, 2]", "[1, 2, 3]", {0, 0, 1}, 3},
        // A zero normal has no direction; up is given instead, and the offset follows it.
        {"[0, 0, 0]", "[7, -8, -4.5]", {0, 0, 1}, -4.5f},
        {"[ 3,  0,  -4]", "[5, 9, 0]", {0.6f, 0, -0.8f}, 3},
        // Tiny but not zero: still a direction.
        {"[-1e-30, 0, 0]", "[-2.5, 1, 1]", {-1, 0, 0}, 2.5f},
    };
    std::string text = "faces 4";
    for (const auto &c : cases)
        text += "\n" + triangle(c.normal, c.v0, "[0, 0, 0]", "[1, 1, 1]");
    loadResult r = load(dir.write("normals.txt", text));
    EXPECT_EQ(r.out, "");
    std::vector<const collisionFace *> faces = facesOf(r.faces.get());
    ASSERT_EQ(faces.size(), 4u);
    for (size_t k = 0; k < faces.size(); k++) {
        SCOPED_TRACE(cases[k].normal);
        expectVec(faces[k]->no, cases[k].no);
        EXPECT_FLOAT_EQ(faces[k]->offset, cases[k].offset);
    }
}

// Every failure returns nothing, with one message.
TEST(CollisionFaces, BadFilesFailWithTheirMessage)
{
    testfiles::tempDir dir;
    const std::string tooFew = "Didn't find enough triangles in colision object\n";
    const std::string broken = "Colision file loading error\n";
    const std::string header = ""; // the file error, naming the file
    std::string good = flatTriangle(1);
    std::string twoCorners = good.substr(0, good.rfind("\ncolour")); // normal and two corners
    auto replaced = [&](const char *what, const char *with) {
        std::string t = good;
        return t.replace(t.find(what), strlen(what), with);
    };
    struct {
        const char *why;
        std::string text;
        const std::string &message;
    } cases[] = {
        {"two of three, final line break", meshOf(3, 2) + "\n", tooFew},
        {"two of three, no final line break", meshOf(3, 2), tooFew},
        {"header then a line break", "faces 1\n", tooFew},
        {"header alone", "faces 1", tooFew},
        {"a stray word where a normal should be", meshOf(2, 1) + "\nnormal", tooFew},
        {"a normal without its bracket", meshOf(2, 1) + "\nnormal 0, 0, 1", tooFew},
        // The colour is never used, but a short one still spoils the file.
        {"colour with two numbers", "faces 1\n" + replaced("[1, 2, 3]", "[1, 2]") + "\n", broken},
        {"position with two numbers", "faces 1\n" + replaced("[0, 1, 1]", "[0, 1]") + "\n", broken},
        {"a word for a colour number", "faces 1\n" + replaced("[0, 128, 255]", "[0, green, 255]"), broken},
        {"file ends after a second corner", "faces 2\n" + good + "\n" + twoCorners, broken},
        {"same, with a final line break", "faces 2\n" + good + "\n" + twoCorners + "\n", broken},
        {"file ends after a normal", "faces 1\n" + good.substr(0, good.find('\n')) + "\n", broken},
        {"enough triangles, but a broken extra one", "faces 1\n" + good + "\n" + twoCorners, broken},
        {"count 0", "faces 0\n" + good + "\n", header},
        {"negative count", "faces -2\n" + good + "\n", header},
        {"no number", "faces many\n" + good + "\n", header},
        {"label only", "faces", header},
        {"empty file", "", header},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        std::string path = dir.write("bad.txt", c.text);
        loadResult r = load(path);
        EXPECT_EQ(r.faces, nullptr);
        EXPECT_EQ(r.out, c.message.empty() ? HEADER_ERROR_START + path + "\n" : c.message);
    }
    std::string absent = dir.missing("absent.txt");
    loadResult r = load(absent);
    EXPECT_EQ(r.faces, nullptr);
    EXPECT_EQ(r.out, HEADER_ERROR_START + absent + "\n");
}

// Labels are free text: any length, any characters but white space, never examined.
TEST(CollisionFaces, LabelsOfAnyLengthAreAcceptedAndIgnored)
{
    testfiles::tempDir dir;
    for (size_t length : {1u, 11u, 12u, 100u, 5000u}) {
        SCOPED_TRACE("label length " + std::to_string(length));
        std::string label(length, 'q');
        label.back() = '['; // a bracket inside a label is still just label
        std::string text = std::regex_replace(meshOf(2, 3), std::regex("faces|normal|colour|vertex"), label);
        expectFlatMesh(load(dir.write("labels.txt", text)), 3);
    }
}

// The allocator gives out faces until its countdown runs out, then null.
int facesLeft;
collisionFace *scarceFace(void)
{
    if (facesLeft-- <= 0) return nullptr;
    return (collisionFace *)calloc(1, sizeof(collisionFace));
}

// Out of memory fails the load as a whole: partial lists are freed (run under
// valgrind to see that nothing leaks), the file is named, the caller gets null.
TEST(CollisionFaces, RunningOutOfMemoryFreesThePartialListAndReturnsNothing)
{
    testfiles::tempDir dir;
    std::string path = dir.write("three.txt", meshOf(3, 3) + "\n");
    for (int available = 0; available < 3; available++) {
        SCOPED_TRACE(std::to_string(available) + " faces to be had");
        facesLeft = available;
        loadResult r = load(path, scarceFace);
        EXPECT_EQ(r.faces, nullptr);
        EXPECT_EQ(r.out, "Ran out of memory while loading the collision object " + path + "\n");
    }
    freeCollisionFaces(nullptr); // an empty list is nothing to free
    facesLeft = 3;
    expectFlatMesh(load(path, scarceFace), 3);
}

} // namespace
