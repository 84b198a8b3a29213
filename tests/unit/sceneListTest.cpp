// Reading scenelist.txt and walking through it, with the exact lines printed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "main/sceneList.h"

namespace
{

// Reads text as a list; returns what it printed and puts the names it kept in *names.
std::string readList(const std::string &text, std::vector<std::string> *names)
{
    FILE *f = tmpfile();
    fputs(text.c_str(), f);
    rewind(f);
    char **table = nullptr;
    testing::internal::CaptureStdout();
    int n = readSceneList(f, &table);
    std::string out = testing::internal::GetCapturedStdout();
    fclose(f);
    names->assign(table, table + n);
    EXPECT_TRUE(n > 0 || table == nullptr) << "a rejected list leaves no table";
    freeSceneList(table, n);
    return out;
}

TEST(SceneList, ValidListsKeepTheStatedEntriesWhole)
{
    const std::string name256(256, 'n'), label300(300, 'L');
    struct {
        const char *why;
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"surplus entries ignored",
         "scenes 2\nfirst one.txt\n  second\ttwo.txt third three.txt",
         {"one.txt", "two.txt"}},
        {"labels of any length", label300 + " 1\n" + label300 + "x level.txt\n", {"level.txt"}},
        {"a 256-character name", "s 1\nl " + name256 + "\n", {name256}},
        // The 257th character stays in the stream and is read as the next label.
        {"a 257th character", "s 2\nl " + name256 + "X next.txt\n", {name256, "next.txt"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<std::string> names;
        EXPECT_EQ(readList(c.text, &names), std::to_string(c.names.size()) + " scenes\n");
        EXPECT_EQ(names, c.names);
    }
}

TEST(SceneList, BadListsAreRejectedWithTheCountReadAndTheirMessage)
{
    const std::string badHeader = "invalid first line, or number of scenes stated\n"
                                  "Error in scene list file, scenelist.txt\n";
    const std::string shortList = "Not all scene entries valid\n"
                                  "Error in scene list file, scenelist.txt\n";
    const struct {
        std::string text, out;
    } cases[] = {
        {"scenes many\nl a.txt\n", "-1 scenes\n" + badHeader},
        {"scenes", "-1 scenes\n" + badHeader},
        {"", "-1 scenes\n" + badHeader},
        {"   \n", "-1 scenes\n" + badHeader},
        {"scenes 0\nl a.txt\n", "0 scenes\n" + badHeader},
        {"scenes -3\n", "-3 scenes\n" + badHeader},
        {"scenes 3\na one.txt\nb two.txt\n", "3 scenes\n" + shortList},
        {"scenes 3\na one.txt\nb two.txt\nc", "3 scenes\n" + shortList}, // a label without its name
        // Far beyond the entries: fails on the missing entry, not on memory.
        {"scenes 2000000000\na one.txt\n", "2000000000 scenes\n" + shortList},
    };
    for (const auto &c : cases) {
        std::vector<std::string> names;
        EXPECT_EQ(readList(c.text, &names), c.out) << c.text;
        EXPECT_TRUE(names.empty()) << c.text;
    }
}

TEST(SceneSequence, LastEntryIsTheGameOverScreenAndResultsMoveThroughTheListAndWrap)
{
    EXPECT_EQ(startingStateFor(1, 3), awaitingThrow);
    EXPECT_EQ(startingStateFor(2, 3), over);
    EXPECT_EQ(startingStateFor(0, 1), over);

    const struct {
        int i;
        gameReturn result;
        int numScenes, next;
        bool completed;
    } cases[] = {
        {0, levelCompleted, 3, 1, false},
        {1, restart, 3, 1, false},
        {0, quit, 3, 1, false},
        // Quitting on the last entry still moves on and wraps before the run ends.
        {2, levelCompleted, 3, 0, true},
        {2, quit, 3, 0, true},
        // A single entry wraps onto itself; restarting it does not.
        {0, levelCompleted, 1, 0, true},
        {0, restart, 1, 0, false},
    };
    for (const auto &c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(nextSceneIndex(c.i, c.result, c.numScenes), c.next) << c.i << " " << c.result;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.completed ? "completed game...\n" : "");
    }
}

} // namespace
