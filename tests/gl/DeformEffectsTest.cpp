// The mesh deformation effects on real scenes: the wobbling geosphere and
// the pulsing box, their signals, and golden frames of both.

#include "effects/GeoSphereDeform.h"
#include "effects/ObjectPulse.h"
#include "gl/TextureManager.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/SceneManager.h"
#include "support/Signals.h"
#include "tools/scenewriter/MeshShapes.h"

#include "support/GLTestContext.h"
#include "support/GoldenFrames.h"
#include "support/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A geosphere of radius 100 with one extra triangle whose first corner sits
// on the mesh origin, a box "Box08" away from the origin, a second box
// "Other", a camera and two lights.
SceneWriter deformStage()
{
    SceneWriter w;
    MaterialRecord& skin = w.addMaterial(1, "skin");
    skin.diffuse = Vec3(0.3f, 0.6f, 0.9f);
    skin.specular = Vec3(0.8f, 0.8f, 0.8f);
    skin.specularLevel = 0.8f;
    MaterialRecord& metal = w.addMaterial(2, "metal");
    metal.diffuse = Vec3(0.9f, 0.5f, 0.2f);
    MeshRecord& geo = w.addMesh(10, "GeoSphere01");
    addSphere(geo, 100.0f, 24, 16, 1);
    uint32_t o = geo.addVertex(Vec3(0, 0, 0));
    geo.addVertex(Vec3(5, 0, 0));
    geo.addVertex(Vec3(0, 5, 0));
    for (int i = 0; i < 3; ++i) {
        geo.addCoord1(0, 0);
        geo.addCoord2(0, 0);
    }
    geo.addFace(o, o + 1, o + 2, 1);
    MeshRecord& box = w.addMesh(11, "Box08");
    box.position = Vec3(130, 0, 0);
    addBox(box, Vec3(30, 30, 30), 2);
    MeshRecord& other = w.addMesh(12, "Other");
    other.position = Vec3(-130, 0, 0);
    addBox(other, Vec3(50, 20, 20), 2);
    w.addDummy(13, "Centre");
    w.addCamera(20, "Camera01", Vec3(0, 80, 380), 50.0f, 13);
    w.addLight(30, "Omni01", Vec3(150, 200, 250), Vec3(1, 1, 1));
    w.addLight(31, "Omni02", Vec3(-200, -50, 100), Vec3(0.3f, 0.2f, 0.5f));
    return w;
}

float lengthOf(const float* p)
{
    return std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
}

template <class E>
class DeformTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        // Effects take the screen size from the viewport when they are made.
        effect = std::make_unique<E>();
        file = std::make_unique<SceneFile>(deformStage());
    }
    void TearDown() override
    {
        effect.reset();
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }
    Scene* start(int time = 0)
    {
        effect->signal(sig(50, {}, file->path.c_str()));
        effect->init(time);
        effect->start();
        return effect->getScene();
    }
    void frame(int time)
    {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.05f, 0.05f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        effect->render(time, true);
    }
    std::unique_ptr<E> effect;
    std::unique_ptr<SceneFile> file;
};

using GeoSphereDeformTest = DeformTest<GeoSphereDeform>;
using ObjectPulseTest = DeformTest<ObjectPulse>;

} // namespace

// ---- GeoSphereDeform ---------------------------------------------------------

TEST_F(GeoSphereDeformTest, VerticesStayWithinTheRadiiAndTheOriginStays)
{
    Scene* scene = start();
    Mesh* mesh = effect->getMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(static_cast<SceneObject*>(mesh), scene->findByName("GeoSphere01"));
    std::vector<float>& positions = mesh->getPositions();
    ASSERT_EQ(effect->getRestPositions(), positions);
    const size_t origin = positions.size() / 3 - 3; // the extra triangle's first corner

    // The defaults (amplitude 65, radius at most 80) with a slower wave.
    effect->signal(sig(94, {500}));
    for (int t = 0; t <= 3000; t += 37) {
        frame(t);
        for (size_t i = 0; i < positions.size() / 3; ++i)
            ASSERT_LE(lengthOf(&positions[3 * i]), 80.0f + 1e-3f) << i << " at " << t;
        EXPECT_EQ(positions[3 * origin], 0.0f);
        EXPECT_EQ(positions[3 * origin + 1], 0.0f);
        EXPECT_EQ(positions[3 * origin + 2], 0.0f);
    }
    EXPECT_NE(effect->getRestPositions(), positions);

    // A floor of 45 and no ceiling to speak of: the sphere swings between them.
    effect->signal(sig(93, {1000, 45}));
    float lowest = 1e9f, highest = 0.0f;
    for (int t = 0; t <= 2000; t += 50) {
        effect->deform(t);
        for (size_t i = 0; i < origin; ++i) {
            float r = lengthOf(&positions[3 * i]);
            lowest = std::min(lowest, r);
            highest = std::max(highest, r);
        }
    }
    EXPECT_GE(lowest, 45.0f - 1e-3f);
    EXPECT_LE(highest, 100.0f + 1e-3f);
    EXPECT_GT(highest, 90.0f);

    // The normals are flat per triangle and face outwards, as the mesh's own
    // (triangles squashed to almost nothing at the poles keep their tiny
    // cross product).
    const std::vector<float>& normals = mesh->getNormals();
    int outward = 0, unit = 0;
    for (size_t t = 0; t < origin / 3; ++t) {
        const float* n = &normals[9 * t];
        EXPECT_EQ(std::memcmp(n, n + 3, 3 * sizeof(float)), 0);
        if (lengthOf(n) < 0.01f)
            continue;
        ++unit;
        EXPECT_NEAR(lengthOf(n), 1.0f, 1e-4f);
        const float* p = &positions[9 * t];
        outward += n[0] * p[0] + n[1] * p[1] + n[2] * p[2] > 0.0f;
    }
    EXPECT_GT(unit, int(origin / 3) * 3 / 4);
    EXPECT_EQ(outward, unit);
}

TEST_F(GeoSphereDeformTest, SpeedSignalGivesOneCyclePerSecond)
{
    start();
    EXPECT_FLOAT_EQ(effect->getSpeed(), 0.2f);
    effect->signal(sig(94, {0}));
    EXPECT_FLOAT_EQ(effect->getSpeed(), 0.2f);
    effect->signal(sig(94, {100000}));
    EXPECT_FLOAT_EQ(effect->getSpeed(), 0.001f);

    std::vector<float>& positions = effect->getMesh()->getPositions();
    effect->deform(250);
    std::vector<float> first = positions;
    effect->deform(1250);
    for (size_t i = 0; i < positions.size(); ++i)
        ASSERT_NEAR(positions[i], first[i], 1e-2f) << i;
    effect->deform(61250);
    for (size_t i = 0; i < positions.size(); ++i)
        ASSERT_NEAR(positions[i], first[i], 1e-2f) << i;
    effect->deform(750);
    float moved = 0.0f;
    for (size_t i = 0; i < positions.size(); ++i)
        moved = std::max(moved, std::fabs(positions[i] - first[i]));
    EXPECT_GT(moved, 5.0f);
}

TEST_F(GeoSphereDeformTest, TheNameSignalChoosesTheMeshOfTheNextLookUp)
{
    // A name no object has: the scene is drawn unchanged.
    effect->signal(sig(90, {}, "Nothing"));
    Scene* scene = start();
    EXPECT_EQ(effect->getMesh(), nullptr);
    frame(100);
    effect->signal(sig(90, {}, "Other"));
    effect->init(200);
    EXPECT_EQ(static_cast<SceneObject*>(effect->getMesh()), scene->findByName("Other"));
    // Once copied, the mesh stays.
    effect->signal(sig(90, {}, "GeoSphere01"));
    effect->init(300);
    EXPECT_EQ(static_cast<SceneObject*>(effect->getMesh()), scene->findByName("Other"));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GeoSphereDeformTest, GoldenFrame)
{
    start();
    effect->signal(sig(91, {30, 120}));
    effect->signal(sig(94, {150000}));
    effect->signal(sig(93, {75, 20}));
    for (int t = 0; t <= 1200; t += 100)
        frame(t);
    expectGoldenFrame("effects/geosphere_deform", kWidth, kHeight);
}

// ---- ObjectPulse -------------------------------------------------------------

TEST_F(ObjectPulseTest, CopiesTheBoxWithPhasesFromItsPivot)
{
    Scene* scene = start();
    Mesh* mesh = effect->getMesh();
    ASSERT_EQ(static_cast<SceneObject*>(mesh), scene->findByName("Box08"));
    EXPECT_FLOAT_EQ(effect->getPivot().x, 130.0f);
    const std::vector<float>& rest = effect->getRestPositions();
    ASSERT_EQ(rest, mesh->getPositions());
    // The corners sit at about 130 from the pivot (they are mesh-local).
    const float D = effect->getLargestDistance();
    EXPECT_GT(D, 130.0f);
    for (size_t i = 0; i < rest.size() / 3; ++i) {
        float d = std::sqrt((rest[3 * i] - 130.0f) * (rest[3 * i] - 130.0f) + rest[3 * i + 1] * rest[3 * i + 1] +
                            rest[3 * i + 2] * rest[3 * i + 2]);
        EXPECT_NEAR(effect->getPhases()[i], (D - d / D) * 3.14159265f, 1e-3f);
    }

    // The same name again copies nothing; another mesh is copied and the
    // largest distance only grows.
    effect->signal(sig(92, {}, "Box08"));
    EXPECT_EQ(effect->getMesh(), mesh);
    effect->signal(sig(92, {}, "Other"));
    EXPECT_EQ(static_cast<SceneObject*>(effect->getMesh()), scene->findByName("Other"));
    EXPECT_GE(effect->getLargestDistance(), D);
    effect->signal(sig(92, {}, "Nothing"));
    EXPECT_EQ(static_cast<SceneObject*>(effect->getMesh()), scene->findByName("Other"));
}

TEST_F(ObjectPulseTest, PulsingAndSwitchingOffRestoresTheRestPositionsExactly)
{
    start();
    Mesh* mesh = effect->getMesh();
    const std::vector<float> rest = mesh->getPositions();
    effect->signal(sig(93, {1}));
    EXPECT_TRUE(effect->isPulsing());
    for (int t = 0; t <= 2000; t += 40)
        frame(t);
    EXPECT_NE(mesh->getPositions(), rest);
    effect->signal(sig(93, {0}));
    EXPECT_EQ(std::memcmp(mesh->getPositions().data(), rest.data(), rest.size() * sizeof(float)), 0);
    // Not pulsing: frames leave the positions alone.
    frame(2500);
    EXPECT_EQ(mesh->getPositions(), rest);
}

TEST_F(ObjectPulseTest, BaseZeroSwingOneCollapsesThroughThePivotPlane)
{
    start();
    effect->signal(sig(91, {0, 100}));
    const std::vector<float>& rest = effect->getRestPositions();
    std::vector<float>& positions = effect->getMesh()->getPositions();
    const float a0 = effect->getPhases()[0];
    // sin(a0 + t) = 0: x collapses, y and z are flipped or kept.
    const float t = 3.14159265f * std::ceil(a0 / 3.14159265f) - a0;
    effect->pulse(t);
    EXPECT_NEAR(positions[0], 0.0f, 1e-3f * std::fabs(rest[0]) + 1e-4f);
    EXPECT_NEAR(std::fabs(positions[1]), std::fabs(rest[1]), 1e-3f * std::fabs(rest[1]) + 1e-4f);
    // A quarter cycle later y and z collapse.
    effect->pulse(t + 3.14159265f / 2.0f);
    EXPECT_NEAR(positions[1], 0.0f, 1e-3f * std::fabs(rest[1]) + 1e-4f);
    EXPECT_NEAR(positions[2], 0.0f, 1e-3f * std::fabs(rest[2]) + 1e-4f);
}

TEST_F(ObjectPulseTest, MoveAddsTheOffsetsEveryFrame)
{
    Scene* scene = start();
    SceneObject* box = scene->findByName("Box08");
    // A constant offset of (2, 0, -1) a frame, then gliding to (0, 4, 0)
    // from 1000 ms after the signal's time (offset 500) over 1000 ms.
    effect->signal(sig(94, {1, 2, 0, -1, 0, 4, 0, 1000, 1000}, "", 500));
    EXPECT_TRUE(effect->isMoving());
    frame(100);
    frame(200);
    EXPECT_FLOAT_EQ(box->getPosition().x, 134.0f);
    EXPECT_FLOAT_EQ(box->getPosition().z, -2.0f);
    Vec3 before = box->getPosition();
    frame(2600);
    EXPECT_FLOAT_EQ(box->getPosition().x, before.x);
    EXPECT_FLOAT_EQ(box->getPosition().y, before.y + 4.0f);
    effect->signal(sig(94, {0}));
    frame(2700);
    EXPECT_FLOAT_EQ(box->getPosition().y, before.y + 4.0f);
}

TEST_F(ObjectPulseTest, GoldenFrame)
{
    start();
    effect->signal(sig(91, {60, 40}));
    effect->signal(sig(93, {1}));
    for (int t = 0; t <= 1400; t += 100)
        frame(t);
    expectGoldenFrame("effects/object_pulse", kWidth, kHeight);
}
