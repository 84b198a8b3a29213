// Reading scenelist.txt and walking through it, with the exact lines printed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "main/sceneList.h"

namespace
{

struct listRead {
    int numScenes;
    char **names;
    std::string out;
};

listRead readList(const std::string &text)
{
    FILE *f = tmpfile();
    fputs(text.c_str(), f);
    rewind(f);
    listRead r;
    testing::internal::CaptureStdout();
    r.numScenes = readSceneList(f, &r.names);
    r.out = testing::internal::GetCapturedStdout();
    fclose(f);
    return r;
}

const char *const BAD_HEADER = "invalid first line, or number of scenes stated\n"
                               "Error in scene list file, scenelist.txt\n";
const char *const SHORT_LIST = "Not all scene entries valid\n"
                               "Error in scene list file, scenelist.txt\n";

TEST(SceneList, ReadsTheStatedEntriesAndIgnoresTheRest)
{
    listRead r = readList("scenes 2\nfirst one.txt\n  second\ttwo.txt third three.txt");
    ASSERT_EQ(r.numScenes, 2);
    EXPECT_EQ(r.out, "2 scenes\n");
    EXPECT_STREQ(r.names[0], "one.txt");
    EXPECT_STREQ(r.names[1], "two.txt");
    freeSceneList(r.names, r.numScenes);
}

TEST(SceneList, ABadHeaderPrintsTheCountReadAndRejectsTheList)
{
    for (const char *text : {"scenes many\nl a.txt\n", "scenes", "", "   \n"}) {
        listRead r = readList(text);
        EXPECT_EQ(r.numScenes, 0) << text;
        EXPECT_EQ(r.names, nullptr);
        EXPECT_EQ(r.out, std::string("-1 scenes\n") + BAD_HEADER) << text;
    }
    listRead zero = readList("scenes 0\nl a.txt\n");
    EXPECT_EQ(zero.numScenes, 0);
    EXPECT_EQ(zero.out, std::string("0 scenes\n") + BAD_HEADER);
    listRead negative = readList("scenes -3\n");
    EXPECT_EQ(negative.out, std::string("-3 scenes\n") + BAD_HEADER);
}

TEST(SceneList, FewerEntriesThanStatedRejectTheList)
{
    // Two complete entries of three; then a label without its file name.
    for (const char *text : {"scenes 3\na one.txt\nb two.txt\n", "scenes 3\na one.txt\nb two.txt\nc"}) {
        listRead r = readList(text);
        EXPECT_EQ(r.numScenes, 0);
        EXPECT_EQ(r.names, nullptr);
        EXPECT_EQ(r.out, std::string("3 scenes\n") + SHORT_LIST);
    }
    // A count far beyond the entries fails on the missing entry, not on memory.
    listRead huge = readList("scenes 2000000000\na one.txt\n");
    EXPECT_EQ(huge.numScenes, 0);
    EXPECT_EQ(huge.out, std::string("2000000000 scenes\n") + SHORT_LIST);
}

TEST(SceneList, LabelsOfAnyLengthAreAccepted)
{
    std::string longLabel(300, 'L');
    listRead r = readList(longLabel + " 1\n" + longLabel + "x level.txt\n");
    ASSERT_EQ(r.numScenes, 1);
    EXPECT_EQ(r.out, "1 scenes\n");
    EXPECT_STREQ(r.names[0], "level.txt");
    freeSceneList(r.names, r.numScenes);
}

TEST(SceneList, FileNamesUpTo256CharactersAreKeptWhole)
{
    std::string name256(256, 'n');
    listRead r = readList("s 1\nl " + name256 + "\n");
    ASSERT_EQ(r.numScenes, 1);
    EXPECT_EQ(std::string(r.names[0]), name256);
    freeSceneList(r.names, r.numScenes);

    // The 257th character stays in the stream and is read as the next label.
    listRead longer = readList("s 2\nl " + name256 + "X next.txt\n");
    ASSERT_EQ(longer.numScenes, 2);
    EXPECT_EQ(std::string(longer.names[0]), name256);
    EXPECT_STREQ(longer.names[1], "next.txt");
    freeSceneList(longer.names, longer.numScenes);
}

TEST(SceneSequence, LastEntryIsTheGameOverScreen)
{
    EXPECT_EQ(startingStateFor(0, 3), awaitingThrow);
    EXPECT_EQ(startingStateFor(1, 3), awaitingThrow);
    EXPECT_EQ(startingStateFor(2, 3), over);
    EXPECT_EQ(startingStateFor(0, 1), over);
}

TEST(SceneSequence, ResultsMoveThroughTheListAndWrap)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(nextSceneIndex(0, levelCompleted, 3), 1);
    EXPECT_EQ(nextSceneIndex(1, restart, 3), 1);
    EXPECT_EQ(nextSceneIndex(0, quit, 3), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    testing::internal::CaptureStdout();
    EXPECT_EQ(nextSceneIndex(2, levelCompleted, 3), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "completed game...\n");
    // Quitting on the last entry still moves on and wraps before the run ends.
    testing::internal::CaptureStdout();
    EXPECT_EQ(nextSceneIndex(2, quit, 3), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "completed game...\n");
    // A single entry wraps onto itself; restarting it does not.
    testing::internal::CaptureStdout();
    EXPECT_EQ(nextSceneIndex(0, levelCompleted, 1), 0);
    EXPECT_EQ(nextSceneIndex(0, restart, 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "completed game...\n");
}

} // namespace
