#include "tools/makeprod/GeneratedEffectsScenes.h"
#include "tools/makeprod/SaveScene.h"

#include "tools/scenewriter/MeshShapes.h"
#include "tools/scenewriter/SceneWriter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

const char* const kProductionTreeFile = "# tree2.arb: the tree on the little planet\n"
                                        "# shape seed\n"
                                        "7 1977\n"
                                        "# baseSize\n"
                                        "0.15\n"
                                        "# lengthScale\n"
                                        "9\n"
                                        "# levels\n"
                                        "3\n"
                                        "# ratio ratioPower\n"
                                        "0.045 1.2\n"
                                        "# (not used)\n"
                                        "0\n"
                                        "0\n"
                                        "# radiusScale radiusScaleV\n"
                                        "1 0.1\n"
                                        "# scale scaleV\n"
                                        "1 0.1\n"
                                        "# (not used)\n"
                                        "0\n"
                                        "0\n"
                                        "# trunkCurveRes trunkCurve trunkCurveBack trunkCurveV\n"
                                        "4 6 0 10\n"
                                        "# level 1: downAngle downAngleV / rotate rotateV branches / length lengthV /\n"
                                        "# (not used) / curveRes curve curveBack curveV\n"
                                        "55 -35\n"
                                        "140 15 26\n"
                                        "0.55 0.1\n"
                                        "0\n"
                                        "4 -25 0 25\n"
                                        "# level 2\n"
                                        "45 15\n"
                                        "130 25 14\n"
                                        "0.6 0.15\n"
                                        "0\n"
                                        "4 25 -30 20\n"
                                        "# level 3\n"
                                        "40 10\n"
                                        "120 30 10\n"
                                        "0.5 0.1\n"
                                        "0\n"
                                        "3 15 0 20\n";

namespace {

constexpr float kPi = 3.14159265358979f;

// A camera drifting on an arc round `centre` at `radius`, from `fromDegrees`
// to `toDegrees`, rising by `rise`, one sample every `interval` scene units.
void addArc(SceneWriter& w, int32_t camera, int interval, int count, const Vec3& centre, float radius, float height,
            float rise, float fromDegrees, float toDegrees)
{
    w.addSampledMotion(camera, interval, count, [=](int i, Vec3& p, Quaternion& q) {
        float t = float(i) / float(count - 1);
        float a = (fromDegrees + (toDegrees - fromDegrees) * t) / 180.0f * kPi;
        p = Vec3(centre.x + std::sin(a) * radius, centre.y + height + rise * t, centre.z + std::cos(a) * radius);
        q = Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
    });
}

bool writeTreeScene(const std::filesystem::path& path)
{
    SceneWriter w;
    // The trees wear the first planet's material.
    MaterialRecord& moss = w.addMaterial(1, "Moss");
    moss.ambient = Vec3(0.34f, 0.3f, 0.18f);
    moss.diffuse = Vec3(0.85f, 0.7f, 0.42f);
    moss.specular = Vec3(0.4f, 0.35f, 0.3f);
    moss.specularLevel = 0.3f;
    moss.glossiness = 0.25f;
    MaterialRecord& far = w.addMaterial(2, "Dusk");
    far.ambient = Vec3(0.12f, 0.08f, 0.2f);
    far.diffuse = Vec3(0.45f, 0.3f, 0.7f);

    addSphere(w.addMesh(10, "Sphere01"), 2.4f, 32, 20, 1);
    MeshRecord& second = w.addMesh(11, "Sphere02");
    second.position = Vec3(-16.0f, 9.0f, -30.0f);
    addSphere(second, 2.0f, 24, 16, 2);
    w.addDummy(12, "Focus").position = Vec3(0.0f, 3.0f, 0.0f);

    // Both cameras take the same drift: the effect moves to the second when
    // it hangs the trees, and a later init goes back to the first.
    w.addCamera(20, "Camera01", Vec3(0, 5, 24), 45.0f, 12);
    w.addCamera(21, "Camera02", Vec3(0, 5, 24), 45.0f, 12);
    for (int32_t camera : {20, 21})
        addArc(w, camera, 1, 101, Vec3(0, 0, 0), 16.0f, 1.0f, 4.0f, -25.0f, 35.0f);

    w.addLight(30, "Key", Vec3(25, 30, 30), Vec3(1.0f, 0.85f, 0.6f));
    w.addLight(31, "Rim", Vec3(-30, 12, -25), Vec3(0.35f, 0.45f, 0.9f));
    // A warm fill from the camera's side lights the branches that face it.
    w.addLight(32, "Fill", Vec3(-10, 8, 30), Vec3(0.55f, 0.5f, 0.4f));
    return saveScene(w, path);
}

bool writeBuildScene(const std::filesystem::path& path)
{
    SceneWriter w;
    MaterialRecord& gloss = w.addMaterial(1, "Gloss");
    gloss.ambient = Vec3(0.15f, 0.1f, 0.3f);
    gloss.diffuse = Vec3(0.35f, 0.3f, 0.95f);
    gloss.specular = Vec3(1.0f, 0.9f, 0.9f);
    gloss.specularLevel = 1.0f;
    gloss.glossiness = 0.6f;
    MaterialRecord& crate = w.addMaterial(2, "Crate");
    crate.diffuseMap = "panel.jpg";
    crate.diffuse = Vec3(1.0f, 0.7f, 0.5f);

    addSphere(w.addMesh(10, "GeoSphere01"), 60.0f, 40, 26, 1);
    MeshRecord& box = w.addMesh(11, "Box08");
    box.position = Vec3(125.0f, 10.0f, 0.0f);
    addBox(box, Vec3(44, 44, 44), 2);
    w.addDummy(12, "Middle").position = Vec3(40.0f, 0.0f, 0.0f);

    w.addCamera(20, "Camera01", Vec3(0, 60, 330), 50.0f, 12);
    addArc(w, 20, 2, 61, Vec3(40, 0, 0), 320.0f, 40.0f, 60.0f, -30.0f, 40.0f);

    w.addLight(30, "Key", Vec3(-150, 220, 260), Vec3(1.0f, 0.95f, 0.9f));
    w.addLight(31, "Ember", Vec3(260, -40, -100), Vec3(0.9f, 0.35f, 0.15f));
    return saveScene(w, path);
}

bool writeText(const std::filesystem::path& path, const char* text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "vp_makeprod: cannot write %s\n", path.c_str());
        return false;
    }
    // The engine's text files end their lines with CR LF.
    bool ok = true;
    for (const char* c = text; *c && ok; ++c) {
        if (*c == '\n')
            ok = std::fputc('\r', f) != EOF;
        ok = ok && std::fputc(*c, f) != EOF;
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "vp_makeprod: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

bool writeGeneratedEffectsData(const std::string& dataDir)
{
    std::filesystem::path dir = dataDir;
    return writeTreeScene(dir / "tree.vsc") && writeBuildScene(dir / "build.vsc") &&
           writeText(dir / "tree2.arb", kProductionTreeFile);
}
