// Reading a pack as the game reads it, with the game's own readers, and
// explaining in an author's words what they noticed and where.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "../main/sceneList.h"
#include "../reader.h"
#include "check.h"

namespace
{

struct sourceFile {
    bool read = false;
    std::string text;
    std::map<int, long> entryStarts;
    std::vector<size_t> breaks; // where each line break stands, so that finding a line is no scan
};
std::map<std::string, sourceFile> sources;

const sourceFile &source(const std::string &name)
{
    sourceFile &s = sources[name];
    if (!s.read) {
        s.read = true;
        if (FILE *f = fopen(name.c_str(), "rb")) {
            char buf[65536];
            for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
                s.text.append(buf, n);
            fclose(f);
        }
        for (size_t i = s.text.find('\n'); i != std::string::npos; i = s.text.find('\n', i + 1))
            s.breaks.push_back(i);
    }
    return s;
}

struct heard {
    std::string file;
    readEvent what;
    int entry, count;
    long start, stop;
};
std::vector<heard> notes;

void listen(void *, const readNote *n)
{
    if (n->what == readEntry)
        sources[n->file].entryStarts[n->entry] = n->start;
    else
        notes.push_back({n->file, n->what, n->entry, n->count, n->start, n->stop});
}

// Runs a load while listening to the readers, and returns what the game printed.
template <class F> std::string listened(F load)
{
    notes.clear();
    listenToReading(listen, nullptr);
    fflush(stdout);
    FILE *sink = tmpfile();
    int saved = dup(1);
    dup2(fileno(sink), 1);
    load();
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    listenToReading(nullptr, nullptr);
    std::string out;
    rewind(sink);
    for (int c; (c = getc(sink)) != EOF;)
        out += (char)c;
    fclose(sink);
    return out;
}

std::string escaped(const std::string &s)
{
    std::string out;
    for (char c : s)
        out += c == '\n' ? "\\n" : c == '"' ? "\\\"" : std::string(1, c);
    return "\"" + out + "\"";
}

const char *const SCENE_ENTRIES[] = {"background colour", "text colour", "lower bound", "world mesh",
                                     "collision mesh",    "camera",      "pin count",   "ball location",
                                     "ball radius",       "ball mass",   "ball mesh"};
const char *const PIN_ENTRIES[] = {"location", "radius", "mass", "mesh"};
const char *const CORNER_ITEMS[] = {"colour", "position"};

std::string entryName(const heard &n, bool scene)
{
    if (scene)
        return n.entry < firstPinEntry
                   ? SCENE_ENTRIES[n.entry]
                   : "pin " + std::to_string((n.entry - firstPinEntry) / ENTRIES_PER_PIN + 1) + ", " +
                         PIN_ENTRIES[(n.entry - firstPinEntry) % ENTRIES_PER_PIN];
    if (n.entry == 0) return "the header";
    int item = (n.entry - 1) % 7;
    std::string triangle = "triangle " + std::to_string((n.entry - 1) / 7 + 1);
    return item == 0 ? triangle + ", normal"
                     : triangle + ", corner " + std::to_string((item + 1) / 2) + ", " +
                           CORNER_ITEMS[(item + 1) % 2];
}

// What a scene entry holds after its label.
std::string sceneValue(int entry)
{
    if (entry >= firstPinEntry) entry = (entry - firstPinEntry) % ENTRIES_PER_PIN + ballLocationEntry;
    switch (entry) {
    case worldMeshEntry:
    case collisionMeshEntry:
    case ballMeshEntry:
        return "a file name";
    case lowerBoundEntry:
    case ballRadiusEntry:
    case ballMassEntry:
        return "a number";
    case pinCountEntry:
        return "a whole number";
    default:
        return "[x, y, z]";
    }
}

// The entry's text from where it begins to the word where reading stopped.
std::string entryText(const std::string &file, long start, long stop)
{
    const std::string &t = source(file).text;
    size_t from = t.find_first_not_of(" \t\r\n", (size_t)start),
           to = t.find_first_of(" \t\r\n", (size_t)stop + 1);
    std::string text;
    for (size_t i = from; i < std::min(to, t.size()) && text.size() < 60; i++)
        if (!isspace((unsigned char)t[i]) || (text.size() && text.back() != ' '))
            text += isspace(t[i]) ? ' ' : t[i];
    return "\"" + text + "\"";
}

// The word that ends where reading stopped: the file name an entry named.
std::string lastWord(const std::string &file, long stop)
{
    const std::string &t = source(file).text;
    size_t from = t.find_last_of(" \t\r\n", (size_t)stop - 1);
    return "\"" + t.substr(from + 1, (size_t)stop - from - 1) + "\"";
}

bool atEnd(const std::string &file, long offset)
{
    const std::string &t = source(file).text;
    return offset < 0 || t.find_first_not_of(" \t\r\n", (size_t)offset) == std::string::npos;
}

// Turns what the readers noticed in one load into findings; returns whether any is an error.
bool explain(const std::string &scene, const std::string &gamePrinted)
{
    int firstErrorLine = -1, outOfStep = 0;
    std::string firstErrorFile, shortFile;
    for (const heard &n : notes) {
        // After a drawn mesh's first short entry the rest is read out of step: one finding tells it.
        if ((n.what == readShortColour || n.what == readShortCorner) && n.file == shortFile && ++outOfStep)
            continue;
        bool isScene = n.file == scene && scene != "scenelist.txt";
        std::string what = n.file == "scenelist.txt" && n.entry > 0 ? "scene entry " + std::to_string(n.entry)
                                                                    : entryName(n, isScene);
        std::string message;
        severity level = errorFinding;
        int line = lineAt(n.file, n.start);
        switch (n.what) {
        case readCannotOpen:
            message = "cannot be opened (a name is taken relative to the pack's folder)";
            break;
        case readBadHeader:
            message = "the header must be a label and a count of 1 or more; found " +
                      entryText(n.file, n.start, n.stop);
            break;
        case readShortEntry: {
            std::string value = isScene                     ? sceneValue(n.entry)
                                : n.file == "scenelist.txt" ? "a file name"
                                : (n.entry - 1) % 7 % 2     ? "[red, green, blue]"
                                                            : "[x, y, z]";
            message = what + ": expected a label then " + value +
                      (atEnd(n.file, n.start) ? ", but the file ends here"
                                              : "; found " + entryText(n.file, n.start, n.stop));
            if (wordAt(n.file, n.start) == "\"]\"")
                message +=
                    " (the \"]\" comes from the line before: no blank may stand before a closing bracket)";
            if (n.count > 0) message += "; the header promises " + std::to_string(n.count) + " entries";
            break;
        }
        case readShortColour:
            shortFile = n.file;
            level = warningFinding;
            message = what + ": expected [red, green, blue]; found " + entryText(n.file, n.start, n.stop) +
                      ": what is missing becomes 128";
            break;
        case readShortCorner:
            shortFile = n.file;
            level = warningFinding;
            message = what + ": expected [x, y, z]; found " + entryText(n.file, n.start, n.stop) +
                      ": the game prints \"not enough coordinates in vert\" and reads on out of step";
            break;
        case readListEnded:
            if (atEnd(n.file, n.start)) continue;
            level = warningFinding;
            message = "expected triangle " + std::to_string((n.entry - 1) / 7 + 1) + "'s normal, found " +
                      entryText(n.file, n.start, n.stop) +
                      ": the game stops reading here and ignores the rest";
            break;
        case readNoFinalBreak:
            message = "the file ends right after its last entry: the game needs a line break at the end";
            break;
        case readTooFew:
            line = 1;
            message = "the header promises " + std::to_string(n.count) + " triangles but the file holds " +
                      std::to_string(n.entry);
            break;
        case readMeshFailed:
            message = what + ": " + lastWord(n.file, n.stop) + " did not load";
            break;
        case readOutOfMemory:
            message = what + ": memory ran out";
            break;
        case readEntry:
            continue;
        }
        report(n.file, line, level, message);
        if (level == errorFinding && firstErrorLine < 0) firstErrorLine = line, firstErrorFile = n.file;
    }
    if (firstErrorLine >= 0)
        report(firstErrorFile, firstErrorLine, noteFinding, "the game prints " + escaped(gamePrinted));
    return firstErrorLine >= 0;
}

} // namespace

// The line of the first word at or after offset, or of the file's end.
int lineAt(const std::string &file, long offset)
{
    const sourceFile &s = source(file);
    const std::string &t = s.text;
    if (offset < 0) return 0;
    size_t word = std::min(t.find_first_not_of(" \t\r\n", (size_t)offset), t.size());
    // The breaks before the word, less a break that ends the file.
    size_t before = std::lower_bound(s.breaks.begin(), s.breaks.end(), word) - s.breaks.begin();
    if (before > 0 && s.breaks[before - 1] + 1 == t.size()) before--;
    return 1 + (int)before;
}

std::string wordAt(const std::string &file, long offset)
{
    const std::string &t = source(file).text;
    size_t from = t.find_first_not_of(" \t\r\n", (size_t)std::max(offset, 0L));
    if (from == std::string::npos) return "the end of the file";
    return "\"" + t.substr(from, std::min<size_t>(t.find_first_of(" \t\r\n", from) - from, 40)) + "\"";
}

int entryLine(const std::string &file, int entry)
{
    auto s = sources[file].entryStarts.find(entry);
    return s == sources[file].entryStarts.end() ? 0 : lineAt(file, s->second);
}

std::vector<std::string> checkSceneList()
{
    char **table = nullptr;
    int n = 0;
    std::string printed = listened([&] { n = readSceneList("scenelist.txt", &table); });
    if (n < 0) printed += "Unable to open scenelist.txt, exiting...\n";
    explain("scenelist.txt", printed);
    std::vector<std::string> names(table, table + std::max(n, 0));
    freeSceneList(table, n);
    return names;
}

bool checkScene(const std::string &name, sceneData *scene)
{
    std::string fName = name;
    condition result = failure;
    std::string printed = listened([&] { result = readScene(&fName[0], scene); });
    bool refused = explain(name, printed);
    if (result != success && !refused) report(name, 0, errorFinding, "the game refuses this level");
    return result == success;
}
