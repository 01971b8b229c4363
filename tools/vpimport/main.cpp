// vpimport: a model from another 3D tool becomes a scene file the player shows.
//
//     vpimport MODEL [-o OUT.vsc] [--units U] [--scale S] [--animation NAME] [--fps N]
//              [--smooth DEG] [-v]
//
// The textures go to a folder "textures" beside OUT.vsc, which is where the
// scene effect looks for them when OUT.vsc sits in the production's data/.
// A model that cannot be read, or holds nothing to show, ends with one line
// on stderr naming the file and the reason, exit code 1, and nothing written.

#include "tools/vpimport/ImportOptions.h"
#include "tools/vpimport/ModelReader.h"
#include "tools/vpimport/OutputFiles.h"
#include "tools/vpimport/ResourceLimits.h"
#include "tools/vpimport/SceneConversion.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/stat.h>

namespace {

// Enough for a model of some ten million triangles with the library's
// working copies; a file that claims more fails here instead of swapping.
constexpr unsigned long long kAddressSpace = 3ull << 30;
constexpr unsigned kProcessorSeconds = 60;

const char* kUsage =
    "usage: vpimport MODEL [-o OUT.vsc] [--units U] [--scale S] [--animation NAME] [--fps N]\n"
    "                [--smooth DEG] [-v]\n"
    "  -o OUT.vsc     the scene file to write (default: the model's name with .vsc);\n"
    "                 textures go to the folder \"textures\" beside it\n"
    "  --units U      the unit of a file that does not say (OBJ, 3DS, STL, PLY):\n"
    "                 m, cm, mm or in (default: cm; mm for STL)\n"
    "  --scale S      multiplies every size (after the file's own units become\n"
    "                 centimetres, one engine unit)\n"
    "  --animation NAME  carry over this animation only (default: all of them,\n"
    "                 playing together from time 0; -v lists them)\n"
    "  --fps N        samples per second of animation (default 10, one per 100 ms\n"
    "                 of the scene effect's default speed)\n"
    "  --smooth DEG   smoothing groups split where faces meet at more than DEG\n"
    "                 degrees (default: from the file's normals; 30 without them)\n"
    "  -v             print what was imported\n"
    "The light named Spot01 casts the shadows when a script switches them on.\n";

int usage(const char* problem)
{
    std::fprintf(stderr, "vpimport: %s\n%s", problem, kUsage);
    return 2;
}

bool number(const char* text, double& out)
{
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    return end != text && *end == 0 && errno == 0 && std::isfinite(out);
}

std::string extensionOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string e = path.substr(dot + 1);
    for (char& c : e)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

std::string stemOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

int fail(const std::string& file, const std::string& reason)
{
    std::fprintf(stderr, "vpimport: %s: %s\n", file.c_str(), reason.c_str());
    return 1;
}

void printSummary(const ImportOptions& o, const ImportSummary& s, const std::vector<TextureFile>& textures)
{
    std::printf("model: %s (%s)\n", o.model.c_str(), s.frame.c_str());
    std::printf("objects: %d (%d meshes, %d dummies), faces: %zu\n", s.objects, s.meshes, s.objects - s.meshes,
                s.faces);
    std::printf("materials: %d, textures: %d\n", s.materials, s.textures);
    for (const TextureFile& t : textures)
        std::printf("  textures/%s\n", t.name.c_str());
    std::printf("cameras: %d%s, lights: %d%s\n", s.cameras, s.addedCamera ? " (Camera01 added: none in the file)" : "",
                s.lights, s.addedLight ? " (Omni01 added: none in the file)" : "");
    if (!s.animations.empty())
        std::printf("animations: %zu\n", s.animations.size());
    for (const AnimationInfo& a : s.animations)
        std::printf("  \"%s\": %.2f s, %d %s%s\n", a.name.c_str(), a.seconds, a.nodes, a.nodes == 1 ? "node" : "nodes",
                    a.carried ? "" : " (left out)");
    if (s.animatedNodes > 0)
        std::printf("animated nodes: %d, samples: %d, one every %d ms (interval %d at effect speed %d)\n",
                    s.animatedNodes, s.samples, s.sampleMs, s.interval, s.effectSpeed);
    else
        std::printf("animated nodes: 0\n");
    std::printf("size: %.1f units across\n", double(s.size));
    std::printf("wrote: %s\n", o.output.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    ImportOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](double& out) {
            if (i + 1 >= argc || !number(argv[i + 1], out))
                return false;
            ++i;
            return true;
        };
        double v = 0.0;
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "-v") {
            o.verbose = true;
        } else if (a == "-o") {
            if (i + 1 >= argc)
                return usage("-o needs a file name");
            o.output = argv[++i];
        } else if (a == "--scale") {
            if (!value(v) || v <= 0.0)
                return usage("--scale needs a number above 0");
            o.scale = float(v);
        } else if (a == "--fps") {
            if (!value(v) || v < 1.0 || v > 1000.0 || v != std::floor(v))
                return usage("--fps needs a whole number from 1 to 1000");
            o.fps = int(v);
        } else if (a == "--units") {
            static const struct {
                const char* name;
                float cm;
            } units[] = {{"m", 100.0f}, {"cm", 1.0f}, {"mm", 0.1f}, {"in", 2.54f}};
            const char* name = i + 1 < argc ? argv[i + 1] : "";
            float cm = 0.0f;
            for (const auto& u : units)
                if (std::strcmp(name, u.name) == 0)
                    cm = u.cm;
            if (cm <= 0.0f)
                return usage("--units needs m, cm, mm or in");
            o.units = cm;
            ++i;
        } else if (a == "--animation") {
            if (i + 1 >= argc || !*argv[i + 1])
                return usage("--animation needs an animation's name (-v lists them)");
            o.animation = argv[++i];
        } else if (a == "--smooth") {
            if (!value(v) || v < 0.0 || v > 180.0)
                return usage("--smooth needs an angle from 0 to 180 degrees");
            o.smoothAngle = float(v);
        } else if (!a.empty() && a[0] == '-') {
            return usage(("unknown option " + a).c_str());
        } else if (o.model.empty()) {
            o.model = a;
        } else {
            return usage("only one model at a time");
        }
    }
    if (o.model.empty())
        return usage("no model given");
    if (o.output.empty())
        o.output = stemOf(o.model) + ".vsc";

    struct stat st;
    if (stat(o.model.c_str(), &st) != 0)
        return fail(o.model, std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return fail(o.model, "not a file");

    std::string error;
    if (!limitResources(kAddressSpace, kProcessorSeconds, o.model, error))
        return fail(o.model, error);

    try {
        Assimp::Importer importer;
        const aiScene* scene = readModel(importer, o.model, error);
        if (!scene)
            return fail(o.model, error);

        std::string prefix;
        for (char c : stemOf(o.output))
            prefix += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
        TextureExport textures(*scene, folderOf(o.model), prefix.substr(0, 40));
        SceneWriter writer;
        ImportSummary summary;
        if (!convertScene(*scene, o, extensionOf(o.model), textures, writer, summary, error))
            return fail(o.model, error);

        char across[64];
        std::snprintf(across, sizeof across, "the model is %.1f units across", double(summary.size));
        if (!summary.unitSaid) {
            // A file that cannot say its unit is the usual cause of a model
            // far too large or small (Blender writes OBJ in metres, CAD
            // tools STL in inches), and the camera added to a camera-less
            // model frames whatever it gets, so the picture alone would not
            // tell. Under 14 units, that camera stands within 20 near
            // planes (1 unit) of the model; over 1000, its far side is
            // near the far plane (2000 units).
            const bool given = o.units > 0.0f;
            std::string taken = given ? "--units takes the file as " + summary.unit + "; try --scale"
                                      : "the file does not say its unit and is taken as " + summary.unit;
            if (summary.size < 14.0f)
                summary.notes.push_back(std::string(across) + ", small for the cameras: " + taken +
                                        (given ? "" : "; if it counts in metres, try --units m"));
            else if (summary.size > 1000.0f)
                summary.notes.push_back(std::string(across) + ", large for the cameras: " + taken +
                                        (given ? "" : "; if it counts in millimetres, try --units mm"));
        } else if (summary.size > 1800.0f) {
            summary.notes.push_back("the model is wider than the cameras' depth range (2000 units): try --scale, "
                                    "or move the far plane from the script");
        } else if (summary.size < 4.0f) {
            summary.notes.push_back("the model is smaller than a few units, near the cameras' near plane (1 unit): "
                                    "try --scale");
        }
        if (o.units > 0.0f && summary.unitSaid)
            summary.notes.push_back("the file says its unit (" + summary.unit + "): --units is left aside");
        for (const std::string& note : summary.notes)
            std::fprintf(stderr, "vpimport: warning: %s\n", note.c_str());

        // Textures first: the scene file appears last, naming only files
        // that are already in place.
        std::vector<unsigned char> bytes = writer.toBytes();
        if (!textures.files().empty()) {
            std::string folder = folderOf(o.output) + "/textures";
            if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
                return fail(o.model, "cannot make " + folder + ": " + std::strerror(errno));
            for (const TextureFile& t : textures.files())
                if (!writeWhole(folder + "/" + t.name, t.bytes, error))
                    return fail(o.model, "cannot write " + error);
        }
        if (!writeWhole(o.output, bytes, error))
            return fail(o.model, "cannot write " + error);
        if (o.verbose)
            printSummary(o, summary, textures.files());
    } catch (const std::bad_alloc&) {
        return fail(o.model, "out of memory: the file asks for more than " +
                                 std::to_string(kAddressSpace >> 30) + " GB");
    } catch (const std::exception& e) {
        return fail(o.model, e.what());
    }
    return 0;
}
