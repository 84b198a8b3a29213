// Loading and unloading scene files in the real OpenGL context, with the exact
// lines each outcome prints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glSupport.h"
#include "scene/sceneInternal.h"
#include "support/fileSupport.h"
#include "vectorMath.h"

namespace
{

const std::string PRIOR_TO_PINS = "error in scene file somewhere prior to pin specific information\n";
const std::string PINS_SHORT = "file didn't contain enough correctly formatted information about pins\n";
const std::string UNLOADING = "unloading scene...\n";
const std::string MESH_MISSING =
    "encountered file error, possibly an invalid first line\nor an invalid file\n"
    " or no file\nor something else\nwhen trying to load ";

class SceneFile : public ::testing::Test
{
  protected:
    testfiles::tempDir dir;
    std::string floor; // one triangle facing up

    void SetUp() override
    {
        gltest::resetState();
        worldDispList = ball.dispList = 0;
        floor =
            dir.write("floor", "tris 1\nn [0, 0, 1]\nc [1, 2, 3]\np [-5, -5, 0]\nc [1, 2, 3]\np [5, -5, 0]\n"
                               "c [1, 2, 3]\np [0, 5, 0]\n");
    }
    void TearDown() override { releaseScene(); } // nothing of a load may outlive the test

    // A scene with every label "L"; the meshes are the floor unless named.
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

    condition load(std::string path, std::string *out)
    {
        condition c = unknown;
        *out = testfiles::captureStdout([&] { c = sceneLoad(&path[0]); });
        return c;
    }
    std::string unload()
    {
        return testfiles::captureStdout([] { sceneUnload(); });
    }
};

} // namespace

static bool operator==(vec3 a, vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
static std::ostream &operator<<(std::ostream &o, vec3 v) { return o << v.x << ", " << v.y << ", " << v.z; }

namespace
{

// Loaded twice, the second time with labels of 5000 characters and no line
// breaks: labels are free text and line breaks mere white space. Unloading must
// leave nothing that spoils the next load, as of a restarted level.
TEST_F(SceneFile, AWholeSceneFillsTheLevelAgainAfterEveryUnload)
{
    std::string text = scene("2", pin(-1) + pin(1) + "L never read [ [");
    for (int round = 0; round < 2; round++) {
        SCOPED_TRACE(round);
        std::string file =
            dir.write("level", round ? gltest::relabel(text, std::string(5000, 'x'), ' ') : text);
        ball.velocity = vec3{9, 9, 9};
        ball.inPlay = 0;
        std::string out;
        ASSERT_EQ(load(file, &out), success);
        EXPECT_EQ(out, "done loading scene from file " + file + "\n");
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_TRUE(clear[0] == 0.25f && clear[1] == 0.5f && clear[2] == 0.75f && clear[3] == 1.0f);
        EXPECT_EQ((vec3{txtRed, txtGreen, txtBlue}), (vec3{1, 0, 0.5f}));
        EXPECT_EQ(worldLowerBound, -12.5f);
        EXPECT_EQ(cameraLocation, (vec3{0, -12, 3}));
        EXPECT_EQ(cameraInitLoc, (vec3{0, -12, 3}));
        // From the camera toward the ball: (3, 4, 0) / 5.
        EXPECT_LT(vec_mag(vec_subtract(cameraVelocity, vec3{0.6f, 0.8f, 0})), 1e-6f) << cameraVelocity;
        ASSERT_EQ(numPins, 2);
        EXPECT_EQ(remainingPins, 2);
        const dynamicObject want[] = {{{3, -8, 3}, {}, {}, 0.5f, 5, 0, 1},
                                      {{-1, 8, 0.6f}, {}, {}, 0.3f, 1.5f, 0, 1},
                                      {{1, 8, 0.6f}, {}, {}, 0.3f, 1.5f, 0, 1}};
        std::vector<GLint> lists = {worldDispList};
        for (int k = 0; k < 3; k++) {
            const dynamicObject &o = k == 0 ? ball : pins[k - 1];
            SCOPED_TRACE(k);
            EXPECT_EQ(o.location, want[k].location);
            EXPECT_EQ(o.initLoc, want[k].location);
            EXPECT_EQ(o.velocity, (vec3{0, 0, 0}));
            EXPECT_TRUE(o.radius == want[k].radius && o.mass == want[k].mass && o.inPlay == 1);
            lists.push_back(o.dispList);
        }
        ASSERT_NE(firstCollisionFace, nullptr);
        EXPECT_EQ(firstCollisionFace->v[1], (vec3{5, -5, 0}));
        // Every mesh gets a list of its own, even from the same file.
        for (size_t k = 0; k < lists.size(); k++) {
            EXPECT_TRUE(glIsList((GLuint)lists[k])) << k;
            for (size_t m = 0; m < k; m++)
                EXPECT_NE(lists[k], lists[m]);
        }
        GLint depthFunc, shadeModel;
        glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
        glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_CULL_FACE) && depthFunc == GL_LESS &&
                    shadeModel == GL_SMOOTH);

        // Played for a while, then unloaded.
        pins[0].location = vec3{0, 0, -50};
        pins[0].inPlay = 0;
        remainingPins = 0;
        EXPECT_EQ(unload(), UNLOADING);
        EXPECT_EQ(pins, nullptr);
        EXPECT_EQ(firstCollisionFace, nullptr);
        for (GLint list : lists)
            EXPECT_FALSE(glIsList((GLuint)list));
    }
}

// No pins is a whole level, even with pin entries after it; mesh names of 256 characters are taken whole.
TEST_F(SceneFile, NoPinsAndLongMeshNames)
{
    std::string name = std::string(256 - dir.missing("").size(), 'm');
    std::string mesh = dir.write(name, "tris 1\n");
    ASSERT_EQ(mesh.size(), 256u);
    remainingPins = 9;
    std::string out;
    ASSERT_EQ(load(dir.write("level", scene("0", pin(0), mesh, floor)), &out), success) << out;
    EXPECT_EQ(pins, nullptr);
    EXPECT_EQ(numPins, 0);
    EXPECT_EQ(remainingPins, 0);
    EXPECT_TRUE(glIsList((GLuint)worldDispList));
}

// Each group of failures with its exact lines. A mesh loader's message has no
// line break of its own and runs on into the scene's. Failing before the pins
// keeps what was built until the run ends; failing in the pins unloads it all.
TEST_F(SceneFile, FailuresPrintTheirGroupsMessage)
{
    std::string noMesh = dir.missing("nomesh"), noCollide = dir.missing("nocollide");
    struct {
        const char *why;
        std::string text; // "" for no scene file at all
        std::string out;
    } cases[] = {
        {"no scene file", "", "Unable to open file: " + dir.missing("level") + " for scene loading\n"},
        {"an empty file", "\n", PRIOR_TO_PINS},
        // White space before "]": it is taken for the next label, the text colour finds
        // a label for its "[", and the rest (a missing mesh would say so) is never read.
        {"a spaced bracket", "L [0.1, 0.2, 0.3 ]\nL [1.0, 1.0, 1.0]\nL 0\nL " + noMesh + "\n", PRIOR_TO_PINS},
        {"no ball mesh", scene("0", "").substr(0, scene("0", "").rfind("\nL ") + 1), PRIOR_TO_PINS},
        {"a missing world mesh", scene("1", pin(0), noMesh, noCollide),
         MESH_MISSING + noMesh + PRIOR_TO_PINS},
        {"a missing collision mesh", scene("1", pin(0), floor, noCollide),
         MESH_MISSING + noCollide + "\n" + PRIOR_TO_PINS},
        {"more pins stated than given", scene("3", pin(0) + pin(1)), PINS_SHORT + UNLOADING},
        {"the last pin lacks its mesh", scene("2", pin(0) + "L [1, 8, 0.6]\nL 0.3\nL 1.5\n"),
         PINS_SHORT + UNLOADING},
        {"a pin mesh that cannot be read", scene("2", pin(0) + pin(1, noMesh)),
         MESH_MISSING + noMesh + PINS_SHORT + UNLOADING},
        // Far more pins than could ever be allocated: the missing entry ends it.
        {"a huge pin count", scene("2000000000", pin(0)), PINS_SHORT + UNLOADING},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        std::string out;
        std::string file = c.text.empty() ? dir.missing("level") : dir.write("level", c.text);
        EXPECT_EQ(load(file, &out), failure);
        EXPECT_EQ(out, c.out);
        if (c.out.find(UNLOADING) != std::string::npos) {
            EXPECT_EQ(pins, nullptr);
            EXPECT_EQ(firstCollisionFace, nullptr);
            EXPECT_FALSE(glIsList((GLuint)worldDispList));
            EXPECT_FALSE(glIsList((GLuint)ball.dispList));
        }
        if (c.why == std::string("a missing world mesh")) {
            // The world's list is made and ended even though its mesh would not
            // load, and the collision mesh after it is never read.
            EXPECT_TRUE(glIsList((GLuint)worldDispList));
            EXPECT_EQ(firstCollisionFace, nullptr);
        }
        releaseScene();
    }
}

} // namespace
