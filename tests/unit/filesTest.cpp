// Every file the game reads, read into plain data from real files, with the
// exact lines each outcome prints.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "main/sceneList.h"
#include "scene/sceneFile.h"
#include "support.h"

namespace
{

using testfiles::captureStdout;

const std::string BAD_MESH =
    "encountered file error, possibly an invalid first line\nor an invalid file\n or no "
    "file\nor something else\nwhen trying to load ";
const std::string BAD_LIST = "Error in scene list file, scenelist.txt\n";
const std::string PRIOR_TO_PINS = "error in scene file somewhere prior to pin specific information\n";
const std::string PINS_SHORT = "file didn't contain enough correctly formatted information about pins\n";
const std::string SHORT_CORNER = "not enough coordinates in vert\n";

TEST(Files, SceneListKeepsTheStatedEntriesOrRejectsTheList)
{
    testfiles::tempDir dir;
    const std::string name256(256, 'n'),
        badHeader = "invalid first line, or number of scenes stated\n" + BAD_LIST,
        shortList = "Not all scene entries valid\n" + BAD_LIST;
    const struct {
        std::string text, out;
        std::vector<std::string> names;
    } cases[] = {
        {"scenes 2\nfirst one.txt\n  second\ttwo.txt third three.txt", "2 scenes\n", {"one.txt", "two.txt"}},
        {std::string(300, 'L') + " 1\nx level.txt\n", "1 scenes\n", {"level.txt"}},
        // The 257th character stays in the stream and is read as the next label.
        {"s 2\nl " + name256 + "X next.txt\n", "2 scenes\n", {name256, "next.txt"}},
        {"scenes many\nl a.txt\n", "-1 scenes\n" + badHeader, {}},
        {"", "-1 scenes\n" + badHeader, {}},
        {"scenes 0\nl a.txt\n", "0 scenes\n" + badHeader, {}},
        {"scenes 3\na one.txt\nb two.txt\nc", "3 scenes\n" + shortList, {}},
        // Far beyond the entries: fails on the missing entry, not on memory.
        {"scenes 2000000000\na one.txt\n", "2000000000 scenes\n" + shortList, {}},
    };
    for (const auto &c : cases) {
        char **table = nullptr;
        int n = 0;
        std::string path = dir.write("scenelist.txt", c.text);
        EXPECT_EQ(captureStdout([&] { n = readSceneList(path.c_str(), &table); }), c.out) << c.text;
        EXPECT_EQ(std::vector<std::string>(table, table + n), c.names) << c.text;
        freeSceneList(table, n);
    }
    char **table = nullptr;
    EXPECT_EQ(readSceneList(dir.missing("none").c_str(), &table), -1);

    EXPECT_TRUE(startingStateFor(1, 3) == awaitingThrow && startingStateFor(2, 3) == over);
    const struct {
        int i;
        gameReturn result;
        int numScenes, next;
        const char *out;
    } walk[] = {{0, levelCompleted, 3, 1, ""},
                {1, restart, 3, 1, ""},
                {0, quit, 3, 1, ""},
                {2, quit, 3, 0, "completed game...\n"},
                {0, levelCompleted, 1, 0, "completed game...\n"},
                {0, restart, 1, 0, ""}};
    for (const auto &w : walk) {
        int next = 0;
        EXPECT_EQ(captureStdout([&] { next = nextSceneIndex(w.i, w.result, w.numScenes); }), w.out) << w.i;
        EXPECT_EQ(next, w.next) << w.i << " " << w.result;
    }
}

// Two triangles under a header that asks for one: the count is no limit for
// drawing. Colours keep their low 8 bits; spaces inside brackets and exponents read.
const std::string TWO_TRIANGLES =
    "L 1\nL [0, 0, 1]\nL [255, 0, 256]\nL [-100, -50.5, 10]\nL [0,255,0]\n"
    "L [ 200,  -50.5,  -20.25]\nL [300, 511, 65535]\nL [0, 300, 0]\nL [1, 0, 0]\n"
    "L [1, 2, 3]\nL [1e2, 2.5e2, -7]\nL [4, 5, 6]\nL [-999, -999, 999]\nL [7, 8, 9]\n"
    "L [999, 999, -999]";
const std::vector<std::vector<float>> TWO_READ = {
    {-100, -50.5f, 10, 255, 0, 0}, {200, -50.5f, -20.25f, 0, 255, 0}, {0, 300, 0, 44, 255, 255},
    {100, 250, -7, 1, 2, 3},       {-999, -999, 999, 4, 5, 6},        {999, 999, -999, 7, 8, 9}};

TEST(Files, DrawnMeshesReadWhatTheFileSaysAndHowItEnded)
{
    testfiles::tempDir dir;
    const struct {
        std::string text; // "-" for no file
        condition result;
        std::string out;                         // BAD_MESH is followed by the path
        std::vector<std::vector<float>> corners; // x y z r g b
    } cases[] = {
        {TWO_TRIANGLES + "\n", success, "", TWO_READ},
        {TWO_TRIANGLES, unknown, "", TWO_READ},
        {std::regex_replace(TWO_TRIANGLES, std::regex("L"), "]" + std::string(5000, 'x')) + "\n", success, "",
         TWO_READ},
        {"L 1\n", success, "", {}},
        {"L 1", unknown, "", {}},
        {"L 0\n" + TWO_TRIANGLES, unknown, BAD_MESH, {}},
        {"L -1\n" + TWO_TRIANGLES, unknown, BAD_MESH, {}},
        {"L three\n", unknown, BAD_MESH, {}},
        {"", unknown, BAD_MESH, {}},
        {"-", unknown, BAD_MESH, {}},
        // p0 stops at its "]", which becomes the label of a colour that finds "c1"
        // for its "[" (so 128s); then c1 is read as a position, p1 as a colour, p2
        // as the next normal, and the file runs out inside a triangle.
        {"L 1\nn [0, 0, 1]\nc0 [10, 20, 30]\np0 [100, 200]\nc1 [40, 50, 60]\np1 [300, 400, 500]\n"
         "c2 [70, 80, 90]\np2 [600, 700, 800]\n",
         unknown,
         SHORT_CORNER + SHORT_CORNER + SHORT_CORNER + SHORT_CORNER,
         {{100, 200, 0, 10, 20, 30},
          {40, 50, 60, 128, 128, 128},
          {70, 80, 90, 44, 144, 244},
          {0, 0, 0, 128, 128, 128},
          {0, 0, 0, 128, 128, 128},
          {0, 0, 0, 128, 128, 128}}},
        {"L 1\nL [0, 0, 1]\nL [10, 20,\nL [1, 2, 3]\nL\nL [4, 5, 6]\nL [7, 8, 9]\nL [7, 8, 9]\n",
         success,
         "",
         {{1, 2, 3, 10, 20, 128}, {4, 5, 6, 128, 128, 128}, {7, 8, 9, 7, 8, 9}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        std::string path = c.text == "-" ? dir.missing("none") : dir.write("mesh", c.text);
        meshData mesh;
        condition result = unknown;
        EXPECT_EQ(captureStdout([&] { result = readMesh(&path[0], &mesh); }),
                  c.out == BAD_MESH ? c.out + path : c.out);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(mesh.headerValid, c.out != BAD_MESH);
        ASSERT_EQ(mesh.numTriangles * 3, (int)c.corners.size());
        for (size_t k = 0; k < c.corners.size(); k++) {
            const meshCorner &m = mesh.triangles[k / 3].corner[k % 3];
            EXPECT_EQ((std::vector<float>{m.position.x, m.position.y, m.position.z, (float)m.colour[0],
                                          (float)m.colour[1], (float)m.colour[2]}),
                      c.corners[k])
                << "corner " << k;
        }
        freeMesh(&mesh);
    }
}

// A flat triangle at height z, items one a line, no line break after the last.
std::string flat(int z, const std::string &colour = "[1, 2, 3]")
{
    std::string h = std::to_string(z);
    return "normal [0, 0, 1]\ncolour [255, 128, 0]\nvertex [0, 0, " + h +
           "]\ncolour [0, 128, 255]\nvertex [1, 0, " + h + "]\ncolour " + colour + "\nvertex [0, 1, " + h +
           "]";
}

std::string meshOf(int count, int n, char sep = '\n')
{
    std::string s = "faces " + std::to_string(count);
    for (int k = 1; k <= n; k++)
        s += sep + flat(k);
    return s;
}

struct faceList {
    std::string out;
    std::vector<collisionFace> faces;
};

faceList loadFaces(const std::string &path, faceAllocator allocFace = nullptr)
{
    faceList r;
    std::string name = path;
    collisionFace *first = nullptr;
    r.out = captureStdout([&] {
        first = allocFace ? loadCollisionFacesWith(&name[0], allocFace) : loadCollisionFaces(&name[0]);
    });
    for (collisionFace *f = first; f; f = f->nextFace)
        r.faces.push_back(*f);
    freeCollisionFaces(first);
    return r;
}

int facesLeft;
collisionFace *scarceFace(void)
{
    return facesLeft-- > 0 ? (collisionFace *)calloc(1, sizeof(collisionFace)) : nullptr;
}

TEST(Files, CollisionMeshesAreWholeOrNothing)
{
    testfiles::tempDir dir;
    const std::string tooFew = "Didn't find enough triangles in colision object\n",
                      broken = "Colision file loading error\n", good = flat(1);
    std::string labelled = std::regex_replace(meshOf(2, 3), std::regex("faces|normal|colour|vertex"),
                                              std::string(5000, 'q') + "[");
    const struct {
        std::string text;
        std::string out; // BAD_MESH is followed by the path and a line break
        size_t faces;
    } cases[] = {
        {meshOf(3, 3), "", 3},
        {meshOf(3, 5, ' ') + "\n\n", "", 5}, // the count is a minimum; line breaks are white space
        {labelled, "", 3},
        {meshOf(3, 2) + "\n", tooFew, 0},
        {"faces 1", tooFew, 0},
        {meshOf(2, 1) + "\nnormal 0, 0, 1", tooFew, 0},
        // The colour is never used, but a short one still spoils the file, even
        // when a whole position follows its bracket.
        {"faces 1\n" + good.substr(0, good.rfind("\ncolour")) + "\ncolour [1, 2] [0, 1, 1]\n", broken, 0},
        {"faces 1\n" + flat(1, "[0, green, 255]"), broken, 0},
        {"faces 1\n" + good.substr(0, good.rfind(" [")) + " [0, 1]\n", broken, 0},
        {"faces 2\n" + good + "\n" + good.substr(0, good.rfind("\ncolour")), broken, 0},
        {"faces 0\n" + good, BAD_MESH, 0},
        {"faces many\n" + good, BAD_MESH, 0},
        {"", BAD_MESH, 0},
    };
    for (const auto &c : cases) {
        std::string path = dir.write("mesh", c.text);
        faceList r = loadFaces(path);
        EXPECT_EQ(r.out, c.out == BAD_MESH ? BAD_MESH + path + "\n" : c.out) << c.text;
        ASSERT_EQ(r.faces.size(), c.faces) << c.text;
        for (size_t k = 0; k < c.faces; k++) {
            const collisionFace &f = r.faces[k];
            EXPECT_TRUE(f.v[0].z == k + 1 && f.v[1].x == 1 && f.v[2].y == 1 && f.offset == k + 1) << k;
        }
    }

    // The normal is scaled to unit length before the offset puts v[0] on the plane; zero becomes up.
    const struct {
        const char *normal, *v0;
        vec3 no;
        float offset;
    } normals[] = {{"[0, 0, 2]", "[1, 2, 3]", {0, 0, 1}, 3},
                   {"[0, 0, 0]", "[7, -8, -4.5]", {0, 0, 1}, -4.5f},
                   {"[ 3,  0,  -4]", "[5, 9, 0]", {0.6f, 0, -0.8f}, 3}};
    for (const auto &n : normals) {
        faceList r =
            loadFaces(dir.write("n", std::string("faces 1\nnormal ") + n.normal + "\nc [1, 2, 3]\np " + n.v0 +
                                         "\nc [1, 2, 3]\np [0, 0, 0]\nc [1, 2, 3]\np [1, 1, 1]\n"));
        ASSERT_EQ(r.faces.size(), 1u) << n.normal;
        EXPECT_TRUE(r.faces[0].no.x == n.no.x && r.faces[0].no.y == n.no.y && r.faces[0].no.z == n.no.z)
            << n.normal;
        EXPECT_FLOAT_EQ(r.faces[0].offset, n.offset) << n.normal;
    }

    // Memory running out part-way frees what was built and names the file.
    std::string path = dir.write("three", meshOf(3, 3));
    for (facesLeft = 0; facesLeft < 3;) {
        int had = facesLeft;
        faceList r = loadFaces(path, scarceFace);
        EXPECT_EQ(r.out, "Ran out of memory while loading the collision object " + path + "\n");
        facesLeft = had + 1;
    }
    EXPECT_EQ(loadFaces(path, scarceFace).faces.size(), 3u);
}

class SceneFile : public ::testing::Test
{
  protected:
    testfiles::tempDir dir;
    std::string floor =
        dir.write("floor", "t 1\nn [0, 0, 1]\nc [1, 2, 3]\np [-5, -5, 0]\nc [1, 2, 3]\np [5, -5, 0]\n"
                           "c [1, 2, 3]\np [0, 5, 0]\n");
    sceneData s = {};
    void TearDown() override { freeSceneData(&s); }

    // Every label "L"; the meshes are the floor unless named.
    std::string scene(const std::string &pinCount, const std::string &pinEntries,
                      const std::string &world = "", const std::string &collide = "")
    {
        return "L [0.25, 0.5, 0.75]\nL [1.0, 0.0, 0.5]\nL -12.5\nL " + (world.empty() ? floor : world) +
               "\nL " + (collide.empty() ? floor : collide) + "\nL [0.0, -12.0, 3.0]\nL " + pinCount +
               "\nL [3.0, -8.0, 3.0]\nL 0.5\nL 5.0\nL " + floor + "\n" + pinEntries;
    }
    std::string pin(int x, const std::string &mesh = "")
    {
        return "L [" + std::to_string(x) + ", 8.0, 0.6]\nL 0.3\nL 1.5\nL " + (mesh.empty() ? floor : mesh) +
               "\n";
    }
    std::string load(const std::string &text, condition want)
    {
        std::string path = text == "-" ? dir.missing("level") : dir.write("level", text);
        freeSceneData(&s);
        condition result = unknown;
        std::string out = captureStdout([&] { result = readScene(&path[0], &s); });
        EXPECT_EQ(result, want) << out;
        return out;
    }
};

// Labels are free text and line breaks mere white space: one line with labels
// of 5000 characters reads the same. Text after the last pin is never read.
TEST_F(SceneFile, AWholeSceneFillsEveryEntry)
{
    std::string text = scene("2", pin(-1) + pin(1) + "L never read [ [");
    for (const std::string &t :
         {text, std::regex_replace(std::regex_replace(text, std::regex("L "), std::string(5000, 'x') + " "),
                                   std::regex("\n"), " ")}) {
        std::string out = load(t, success);
        EXPECT_EQ(out, "done loading scene from file " + dir.missing("level") + "\n");
        EXPECT_TRUE(s.bgRed == 0.25f && s.bgGreen == 0.5f && s.bgBlue == 0.75f && s.txtRed == 1 &&
                    s.txtGreen == 0 && s.txtBlue == 0.5f && s.worldLowerBound == -12.5f);
        EXPECT_TRUE(s.cameraLocation.y == -12 && s.cameraLocation.z == 3);
        ASSERT_EQ(s.numPins, 2);
        const dynamicObject *objects[] = {&s.ball, &s.pins[0], &s.pins[1]};
        const float want[3][5] = {{3, -8, 3, 0.5f, 5}, {-1, 8, 0.6f, 0.3f, 1.5f}, {1, 8, 0.6f, 0.3f, 1.5f}};
        for (int k = 0; k < 3; k++) {
            const dynamicObject &o = *objects[k];
            EXPECT_TRUE(o.location.x == want[k][0] && o.location.y == want[k][1] &&
                        o.location.z == want[k][2] && o.initLoc.z == want[k][2] && o.radius == want[k][3] &&
                        o.mass == want[k][4] && o.velocity.x == 0 && o.velocity.z == 0 && o.inPlay == 1)
                << "object " << k;
        }
        EXPECT_TRUE(s.world.read && s.ballMesh.read && s.pinMeshes[0].read && s.pinMeshes[1].read);
        EXPECT_EQ(s.pinMeshes[1].mesh.numTriangles, 1);
        ASSERT_NE(s.firstCollisionFace, nullptr);
        EXPECT_EQ(s.firstCollisionFace->v[1].x, 5);
    }
    // No pins is a whole level, pin entries or not; a mesh name of 256 characters is taken whole.
    std::string mesh = dir.write(std::string(256 - dir.missing("").size(), 'm'), "tris 1\n");
    ASSERT_EQ(mesh.size(), 256u);
    load(scene("0", pin(0), mesh), success);
    EXPECT_TRUE(s.pins == nullptr && s.numPins == 0 && s.world.read && s.world.mesh.headerValid);
}

// A mesh loader's message has no line break of its own and runs on into the
// scene's. Failing before the pins keeps what was read; failing in them leaves
// everything to be released.
TEST_F(SceneFile, FailuresPrintTheirGroupsMessage)
{
    std::string noMesh = dir.missing("nomesh"), noCollide = dir.missing("nocollide");
    std::string noBallMesh = scene("0", "");
    noBallMesh.resize(noBallMesh.rfind("\nL ") + 1);
    const struct {
        std::string text, out;
        bool worldRead, pinsIncomplete;
    } cases[] = {
        {"-", "Unable to open file: " + dir.missing("level") + " for scene loading\n", false, false},
        {"\n", PRIOR_TO_PINS, false, false},
        // The background lacks a number: the text colour after it is not read.
        {"L [0.1, 0.2]\nL [1.0, 1.0, 1.0]\nL 0\nL " + floor + "\n", PRIOR_TO_PINS, false, false},
        // White space before "]": the bracket is taken for the next label.
        {"L [0.1, 0.2, 0.3 ]\nL [1.0, 1.0, 1.0]\nL 0\nL " + floor + "\n", PRIOR_TO_PINS, false, false},
        {noBallMesh, PRIOR_TO_PINS, true, false},
        {scene("1", pin(0), noMesh, noCollide), BAD_MESH + noMesh + PRIOR_TO_PINS, true, false},
        {scene("1", pin(0), floor, noCollide), BAD_MESH + noCollide + "\n" + PRIOR_TO_PINS, true, false},
        {scene("3", pin(0) + pin(1)), PINS_SHORT, true, true},
        {scene("2", pin(0) + "L [1, 8, 0.6]\nL 0.3\nL 1.5\n"), PINS_SHORT, true, true},
        {scene("2", pin(0) + pin(1, noMesh)), BAD_MESH + noMesh + PINS_SHORT, true, true},
        // Far more pins than could ever be allocated: the missing entry ends it.
        {scene("2000000000", pin(0)), PINS_SHORT, true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        EXPECT_EQ(load(c.text, failure), c.out);
        EXPECT_EQ(s.opened, c.text != "-");
        EXPECT_EQ((bool)s.world.read, c.worldRead);
        EXPECT_EQ((bool)s.pinsIncomplete, c.pinsIncomplete);
        EXPECT_LE(s.pinRecords, 16);
        // A world mesh that fails still gets its list; the collision mesh after it is never read.
        EXPECT_EQ(s.firstCollisionFace != nullptr,
                  c.worldRead && c.out.find(noCollide) == std::string::npos &&
                      c.out.find(noMesh + PRIOR_TO_PINS) == std::string::npos);
    }
}

} // namespace
