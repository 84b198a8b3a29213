// Loading and unloading scene files in the real OpenGL context, with the exact
// lines each outcome prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "glSupport.h"
#include "scene/sceneInternal.h"

namespace
{

const char *const PRIOR_TO_PINS = "error in scene file somewhere prior to pin specific information\n";
const char *const PINS_SHORT = "file didn't contain enough correctly formatted information about pins\n";
const char *const MESH_MISSING =
    "encountered file error, possibly an invalid first line\nor an invalid file\n"
    " or no file\nor something else\nwhen trying to load ";

// A triangle facing +z, and one facing -y, in the mesh file format.
const char *const FLOOR_MESH = "tris 1\n"
                               "n [0.0, 0.0, 1.0]\n"
                               "c [10, 20, 30]\np [-5.0, -5.0, 0.0]\n"
                               "c [10, 20, 30]\np [5.0, -5.0, 0.0]\n"
                               "c [10, 20, 30]\np [0.0, 5.0, 0.0]\n";

class SceneFile : public ::testing::Test
{
  protected:
    std::string dir;
    std::vector<std::string> written;

    void SetUp() override
    {
        char pattern[] = "/tmp/pinwhirlSceneXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        gltest::resetState();
        pins = nullptr;
        firstCollisionFace = nullptr;
        write("floor.txt", FLOOR_MESH);
    }
    void TearDown() override
    {
        // Nothing of a load may outlive the test.
        if (pins != nullptr || firstCollisionFace != nullptr) unload();
        for (const std::string &p : written)
            unlink(p.c_str());
        rmdir(dir.c_str());
    }

    std::string path(const std::string &name) const { return dir + "/" + name; }
    std::string write(const std::string &name, const std::string &text)
    {
        std::string p = path(name);
        FILE *f = fopen(p.c_str(), "w");
        fputs(text.c_str(), f);
        fclose(f);
        written.push_back(p);
        return p;
    }

    // A scene with the given pin count and pin entries; every mesh is the floor.
    std::string scene(const std::string &pinCount, const std::string &pinEntries,
                      const std::string &world = "floor.txt", const std::string &collide = "floor.txt")
    {
        return "background [0.25, 0.5, 0.75]\n"
               "text [1.0, 0.0, 0.5]\n"
               "lowest -12.5\n"
               "world " +
               path(world) +
               "\n"
               "collide " +
               path(collide) +
               "\n"
               "camera [0.0, -12.0, 3.0]\n"
               "pins " +
               pinCount +
               "\n"
               "ball [3.0, -8.0, 3.0]\n"
               "radius 0.5\n"
               "mass 5.0\n"
               "mesh " +
               path("floor.txt") + "\n" + pinEntries;
    }
    std::string pin(float x, const std::string &mesh = "floor.txt")
    {
        char loc[64];
        snprintf(loc, sizeof loc, "pin [%g, 8.0, 0.6]\n", x);
        return std::string(loc) + "radius 0.3\nmass 1.5\nmesh " + path(mesh) + "\n";
    }

    condition load(const std::string &file, std::string *out)
    {
        std::vector<char> name(file.begin(), file.end());
        name.push_back('\0');
        testing::internal::CaptureStdout();
        condition c = sceneLoad(name.data());
        *out = testing::internal::GetCapturedStdout();
        return c;
    }
    std::string unload()
    {
        testing::internal::CaptureStdout();
        sceneUnload();
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(SceneFile, AWholeSceneFillsTheLevelAndUnloadReleasesIt)
{
    std::string file = write("level.txt", scene("2", pin(-1) + pin(1)));
    ball.velocity = vec3{9, 9, 9};
    ball.inPlay = 0;
    std::string out;
    ASSERT_EQ(load(file, &out), success);
    EXPECT_EQ(out, "done loading scene from file " + file + "\n");

    EXPECT_FLOAT_EQ(bgGreen, 0.5f);
    EXPECT_FLOAT_EQ(txtBlue, 0.5f);
    EXPECT_FLOAT_EQ(worldLowerBound, -12.5f);
    EXPECT_FLOAT_EQ(cameraLocation.y, -12.0f);
    EXPECT_FLOAT_EQ(cameraInitLoc.z, 3.0f);
    // From the camera toward the ball: (3, 4, 0) / 5.
    EXPECT_FLOAT_EQ(cameraVelocity.x, 0.6f);
    EXPECT_FLOAT_EQ(cameraVelocity.y, 0.8f);
    EXPECT_FLOAT_EQ(cameraVelocity.z, 0.0f);
    EXPECT_EQ(numPins, 2);
    EXPECT_EQ(remainingPins, 2);
    EXPECT_FLOAT_EQ(ball.location.y, -8.0f);
    EXPECT_FLOAT_EQ(ball.initLoc.y, -8.0f);
    EXPECT_FLOAT_EQ(ball.velocity.x, 0.0f);
    EXPECT_EQ(ball.inPlay, 1);
    EXPECT_FLOAT_EQ(ball.radius, 0.5f);
    EXPECT_FLOAT_EQ(ball.mass, 5.0f);
    ASSERT_NE(pins, nullptr);
    EXPECT_FLOAT_EQ(pins[0].location.x, -1.0f);
    EXPECT_FLOAT_EQ(pins[1].initLoc.x, 1.0f);
    EXPECT_FLOAT_EQ(pins[1].location.z, 0.6f);
    EXPECT_FLOAT_EQ(pins[1].mass, 1.5f);
    EXPECT_EQ(pins[0].inPlay, 1);
    ASSERT_NE(firstCollisionFace, nullptr);
    EXPECT_FLOAT_EQ(firstCollisionFace->v[1].x, 5.0f);

    // Every mesh gets a list of its own, even the same file.
    std::vector<GLint> lists = {worldDispList, ball.dispList, pins[0].dispList, pins[1].dispList};
    for (size_t k = 0; k < lists.size(); k++) {
        EXPECT_TRUE(glIsList((GLuint)lists[k])) << k;
        for (size_t m = 0; m < k; m++)
            EXPECT_NE(lists[k], lists[m]);
    }

    // The level's drawing state.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.25f);
    EXPECT_FLOAT_EQ(clear[2], 0.75f);
    EXPECT_FLOAT_EQ(clear[3], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint value;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);

    EXPECT_EQ(unload(), "unloading scene...\n");
    EXPECT_EQ(pins, nullptr);
    EXPECT_EQ(firstCollisionFace, nullptr);
    for (GLint list : lists)
        EXPECT_FALSE(glIsList((GLuint)list));
    EXPECT_EQ(numPins, 2);
    EXPECT_EQ(remainingPins, 2);
}

TEST_F(SceneFile, LabelsAreFreeTextOfAnyLengthAndLineBreaksDoNotMatter)
{
    std::string text = scene("1", pin(2));
    // Replace every label by a long one and put the whole file on one line.
    std::string longLabel(40, 'x');
    std::string flat;
    bool atLabel = true;
    for (size_t k = 0; k < text.size(); k++) {
        if (atLabel) {
            size_t end = text.find(' ', k);
            flat += longLabel + std::to_string(k);
            k = end - 1;
            atLabel = false;
        } else if (text[k] == '\n') {
            flat += ' ';
            atLabel = true;
        } else {
            flat += text[k];
        }
    }
    ASSERT_EQ(flat.find('\n'), std::string::npos);
    std::string file = write("flat.txt", flat);
    std::string out;
    ASSERT_EQ(load(file, &out), success) << flat;
    EXPECT_EQ(out, "done loading scene from file " + file + "\n");
    EXPECT_FLOAT_EQ(pins[0].initLoc.x, 2.0f);
    EXPECT_FLOAT_EQ(ball.mass, 5.0f);
    unload();
}

TEST_F(SceneFile, AMeshNameOf256CharactersIsTakenWhole)
{
    std::string name = std::string(256 - dir.size() - 1, 'm');
    write(name, FLOOR_MESH);
    ASSERT_EQ(path(name).size(), 256u);
    std::string file = write("level.txt", scene("0", "", name, name));
    std::string out;
    ASSERT_EQ(load(file, &out), success) << out;
    EXPECT_TRUE(glIsList((GLuint)worldDispList));
    unload();
}

TEST_F(SceneFile, AMissingSceneFileTouchesNothing)
{
    bgRed = 0.125f;
    std::string out;
    EXPECT_EQ(load(path("nowhere.txt"), &out), failure);
    EXPECT_EQ(out, "Unable to open file: " + path("nowhere.txt") + " for scene loading\n");
    EXPECT_FLOAT_EQ(bgRed, 0.125f);
}

TEST_F(SceneFile, AShortEntryBeforeThePinsFailsWithItsGroupsMessage)
{
    std::string out;
    EXPECT_EQ(load(write("empty.txt", ""), &out), failure);
    EXPECT_EQ(out, PRIOR_TO_PINS);

    // A colour without its third number fails even though the text colour is fine.
    txtRed = 0.125f;
    EXPECT_EQ(load(write("colour.txt", "bg [0.1, 0.2]\ntext [1.0, 1.0, 1.0]\n"), &out), failure);
    EXPECT_EQ(out, PRIOR_TO_PINS);
    EXPECT_FLOAT_EQ(txtRed, 0.125f);

    // White space before the bracket: the bracket becomes the next label and the
    // text colour fails.
    EXPECT_EQ(load(write("bracket.txt", "bg [0.1, 0.2, 0.3 ]\ntext [1.0, 1.0, 1.0]\n"), &out), failure);
    EXPECT_EQ(out, PRIOR_TO_PINS);
    EXPECT_FLOAT_EQ(bgBlue, 0.3f);

    // The ball mesh entry missing.
    std::string text = scene("0", "");
    text = text.substr(0, text.rfind("mesh "));
    EXPECT_EQ(load(write("noball.txt", text), &out), failure);
    EXPECT_EQ(out, PRIOR_TO_PINS);
    EXPECT_NE(firstCollisionFace, nullptr) << "what was built stays until the run ends";
    unload();
}

TEST_F(SceneFile, AMissingWorldMeshRunsItsMessageIntoTheScenesOnOneLine)
{
    std::string out;
    std::string file = write("level.txt", scene("1", pin(0), "nomesh.txt"));
    EXPECT_EQ(load(file, &out), failure);
    EXPECT_EQ(out, MESH_MISSING + path("nomesh.txt") + PRIOR_TO_PINS);
    EXPECT_EQ(firstCollisionFace, nullptr) << "no collision mesh after a failed world mesh";
    EXPECT_TRUE(glIsList((GLuint)worldDispList)) << "the list is made whether or not the mesh loads";
    unload();
}

TEST_F(SceneFile, AMissingCollisionMeshFailsAfterTheLoadersMessage)
{
    std::string out;
    EXPECT_EQ(load(write("level.txt", scene("1", pin(0), "floor.txt", "nocollide.txt")), &out), failure);
    EXPECT_EQ(out, MESH_MISSING + path("nocollide.txt") + "\n" + PRIOR_TO_PINS);
    unload();
}

TEST_F(SceneFile, NoPinsIsAWholeLevel)
{
    std::string out;
    remainingPins = 9;
    ASSERT_EQ(load(write("level.txt", scene("0", pin(0))), &out), success);
    EXPECT_EQ(pins, nullptr);
    EXPECT_EQ(numPins, 0);
    EXPECT_EQ(remainingPins, 0);
    unload();
}

TEST_F(SceneFile, MissingPinEntriesReleaseEverything)
{
    struct {
        const char *why;
        std::string text;
        std::string extra;
    } cases[] = {
        {"more pins stated than given", scene("3", pin(0) + pin(1)), ""},
        {"the last pin lacks its mesh", scene("2", pin(0) + "pin [1.0, 8.0, 0.6]\nradius 0.3\nmass 1.5\n"),
         ""},
        {"a pin mesh that cannot be read", scene("2", pin(0) + pin(1, "nopin.txt")),
         MESH_MISSING + path("nopin.txt")},
        // Far more pins than could ever be allocated: the missing entry ends it.
        {"a huge pin count", scene("2000000000", pin(0)), ""},
    };
    for (auto &c : cases) {
        std::string out;
        EXPECT_EQ(load(write("level.txt", c.text), &out), failure) << c.why;
        EXPECT_EQ(out, c.extra + PINS_SHORT + "unloading scene...\n") << c.why;
        EXPECT_EQ(pins, nullptr) << c.why;
        EXPECT_EQ(firstCollisionFace, nullptr) << c.why;
        EXPECT_FALSE(glIsList((GLuint)worldDispList)) << c.why;
        EXPECT_FALSE(glIsList((GLuint)ball.dispList)) << c.why;
    }
}

TEST_F(SceneFile, ACameraOnTheBallLooksUp)
{
    std::string text = scene("0", "");
    size_t at = text.find("camera [0.0, -12.0, 3.0]");
    text.replace(at, 24, "camera [3.0, -8.0, 3.0]");
    std::string out;
    ASSERT_EQ(load(write("level.txt", text), &out), success);
    EXPECT_FLOAT_EQ(cameraVelocity.x, 0.0f);
    EXPECT_FLOAT_EQ(cameraVelocity.y, 0.0f);
    EXPECT_FLOAT_EQ(cameraVelocity.z, 1.0f);
    unload();
}

TEST_F(SceneFile, LoadingAgainGivesTheSameLevel)
{
    std::string file = write("level.txt", scene("1", pin(4) + "trailing words never read [ ["));
    std::string out;
    ASSERT_EQ(load(file, &out), success);
    pins[0].location = vec3{0, 0, -50};
    pins[0].inPlay = 0;
    remainingPins = 0;
    unload();
    ASSERT_EQ(load(file, &out), success);
    EXPECT_FLOAT_EQ(pins[0].location.x, 4.0f);
    EXPECT_EQ(pins[0].inPlay, 1);
    EXPECT_EQ(remainingPins, 1);
    unload();
}

} // namespace
