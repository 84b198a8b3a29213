// pinwhirl-check [OPTION]... [DIR | FILE.scene]: checks a level pack (the
// scene list in DIR and everything it names), or one level, the way the game
// would load and play it, and explains what it finds.
#include "check/check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{

const char *const USAGE = "Usage: pinwhirl-check [OPTION]... [DIR | FILE.scene]\n"
                          "       pinwhirl-check --try DRAG... FILE.scene\n"
                          "Check a Pinwhirl level pack (the scene list in DIR, by default the current\n"
                          "folder, and every scene and mesh it names) or one level, as the game would\n"
                          "read and play it: what the game would refuse and why, values that make no\n"
                          "sense, text that does not stand out, meshes that culling hides or whose\n"
                          "normals mislead the physics, objects that start inside something, in the\n"
                          "air or above nothing, what moves when the level is left alone, the most\n"
                          "forgiving throws that clear each level, and how people whose drags are a\n"
                          "little off fare on it.\n"
                          "\n"
                          "  --files         only read the files, as the game would, and tell what is\n"
                          "                  in them: no level is played (no settling, no search)\n"
                          "  --json          print the findings and the figures as JSON\n"
                          "  --throws N      the par may take at most N throws (default 3; 0 skips the\n"
                          "                  search and the people)\n"
                          "  --attempts N    attempts for each kind of player (default 100; 0 skips them)\n"
                          "  --hands D,S...  the players' spreads: degrees of direction and % of speed,\n"
                          "                  a pair each (default 2,10,4,20: steady and casual hands)\n"
                          "  --jobs N        threads to play the attempts on (default: one a core)\n"
                          "  --try DRAG...   play these drags (\"200 up 40 right\", \"150 up in 0.3 s\")\n"
                          "                  on FILE.scene and tell where the ball went after each\n"
                          "  --help          show this help and exit\n"
                          "  --version       show the version and exit\n"
                          "\n"
                          "Findings are printed as FILE:LINE: LEVEL: MESSAGE. Drags are in pixels of\n"
                          "the game's 640x480 picture. Exit status: 0 when all is well, 1 for warnings\n"
                          "or a level no searched throws clear, 2 when the game would refuse a file.\n";

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
const char *const HAND_NAMES[] = {"steady", "casual", "third", "fourth"};
const int MOST_HANDS = 4;

// What a level is tuned to, for the first hands: clear it in at most 4 throws
// on average and within 6 in 90% of attempts, with a first throw whose window
// is 4 degrees and 20% of its speed wide.
const double TARGET_MEAN = 4, TARGET_WITHIN_SIX = 0.9, TARGET_DEGREES = 4, TARGET_SPEED = 20;

struct options {
    personSettings person;
    std::vector<drag> tries;
    std::string target;
};

struct levelResult {
    std::string scene;
    bool searched;
    levelFigures figures;
};

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

std::string fixed(double v, int decimals)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string shortest(double v)
{
    char buf[32];
    snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::string degreesWords(double v) { return fixed(v, 0) + (fixed(v, 0) == "1" ? " degree" : " degrees"); }

std::string percent(double share) { return fixed(share * 100, 0) + "%"; }

// "2,10,4,20": pairs of spreads, the first the steady player's.
bool readHands(const char *text, std::vector<hands> *people)
{
    people->clear();
    for (const char *p = text; *p;) {
        char *end;
        double degrees = strtod(p, &end);
        if (*end != ',' || !(degrees >= 0 && degrees <= 90)) return false;
        double speed = strtod(end + 1, &end);
        if ((*end && *end != ',') || !(speed >= 0 && speed <= 100) || people->size() == MOST_HANDS)
            return false;
        people->push_back({HAND_NAMES[people->size()], degrees, speed});
        p = *end ? end + 1 : end;
    }
    return !people->empty();
}

// A count option's value: a whole number from 0 to `most`.
bool readCount(const char *text, int most, int *value)
{
    char *end;
    long n = strtol(text, &end, 10);
    if (*end || end == text || n < 0 || n > most) return false;
    return *value = (int)n, true;
}

// False when the program is to end at once, with *status.
bool readOptions(int argc, char **argv, options *o, int *status)
{
    unsigned cores = std::thread::hardware_concurrency();
    o->person = {{STEADY_HANDS, CASUAL_HANDS}, 100, cores ? (int)cores : 1, 3, false};
    o->target = ".";
    bool targetGiven = false;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i], *next = i + 1 < argc ? argv[i + 1] : nullptr;
        drag d;
        std::string why, unused;
        *status = 0;
        if (!strcmp(a, "--help")) return fputs(USAGE, stdout), false;
        if (!strcmp(a, "--version")) return printf("pinwhirl-check %s\n", PINWHIRL_VERSION), false;
        *status = 2;
        if (!strcmp(a, "--json"))
            json = true;
        else if (!strcmp(a, "--files"))
            filesOnly = true;
        else if (!strcmp(a, "--throws") && next && readCount(next, 10, &o->person.maxThrows))
            i++;
        else if (!strcmp(a, "--attempts") && next && readCount(next, 100000, &o->person.attempts))
            i++;
        else if (!strcmp(a, "--jobs") && next && readCount(next, 256, &o->person.threads) &&
                 o->person.threads)
            i++;
        else if (!strcmp(a, "--hands") && next && readHands(next, &o->person.people))
            i++;
        else if (!strcmp(a, "--try") && next && readDragWords(next, &d, &why))
            for (o->tries.push_back(d), i++; i + 1 < argc && readDragWords(argv[i + 1], &d, &unused); i++)
                o->tries.push_back(d);
        else if (a[0] != '-' && !targetGiven)
            o->target = a, targetGiven = true;
        else
            return fprintf(stderr, "pinwhirl-check: unexpected \"%s\"%s\n%s", a,
                           why.empty() ? "" : (": " + why).c_str(), USAGE),
                   false;
    }
    if (filesOnly) o->person.maxThrows = 0;
    if (o->tries.empty() || targetGiven) return true;
    return fprintf(stderr, "pinwhirl-check: --try needs a level to play\n%s", USAGE), false;
}

std::string handsWords(const personFigures &p)
{
    return std::string(p.hand.name) + " hands (" + fixed(p.hand.degrees, 0) + " degrees, " +
           fixed(p.hand.speed, 0) + "% of speed)";
}

void reportPar(const std::string &name, const levelFigures &f, int maxThrows)
{
    if (f.throws.empty()) {
        report(name, 0, warningFinding,
               "the search found no way to clear it in " + std::to_string(maxThrows) +
                   (maxThrows == 1 ? " throw" : " throws or fewer"));
        return;
    }
    std::string how,
        window = degreesWords(f.first.windowDegrees) + " by " + fixed(f.first.windowSpeed, 0) + "% of speed";
    for (size_t k = 0; k < f.throws.size(); k++)
        how += (k ? "; then " : "") + dragWords(f.throws[k]);
    if (f.throwsToTheStep)
        how += " (each on the very step 3 s after the level starts or the ball is back); the most forgiving "
               "first throw: " +
               dragWords(f.first.throwDrag) + ", its window " + window;
    else
        how += " (the first throw's window " + window + ")";
    report(name, 0, noteFinding, "par " + std::to_string(f.throws.size()) + ": " + how);
}

// The people's figures, and each target the level misses, a note each.
void reportPeople(const std::string &name, const levelFigures &f)
{
    if (f.people.empty()) return;
    std::string line = "difficulty " + fixed(f.people[0].mean, 2) + ":";
    for (const personFigures &p : f.people)
        line += std::string(&p == &f.people[0] ? " " : "; ") + handsWords(p) + " clear it in " +
                fixed(p.mean, 2) + " throws on average [" + fixed(p.low, 2) + ", " + fixed(p.high, 2) +
                "], within par + 1 in " + percent(p.withinParPlusOne) + " and within 6 in " +
                percent(p.withinSix);
    report(name, 0, noteFinding, line + " of " + std::to_string(f.people[0].attempts) + " attempts");
    const personFigures &steady = f.people[0];
    std::vector<std::string> missed;
    if (steady.mean > TARGET_MEAN)
        missed.push_back(handsWords(steady) + " take " + fixed(steady.mean, 2) +
                         " throws on average (at most 4)");
    if (steady.withinSix < TARGET_WITHIN_SIX)
        missed.push_back(handsWords(steady) + " clear it within 6 throws in " + percent(steady.withinSix) +
                         " of attempts (at least 90%)");
    if (f.first.windowDegrees < TARGET_DEGREES || f.first.windowSpeed < TARGET_SPEED)
        missed.push_back("the first throw's window is " + degreesWords(f.first.windowDegrees) + " by " +
                         fixed(f.first.windowSpeed, 0) + "% of speed (at least 4 degrees by 20%)");
    for (const std::string &m : missed)
        report(name, 0, noteFinding, "target missed: " + m);
}

void checkLevel(const std::string &name, bool search, const options &o, std::vector<levelResult> *results)
{
    sceneData scene;
    levelResult r = {prefix + name, false, {}};
    if (checkScene(name, &scene)) {
        if (!o.tries.empty()) {
            tryDrags(name, &scene, o.tries);
        } else {
            checkValues(name, &scene);
            checkGeometry(name, &scene);
            if (!filesOnly) checkSettling(name, &scene);
            r.searched = search && o.person.maxThrows > 0 && scene.numPins > 0;
        }
    }
    if (r.searched) {
        personSettings s = o.person;
        s.showProgress = !json && isatty(2);
        r.figures = measureLevel(name, &scene, s);
        reportPar(name, r.figures, s.maxThrows);
        reportPeople(name, r.figures);
    }
    results->push_back(r);
    freeSceneData(&scene);
}

// The game opens every name relative to its folder, so the check runs there.
bool enterFolder(const std::string &target, bool *onePack)
{
    struct stat st;
    *onePack = stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    size_t slash = target.rfind('/');
    std::string folder = *onePack                     ? target
                         : slash == std::string::npos ? "."
                                                      : target.substr(0, slash ? slash : 1);
    if (chdir(folder.c_str()) != 0)
        return fprintf(stderr, "pinwhirl-check: cannot enter the folder %s\n", folder.c_str()), false;
    prefix = folder == "." ? "" : folder.back() == '/' ? folder : folder + "/";
    return true;
}

void walkPack(const options &o, bool onePack, std::vector<levelResult> *results)
{
    if (!onePack) return checkLevel(o.target.substr(o.target.rfind('/') + 1), true, o, results);
    std::vector<std::string> scenes = checkSceneList();
    for (size_t i = 0; i < scenes.size(); i++) {
        // The last entry is the game-over screen: nothing there is to be cleared.
        bool seen = false;
        for (size_t j = 0; j < i; j++)
            seen = seen || scenes[j] == scenes[i];
        if (!seen) checkLevel(scenes[i], i + 1 < scenes.size(), o, results);
    }
}

std::string personJson(const personFigures &p)
{
    return "{\"hand\": " + jsonString(p.hand.name) + ", \"degrees\": " + fixed(p.hand.degrees, 3) +
           ", \"speed\": " + fixed(p.hand.speed, 3) + ", \"attempts\": " + std::to_string(p.attempts) +
           ", \"mean\": " + fixed(p.mean, 3) + ", \"low\": " + fixed(p.low, 3) +
           ", \"high\": " + fixed(p.high, 3) + ", \"withinParPlusOne\": " + fixed(p.withinParPlusOne, 3) +
           ", \"withinSix\": " + fixed(p.withinSix, 3) + "}";
}

std::string levelJson(const levelResult &r)
{
    const levelFigures &f = r.figures;
    std::string out =
        "{\"scene\": " + jsonString(r.scene) + ", \"searched\": " + (r.searched ? "true" : "false");
    if (!f.throws.empty())
        out += ", \"par\": " + std::to_string(f.throws.size()) +
               ", \"parToTheStep\": " + (f.throwsToTheStep ? "true" : "false");
    if (!f.people.empty()) out += ", \"difficulty\": " + fixed(f.people[0].mean, 3);
    out += ", \"throws\": [";
    for (size_t t = 0; t < f.throws.size(); t++)
        out += std::string(t ? ", " : "") + "{\"right\": " + fixed(f.throws[t].right, 1) +
               ", \"up\": " + fixed(f.throws[t].up, 1) +
               ", \"seconds\": " + shortest(f.throws[t].ms / 1000.0) + "}";
    out += "]";
    if (f.first.found)
        out += ", \"window\": {\"degrees\": " + fixed(f.first.windowDegrees, 1) +
               ", \"speed\": " + fixed(f.first.windowSpeed, 1) + "}";
    if (r.searched) {
        out += ", \"people\": [";
        for (size_t p = 0; p < f.people.size(); p++)
            out += (p ? ", " : "") + personJson(f.people[p]);
        out += "]";
    }
    return out + "}";
}

void writeJson(const std::vector<levelResult> &results, const int counts[3])
{
    printf("{\"findings\": [");
    for (size_t k = 0; k < findings.size(); k++)
        printf("%s\n  {\"file\": %s, \"line\": %d, \"level\": \"%s\", \"message\": %s}", k ? "," : "",
               jsonString(findings[k].file).c_str(), findings[k].line, LEVEL_WORDS[findings[k].level],
               jsonString(findings[k].message).c_str());
    printf("],\n \"levels\": [");
    for (size_t k = 0; k < results.size(); k++)
        printf("%s\n  %s", k ? "," : "", levelJson(results[k]).c_str());
    printf("],\n \"errors\": %d, \"warnings\": %d}\n", counts[errorFinding], counts[warningFinding]);
}

void writeSummary(const std::vector<levelResult> &results, const int counts[3])
{
    printf("pinwhirl-check: %zu level%s checked: %d error%s, %d warning%s\n", results.size(),
           results.size() == 1 ? "" : "s", counts[errorFinding], counts[errorFinding] == 1 ? "" : "s",
           counts[warningFinding], counts[warningFinding] == 1 ? "" : "s");
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
    options o;
    int status, counts[3] = {0, 0, 0}, uncleared = 0;
    bool onePack;
    if (!readOptions(argc, argv, &o, &status)) return status;
    if (!enterFolder(o.target, &onePack)) return 2;
    std::vector<levelResult> results;
    walkPack(o, onePack, &results);
    for (const finding &f : findings)
        counts[f.level]++;
    for (const levelResult &r : results)
        uncleared += r.searched && r.figures.throws.empty();
    json ? writeJson(results, counts) : writeSummary(results, counts);
    return counts[errorFinding] ? 2 : counts[warningFinding] || uncleared ? 1 : 0;
}
