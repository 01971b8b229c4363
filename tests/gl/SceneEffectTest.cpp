// The scene effect: loading, the signal table, the per-frame sequence and the
// extras, on scenes written with the scene writer.

#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/SceneEffect.h"
#include "scene/SceneTextures.h"
#include "support/GLTestContext.h"
#include "support/SceneTestSupport.h"
#include "support/Signals.h"
#include "tools/scenewriter/MeshShapes.h"

#include <initializer_list>

using ::testing::ExitedWithCode;

namespace {

// Three cameras, two lights, a box (id 10) with a child ball (11), a
// sibling box (12) and a flare; the box moves by samples (interval 2, 50
// samples: x = sample number).
SceneWriter stageWriter(bool withCameras = true)
{
    SceneWriter w;
    addPlainMaterial(w, 1, "plain");
    MaterialRecord& other = w.addMaterial(2, "other");
    other.diffuse = Vec3(1, 0, 0);
    addBox(w.addMesh(10, "Box"), Vec3(10, 10, 10), 1);
    addSphere(w.addMesh(11, "Ball", 10), 3.0f, 8, 6, 2);
    MeshRecord& box2 = w.addMesh(12, "Box2");
    box2.position = Vec3(20, 0, 0);
    addBox(box2, Vec3(5, 5, 5), 2);
    if (withCameras) {
        w.addCamera(20, "Camera01", Vec3(0, 20, 80), 45.0f, 10);
        w.addCamera(21, "Camera02", Vec3(80, 20, 0), 60.0f, 10);
        w.addCamera(23, "Camera03", Vec3(0, 80, 1), 30.0f, 10);
    }
    w.addLight(30, "Omni01", Vec3(0, 50, 50), Vec3(1, 1, 1));
    w.addLight(31, "Spot01", Vec3(50, 50, 0), Vec3(1, 0.5f, 0.2f)).targetId = 10;
    w.addFlare(40, "Sun", Vec3(0, 40, -40));
    w.addSampledMotion(10, 2, 50, [](int i, Vec3& p, Quaternion& q) {
        p = Vec3(float(i), 0, 0);
        q = Quaternion(0, 0, 0, 1);
    });
    return w;
}

class SceneEffectTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        file = std::make_unique<SceneFile>(stageWriter());
    }
    void TearDown() override
    {
        effect.reset();
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }
    // Loads the stage and starts the effect at demo time 1000.
    Scene* start()
    {
        effect->signal(sig(50, {}, file->path.c_str()));
        effect->init(1000);
        effect->start();
        return effect->getScene();
    }
    void frame(int time)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        effect->render(time, true);
    }
    std::unique_ptr<SceneEffect> effect = std::make_unique<SceneEffect>();
    std::unique_ptr<SceneFile> file;
};

} // namespace

TEST_F(SceneEffectTest, LoadingSharesTheSceneAndDressesItsFlares)
{
    Scene* scene = start();
    ASSERT_NE(scene, nullptr);
    EXPECT_FLOAT_EQ(effect->getFovAnimation().value(), 45.0f);
    Flare* sun = scene->getFlares();
    ASSERT_EQ(sun->coreSprites().size(), 1u);
    EXPECT_NE(sun->getTexture(), nullptr);
    EXPECT_TRUE(sun->getOcclusionTest());

    SceneEffect other;
    other.signal(sig(50, {}, file->path.c_str()));
    EXPECT_EQ(other.getScene(), scene);
    EXPECT_EQ(SceneManager::getInstance()->refCount(file->path.c_str()), 2);
}

TEST_F(SceneEffectTest, LoadingProblemsAreFatal)
{
    EXPECT_EXIT(effect->loadScene("no-such-scene.vsc"), ExitedWithCode(1),
                "error: Error in parsing no-such-scene.vsc: could not open file\n");
    SceneFile blind(stageWriter(false), "blind");
    EXPECT_EXIT(effect->loadScene(blind.path.c_str()), ExitedWithCode(1),
                "error: no camera in scene: SceneEffectTest\\.LoadingProblemsAreFatal\\.blind\\.vsc\n");
}

TEST_F(SceneEffectTest, SignalsBeforeASceneOnlyReachTheBase)
{
    for (int code : {20, 21, 230, 231, 232, 233, 250, 254, 255, 256, 257, 258, 259, 260, 261, 263, 280, 284,
                     287, 300, 301, 302, 303, 304, 305, 310, 312, 407})
        effect->signal(sig(code, {1, 2, 3, 4, 5, 6}, "Camera02"));
    EXPECT_EQ(effect->getScene(), nullptr);
    EXPECT_TRUE(effect->getSpins().empty());
    EXPECT_TRUE(effect->getAlphaAnimations().empty());
    effect->signal(sig(10, {200}));
    EXPECT_FLOAT_EQ(effect->speed, 200.0f);
    effect->init(0);
    effect->start();
    effect->render(500, true); // nothing to draw, nothing fails
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneEffectTest, CamerasByNameNumberAndTurn)
{
    Scene* scene = start();
    effect->signal(sig(407, {0, '3'}));
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera03");
    // '7' names no camera of this scene, 'n' no camera at all: the current one stays.
    effect->signal(sig(407, {0, '7'}));
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera03");
    effect->signal(sig(407, {0, 'n'}));
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera03");
    effect->signal(sig(20));
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera01"); // wraps
    effect->signal(sig(21, {}, "Camera02"));
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera02");

    // The new camera's field of view follows the animation, which still
    // holds the first camera's 45 degrees.
    frame(1100);
    EXPECT_FLOAT_EQ(scene->getCurrentCamera()->getFieldOfView(), 45.0f);
    effect->signal(sig(250, {70}));
    frame(1200);
    EXPECT_FLOAT_EQ(scene->getCurrentCamera()->getFieldOfView(), 70.0f);
    // init goes back to the first camera.
    effect->init(2000);
    EXPECT_EQ(scene->getCurrentCamera()->getName(), "Camera01");
}

TEST_F(SceneEffectTest, FieldOfViewMoves)
{
    Scene* scene = start();
    effect->signal(sig(254, {90, 100, 1000, 2, 30, 70}, "", 1000));
    const AnimatedValue& fov = effect->getFovAnimation();
    EXPECT_FLOAT_EQ(fov.startTime, 1100.0f);
    EXPECT_FLOAT_EQ(fov.duration, 1000.0f);
    EXPECT_EQ(fov.mode, 2);
    EXPECT_FLOAT_EQ(fov.curveA, 0.3f);
    EXPECT_FLOAT_EQ(fov.curveB, 0.7f);
    // Five arguments: start, duration and mode, the curve stays.
    effect->signal(sig(254, {60, 0, 500, 1, 99}, "", 2000));
    EXPECT_FLOAT_EQ(fov.startTime, 2000.0f);
    EXPECT_FLOAT_EQ(fov.duration, 500.0f);
    EXPECT_EQ(fov.mode, 1);
    EXPECT_FLOAT_EQ(fov.curveA, 0.3f);
    EXPECT_FLOAT_EQ(fov.curveB, 0.7f);
    frame(2250);
    float halfWay = scene->getCurrentCamera()->getFieldOfView();
    EXPECT_GT(halfWay, 45.0f);
    EXPECT_LT(halfWay, 60.0f);
    frame(3000);
    EXPECT_FLOAT_EQ(scene->getCurrentCamera()->getFieldOfView(), 60.0f);
}

TEST_F(SceneEffectTest, SpinsMovesAndInit)
{
    Scene* scene = start();
    effect->signal(sig(255, {}, "Box2"));
    effect->signal(sig(256, {1000, 0, 0}));
    effect->signal(sig(256, {0, 500, 0})); // the second speed replaces the first
    effect->signal(sig(257, {0, 0, 100}));
    ASSERT_EQ(effect->getSpins().size(), 1u);
    SceneObject* box2 = scene->findByName("Box2");
    EXPECT_FLOAT_EQ(effect->getSpins().at(box2).x, 0.0f);
    EXPECT_FLOAT_EQ(effect->getSpins().at(box2).y, 5.0f);

    frame(3000); // 20 units of scaled local time
    EXPECT_FLOAT_EQ(box2->getEulerDegrees().y, 100.0f);
    EXPECT_FLOAT_EQ(box2->getPosition().z, 20.0f);

    // A sampled object ignores spins and moves: the samples come after.
    effect->signal(sig(255, {}, "Box"));
    effect->signal(sig(257, {0, 1000, 0}));
    frame(3000);
    SceneObject* box = scene->findByName("Box");
    EXPECT_FLOAT_EQ(box->getPosition().y, 0.0f);
    EXPECT_FLOAT_EQ(box->getPosition().x, 10.0f); // sample 10 at time 20

    // init puts the spun and moved objects at time 0 and forgets them.
    effect->init(4000);
    EXPECT_FLOAT_EQ(box2->getEulerDegrees().y, 0.0f);
    EXPECT_FLOAT_EQ(box2->getPosition().z, 0.0f);
    EXPECT_TRUE(effect->getSpins().empty());
    EXPECT_TRUE(effect->getMoves().empty());
}

TEST_F(SceneEffectTest, ObjectMaterialAndVisibilitySignals)
{
    Scene* scene = start();
    SceneObject* box = scene->findByName("Box");
    SceneObject* ball = scene->findByName("Ball");
    SceneObject* box2 = scene->findByName("Box2");

    effect->signal(sig(255, {}, "Ball"));
    effect->signal(sig(258, {40}));
    EXPECT_FLOAT_EQ(ball->getMaterial()->getOpacity(), 0.4f);
    EXPECT_TRUE(ball->getMaterial()->isTransparent());
    effect->signal(sig(262, {1}));
    EXPECT_TRUE(ball->getMaterial()->getWireframe());

    // Alpha-test reference: set, then moved (start time without the offset).
    effect->signal(sig(260, {25}));
    effect->signal(sig(261, {75, 1500, 1000}, "", 99999));
    ASSERT_EQ(effect->getAlphaAnimations().size(), 1u);
    frame(2000);
    EXPECT_FLOAT_EQ(ball->getMaterial()->getAlphaReference(), 0.5f);

    // Visibility reaches the object, its subtree and the later siblings.
    effect->signal(sig(255, {}, "Box"));
    effect->signal(sig(259, {0}));
    EXPECT_FALSE(box->isVisible());
    EXPECT_FALSE(ball->isVisible());
    EXPECT_FALSE(box2->isVisible());
    effect->signal(sig(301, {1}));
    EXPECT_TRUE(box2->isVisible());
    // A missing name leaves the cursor empty: the next read takes the first object.
    effect->signal(sig(255, {}, "Nothing"));
    effect->signal(sig(259, {0}));
    EXPECT_FALSE(scene->getObjects()->isVisible());
    effect->signal(sig(301, {1}));

    // 230: ramp shading with the engine's ramp; an id no object has is ignored.
    effect->signal(sig(230, {4242}));
    EXPECT_EQ(box2->getMaterial()->getRenderMode(), kModeLit);
    effect->signal(sig(230, {12}));
    EXPECT_EQ(box2->getMaterial()->getRenderMode(), kModeRamp);
    EXPECT_EQ(box2->getMaterial()->getRamp(), TextureManager::getInstance()->find(kToonRampName));
    frame(2100);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneEffectTest, SceneSettingsAndLights)
{
    Scene* scene = start();
    effect->signal(sig(231, {0}));
    EXPECT_FALSE(scene->getCulling());
    effect->signal(sig(232, {1}));
    effect->signal(sig(233, {255, 51, 0}));
    effect->signal(sig(234, {15}));
    effect->signal(sig(235, {10, 300}));
    EXPECT_TRUE(scene->getFog());
    EXPECT_FLOAT_EQ(scene->getFogColour().g, 0.2f);
    EXPECT_FLOAT_EQ(scene->getFogDensity(), 0.015f);
    EXPECT_FLOAT_EQ(scene->getFogEnd(), 300.0f);
    const int modes[][2] = {{1, GL_EXP}, {2, GL_EXP2}, {3, GL_LINEAR}, {9, GL_EXP}};
    for (auto [arg, mode] : modes) {
        effect->signal(sig(236, {arg}));
        EXPECT_EQ(scene->getFogMode(), GLenum(mode));
    }
    effect->signal(sig(251, {100}));
    effect->signal(sig(252, {5}));
    effect->signal(sig(253, {900}));
    for (Camera* c = scene->getCameras(); c; c = static_cast<Camera*>(c->getNext())) {
        EXPECT_FLOAT_EQ(c->getNearPlane(), 5.0f);
        EXPECT_FLOAT_EQ(c->getFarPlane(), 900.0f);
    }
    EXPECT_FLOAT_EQ(scene->getCurrentCamera()->getAspect(), 1.0f);

    effect->signal(sig(280, {}, "Spot01"));
    Light* spot = scene->findLightByName("Spot01");
    effect->signal(sig(284, {500, 20, 3}));
    EXPECT_FLOAT_EQ(spot->getConstantAttenuation(), 0.5f);
    EXPECT_FLOAT_EQ(spot->getQuadraticAttenuation(), 0.003f);
    effect->signal(sig(282, {2}));
    EXPECT_FLOAT_EQ(spot->getLinearAttenuation(), 2.0f);
    effect->signal(sig(285, {120}));
    EXPECT_FLOAT_EQ(spot->getSpotCutoff(), 90.0f);
    effect->signal(sig(286, {300}));
    EXPECT_FLOAT_EQ(spot->getSpotExponent(), 128.0f);
    effect->signal(sig(287, {1}));
    EXPECT_TRUE(spot->getFlicker());
    // An unknown name empties the cursor, which then reads as the first light.
    effect->signal(sig(280, {}, "NoLight"));
    effect->signal(sig(287, {0}));
    EXPECT_TRUE(spot->getFlicker());
    effect->signal(sig(305, {1}));
    EXPECT_TRUE(spot->getGrey());
    EXPECT_TRUE(scene->getMaterials()->getGrey());
    effect->signal(sig(300, {1}));
    EXPECT_TRUE(scene->getMaterials()->getWireframe());
    effect->signal(sig(304, {1}));
    EXPECT_TRUE(scene->getLooping());

    // Shadow maps: every mesh receives, Spot01 casts from the next frame on.
    effect->signal(sig(310, {1}));
    EXPECT_TRUE(scene->getShadowMaps());
    EXPECT_TRUE(static_cast<Mesh*>(scene->findByName("Ball"))->getReceivesShadow());
    frame(1500);
    EXPECT_TRUE(spot->getCastsShadow());
    effect->signal(sig(312));
    EXPECT_FALSE(scene->getShadowMaps());
    effect->signal(sig(313));
    EXPECT_TRUE(scene->getProjectorShadows());
    effect->signal(sig(311, {0}));
    EXPECT_FALSE(scene->getProjectorShadows());
    frame(1600);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Signal 303 takes a sample number: the scene shows that sample at once and
// the clock goes on from it.
TEST_F(SceneEffectTest, JumpToASample)
{
    Scene* scene = start();
    frame(1500); // scaled local time 5: sample 2, half way
    EXPECT_EQ(scene->getSampleIndex(), 2);
    SceneObject* box = scene->findByName("Box");
    EXPECT_FLOAT_EQ(box->getPosition().x, 2.5f);

    effect->signal(sig(303, {30}));
    EXPECT_EQ(scene->getSampleIndex(), 30);
    EXPECT_FLOAT_EQ(effect->scaledLocalTime, 60.0f);
    frame(1500); // the same demo time now shows sample 30
    EXPECT_EQ(scene->getSampleIndex(), 30);
    EXPECT_FLOAT_EQ(box->getPosition().x, 30.0f);
    frame(1600); // and time goes on from there
    EXPECT_FLOAT_EQ(box->getPosition().x, 30.5f);

    effect->signal(sig(303, {500})); // past the end: the last sample
    frame(1600);
    EXPECT_EQ(scene->getSampleIndex(), 49);
    EXPECT_FLOAT_EQ(box->getPosition().x, 49.0f);
}
