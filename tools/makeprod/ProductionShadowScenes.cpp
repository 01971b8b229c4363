#include "tools/makeprod/ProductionShadowScenes.h"
#include "tools/makeprod/SaveScene.h"

#include "tools/scenewriter/MeshShapes.h"
#include "tools/scenewriter/SceneWriter.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

// Samples every 2 scene-time units (200 ms at the default speed), 12 s of
// them; the scenes loop, and the last sample meets the first.
constexpr int kInterval = 2;
constexpr int kSamples = 61;

Quaternion identity()
{
    return Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
}

// A ground grid with the first coordinate set repeating `repeat` times.
void addFloor(MeshRecord& m, float size, int cells, float repeat, int32_t material)
{
    addGrid(m, size, size, cells, cells, material);
    for (WriterTexCoord& t : m.coords1) {
        t.u *= repeat;
        t.v *= repeat;
    }
}

// ---------------------------------------------------------------------------
// rose.png: a round window of coloured glass in dark leading, black outside
// the circle. The projector adds it to what it lights, so black adds nothing
// and the clamped edge leaves the rest of the stage alone.

float smoothStep(float edge0, float edge1, float x)
{
    float t = std::min(1.0f, std::max(0.0f, (x - edge0) / (edge1 - edge0)));
    return t * t * (3.0f - 2.0f * t);
}

bool writeRose(const std::filesystem::path& path)
{
    const int n = 256;
    std::vector<uint8_t> rgb(size_t(n) * n * 3, 0);
    // Glass colours of the petals, going round.
    const float glass[4][3] = {
        {1.00f, 0.25f, 0.55f}, {0.20f, 0.80f, 1.00f}, {1.00f, 0.70f, 0.15f}, {0.45f, 0.30f, 1.00f}};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float u = (float(x) + 0.5f) / n * 2.0f - 1.0f;
            float v = (float(y) + 0.5f) / n * 2.0f - 1.0f;
            float r = std::sqrt(u * u + v * v);
            float a = std::atan2(v, u);
            // Twelve petals; the leading runs along their borders and round
            // three rings.
            float petal = (a + kPi) / (2.0f * kPi) * 12.0f;
            int index = int(petal) % 12;
            float across = std::fabs(petal - std::floor(petal) - 0.5f) * 2.0f; // 0 mid-petal, 1 at a border
            float lead = smoothStep(0.80f, 0.95f, across);
            for (float ring : {0.30f, 0.62f, 0.90f})
                lead = std::max(lead, 1.0f - smoothStep(0.015f, 0.035f, std::fabs(r - ring)));
            const float* c = glass[(index + (r < 0.62f ? 1 : 0) + (r < 0.30f ? 2 : 0)) % 4];
            // The centre is a white star.
            float light = r < 0.30f ? 0.75f + 0.25f * std::cos(a * 6.0f) : 0.9f - 0.35f * r;
            float inside = 1.0f - smoothStep(0.92f, 0.96f, r);
            float k = light * (1.0f - lead) * inside;
            uint8_t* p = &rgb[(size_t(y) * n + size_t(x)) * 3];
            for (int i = 0; i < 3; ++i) {
                float value = r < 0.30f ? k * (0.6f + 0.4f * c[i]) : k * c[i];
                p[i] = uint8_t(std::lround(std::min(1.0f, std::max(0.0f, value)) * 255.0f));
            }
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = n;
    image.height = n;
    image.format = PNG_FORMAT_RGB;
    int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    if (!ok)
        std::fprintf(stderr, "vp_makeprod: cannot write %s: %s\n", path.c_str(), image.message);
    png_image_free(&image);
    return ok != 0;
}

// ---------------------------------------------------------------------------
// shadow.vsc: the stage under Spot01. Ids: materials 1-9, meshes 100+,
// dummies 200+, cameras 300+, lights 400+. Camera01 circles the stage a
// quarter turn in 12 s; Camera02 looks down from high over the fill light.

bool writeShadowStage(const std::filesystem::path& path)
{
    SceneWriter w;
    w.addDummy(200, "Centre");
    MaterialRecord& floor = w.addMaterial(1, "Floor");
    floor.diffuseMap = "tiles.jpg";
    floor.ambient = Vec3(0.3f, 0.3f, 0.3f);
    floor.diffuse = Vec3(1, 1, 1);
    MaterialRecord& crate = w.addMaterial(2, "Crate");
    crate.diffuseMap = "panel.jpg";
    crate.ambient = Vec3(0.4f, 0.4f, 0.4f);
    crate.diffuse = Vec3(1, 1, 1);
    MaterialRecord& gold = w.addMaterial(3, "Gold");
    gold.ambient = Vec3(0.3f, 0.2f, 0.05f);
    gold.diffuse = Vec3(1.0f, 0.72f, 0.25f);
    gold.specular = Vec3(1.0f, 0.95f, 0.8f);
    gold.glossiness = 0.6f;
    gold.specularLevel = 0.9f;
    MaterialRecord& plinth = w.addMaterial(4, "Plinth");
    plinth.ambient = Vec3(0.2f, 0.2f, 0.25f);
    plinth.diffuse = Vec3(0.55f, 0.55f, 0.65f);
    MaterialRecord& ball = w.addMaterial(5, "Ball");
    ball.ambient = Vec3(0.05f, 0.2f, 0.2f);
    ball.diffuse = Vec3(0.2f, 0.85f, 0.8f);
    ball.specular = Vec3(1, 1, 1);
    ball.glossiness = 0.7f;
    ball.specularLevel = 1.0f;

    addFloor(w.addMesh(100, "Floor"), 840.0f, 40, 6.0f, 1);
    MeshRecord& base = w.addMesh(101, "Plinth");
    base.position = Vec3(0, 5, 0);
    addBox(base, Vec3(56, 10, 56), 4);
    MeshRecord& knot = w.addMesh(102, "Knot");
    knot.position = Vec3(0, 48, 0);
    addTorus(knot, 20.0f, 6.0f, 40, 14, 3);
    for (int i = 0; i < 4; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Crate%02d", i + 1);
        addBox(w.addMesh(110 + i, name), Vec3(18, 18, 18), 2);
        // Round the plinth a quarter apart, bobbing out of step, turning.
        w.addSampledMotion(110 + i, kInterval, kSamples, [i](int s, Vec3& p, Quaternion& q) {
            float t = float(s) / float(kSamples - 1);
            float a = t * 2.0f * kPi + float(i) * kPi * 0.5f;
            p = Vec3(std::sin(a) * 80.0f, 22.0f + std::sin(t * 6.0f * kPi + float(i)) * 10.0f, std::cos(a) * 80.0f);
            q = axisAngle(Vec3(0.3f, 1.0f, 0.2f), t * 4.0f * kPi + float(i));
        });
    }
    for (int i = 0; i < 2; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Ball%02d", i + 1);
        addSphere(w.addMesh(120 + i, name), 9.0f, 20, 14, 5);
        // Bouncing along a line across the front, one beat (480 ms) a bounce
        // at the default speed: 2.4 samples.
        w.addSampledMotion(120 + i, kInterval, kSamples, [i](int s, Vec3& p, Quaternion& q) {
            float t = float(s) / float(kSamples - 1);
            float side = i ? -1.0f : 1.0f;
            float bounce = std::fabs(std::sin(float(s) / 2.4f * kPi + float(i) * 1.3f));
            p = Vec3(side * (130.0f - std::sin(t * 2.0f * kPi) * 40.0f), 9.0f + bounce * 45.0f,
                     50.0f + side * 30.0f);
            q = identity();
        });
    }

    w.addCamera(300, "Camera01", Vec3(0, 120, 250), 50.0f, 200);
    w.addCamera(301, "Camera02", Vec3(160, 260, 60), 50.0f, 200);
    w.addSampledMotion(300, kInterval, kSamples, [](int s, Vec3& p, Quaternion& q) {
        float t = float(s) / float(kSamples - 1);
        float a = -0.35f + t * kPi * 0.5f;
        p = Vec3(std::sin(a) * 250.0f, 120.0f + std::sin(t * 2.0f * kPi) * 20.0f, std::cos(a) * 250.0f);
        q = identity();
    });
    // The caster: a warm spot high on the left, aimed at the plinth.
    // Over-bright: the receivers' second pass leaves it out, so the lit floor
    // shows half of it.
    LightRecord& spot = w.addLight(400, "Spot01", Vec3(-150, 230, 110), Vec3(1.6f, 1.45f, 1.2f));
    spot.targetId = 200;
    spot.spotCutoff = 42.0f;
    spot.spotExponent = 6.0f;
    // The fill that lights the shadows in the receivers' second pass.
    w.addLight(401, "Omni01", Vec3(170, 90, -90), Vec3(0.22f, 0.32f, 0.55f));
    return saveScene(w, path);
}

// ---------------------------------------------------------------------------
// projector.vsc: white things under Projector01, whose aim circles so that
// the rose sweeps over them. Camera01 looks from the front, Camera02 from
// low at the side.

bool writeProjectorStage(const std::filesystem::path& path)
{
    SceneWriter w;
    w.addDummy(200, "Aim");
    w.addDummy(201, "Centre");
    MaterialRecord& floor = w.addMaterial(1, "Floor");
    floor.diffuseMap = "stone.jpg";
    floor.ambient = Vec3(0.25f, 0.22f, 0.3f);
    floor.diffuse = Vec3(0.6f, 0.55f, 0.7f);
    MaterialRecord& white = w.addMaterial(2, "White");
    white.ambient = Vec3(0.3f, 0.3f, 0.35f);
    white.diffuse = Vec3(0.7f, 0.7f, 0.75f);
    white.specular = Vec3(0.6f, 0.6f, 0.6f);
    white.glossiness = 0.5f;
    white.specularLevel = 0.5f;

    addFloor(w.addMesh(100, "Floor"), 600.0f, 20, 6.0f, 1);
    MeshRecord& ring = w.addMesh(101, "Ring");
    ring.position = Vec3(0, 22, 0);
    addTorus(ring, 24.0f, 5.0f, 40, 12, 2);
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Column%02d", i + 1);
        MeshRecord& c = w.addMesh(110 + i, name);
        float a = float(i) / 3.0f * 2.0f * kPi + 0.4f;
        c.position = Vec3(std::sin(a) * 72.0f, 20.0f, std::cos(a) * 72.0f);
        addBox(c, Vec3(12, 40, 12), 2);
        std::snprintf(name, sizeof name, "Orb%02d", i + 1);
        addSphere(w.addMesh(120 + i, name), 8.0f, 20, 14, 2);
        // Orbs rolling round between the columns.
        w.addSampledMotion(120 + i, kInterval, kSamples, [i](int s, Vec3& p, Quaternion& q) {
            float t = float(s) / float(kSamples - 1);
            float b = -t * 4.0f * kPi + float(i) / 3.0f * 2.0f * kPi;
            p = Vec3(std::sin(b) * 34.0f, 8.0f + std::fabs(std::sin(t * 10.0f * kPi + float(i))) * 12.0f,
                     std::cos(b) * 34.0f);
            q = identity();
        });
    }

    w.addCamera(300, "Camera01", Vec3(0, 150, 130), 50.0f, 201);
    w.addCamera(301, "Camera02", Vec3(-120, 90, 60), 50.0f, 201);
    w.addSampledMotion(300, kInterval, kSamples, [](int s, Vec3& p, Quaternion& q) {
        float t = float(s) / float(kSamples - 1);
        float a = 0.3f - t * kPi * 0.6f;
        p = Vec3(std::sin(a) * 130.0f, 150.0f, std::cos(a) * 130.0f);
        q = identity();
    });
    // The aim circles the middle: the rose slides over the columns.
    w.addSampledMotion(200, kInterval, kSamples, [](int s, Vec3& p, Quaternion& q) {
        float t = float(s) / float(kSamples - 1);
        p = Vec3(std::sin(t * 4.0f * kPi) * 22.0f, 0.0f, std::cos(t * 4.0f * kPi) * 22.0f);
        q = identity();
    });
    w.addLight(400, "Omni01", Vec3(90, 120, 120), Vec3(0.55f, 0.5f, 0.7f));
    LightRecord& projector = w.addLight(401, "Projector01", Vec3(0, 220, 20), Vec3(1, 1, 1));
    projector.targetId = 200;
    projector.projectedTexture = "rose.png";
    return saveScene(w, path);
}

} // namespace

bool writeShadowScenes(const std::string& dataDir)
{
    std::filesystem::path data = dataDir;
    bool ok = writeRose(data / "textures" / "rose.png");
    ok = ok && writeShadowStage(data / "shadow.vsc");
    ok = ok && writeProjectorStage(data / "projector.vsc");
    return ok;
}
