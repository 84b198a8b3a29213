// pinwhirl-check [--json] [--throws N] [DIR | FILE.scene]: checks a level pack
// (the scene list in DIR and everything it names), or one level, the way the
// game would load and play it, and explains what it finds.
#include "check/check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

const char *const USAGE = "Usage: pinwhirl-check [OPTION]... [DIR | FILE.scene]\n"
                          "Check a Pinwhirl level pack (the scene list in DIR, by default the current\n"
                          "folder, and every scene and mesh it names) or one level, as the game would\n"
                          "read and play it: what the game would refuse and why, values that make no\n"
                          "sense, text that does not stand out, meshes that culling hides or whose\n"
                          "normals mislead the physics, objects that start inside something, in the\n"
                          "air or above nothing, what moves when the level is left alone, and throws\n"
                          "that clear each level.\n"
                          "\n"
                          "  --files      only read the files, as the game would, and tell what is in\n"
                          "               them: no level is played (no settling, no search)\n"
                          "  --json       print the findings and the throws as JSON\n"
                          "  --throws N   search for at most N throws that clear a level (default 3;\n"
                          "               0 skips the search)\n"
                          "  --help       show this help and exit\n"
                          "  --version    show the version and exit\n"
                          "\n"
                          "Findings are printed as FILE:LINE: LEVEL: MESSAGE. Exit status: 0 when all\n"
                          "is well, 1 for warnings or a level no searched throws clear, 2 when the game\n"
                          "would refuse a file.\n";

struct finding {
    std::string file;
    int line;
    severity level;
    std::string message;
};
std::vector<finding> findings;
std::string prefix; // the folder named on the command line, for paths an editor can open
bool json = false;
bool filesOnly = false; // no level is played

const char *const LEVEL_WORDS[] = {"note", "warning", "error"};

std::string jsonString(const std::string &s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\', out += c;
        else if ((unsigned char)c < 0x20) {
            char esc[8];
            snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else
            out += c;
    }
    return out + "\"";
}

// Two decimals: the grid has 84 first throws.
std::string difficultyWords(double difficulty)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.2f", difficulty);
    return buf;
}

struct levelResult {
    std::string scene;
    bool searched;
    std::vector<drag> throws;
    double difficulty;
};

void checkLevel(const std::string &name, bool search, int maxThrows, std::vector<levelResult> *results)
{
    sceneData scene;
    levelResult r = {prefix + name, false, {}, 0};
    if (checkScene(name, &scene)) {
        checkValues(name, &scene);
        checkGeometry(name, &scene);
        if (!filesOnly) checkSettling(name, &scene);
        r.searched = search && maxThrows > 0 && scene.numPins > 0;
        if (r.searched) {
            bool progress = !json && isatty(2);
            r.throws = searchThrows(name, &scene, maxThrows, progress);
            r.difficulty = measureDifficulty(name, &scene, maxThrows, &r.throws, progress);
            std::string how;
            for (size_t k = 0; k < r.throws.size(); k++)
                how += (k ? "; then " : "") + dragWords(r.throws[k]);
            if (r.throws.empty())
                report(name, 0, warningFinding,
                       "the search found no way to clear it in " + std::to_string(maxThrows) +
                           (maxThrows == 1 ? " throw" : " throws or fewer"));
            else
                report(name, 0, noteFinding,
                       "cleared in " + std::to_string(r.throws.size()) +
                           (r.throws.size() == 1 ? " throw" : " throws") + ", difficulty " +
                           difficultyWords(r.difficulty) + ": " + how);
        }
    }
    results->push_back(r);
    freeSceneData(&scene);
}

} // namespace

void report(const std::string &file, int line, severity level, const std::string &message)
{
    findings.push_back({prefix + file, line, level, message});
    if (!json)
        printf("%s%s: %s: %s\n", findings.back().file.c_str(),
               line > 0 ? (":" + std::to_string(line)).c_str() : "", LEVEL_WORDS[level], message.c_str());
}

int main(int argc, char **argv)
{
    int maxThrows = 3;
    std::string target = ".";
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help")) return fputs(USAGE, stdout), 0;
        if (!strcmp(argv[i], "--version")) return printf("pinwhirl-check %s\n", PINWHIRL_VERSION), 0;
        if (!strcmp(argv[i], "--json"))
            json = true;
        else if (!strcmp(argv[i], "--files"))
            filesOnly = true;
        else if (!strcmp(argv[i], "--throws") && i + 1 < argc && atoi(argv[i + 1]) >= 0)
            maxThrows = atoi(argv[++i]);
        else if (argv[i][0] != '-' && target == ".")
            target = argv[i];
        else
            return fprintf(stderr, "pinwhirl-check: unexpected \"%s\"\n%s", argv[i], USAGE), 2;
    }

    if (filesOnly) maxThrows = 0;

    // The game opens every name relative to its folder, so the check runs there.
    struct stat st;
    bool onePack = stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    size_t slash = target.rfind('/');
    std::string folder = onePack                      ? target
                         : slash == std::string::npos ? "."
                                                      : target.substr(0, slash ? slash : 1);
    if (chdir(folder.c_str()) != 0)
        return fprintf(stderr, "pinwhirl-check: cannot enter the folder %s\n", folder.c_str()), 2;
    prefix = folder == "." ? "" : folder.back() == '/' ? folder : folder + "/";

    std::vector<levelResult> results;
    if (onePack) {
        std::vector<std::string> scenes = checkSceneList();
        for (size_t i = 0; i < scenes.size(); i++) {
            // The last entry is the game-over screen: nothing there is to be cleared.
            bool seen = false;
            for (size_t j = 0; j < i; j++)
                seen = seen || scenes[j] == scenes[i];
            if (!seen) checkLevel(scenes[i], i + 1 < scenes.size(), maxThrows, &results);
        }
    } else {
        checkLevel(target.substr(target.rfind('/') + 1), true, maxThrows, &results);
    }

    int counts[3] = {0, 0, 0};
    for (const finding &f : findings)
        counts[f.level]++;
    int uncleared = 0;
    for (const levelResult &r : results)
        uncleared += r.searched && r.throws.empty();
    if (json) {
        printf("{\"findings\": [");
        for (size_t k = 0; k < findings.size(); k++)
            printf("%s\n  {\"file\": %s, \"line\": %d, \"level\": \"%s\", \"message\": %s}", k ? "," : "",
                   jsonString(findings[k].file).c_str(), findings[k].line, LEVEL_WORDS[findings[k].level],
                   jsonString(findings[k].message).c_str());
        printf("],\n \"levels\": [");
        for (size_t k = 0; k < results.size(); k++) {
            printf("%s\n  {\"scene\": %s, \"searched\": %s, ", k ? "," : "",
                   jsonString(results[k].scene).c_str(), results[k].searched ? "true" : "false");
            if (!results[k].throws.empty())
                printf("\"par\": %zu, \"difficulty\": %s, ", results[k].throws.size(),
                       difficultyWords(results[k].difficulty).c_str());
            printf("\"throws\": [");
            for (size_t t = 0; t < results[k].throws.size(); t++)
                printf("%s{\"right\": %.1f, \"up\": %.1f, \"seconds\": %g}", t ? ", " : "",
                       (double)results[k].throws[t].right, (double)results[k].throws[t].up, DRAG_MS / 1000.0);
            printf("]}");
        }
        printf("],\n \"errors\": %d, \"warnings\": %d}\n", counts[errorFinding], counts[warningFinding]);
    } else {
        printf("pinwhirl-check: %zu level%s checked: %d error%s, %d warning%s\n", results.size(),
               results.size() == 1 ? "" : "s", counts[errorFinding], counts[errorFinding] == 1 ? "" : "s",
               counts[warningFinding], counts[warningFinding] == 1 ? "" : "s");
    }
    return counts[errorFinding] ? 2 : counts[warningFinding] || uncleared ? 1 : 0;
}
