// Cameras and lights: setters, clamps, and the scene's camera and light
// operations. (What reaches GL is checked in tests/gl/SceneGLTest.cpp.)

#include "math/Random.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

TEST(Light, ColourGivesAmbientAtThirtyPercent)
{
    Light light("Red", 1);
    light.setColour(Color4(1, 0, 0, 1));
    EXPECT_FLOAT_EQ(light.getAmbient().r, 0.3f);
    EXPECT_FLOAT_EQ(light.getAmbient().g, 0.0f);
    EXPECT_FLOAT_EQ(light.getAmbient().a, 1.0f);
    EXPECT_FLOAT_EQ(light.getDiffuse().r, 1.0f);
    EXPECT_FLOAT_EQ(light.getSpecular().r, 1.0f);
    EXPECT_FLOAT_EQ(light.getSpecular().b, 0.0f);
}

TEST(Light, SpotCutoffAndExponentClamps)
{
    struct Case {
        float in, cutoff;
    };
    for (Case c : {Case{120, 90}, Case{180, 180}, Case{-5, 0}, Case{90, 90}, Case{30, 30}, Case{181, 90}}) {
        Light light("L", 1);
        light.setSpotCutoff(c.in);
        EXPECT_FLOAT_EQ(light.getSpotCutoff(), c.cutoff) << c.in;
    }
    Light light("L", 1);
    light.setSpotExponent(500);
    EXPECT_FLOAT_EQ(light.getSpotExponent(), 128.0f);
    light.setSpotExponent(-1);
    EXPECT_FLOAT_EQ(light.getSpotExponent(), 0.0f);
    light.setSpotExponent(64);
    EXPECT_FLOAT_EQ(light.getSpotExponent(), 64.0f);
}

TEST(Light, FlickerIsARandomGreyAndOffRestoresWhite)
{
    Light light("L", 1);
    light.setColour(Color4(0.2f, 0.9f, 0.4f, 1));
    light.setFlicker(true);
    seedRandom(7);
    int expected[3];
    for (int& e : expected)
        e = nextRandom();
    seedRandom(7);
    for (int frame = 0; frame < 3; ++frame) {
        light.apply();
        float r = float(expected[frame]) / 32767.0f;
        EXPECT_NEAR(light.getDiffuse().r, r, 1e-6f);
        EXPECT_FLOAT_EQ(light.getDiffuse().g, light.getDiffuse().r);
        EXPECT_FLOAT_EQ(light.getDiffuse().b, light.getDiffuse().r);
        EXPECT_FLOAT_EQ(light.getDiffuse().a, 1.0f);
    }
    light.setFlicker(false);
    EXPECT_FLOAT_EQ(light.getDiffuse().r, 1.0f);
    EXPECT_FLOAT_EQ(light.getDiffuse().g, 1.0f);
}

TEST(SceneCameras, SelectionNextAndPlanes)
{
    Scene scene;
    EXPECT_EQ(scene.nextCamera(), nullptr);
    Camera* a = new Camera("A", 10);
    Camera* b = new Camera("B", 20);
    Camera* c = new Camera("C", 30);
    scene.addCamera(a);
    scene.addCamera(b);
    scene.addCamera(c);
    EXPECT_EQ(scene.getCurrentCamera(), a);

    EXPECT_EQ(scene.selectCamera(30), c);
    EXPECT_EQ(scene.nextCamera(), a); // wraps
    EXPECT_EQ(scene.nextCamera(), b);
    EXPECT_EQ(scene.selectCamera(99), a); // unknown id: the first
    scene.selectCamera(20);
    EXPECT_EQ(scene.selectCameraByName("C"), c);
    EXPECT_EQ(scene.selectCameraByName("D"), nullptr);
    EXPECT_EQ(scene.getCurrentCamera(), c); // unchanged
    scene.reset();
    EXPECT_EQ(scene.getCurrentCamera(), a);

    scene.setNearPlaneAll(0.5f);
    scene.setFarPlaneAll(900.0f);
    for (Camera* cam : {a, b, c}) {
        EXPECT_FLOAT_EQ(cam->getNearPlane(), 0.5f);
        EXPECT_FLOAT_EQ(cam->getFarPlane(), 900.0f);
    }

    Camera fresh("F", 1);
    EXPECT_FLOAT_EQ(fresh.getPosition().z, 5.0f);
    EXPECT_FLOAT_EQ(fresh.getAspect(), 1.333f);
    EXPECT_FLOAT_EQ(fresh.getFieldOfView(), 45.0f);
    EXPECT_FLOAT_EQ(fresh.getNearPlane(), 1.0f);
    EXPECT_FLOAT_EQ(fresh.getFarPlane(), 2000.0f);
}

TEST(SceneLights, NumbersInOrderNamesAndGrey)
{
    Scene scene;
    EXPECT_EQ(scene.findLightByName(nullptr), nullptr);
    Light* a = new Light("Key", 1);
    Light* b = new Light("Fill", 2);
    scene.addLight(a);
    scene.addLight(b);
    EXPECT_EQ(a->getGlLight(), 0);
    EXPECT_EQ(b->getGlLight(), 1);
    EXPECT_EQ(scene.findLightByName("Fill"), b);
    EXPECT_EQ(scene.findLightByName(""), a);
    EXPECT_EQ(scene.findLightByName("Rim"), nullptr);
    EXPECT_EQ(scene.selectLight("Fill"), b);
    EXPECT_EQ(scene.getLightCursor(), b);
    scene.setGreyAll(true);
    EXPECT_TRUE(a->getGrey());
    EXPECT_TRUE(b->getGrey());
}
