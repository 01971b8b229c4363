// Shadow maps and projector shadows on a real GL, drawn the way the show
// draws its scenes: inside a 1024 x 1024 off-screen buffer. Every check reads
// pixels where the geometry says a shadow or a projected picture must, or
// must not, fall. The depth-buffer path and the copied-texture path run the
// same cases (the second with the depth-binding capability hidden).

#include "gl/ErrorBox.h"
#include "gl/PBuffer.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "support/GLTestContext.h"
#include "support/ImageFiles.h"
#include "support/SceneTestSupport.h"
#include "tools/scenewriter/MeshShapes.h"

#include <GL/glu.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTargetSize = 1024;

struct Rgb {
    int r, g, b;
    int sum() const { return r + g + b; }
};

// The stage: a floor of 240 x 240 at y = 0, a block of 16 floating at
// (0, 20, 0), the camera high in front looking at the origin, a dim fill
// light beside it and the shadow light "Spot01" low on the -x side aiming at
// the origin. The block's shadow falls on the +x side of it.
const Vec3 kCameraPosition(0, 150, 150);
const Vec3 kBlockCentre(0, 20, 0);
const Vec3 kSpotPosition(-150, 100, 0);

struct Stage {
    const char* spotName = "Spot01";
    bool spotHasTarget = true;
    Vec3 spotPosition = kSpotPosition;
    float floorOpacity = 1.0f;
};

SceneWriter stageWriter(const Stage& stage)
{
    SceneWriter w;
    w.addDummy(1, "Target");
    MaterialRecord& floor = w.addMaterial(1, "Floor");
    floor.ambient = Vec3(0, 0, 0);
    floor.diffuse = Vec3(0.9f, 0.9f, 0.9f);
    floor.opacity = stage.floorOpacity;
    MaterialRecord& block = w.addMaterial(2, "Block");
    block.diffuse = Vec3(0.9f, 0.3f, 0.2f);
    addGrid(w.addMesh(10, "Floor"), 240.0f, 240.0f, 12, 12, 1);
    MeshRecord& b = w.addMesh(11, "Block");
    b.position = kBlockCentre;
    addBox(b, Vec3(16, 16, 16), 2);
    w.addCamera(20, "Camera01", kCameraPosition, 45.0f, 1);
    w.addLight(30, "Fill", kCameraPosition, Vec3(0.3f, 0.3f, 0.3f));
    LightRecord& spot = w.addLight(31, stage.spotName, stage.spotPosition, Vec3(1.0f, 1.0f, 1.0f));
    if (stage.spotHasTarget)
        spot.targetId = 1;
    return w;
}

// Where a point of the floor lies under the block's shadow: the line from
// the light through the block's centre, met with y = 0.
Vec3 shadowCentreOnFloor(const Vec3& light, const Vec3& occluder)
{
    float t = light.y / (light.y - occluder.y);
    return light + (occluder - light) * t;
}

class ShadowTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        target = std::make_unique<PBuffer>();
        ASSERT_TRUE(target->create(kTargetSize, kTargetSize, false));
    }
    void TearDown() override
    {
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        Scene::deleteShadowDepthBuffer();
        target.reset();
        GLTest::TearDown();
    }

    Scene* load(const SceneWriter& w, const std::string& textureDir = "")
    {
        files.emplace_back(std::make_unique<SceneFile>(w, std::to_string(files.size()).c_str()));
        SceneReader reader;
        return reader.load(files.back()->path.c_str(), textureDir.c_str());
    }

    // One frame of the scene in the target buffer, as the render-target
    // layer draws it; the buffer stays enabled for reading until disable().
    void frame(Scene* scene)
    {
        target->enable();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->transformAndRender();
    }
    void disable() { target->disable(); }
    // Signals reach a wrapped scene inside the target; Spot01 casts as the
    // scene effect marks it.
    void mapsOn(Scene* scene)
    {
        target->enable();
        scene->setShadowMaps(true);
        target->disable();
        if (Light* spot = scene->findLightByName("Spot01"))
            spot->setCastsShadow(true);
    }

    // The pixel where a world point shows through the scene's camera.
    Rgb pixelOf(Scene* scene, const Vec3& p)
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        scene->getCurrentCamera()->apply();
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble x = 0, y = 0, z = 0;
        gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
        unsigned char px[4] = {};
        glReadPixels(GLint(x), GLint(y), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        return {px[0], px[1], px[2]};
    }

    // Renders with the shadow light marked as the scene effect marks it and
    // returns the floor at the shadow's centre and at a lit point as far off
    // the light's line, beside the shadow.
    void shadedFloor(Scene* scene, Rgb& shadowed, Rgb& lit)
    {
        Vec3 centre = shadowCentreOnFloor(kSpotPosition, kBlockCentre);
        frame(scene);
        shadowed = pixelOf(scene, centre);
        lit = pixelOf(scene, centre + Vec3(0, 0, 50));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        disable();
    }

    void expectsTheBlocksShadowWhereTheGeometryPutsIt();

    std::unique_ptr<PBuffer> target;
    std::vector<std::unique_ptr<SceneFile>> files;
};

// The same, without the capability to bind rendered depth.
class ShadowCopiedTest : public ShadowTest {
protected:
    void SetUp() override
    {
        setenv("VP_HIDE_EXTENSIONS", "WGL_NV_render_depth_texture", 1);
        ShadowTest::SetUp();
    }
};

void ShadowTest::expectsTheBlocksShadowWhereTheGeometryPutsIt()
{
    Scene* scene = load(stageWriter(Stage{}));
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(scene->findLightByName("Spot01"), nullptr);

    Rgb plainShadowPoint, plainLit;
    shadedFloor(scene, plainShadowPoint, plainLit);
    // Without shadows the floor is lit evenly there.
    EXPECT_GT(plainShadowPoint.sum(), 300);
    EXPECT_NEAR(plainShadowPoint.sum(), plainLit.sum(), 60);

    scene->setShadowMaps(true);
    scene->setShadowMaps(false);
    mapsOn(scene);
    Rgb shadowed, lit;
    shadedFloor(scene, shadowed, lit);
    // Lit: half of every light plus half of the fill. Shadowed: the first
    // pass is black there, the second pass shows the fill alone at half.
    EXPECT_GT(lit.sum(), 3 * shadowed.sum()) << "shadow " << shadowed.sum() << ", lit " << lit.sum();
    EXPECT_GT(shadowed.sum(), 15) << "the second pass brightens the shadow";
    EXPECT_LT(lit.sum(), plainLit.sum());

    // The block moves away: the shadow goes with it.
    scene->findByName("Block")->setPosition(Vec3(0, 20, -90));
    Rgb nowLit, other;
    shadedFloor(scene, nowLit, other);
    EXPECT_NEAR(nowLit.sum(), lit.sum(), 40);
}

} // namespace

// Both paths: the shadow where the geometry puts it, and the map target
// made once however often the maps are switched on, by however many scenes.
TEST_F(ShadowTest, BlockShadowFallsWhereTheGeometrySaysThroughTheDepthBuffer)
{
    ASSERT_TRUE(isExtensionSupported("WGL_NV_render_depth_texture"));
    expectsTheBlocksShadowWhereTheGeometryPutsIt();
    PBuffer* buffer = Scene::getShadowDepthBuffer();
    ASSERT_NE(buffer, nullptr);
    GLuint depth = buffer->depthTextureId;
    EXPECT_EQ(buffer->width, 1024);
    load(stageWriter(Stage{}))->setShadowMaps(true);
    EXPECT_EQ(Scene::getShadowDepthBuffer(), buffer);
    EXPECT_EQ(buffer->depthTextureId, depth);
    EXPECT_EQ(TextureManager::getInstance()->size(), 0u);
}

TEST_F(ShadowCopiedTest, BlockShadowFallsWhereTheGeometrySaysThroughTheCopiedTexture)
{
    ASSERT_FALSE(isExtensionSupported("WGL_NV_render_depth_texture"));
    expectsTheBlocksShadowWhereTheGeometryPutsIt();
    TextureManager* textures = TextureManager::getInstance();
    Texture* texture = textures->getRenderTexture("ShadowMapTexture", 512, 512, GL_DEPTH_COMPONENT, GL_RGBA);
    GLuint id = texture->textureId;
    EXPECT_EQ(texture->width, 512);
    load(stageWriter(Stage{}))->setShadowMaps(true);
    EXPECT_EQ(textures->size(), 1u);
    EXPECT_EQ(texture->textureId, id);
    EXPECT_EQ(Scene::getShadowDepthBuffer(), nullptr);
    GLint mode = 0, func = 0;
    texture->bind();
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, &mode);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, &func);
    EXPECT_EQ(mode, GL_COMPARE_R_TO_TEXTURE_ARB);
    EXPECT_EQ(func, GL_LEQUAL);
}

// No caster: no map, no shadow, but the receivers still draw their second
// pass. On a see-through floor that shows as more cover: 0.6 alone, then
// 0.3 over it, where the shadow would be as anywhere else.
TEST_F(ShadowCopiedTest, WithoutACasterTheFloorIsUnshadowedAndStillDrawnTwice)
{
    Stage glass;
    glass.spotName = "Key01";
    glass.floorOpacity = 0.6f;
    Scene* scene = load(stageWriter(glass));
    ASSERT_NE(scene, nullptr);
    Rgb once, onceLit;
    shadedFloor(scene, once, onceLit);
    mapsOn(scene);
    Rgb twice, twiceLit;
    shadedFloor(scene, twice, twiceLit);
    EXPECT_NEAR(double(twice.sum()) / double(once.sum()), 0.72 / 0.6, 0.06);
    EXPECT_NEAR(double(twiceLit.sum()) / double(onceLit.sum()), 0.72 / 0.6, 0.06);
}

// A shadow light without a target looks down -z, like its spot cone; one
// straight above its target still makes a map.
TEST_F(ShadowTest, LightsWithoutTargetOrStraightAboveStillCast)
{
    Stage above;
    above.spotPosition = Vec3(0, 100, 0);
    Scene* scene = load(stageWriter(above));
    ASSERT_NE(scene, nullptr);
    mapsOn(scene);
    frame(scene);
    Rgb under = pixelOf(scene, Vec3(0, 0, 0));
    Rgb beside = pixelOf(scene, Vec3(40, 0, 0));
    disable();
    EXPECT_GT(beside.sum(), 3 * under.sum()) << "under " << under.sum() << ", beside " << beside.sum();

    // Without a target, level with the block in front of it: the light looks
    // along -z and the block's shadow falls on a wall behind it.
    SceneWriter w = stageWriter([] {
        Stage s;
        s.spotHasTarget = false;
        s.spotPosition = Vec3(0, 20, 100);
        return s;
    }());
    MeshRecord& wall = w.addMesh(12, "Wall");
    wall.position = Vec3(0, 60, -60);
    wall.rotation = axisAngle(Vec3(1, 0, 0), -1.5707963f);
    addGrid(wall, 240.0f, 120.0f, 12, 6, 1);
    Scene* untargeted = load(w);
    ASSERT_NE(untargeted, nullptr);
    mapsOn(untargeted);
    frame(untargeted);
    Rgb shadowOnWall = pixelOf(untargeted, Vec3(0, 20, -60));
    Rgb litWall = pixelOf(untargeted, Vec3(50, 20, -60));
    disable();
    EXPECT_GT(litWall.sum(), 3 * shadowOnWall.sum())
        << "shadow " << shadowOnWall.sum() << ", lit " << litWall.sum();
}

// ---------------------------------------------------------------------------
// Projector

namespace {

// 64 x 64, black round the edge; inside, the top half red and the bottom
// half green (top row first, as the file stores it).
std::vector<unsigned char> slidePicture()
{
    std::vector<unsigned char> rgb;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 8 && x < 56 && y >= 8 && y < 56;
            unsigned char r = inside && y < 32 ? 200 : 0;
            unsigned char g = inside && y >= 32 ? 200 : 0;
            rgb.insert(rgb.end(), {r, g, 0});
        }
    return rgb;
}

} // namespace

TEST_F(ShadowTest, ProjectorAddsItsPictureInsideItsFrustumOnly)
{
    testimages::ScratchDir dir;
    ASSERT_TRUE(testimages::writeBytes(dir.path("slide.png"), testimages::encodePngRgb(64, 64, slidePicture(), false)));
    Stage stage;
    stage.spotName = "Key01";
    SceneWriter w = stageWriter(stage);
    LightRecord& projector = w.addLight(32, "Slide01", Vec3(0, 150, 40), Vec3(1, 1, 1));
    projector.targetId = 1;
    projector.projectedTexture = "slide.png";
    Scene* scene = load(w, dir.prefix());
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->findProjectorLight(), scene->findLightByName("Slide01"));
    scene->findByName("Block")->setVisible(false);

    const Vec3 nearSide(0, 0, 10), farSide(0, 0, -10), outside(90, 0, 0);
    frame(scene);
    Rgb plainNear = pixelOf(scene, nearSide), plainFar = pixelOf(scene, farSide), plainOut = pixelOf(scene, outside);
    disable();

    scene->setProjectorShadows(true);
    frame(scene);
    Rgb near = pixelOf(scene, nearSide), far = pixelOf(scene, farSide), out = pixelOf(scene, outside);
    // What unit 1 leaves behind for the next effect.
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    GLfloat textureMatrix[16];
    glGetFloatv(GL_TEXTURE_MATRIX, textureMatrix);
    GLint envMode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    GLboolean generating = glIsEnabled(GL_TEXTURE_GEN_S), texturing = glIsEnabled(GL_TEXTURE_2D);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    disable();

    // Upright as seen from behind the projector: the picture's top (red)
    // lands on the far side, its bottom (green) on the near side.
    EXPECT_GT(far.r, plainFar.r + 50) << far.r << " " << far.g;
    EXPECT_NEAR(far.g, plainFar.g, 6);
    EXPECT_GT(near.g, plainNear.g + 50) << near.r << " " << near.g;
    EXPECT_NEAR(near.r, plainNear.r, 6);
    // Clamped: the black edge carries on outside the frustum.
    EXPECT_NEAR(out.sum(), plainOut.sum(), 6);

    EXPECT_FLOAT_EQ(textureMatrix[5], 1.0f);
    EXPECT_FLOAT_EQ(textureMatrix[13], 0.0f);
    EXPECT_EQ(envMode, GL_MODULATE);
    EXPECT_FALSE(generating);
    EXPECT_FALSE(texturing);
}
