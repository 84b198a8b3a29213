// The collision mesh loader, read from real files in a temporary directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
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

// The first n lines of text, without the line break after the last.
std::string firstLines(const std::string &text, int n)
{
    size_t end = 0;
    for (int line = 0; line < n; line++)
        end = text.find('\n', end) + 1;
    return text.substr(0, end - 1);
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

// Bit for bit, apart from the link.
bool sameFace(const collisionFace &a, const collisionFace &b)
{
    return memcmp(a.v, b.v, sizeof a.v) == 0 && memcmp(&a.no, &b.no, sizeof a.no) == 0 &&
           memcmp(&a.offset, &b.offset, sizeof a.offset) == 0;
}

void expectVec(vec3 v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(CollisionFaces, ReadsEveryTriangleInFileOrderHoweverTheFileEnds)
{
    testfiles::tempDir dir;
    for (const char *ending : {"", "\n"}) {
        SCOPED_TRACE(std::string("final line break: ") + (*ending ? "yes" : "no"));
        loadResult r = load(dir.write("three.txt", meshOf(3, 3) + ending));
        EXPECT_EQ(r.out, "");
        std::vector<const collisionFace *> faces = facesOf(r.faces.get());
        ASSERT_EQ(faces.size(), 3u);
        for (int k = 0; k < 3; k++) {
            float z = (float)(k + 1);
            expectVec(faces[k]->v[0], 0, 0, z);
            expectVec(faces[k]->v[1], 1, 0, z);
            expectVec(faces[k]->v[2], 0, 1, z);
            EXPECT_FLOAT_EQ(faces[k]->offset, z);
        }
        EXPECT_EQ(faces[2]->nextFace, nullptr);
    }

    // The header's count is a minimum: every further triangle is read as well.
    loadResult more = load(dir.write("five.txt", meshOf(3, 5) + "\n"));
    EXPECT_EQ(more.out, "");
    std::vector<const collisionFace *> five = facesOf(more.faces.get());
    ASSERT_EQ(five.size(), 5u);
    EXPECT_FLOAT_EQ(five[4]->v[0].z, 5);

    loadResult one = load(dir.write("one.txt", meshOf(1, 1)));
    ASSERT_NE(one.faces, nullptr);
    EXPECT_EQ(one.faces->nextFace, nullptr);

    // Line breaks are ordinary white space: one line, or blank lines between items, read the same.
    std::string oneLine = meshOf(2, 2);
    for (char &c : oneLine)
        if (c == '\n') c = ' ';
    std::string spaced = "faces 2\n\n\n" + flatTriangle(1) + "\n\n\t " + flatTriangle(2) + "\n\n";
    for (const std::string &text : {oneLine, spaced}) {
        loadResult r = load(dir.write("layout.txt", text));
        std::vector<const collisionFace *> faces = facesOf(r.faces.get());
        ASSERT_EQ(faces.size(), 2u) << text;
        EXPECT_FLOAT_EQ(faces[1]->v[2].y, 1);
        EXPECT_FLOAT_EQ(faces[1]->v[2].z, 2);
    }
}

TEST(CollisionFaces, NormalsAreScaledToUnitLengthAndOffsetsPutVertexZeroOnThePlane)
{
    testfiles::tempDir dir;
    std::string text = "faces 4\n" + triangle("[0, 0, 2]", "[1, 2, 3]", "[2, 2, 3]", "[1, 3, 3]") + "\n" +
                       triangle("[0, 0, 0]", "[7, -8, -4.5]", "[8, -8, -4.5]", "[7, -7, -4.5]") + "\n" +
                       triangle("[ 3,  0,  -4]", "[5, 9, 0]", "[5, 10, 0]", "[1, 9, -3]") + "\n" +
                       triangle("[-1e-30, 0, 0]", "[-2.5, 1, 1]", "[-2.5, 2, 1]", "[-2.5, 1, 2]") + "\n";
    loadResult r = load(dir.write("normals.txt", text));
    EXPECT_EQ(r.out, "");
    std::vector<const collisionFace *> faces = facesOf(r.faces.get());
    ASSERT_EQ(faces.size(), 4u);

    expectVec(faces[0]->no, 0, 0, 1);
    EXPECT_FLOAT_EQ(faces[0]->offset, 3);
    // A zero normal has no direction; up is given instead, and the offset follows it.
    expectVec(faces[1]->no, 0, 0, 1);
    EXPECT_FLOAT_EQ(faces[1]->offset, -4.5f);
    expectVec(faces[2]->no, 0.6f, 0, -0.8f);
    EXPECT_FLOAT_EQ(faces[2]->offset, 3);
    // Tiny but not zero: still a direction.
    expectVec(faces[3]->no, -1, 0, 0);
    EXPECT_FLOAT_EQ(faces[3]->offset, 2.5f);
}

TEST(CollisionFaces, TooFewTrianglesIsAnErrorAndReturnsNothing)
{
    testfiles::tempDir dir;
    const std::string message = "Didn't find enough triangles in colision object\n";
    struct {
        const char *why;
        std::string text;
    } cases[] = {
        {"two of three, final line break", meshOf(3, 2) + "\n"},
        {"two of three, no final line break", meshOf(3, 2)},
        {"header then a line break", "faces 1\n"},
        {"header alone", "faces 1"},
        {"a stray word where a normal should be", meshOf(2, 1) + "\nnormal"},
        {"a normal without its bracket", meshOf(2, 1) + "\nnormal 0, 0, 1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        loadResult r = load(dir.write("few.txt", c.text));
        EXPECT_EQ(r.faces, nullptr);
        EXPECT_EQ(r.out, message);
    }
}

TEST(CollisionFaces, ShortOrMissingEntryInsideATriangleFailsTheLoad)
{
    testfiles::tempDir dir;
    const std::string message = "Colision file loading error\n";
    std::string good = flatTriangle(1);
    std::string twoCorners = firstLines(flatTriangle(2), 5); // normal and two corners
    std::string normalOnly = firstLines(flatTriangle(2), 1);

    std::string shortColour = good;
    shortColour.replace(shortColour.find("[1, 2, 3]"), 9, "[1, 2]");
    std::string shortPosition = good;
    shortPosition.replace(shortPosition.find("[0, 1, 1]"), 9, "[0, 1]");
    std::string wordForNumber = good;
    wordForNumber.replace(wordForNumber.find("[0, 128, 255]"), 13, "[0, green, 255]");

    struct {
        const char *why;
        std::string text;
    } cases[] = {
        {"colour with two numbers (the colour is never used)", "faces 1\n" + shortColour + "\n"},
        {"position with two numbers", "faces 1\n" + shortPosition + "\n"},
        {"a word for a colour number", "faces 1\n" + wordForNumber},
        {"file ends after a second corner", "faces 2\n" + good + "\n" + twoCorners},
        {"same, with a final line break", "faces 2\n" + good + "\n" + twoCorners + "\n"},
        {"file ends after a normal", "faces 1\n" + normalOnly + "\n"},
        {"more triangles than needed, but the extra one is broken", "faces 1\n" + good + "\n" + twoCorners},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        loadResult r = load(dir.write("short.txt", c.text));
        EXPECT_EQ(r.faces, nullptr);
        EXPECT_EQ(r.out, message);
    }
}

TEST(CollisionFaces, BadOrMissingFileGivesTheFileErrorNamingIt)
{
    testfiles::tempDir dir;
    struct {
        const char *why;
        std::string text;
    } cases[] = {
        {"count 0", "faces 0\n" + flatTriangle(1) + "\n"},
        {"negative count", "faces -2\n" + flatTriangle(1) + "\n"},
        {"no number", "faces many\n" + flatTriangle(1) + "\n"},
        {"label only", "faces"},
        {"empty file", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        std::string path = dir.write("bad.txt", c.text);
        loadResult r = load(path);
        EXPECT_EQ(r.faces, nullptr);
        EXPECT_EQ(r.out, HEADER_ERROR_START + path + "\n");
    }
    std::string absent = dir.missing("absent.txt");
    loadResult r = load(absent);
    EXPECT_EQ(r.faces, nullptr);
    EXPECT_EQ(r.out, HEADER_ERROR_START + absent + "\n");
}

// Labels are free text: any length, any characters but white space, never
// examined. Files that differ only in labels give identical lists.
TEST(CollisionFaces, LabelsOfAnyLengthAreAcceptedAndIgnored)
{
    testfiles::tempDir dir;
    std::string plain = meshOf(2, 3) + "\n";
    loadResult reference = load(dir.write("plain.txt", plain));
    std::vector<const collisionFace *> expected = facesOf(reference.faces.get());
    ASSERT_EQ(expected.size(), 3u);

    for (size_t length : {1u, 11u, 12u, 100u, 5000u}) {
        SCOPED_TRACE("label length " + std::to_string(length));
        std::string label(length, 'q');
        label.back() = '['; // a bracket inside a label is still just label
        std::string text = plain;
        for (const char *word : {"faces ", "normal ", "colour ", "vertex "}) {
            size_t at = 0;
            while ((at = text.find(word, at)) != std::string::npos) {
                text.replace(at, strlen(word) - 1, label);
                at += label.size() + 1;
            }
        }
        loadResult r = load(dir.write("labels.txt", text));
        EXPECT_EQ(r.out, "");
        std::vector<const collisionFace *> faces = facesOf(r.faces.get());
        ASSERT_EQ(faces.size(), expected.size());
        for (size_t k = 0; k < faces.size(); k++)
            EXPECT_TRUE(sameFace(*faces[k], *expected[k])) << "face " << k;
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
    loadResult r = load(path, scarceFace);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(facesOf(r.faces.get()).size(), 3u);
}

} // namespace
