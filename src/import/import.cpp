// pinwhirl-import [OPTION]... MODEL OUTDIR/NAME: turns a level modelled in
// Blender and exported as glTF 2.0 or Wavefront OBJ into a Pinwhirl level
// (NAME.scene, NAME-world.mesh, NAME-collide.mesh in OUTDIR), then runs
// pinwhirl-check on it and exits with the checker's status.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "importModel.h"

namespace
{

const char *const USAGE =
    "Usage: pinwhirl-import [OPTION]... MODEL OUTDIR/NAME\n"
    "Turn a level modelled in Blender and exported as glTF 2.0 (MODEL.gltf or\n"
    "MODEL.glb) or Wavefront OBJ (MODEL.obj) into a Pinwhirl level: OUTDIR/NAME.scene,\n"
    "OUTDIR/NAME-world.mesh and OUTDIR/NAME-collide.mesh. Then check it with\n"
    "pinwhirl-check, print what the checker finds and exit with its status.\n"
    "\n"
    "Objects named collide... are the collision mesh and are not drawn; the rest\n"
    "are drawn. Empties (or objects) named ball and pin... place the ball and the\n"
    "pins, and the camera places the camera. glTF custom properties (extras) say\n"
    "more: see pinwhirl-import(1).\n"
    "\n"
    "  --up y|z            the OBJ file's up axis: y (the default) as Blender\n"
    "                      exports OBJ (+Y up, -Z forward), z for Blender's own axes\n"
    "  --ball-mesh FILE    the ball's mesh in OUTDIR (default ball.mesh); a plain\n"
    "                      ball is written there if there is no such file\n"
    "  --pin-mesh FILE     the pins' mesh in OUTDIR likewise (default pin.mesh)\n"
    "  --background R,G,B  the colour behind the level, each part 0 to 1\n"
    "  --text R,G,B        the colour of the heads-up text\n"
    "  --lowest Z          the lower bound: what falls below it is out\n"
    "  --throws N          passed to pinwhirl-check (default 3; 0 skips the search)\n"
    "  --help              show this help and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Exit status: the checker's (0 all is well, 1 warnings, 2 errors); 2 when the\n"
    "model cannot be read or makes no level, and then nothing is written.\n";

// Where nothing in the model says otherwise: a dusky sky under white text, the
// camera behind the ball and above it, the lower bound under the collision mesh.
const float DEFAULT_BACKGROUND[3] = {0.1f, 0.12f, 0.18f};
const float DEFAULT_TEXT[3] = {1, 1, 1};
const float CAMERA_BEHIND = 7, CAMERA_ABOVE = 2.5f;
const float LOWER_BOUND_MARGIN = 3;
const float DEFAULT_MASS = 1;

struct options {
    bool zUp = false;
    std::string ballMesh = "ball.mesh", pinMesh = "pin.mesh";
    bool hasBackground = false, hasText = false, hasLowest = false;
    float background[3], text[3], lowest;
    std::string throws = "3";
    std::string model, target;
};

int failWith(const std::string &message)
{
    fprintf(stderr, "pinwhirl-import: %s\n", message.c_str());
    return 2;
}

bool parseNumbers(const char *text, int n, float *out)
{
    for (int k = 0; k < n; k++) {
        char *end;
        errno = 0;
        out[k] = strtof(text, &end);
        if (end == text || errno || !std::isfinite(out[k]) || *end != (k + 1 < n ? ',' : '\0')) return false;
        text = end + 1;
    }
    return true;
}

std::string triple(const float v[3])
{
    return "[" + fileNumber(v[0]) + ", " + fileNumber(v[1]) + ", " + fileNumber(v[2]) + "]";
}
std::string triple(vec3 v)
{
    float parts[3] = {v.x, v.y, v.z};
    return triple(parts);
}

// The scene file; a pin's mass and radius fall back on the defaults.
std::string sceneText(const importedLevel &l, const std::string &stem, const options &o)
{
    const placedObject &ball = l.balls[0];
    vec3 camera = l.cameras.empty() ? vec3{ball.at.x, ball.at.y - CAMERA_BEHIND, ball.at.z + CAMERA_ABOVE}
                                    : l.cameras[0].at;
    std::string s = "background " + triple(l.background) + "\ntext " + triple(l.text) + "\nlowerbound " +
                    fileNumber(l.lowest) + "\nworld " + stem + "-world.mesh\ncollision " + stem +
                    "-collide.mesh\ncamera " + triple(camera) + "\npins " + std::to_string(l.pins.size()) +
                    "\n";
    auto object = [&](const char *label, const placedObject &p, const std::string &mesh) {
        s += std::string(label) + " " + triple(p.at) + "\nradius " + fileNumber(p.radius) + "\nmass " +
             fileNumber(p.mass > 0 ? p.mass : DEFAULT_MASS) + "\nmesh " + mesh + "\n";
    };
    object("ball", ball, o.ballMesh);
    for (const placedObject &pin : l.pins)
        object("pin", pin, o.pinMesh);
    return s;
}

// The model by its kind, the options over what it says, the defaults where neither says.
bool readModel(const options &o, importedLevel *level, std::string *error)
{
    std::string extension = o.model.substr(std::min(o.model.size(), o.model.rfind('.')));
    for (char &c : extension)
        c = (char)tolower((unsigned char)c);
    if (FILE *f = fopen(o.model.c_str(), "rb"))
        fclose(f);
    else
        return *error = std::string("cannot be opened: ") + strerror(errno), false;
    bool read = extension == ".gltf" || extension == ".glb" ? loadGltf(o.model, level, error)
                : extension == ".obj"                       ? loadObj(o.model, o.zUp, level, error)
                                                            : (*error = "not .gltf, .glb or .obj", false);
    if (o.hasBackground) std::copy(o.background, o.background + 3, level->background);
    if (o.hasText) std::copy(o.text, o.text + 3, level->text);
    if (o.hasLowest) level->lowest = o.lowest, level->hasLowest = true;
    if (!o.hasBackground && !level->hasBackground)
        std::copy(DEFAULT_BACKGROUND, DEFAULT_BACKGROUND + 3, level->background);
    if (!o.hasText && !level->hasText) std::copy(DEFAULT_TEXT, DEFAULT_TEXT + 3, level->text);
    return read;
}

// What makes no level, said before anything is written.
bool checkLevel(importedLevel *l, std::string *error)
{
    if (l->balls.empty())
        return *error = "no ball: name an Empty \"ball\" (or give it the property pinwhirl = ball)", false;
    if (l->balls.size() > 1)
        return *error = "two balls, \"" + l->balls[0].name + "\" and \"" + l->balls[1].name + "\"", false;
    if (l->pins.empty())
        return *error =
                   "no pins: name Empties \"pin\", \"pin.001\"... (or give them the property pinwhirl = pin)",
               false;
    if (l->drawn.empty())
        return *error = "nothing to draw: every object is collide... or places something", false;
    if (l->collide.empty())
        return *error = "no collision mesh: name the objects the ball rolls on collide... (or give them the "
                        "property pinwhirl = collide or both)",
               false;
    std::vector<const placedObject *> sized = {&l->balls[0]};
    for (const placedObject &p : l->pins)
        sized.push_back(&p);
    for (const placedObject *p : sized)
        if (!(p->radius > 0))
            return *error = "\"" + p->name + "\" has no size to take its radius from", false;
    if (l->cameras.size() > 1)
        l->notes.push_back("more than one camera: \"" + l->cameras[0].name + "\" is used");
    if (!l->hasLowest) {
        float lowest = l->collide[0].corner[0].z;
        for (const importedTriangle &t : l->collide)
            for (const vec3 &c : t.corner)
                lowest = std::min(lowest, c.z);
        l->lowest = lowest - LOWER_BOUND_MARGIN;
    }
    return true;
}

// Writes every file under a temporary name in the folder, then renames them
// all: a failure part-way leaves nothing behind.
bool writeFiles(const std::string &folder, const std::vector<levelFile> &files, std::string *error)
{
    std::vector<std::string> temporary;
    bool ok = true;
    for (const levelFile &f : files) {
        std::string name = folder + "/." + f.name + ".XXXXXX";
        int fd = mkstemp(&name[0]);
        if (fd < 0) {
            *error = "cannot write in " + folder + ": " + strerror(errno), ok = false;
            break;
        }
        temporary.push_back(name);
        FILE *out = fdopen(fd, "w");
        bool written =
            out && fwrite(f.text.data(), 1, f.text.size(), out) == f.text.size() && fchmod(fd, 0644) == 0;
        if (out ? fclose(out) != 0 : close(fd) != 0) written = false;
        if (!written) {
            *error = "cannot write " + folder + "/" + f.name + ": " + strerror(errno), ok = false;
            break;
        }
    }
    for (size_t k = 0; ok && k < files.size(); k++)
        if (rename(temporary[k].c_str(), (folder + "/" + files[k].name).c_str()) != 0)
            *error = "cannot write " + folder + "/" + files[k].name + ": " + strerror(errno), ok = false;
    if (!ok)
        for (const std::string &t : temporary)
            unlink(t.c_str());
    return ok;
}

// The checker beside this program, as installed and as built, else on PATH.
int runChecker(const std::string &throws, const std::string &scene)
{
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string beside = n > 0 ? std::string(self, n) : "";
    beside = beside.substr(0, beside.rfind('/') + 1) + "pinwhirl-check";
    const char *program = n > 0 && access(beside.c_str(), X_OK) == 0 ? beside.c_str() : "pinwhirl-check";
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        execlp(program, "pinwhirl-check", "--throws", throws.c_str(), scene.c_str(), (char *)nullptr);
        fprintf(stderr, "pinwhirl-import: cannot run pinwhirl-check: %s\n", strerror(errno));
        _exit(2);
    }
    int status;
    if (child < 0 || waitpid(child, &status, 0) != child) return failWith("cannot run pinwhirl-check");
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

bool hasBlank(const std::string &s) { return s.find_first_of(" \t\n\r\v\f") != std::string::npos; }

// The options and the two names; false, having said why, for anything else.
bool parseArguments(int argc, char **argv, options *o)
{
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (a == "--up" && value && (!strcmp(value, "y") || !strcmp(value, "z")))
            o->zUp = value[0] == 'z', i++;
        else if ((a == "--ball-mesh" || a == "--pin-mesh") && value && *value)
            (a == "--ball-mesh" ? o->ballMesh : o->pinMesh) = value, i++;
        else if (a == "--background" && value)
            ok = o->hasBackground = parseNumbers(argv[++i], 3, o->background);
        else if (a == "--text" && value)
            ok = o->hasText = parseNumbers(argv[++i], 3, o->text);
        else if (a == "--lowest" && value)
            ok = o->hasLowest = parseNumbers(argv[++i], 1, &o->lowest);
        else if (a == "--throws" && value && strspn(value, "0123456789") == strlen(value) && *value)
            o->throws = argv[++i];
        else if (a[0] != '-' && o->model.empty())
            o->model = a;
        else if (a[0] != '-' && o->target.empty())
            o->target = a;
        else
            ok = false;
        if (!ok) return fprintf(stderr, "pinwhirl-import: unexpected \"%s\"\n%s", argv[i], USAGE), false;
    }
    if (o->target.empty() || o->target.back() == '/')
        return fprintf(stderr, "pinwhirl-import: give a MODEL and an OUTDIR/NAME\n%s", USAGE), false;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help")) return fputs(USAGE, stdout), 0;
        if (!strcmp(argv[i], "--version")) return printf("pinwhirl-import %s\n", PINWHIRL_VERSION), 0;
    }
    options o;
    if (!parseArguments(argc, argv, &o)) return 2;

    size_t slash = o.target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : o.target.substr(0, slash ? slash : 1);
    std::string stem = o.target.substr(slash == std::string::npos ? 0 : slash + 1);
    // The scene names its files as single words of at most MAX_FILENAME_LENGTH.
    for (const std::string &name : {stem + "-collide.mesh", o.ballMesh, o.pinMesh})
        if (hasBlank(name) || name.size() > MAX_FILENAME_LENGTH)
            return failWith("\"" + name +
                            "\" cannot be named in a scene file: a name is one word of at most " +
                            std::to_string(MAX_FILENAME_LENGTH) + " characters");
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return failWith("no folder " + folder);

    importedLevel level = {};
    std::string error;
    if (!readModel(o, &level, &error) || !checkLevel(&level, &error)) return failWith(o.model + ": " + error);

    for (const std::string &note : level.notes)
        printf("%s: note: %s\n", o.model.c_str(), note.c_str());
    std::vector<levelFile> files = {{stem + "-world.mesh", meshText(level.drawn)},
                                    {stem + "-collide.mesh", meshText(level.collide)},
                                    {stem + ".scene", sceneText(level, stem, o)}};
    if (access((folder + "/" + o.ballMesh).c_str(), F_OK) != 0)
        files.push_back({o.ballMesh, ballMeshText(level.balls[0].radius)});
    if (access((folder + "/" + o.pinMesh).c_str(), F_OK) != 0 && o.pinMesh != o.ballMesh)
        files.push_back({o.pinMesh, pinMeshText(level.pins[0].radius)});
    if (!writeFiles(folder, files, &error)) return failWith(error);
    printf("pinwhirl-import: wrote %s/%s.scene: %zu triangles drawn, %zu to collide with, %zu pin%s\n",
           folder.c_str(), stem.c_str(), level.drawn.size(), level.collide.size(), level.pins.size(),
           level.pins.size() == 1 ? "" : "s");
    return runChecker(o.throws, folder + "/" + stem + ".scene");
}
