// Reading a pack as the game reads it, with the game's own readers, and
// explaining in an author's words the records they leave.
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// "1 entry", "2 entries".
std::string counting(int n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

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

// The number written with a decimal comma in a slip's text, where one number
// alone can be: a comma with digits either side and no blank after it. "" when
// there is none or more than one (as in [0,12,5, 1]).
std::string commaNumber(const std::string &text)
{
    std::string found;
    int candidates = 0;
    for (size_t k = 1; k + 1 < text.size(); k++)
        if (text[k] == ',' && isdigit((unsigned char)text[k - 1]) && isdigit((unsigned char)text[k + 1])) {
            size_t from = k, to = k + 1;
            while (from > 0 && (isdigit((unsigned char)text[from - 1]) || strchr(".+-", text[from - 1])))
                from--;
            while (to < text.size() && isdigit((unsigned char)text[to]))
                to++;
            found = text.substr(from, to - from);
            candidates++;
        }
    return candidates == 1 ? found : "";
}

// A slip in an entry the game reads as whole.
void explainSlip(const readRecord &r)
{
    std::string message = entryName(r) + ": ";
    if (r.what == readDecimalComma) {
        std::string comma = commaNumber(r.found), point = comma;
        if (comma.empty()) comma = "0,5", point = "0.5";
        point[point.find(',')] = '.';
        message += "write " + point + ", not " + comma + " (found " + quoted(r.found) + ")";
        // A number alone: the game takes what stands before the comma.
        std::string words = r.found;
        if (r.count && words.size() > comma.size() &&
            words.compare(words.size() - comma.size(), comma.size(), comma) == 0 &&
            words[words.size() - comma.size() - 1] == ' ') {
            size_t at = comma.find(',');
            say(r.file, r.line, errorFinding,
                message + ": the game reads " + comma.substr(0, at) + ", and \"" + comma.substr(at) +
                    "\" as the next entry's label");
            return;
        }
    } else {
        message += std::string(r.what == readBlankBracket ? "no blank may stand before the closing bracket"
                                                          : "the closing \"]\" is missing") +
                   "; found " + quoted(r.found);
    }
    if (r.count)
        message += r.what == readBlankBracket
                       ? ": the game reads the \"]\" as the next entry's label"
                       : ": the game reads what follows the last number it takes as the "
                         "next entry's label";
    say(r.file, r.line, errorFinding, message);
}

// Words after the last entry a count asks for: whole entries the count left
// out, which the game never reads, or something else it never reads either.
void explainUnread(const readRecord &r, int counted, const char *one, const char *many,
                   const std::string &counter, const std::string &consequence)
{
    int more = r.count - counted;
    std::string asked = "the " + counting(counted, one, many) + " " + counter + " asks for";
    say(r.file, r.line, warningFinding,
        more > 0 ? "the game reads only " + asked + consequence + ": " + std::to_string(more) +
                       " more from here on " +
                       (more == 1 ? "is never read; to read it" : "are never read; to read them") +
                       ", the count should be " + std::to_string(r.count)
                 : "the game never reads what follows the last of " + asked + "; found " + quoted(r.found));
}

// Whether the entry was read out of step because of a slip in the one before.
bool slipCaused(const readRecord &slip, int slips, int entry)
{
    return slips > 0 && slip.count && entry == slip.entry + 1;
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
    // A collision mesh's count is a minimum: only one below what it holds looks like a slip.
    if (m.headerValid && (collision ? m.headerCount < m.numTriangles : m.headerCount != m.numTriangles))
        say(end.file, 1, warningFinding,
            "the header says " + counting(m.headerCount, "triangle", "triangles") + ", the file holds " +
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
    // A slip read before the first short entry is told; the short entry right
    // after one that put the reading out of step is its doing.
    bool slipFirst = m.slips > 0 && (m.shortEntries == 0 || m.slip.entry < m.firstShort.entry);
    bool slipped =
        slipFirst && slipCaused(m.slip, m.slips, m.shortEntries > 0 ? m.firstShort.entry : m.end.entry);
    if (slipFirst) explainSlip(m.slip);
    // Where the reading went out of step, when more entries or the end of the file go wrong after it.
    int stepLine = slipped                                                     ? m.slip.line
                   : m.shortEntries > 1 || (m.shortEntries == 1 && !endedWell) ? m.firstShort.line
                                                                               : 0;
    if (m.shortEntries > 0 && !slipped) explainShort(m, stepLine);
    explainEnd(m, collision, stepLine);
    explainOddValues(m, collision, stepLine);
}

bool unopened(const readRecord &r) { return r.what == readCannotOpen; }

std::set<std::string> explained; // the meshes told about, collision meshes as "collision NAME"

// A mesh the scene names, once a file; one that cannot be opened is told at
// the entry, unless a slip before the entry had the name read out of step.
void explainMeshEntry(const sceneData *s, const meshEntry &m, int entry)
{
    if (!m.read || slipCaused(s->slip, s->slips, entry)) return;
    if (unopened(m.mesh.end))
        say(s->problem.file, sceneEntryLine(s, entry), errorFinding,
            sceneEntryName(entry) + ": " + quoted(m.name) + " " + CANNOT_OPEN);
    else if (explained.insert(m.name).second)
        explainMesh(m.mesh, false);
}

// A collision mesh that loads is told about as a drawn mesh is; one that does
// not, where the collision loader stopped (a slip before that, if any, first).
void explainCollisionEntry(const sceneData *s)
{
    const meshData &m = s->collisionMesh;
    const readRecord &stop = s->collisionProblem;
    if (slipCaused(s->slip, s->slips, collisionMeshEntry)) return;
    if (unopened(stop))
        say(s->problem.file, sceneEntryLine(s, collisionMeshEntry), errorFinding,
            sceneEntryName(collisionMeshEntry) + ": " + quoted(s->collisionName) + " " + CANNOT_OPEN);
    else if (stop.what == readFine && explained.insert(std::string("collision ") + s->collisionName).second)
        explainMesh(m, true);
    else if (stop.what != readFine) {
        if (m.slips > 0 && (stop.what != readShortEntry || m.slip.entry < stop.entry)) explainSlip(m.slip);
        if (stop.what != readShortEntry || !slipCaused(m.slip, m.slips, stop.entry)) explainStop(stop);
    }
}

const meshEntry &meshAt(const sceneData *s, int entry)
{
    return entry == worldMeshEntry  ? s->world
           : entry == ballMeshEntry ? s->ballMesh
                                    : s->pinMeshes[pinOfEntry(entry)];
}

void explainSceneStop(const sceneData *s)
{
    const readRecord &p = s->problem;
    if (s->slips > 0) explainSlip(s->slip);
    if (slipCaused(s->slip, s->slips, p.entry)) return;
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
    return "pin " + std::to_string(pinOfEntry(entry) + 1) + ", " + PIN_ENTRIES[fieldOfEntry(entry)];
}

std::vector<std::string> checkSceneList()
{
    sceneList list;
    readSceneList("scenelist.txt", &list);
    firstError = {};
    explainStop(list.problem);
    if (list.unread.what == readUnread)
        explainUnread(list.unread, list.count, "entry", "entries", "the header",
                      ", and plays \"" + std::string(list.files[list.count - 1]) +
                          "\" as the game-over screen");
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
    // What a pipe gives can be read once, and that is the game's.
    struct stat st;
    if (stat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) {
        *s = sceneData{};
        report(name, 0, noteFinding, "a pipe: left for the game to read");
        return false;
    }
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
            explainMeshEntry(s, s->pinMeshes[i], pinEntry(i, pinMesh));
        explainSceneStop(s);
        if (s->unread.what == readUnread)
            explainUnread(s->unread, std::max(s->numPins, 0), "pin", "pins",
                          "the pin count (line " + std::to_string(sceneEntryLine(s, pinCountEntry)) + ")",
                          "");
    }
    if (result != success && firstError.any)
        report(firstError.file, firstError.line, noteFinding,
               "the game prints " + escaped(written([&](FILE *f) { writeSceneMessages(f, s); })));
    else if (result != success)
        report(name, 0, errorFinding, "the game refuses this level");
    return result == success;
}
