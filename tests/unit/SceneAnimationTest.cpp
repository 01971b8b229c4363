// The animation clock of a scene, sampled playback and the key tangents.

#include "scene/AnimationKeys.h"
#include "scene/Camera.h"
#include "scene/Dummy.h"
#include "scene/Light.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

Scene* sceneWithClock(int count, int interval, bool looping = false)
{
    Scene* scene = new Scene;
    scene->setSampleCount(count);
    scene->setSampleInterval(interval);
    scene->setLooping(looping);
    return scene;
}

} // namespace

TEST(SceneClock, SetTimeGivesIndexAndFraction)
{
    struct Case {
        int count, interval;
        bool looping;
        float t;
        int index;
        float fraction;
    };
    const Case cases[] = {
        {50, 2, false, 7.0f, 3, 0.5f},
        {50, 2, false, -1.0f, 0, -0.5f},     // -0.5 truncates to 0
        {50, 1, false, 1000.0f, 49, 0.0f},   // clamped to the last sample
        {50, 1, false, 50.5f, 50, 0.5f},     // one past the end is left for applySample
        {50, 2, true, 103.0f, 1, 0.5f},      // q = 51: one whole loop removed
        {50, 2, true, 99.0f, 49, 0.5f},
        {1, 4, false, 9.0f, 0, 0.25f},       // clamped to the only sample
        {0, 0, false, 12.0f, 0, 0.0f},       // no samples at all
        {0, 0, true, 12.0f, 0, 0.0f},        // ... even when looping
        {10, 0, true, 12.0f, 0, 0.0f},       // a zero interval from a broken file
        {10, 2, false, std::numeric_limits<float>::infinity(), 0, 0.0f},
        {10, 2, false, 1e30f, 9, 0.0f},      // huge times stay within int
    };
    for (const Case& c : cases) {
        std::unique_ptr<Scene> scene(sceneWithClock(c.count, c.interval, c.looping));
        scene->setTime(c.t);
        SCOPED_TRACE(testing::Message() << c.count << " " << c.interval << " " << c.looping << " " << c.t);
        EXPECT_EQ(scene->getSampleIndex(), c.index);
        if (c.t < 1e20f) {
            EXPECT_FLOAT_EQ(scene->getSampleFraction(), c.fraction);
        }
        EXPECT_EQ(scene->getTime(), c.t);
    }
}

TEST(SceneClock, AnimateMovesSampledObjectsInEveryList)
{
    Scene scene;
    Dummy* still = new Dummy("Still", 1);
    still->setPosition(9, 9, 9);
    Dummy* moving = new Dummy("Moving", 2);
    still->addChild(moving); // reached through the child list
    scene.addObject(still);
    Camera* camera = new Camera("Cam", 3);
    scene.addCamera(camera);
    Light* light = new Light("Lamp", 4);
    scene.addLight(light);

    std::vector<Vec3> positions = {Vec3(0, 0, 0), Vec3(10, 20, 30), Vec3(20, 40, 60)};
    // Quarter turns about z: (0, 0, sin 45, cos 45) is 90 degrees.
    float h = std::sqrt(0.5f);
    std::vector<Quaternion> rotations = {Quaternion(0, 0, 0, 1), Quaternion(0, 0, h, h), Quaternion(0, 0, 1, 0)};
    moving->setSamples(std::vector<Vec3>(positions), std::vector<Quaternion>(rotations), 2);
    camera->setSamples(std::vector<Vec3>(positions), std::vector<Quaternion>(rotations), 2);
    light->setSamples(std::vector<Vec3>(positions.begin(), positions.begin() + 1),
                      std::vector<Quaternion>(rotations.begin(), rotations.begin() + 1), 2);
    scene.setSampleCount(3);
    scene.setSampleInterval(2);

    scene.setTime(1.0f); // halfway from sample 0 to 1
    scene.animate();
    EXPECT_FLOAT_EQ(moving->getPosition().x, 5.0f);
    EXPECT_FLOAT_EQ(moving->getPosition().z, 15.0f);
    // 45 degrees about z: (row, col) (0, 1) = xy - wz = -sin 45.
    EXPECT_NEAR(moving->getRotation().get(0, 0), h, 1e-5f);
    EXPECT_NEAR(moving->getRotation().get(0, 1), -h, 1e-5f);
    EXPECT_FLOAT_EQ(camera->getPosition().y, 10.0f);
    // One sample: always that sample.
    EXPECT_FLOAT_EQ(light->getPosition().x, 0.0f);
    // Objects without samples keep their file transform.
    EXPECT_FLOAT_EQ(still->getPosition().x, 9.0f);

    // Past the end: the last sample exactly.
    scene.setTime(1000.0f);
    scene.animate();
    EXPECT_FLOAT_EQ(moving->getPosition().y, 40.0f);
    EXPECT_NEAR(moving->getRotation().get(0, 0), -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(moving->getScale().x, 1.0f);
}

TEST(SceneClock, ApplySampleClampsAndSurvivesAnEmptyController)
{
    Dummy d("D", 1);
    d.setSamples({Vec3(1, 0, 0), Vec3(2, 0, 0)}, {Quaternion(0, 0, 0, 1), Quaternion(0, 0, 0, 1)}, 1);
    d.applySample(7, 0.5f);
    EXPECT_FLOAT_EQ(d.getPosition().x, 2.0f);
    d.applySample(0, 0.25f);
    EXPECT_FLOAT_EQ(d.getPosition().x, 1.25f);

    Dummy empty("E", 2);
    empty.setPosition(3, 3, 3);
    empty.setSamples({}, {}, 1); // a controller of zero samples in a file
    empty.applySample(0, 0.0f);
    EXPECT_FLOAT_EQ(empty.getPosition().x, 3.0f);
}

TEST(KeyTangents, InnerKeyWithPlainParametersIsTheCentralDifference)
{
    std::vector<PositionKey> keys(3);
    keys[0].frame = 0;
    keys[1].frame = 10;
    keys[2].frame = 20;
    keys[0].position = Vec3(0, 0, 0);
    keys[1].position = Vec3(10, 0, 0);
    keys[2].position = Vec3(30, 0, 0);
    computeKeyTangents(keys.data(), 3);
    // s = 2/20, a = b = 1; in = out = 0.5 (next - key) + 0.5 (key - prev).
    EXPECT_FLOAT_EQ(keys[1].inTangent.x, 15.0f);
    EXPECT_FLOAT_EQ(keys[1].outTangent.x, 15.0f);
    // First key: d = 30, w = 0.75 - 10/40 = 0.5: 1.5 (10 - 15) + 15 = 7.5.
    EXPECT_FLOAT_EQ(keys[0].outTangent.x, 7.5f);
    // Last key: d = 30, w = 0.5: 1.5 (20 - 15) + 15 = 22.5.
    EXPECT_FLOAT_EQ(keys[2].inTangent.x, 22.5f);

    // Tension 1 flattens every tangent.
    for (PositionKey& k : keys)
        k.tension = 1.0f;
    computeKeyTangents(keys.data(), 3);
    EXPECT_FLOAT_EQ(keys[1].inTangent.x, 0.0f);
    EXPECT_FLOAT_EQ(keys[0].outTangent.x, 0.0f);
    EXPECT_FLOAT_EQ(keys[2].inTangent.x, 0.0f);
}

TEST(KeyTangents, PairsUseEachOtherAndCoincidentFramesStayFinite)
{
    std::vector<PositionKey> pair(2);
    pair[1].frame = 4;
    pair[1].position = Vec3(0, 8, 0);
    computeKeyTangents(pair.data(), 2);
    // d = 8, w = 0.75 - 4/8 = 0.25: 1.5 (8 - 4) + 2 = 8.
    EXPECT_FLOAT_EQ(pair[0].outTangent.y, 8.0f);
    EXPECT_FLOAT_EQ(pair[1].inTangent.y, 8.0f);

    std::vector<PositionKey> same(3);
    same[2].position = Vec3(1, 1, 1);
    computeKeyTangents(same.data(), 3);
    for (const PositionKey& k : same) {
        EXPECT_TRUE(std::isfinite(k.inTangent.x));
        EXPECT_TRUE(std::isfinite(k.outTangent.x));
    }
    computeKeyTangents(same.data(), 1); // nothing to do
    computeKeyTangents(nullptr, 0);
}
