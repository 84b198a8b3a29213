// Reading a pack as the game reads it, with the game's own readers, and
// explaining in an author's words the records they leave.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "check/check.h"
#include "files/sceneList.h"

namespace
{

const char *const CANNOT_OPEN = "cannot be opened (a name is taken relative to the pack's folder)";

// Where the list names each scene (line, entry), for a scene that cannot be opened.
std::map<std::string, std::pair<int, int>> namedAt;

// What a writer of the game's messages writes, as a string.
template <class F> std::string written(F write)
{
    char *text = nullptr;
    size_t size = 0;
    FILE *f = open_memstream(&text, &size);
    if (!f) return "";
    write(f);
    fclose(f);
    std::string s(text, size);
    free(text);
    return s;
}

std::string escaped(const std::string &s)
{
    std::string out;
    for (char c : s)
        out += c == '\n' ? "\\n" : c == '"' ? "\\\"" : std::string(1, c);
    return "\"" + out + "\"";
}

std::string quoted(const std::string &s) { return "\"" + s + "\""; }

// " (N more KIND like it)" for a count of N + 1.
std::string more(int count, const char *kind)
{
    return count > 1 ? " (" + std::to_string(count - 1) + " more " + kind + " like it)" : "";
}

const char *const SCENE_ENTRIES[] = {"background colour", "text colour", "lower bound", "world mesh",
                                     "collision mesh",    "camera",      "pin count",   "ball location",
                                     "ball radius",       "ball mass",   "ball mesh"};
const char *const PIN_ENTRIES[] = {"location", "radius", "mass", "mesh"};

std::string entryName(const readRecord &r)
{
    if (r.kind == sceneListFile)
        return r.entry == 0 ? "the header" : "scene entry " + std::to_string(r.entry);
    if (r.kind == sceneFile) return sceneEntryName(r.entry);
    meshPlace p = meshPlaceOf(r.entry);
    if (p.triangle < 0) return "the header";
    std::string triangle = "triangle " + std::to_string(p.triangle + 1);
    if (p.corner < 0) return triangle + ", normal";
    return triangle + ", corner " + std::to_string(p.corner + 1) + (p.colour ? ", colour" : ", position");
}

// "expected X; found Y", or that the file ends where X was due.
std::string expectedFound(const readRecord &r, const std::string &expected)
{
    return "expected " + expected +
           (r.found[0] ? std::string("; found ") + quoted(r.found) : ", but the file ends here");
}

// Every finding of a reading goes through here, so that what the game prints
// can go with the first error.
struct {
    bool any;
    std::string file;
    int line;
} firstError;

void say(const std::string &file, int line, severity level, const std::string &message)
{
    report(file, line, level, message);
    if (level == errorFinding && !firstError.any) firstError = {true, file, line};
}

// Findings on what stopped a reading; returns whether there was anything to say.
bool explainStop(const readRecord &r)
{
    std::string message, what = entryName(r);
    switch (r.what) {
    case readBadHeader:
        message = "the header must be a label and a count of 1 or more; found " + quoted(r.found);
        break;
    case readShortEntry:
        message = what + ": " + expectedFound(r, std::string("a label then ") + r.expected);
        if (r.found[0] == ']' && (r.found[1] == ' ' || !r.found[1]))
            message += " (the \"]\" comes from the line before: no blank may stand before a closing bracket)";
        if (r.count > 0) message += "; the header promises " + std::to_string(r.count) + " entries";
        break;
    case readTooFew: {
        int held = meshPlaceOf(r.entry).triangle;
        std::string promise = "the header promises " + std::to_string(r.count) + " triangles";
        message = r.found[0]
                      ? "expected triangle " + std::to_string(held + 1) + "'s normal; found " +
                            quoted(r.found) + ": " + promise + ", the file holds " + std::to_string(held)
                      : promise + " but the file holds " + std::to_string(held);
        break;
    }
    case readNoFinalBreak:
        message = "the file ends right after its last entry: the game needs a line break at the end";
        break;
    case readOutOfMemory:
        message = what + ": memory ran out";
        break;
    case readCannotOpen:
        message = CANNOT_OPEN;
        break;
    default:
        return false;
    }
    say(r.file, r.line, errorFinding, message);
    return true;
}

// The first short entry of a drawn mesh, a warning while the reading stays in
// step after it and the error when it does not.
void explainShort(const meshData &m, int stepLine)
{
    const readRecord &r = m.firstShort;
    bool corner = r.what == readShortCorner;
    say(r.file, r.line, stepLine ? errorFinding : warningFinding,
        entryName(r) + ": " + expectedFound(r, r.expected) + ": the game " +
            (corner ? "prints \"not enough coordinates in vert\" and " : "") +
            (stepLine ? "reads the rest out of step"
             : corner ? "makes what is missing 0"
                      : "makes what is missing 128"));
}

// How the triangles of a mesh ended, and the header's count against them.
void explainEnd(const meshData &m, bool collision, int stepLine)
{
    const readRecord &end = m.end;
    bool early = end.what == readListEnded && end.found[0];
    if (end.what == readListEnded && m.numTriangles == 0)
        say(end.file, end.line, errorFinding,
            (early ? "expected triangle 1's normal; found " + quoted(end.found) + ": "
                   : std::string("the file holds no triangle: ")) +
                "the game draws nothing of this mesh");
    else if (early && !stepLine)
        say(end.file, end.line, warningFinding,
            "expected triangle " + std::to_string(meshPlaceOf(end.entry).triangle + 1) + "'s normal, found " +
                quoted(end.found) + ": the game stops reading here and ignores the rest");
    else if (!(end.what == readNoFinalBreak && (stepLine || collision))) // a collision mesh needs none
        explainStop(end);
    // A count that is off because of a slip further down points to it.
    int cause = stepLine ? stepLine : early ? end.line : 0;
    if (!collision && m.headerValid && m.headerCount != m.numTriangles)
        say(end.file, 1, warningFinding,
            "the header says " + std::to_string(m.headerCount) + " triangles, the file holds " +
                std::to_string(m.numTriangles) +
                (cause ? " (the reading goes wrong at line " + std::to_string(cause) + ")" : ""));
}

// Values read whole that make no sense: the first of each kind, and how many
// more. Out of step, the reading finds nonsense of its own making.
void explainOddValues(const meshData &m, bool collision, int stepLine)
{
    auto seen = [&](const readRecord &r) { return !stepLine || r.line < stepLine; };
    if (m.oddColours > 0 && seen(m.oddColour)) {
        const readRecord &r = m.oddColour;
        say(r.file, r.line, warningFinding,
            entryName(r) + ": expected parts from 0 to 255; found " + quoted(r.found) +
                ": the game draws only the low 8 bits, " + std::to_string(r.count) + " as " +
                std::to_string(r.count & 255) + more(m.oddColours, "colours"));
    }
    // Drawing has no use for a far corner.
    const readRecord &r = m.oddNumber;
    bool infinite = r.what == readNotFinite;
    if (m.oddNumbers == 0 || !(collision || infinite) || !seen(r)) return;
    say(r.file, r.line, collision && infinite ? errorFinding : warningFinding,
        entryName(r) + ": " +
            (infinite ? std::string("not all finite")
                      : "beyond " + std::to_string((int)COORDINATE_LIMIT) + " from the origin") +
            "; found " + quoted(r.found) +
            (!infinite   ? ": single-precision physics is coarse that far out"
             : collision ? ": the triangle takes no part in collisions"
                         : ": what is drawn is undefined") +
            more(m.oddNumbers, "positions"));
}

void explainMesh(const meshData &m, bool collision)
{
    bool endedWell = m.end.what == readListEnded && !m.end.found[0];
    // Its first short entry, when more entries or the end of the file go wrong after it.
    int stepLine = m.shortEntries > 1 || (m.shortEntries == 1 && !endedWell) ? m.firstShort.line : 0;
    if (m.shortEntries > 0) explainShort(m, stepLine);
    explainEnd(m, collision, stepLine);
    explainOddValues(m, collision, stepLine);
}

bool unopened(const readRecord &r) { return r.what == readCannotOpen; }

// A mesh the scene names, once a file; one that cannot be opened is told at the entry.
void explainMeshEntry(const sceneData *s, const meshEntry &m, int entry)
{
    static std::set<std::string> explained;
    if (!m.read) return;
    if (unopened(m.mesh.end))
        say(s->problem.file, sceneEntryLine(s, entry), errorFinding,
            sceneEntryName(entry) + ": " + quoted(m.name) + " " + CANNOT_OPEN);
    else if (explained.insert(m.name).second)
        explainMesh(m.mesh, false);
}

void explainCollisionEntry(const sceneData *s)
{
    if (unopened(s->collisionProblem))
        say(s->problem.file, sceneEntryLine(s, collisionMeshEntry), errorFinding,
            sceneEntryName(collisionMeshEntry) + ": " + quoted(s->collisionName) + " " + CANNOT_OPEN);
    else
        explainStop(s->collisionProblem);
}

const meshEntry &meshAt(const sceneData *s, int entry)
{
    return entry == worldMeshEntry  ? s->world
           : entry == ballMeshEntry ? s->ballMesh
                                    : s->pinMeshes[(entry - firstPinEntry) / ENTRIES_PER_PIN];
}

void explainSceneStop(const sceneData *s)
{
    const readRecord &p = s->problem;
    if (p.what != readMeshFailed) {
        explainStop(p);
        return;
    }
    bool collision = p.entry == collisionMeshEntry;
    if (collision ? unopened(s->collisionProblem) : unopened(meshAt(s, p.entry).mesh.end)) return;
    say(p.file, p.line, errorFinding,
        sceneEntryName(p.entry) + ": " + quoted(collision ? s->collisionName : meshAt(s, p.entry).name) +
            " did not load");
}

} // namespace

std::string sceneEntryName(int entry)
{
    if (entry < firstPinEntry) return SCENE_ENTRIES[entry];
    return "pin " + std::to_string((entry - firstPinEntry) / ENTRIES_PER_PIN + 1) + ", " +
           PIN_ENTRIES[(entry - firstPinEntry) % ENTRIES_PER_PIN];
}

void explainCollisionMesh(const meshData &raw) { explainMesh(raw, true); }

std::vector<std::string> checkSceneList()
{
    sceneList list;
    readSceneList("scenelist.txt", &list);
    firstError = {};
    explainStop(list.problem);
    if (firstError.any && list.count >= 0)
        report(firstError.file, firstError.line, noteFinding,
               "the game prints " + escaped(written([&](FILE *f) { writeSceneListMessages(f, &list); })));
    std::vector<std::string> names(list.files, list.files + std::max(list.count, 0));
    for (int i = 0; i < list.count; i++)
        namedAt.emplace(names[i], std::make_pair(list.lines[i], i + 1));
    freeSceneList(&list);
    return names;
}

bool checkScene(const std::string &name, sceneData *s)
{
    condition result = readScene(name.c_str(), s);
    firstError = {};
    auto named = namedAt.find(name);
    if (!s->opened && named != namedAt.end())
        say("scenelist.txt", named->second.first, errorFinding,
            "scene entry " + std::to_string(named->second.second) + ": " + quoted(name) + " " + CANNOT_OPEN);
    else if (!s->opened)
        explainStop(s->problem);
    else {
        // In the order the game reads them.
        explainMeshEntry(s, s->world, worldMeshEntry);
        explainCollisionEntry(s);
        explainMeshEntry(s, s->ballMesh, ballMeshEntry);
        for (int i = 0; i < s->pinMeshRecords; i++)
            explainMeshEntry(s, s->pinMeshes[i], firstPinEntry + ENTRIES_PER_PIN * i + 3);
        explainSceneStop(s);
    }
    if (result != success && firstError.any)
        report(firstError.file, firstError.line, noteFinding,
               "the game prints " + escaped(written([&](FILE *f) { writeSceneMessages(f, s); })));
    else if (result != success)
        report(name, 0, errorFinding, "the game refuses this level");
    return result == success;
}
