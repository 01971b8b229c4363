// Scene drawing on a real GL: the traversal order and transforms, the frame's
// fatal checks, fog, and the mesh, path swarm and flare drawing paths read
// back as pixels.

#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "gl/PBuffer.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/PathSwarm.h"
#include "scene/SceneTextures.h"
#include "platform/GLWindow.h"
#include "support/GLTestContext.h"
#include "support/ImageFiles.h"
#include "support/SceneTestSupport.h"
#include "tools/scenewriter/MeshShapes.h"

#include <GL/glext.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

using namespace testimages;
using ::testing::ExitedWithCode;

namespace {

// An object that notes every draw with the modelview it was drawn under.
struct DrawLog {
    std::vector<std::string> names;
    std::vector<std::array<float, 16>> modelviews;
};

class Recorder : public SceneObject {
public:
    Recorder(const char* name, DrawLog& log, Material* material = nullptr)
        : SceneObject(name, 0), log(log), material(material)
    {
    }
    void draw() override
    {
        log.names.push_back(name);
        std::array<float, 16> m{};
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        log.modelviews.push_back(m);
    }
    SceneObject* clone() const override { return nullptr; }
    Material* getMaterial() const override { return material; }

private:
    DrawLog& log;
    Material* material;
};

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(int x, int y)
{
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

void clearFrame()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

// A quad in the x-y plane facing +z, `half` from the centre to each side,
// with texture coordinates 0..1.
void addQuad(MeshRecord& m, float half, int32_t materialId)
{
    uint32_t a = m.addVertex(Vec3(-half, -half, 0));
    uint32_t b = m.addVertex(Vec3(half, -half, 0));
    uint32_t c = m.addVertex(Vec3(half, half, 0));
    uint32_t d = m.addVertex(Vec3(-half, half, 0));
    m.addCoord1(0, 0);
    m.addCoord1(1, 0);
    m.addCoord1(1, 1);
    m.addCoord1(0, 1);
    m.addFace(a, b, c, materialId);
    m.addFace(a, c, d, materialId);
}

// The usual stage: a target dummy at the origin first (cameras with target
// 0 look at it), a camera on +z and a white light beside it.
void addStage(SceneWriter& w, float cameraZ = 50.0f)
{
    w.addDummy(1, "Target");
    w.addCamera(2, "Camera01", Vec3(0, 0, cameraZ), 45.0f, 1);
    w.addLight(3, "Omni01", Vec3(0, 0, cameraZ), Vec3(1, 1, 1));
}

class SceneRender : public GLTest {
protected:
    void TearDown() override
    {
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }
    Scene* load(const SceneWriter& w, const TextureFolder* folder = nullptr)
    {
        files.emplace_back(std::make_unique<SceneFile>(w, std::to_string(files.size()).c_str()));
        SceneReader reader;
        return reader.load(files.back()->path.c_str(), folder ? folder->prefix().c_str() : "");
    }
    Scene* frame(const SceneWriter& w, const TextureFolder* folder = nullptr)
    {
        Scene* scene = load(w, folder);
        if (scene) {
            clearFrame();
            scene->transformAndRender();
        }
        return scene;
    }
    std::vector<std::unique_ptr<SceneFile>> files;
};

} // namespace

// ---------------------------------------------------------------------------
// Traversal

TEST_F(SceneRender, SkyFirstOpaqueThenTransparentWhateverTheFileOrder)
{
    DrawLog log;
    Material glass("glass", 1), stone("stone", 2), sky("sky", 3), smoke("smoke", 4);
    glass.setOpacity(0.5f);
    smoke.setAdditive(true);
    sky.setRenderMode(kModeEnvironment);
    Scene scene;
    scene.addObject(new Recorder("glass", log, &glass));
    scene.addObject(new Recorder("stone", log, &stone));
    scene.addObject(new Recorder("bare", log));
    scene.addObject(new Recorder("smoke", log, &smoke));
    scene.addObject(new Recorder("sky", log, &sky));
    scene.addCamera(new Camera("Camera01", 9));
    scene.sortObjects();
    scene.transformAndRender();
    EXPECT_EQ(log.names, (std::vector<std::string>{"sky", "stone", "bare", "glass", "smoke"}));

    // Only transparent objects: all kept, in file order.
    DrawLog second;
    Scene clear;
    clear.addObject(new Recorder("b", second, &smoke));
    clear.addObject(new Recorder("a", second, &glass));
    clear.addCamera(new Camera("Camera01", 9));
    clear.sortObjects();
    clear.transformAndRender();
    EXPECT_EQ(second.names, (std::vector<std::string>{"b", "a"}));
}

TEST_F(SceneRender, HiddenParentsDrawTheirChildrenUnderTheirTransform)
{
    DrawLog log;
    Scene scene;
    Recorder* parent = new Recorder("parent", log);
    parent->setPosition(10, 0, 0);
    parent->setScale(2, 2, 2);
    parent->setVisible(false);
    Recorder* child = new Recorder("child", log);
    child->setPosition(1, 0, 0);
    parent->addChild(child);
    scene.addObject(parent);
    // Mirrored: the copy is scaled by the mirror and not by its own scale.
    Recorder* mirrored = new Recorder("mirrored", log);
    mirrored->setPosition(5, 0, 0);
    mirrored->setScale(3, 3, 3);
    mirrored->setMirrored(true, Vec3(-1, 1, 1));
    scene.addObject(mirrored);
    scene.addCamera(new Camera("Camera01", 9)); // no target: the view is the identity
    scene.transformAndRender();

    ASSERT_EQ(log.names, (std::vector<std::string>{"child", "mirrored", "mirrored"}));
    // Child origin: parent position + parent scale x child position.
    EXPECT_FLOAT_EQ(log.modelviews[0][12], 12.0f);
    EXPECT_FLOAT_EQ(log.modelviews[0][0], 2.0f);
    // The mirrored copy first: at -5, not scaled by 3.
    EXPECT_FLOAT_EQ(log.modelviews[1][12], -5.0f);
    EXPECT_FLOAT_EQ(log.modelviews[1][0], -1.0f);
    EXPECT_FLOAT_EQ(log.modelviews[2][12], 5.0f);
    EXPECT_FLOAT_EQ(log.modelviews[2][0], 3.0f);

    // Every push of the traversal was popped.
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(SceneRender, TheFrameStartsFromAKnownState)
{
    SceneWriter w;
    addStage(w);
    Scene* scene = load(w);
    ASSERT_NE(scene, nullptr);
    const GLfloat grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, grey);
    glEnable(GL_LIGHT5);
    scene->setFog(true);
    scene->transformAndRender();
    GLfloat ambient[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.0f);
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT5));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0)); // the scene's own light
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    scene->setCulling(false);
    scene->transformAndRender();
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(SceneRender, AFrameWithoutObjectsOrCameraIsFatal)
{
    EXPECT_EXIT(
        {
            Scene empty;
            empty.addCamera(new Camera("Camera01", 1));
            empty.transformAndRender();
        },
        ExitedWithCode(1), "error: no objects in scene\n");
    EXPECT_EXIT(
        {
            Scene blind;
            blind.addObject(new Camera("NotACamera", 1));
            blind.transformAndRender();
        },
        ExitedWithCode(1), "error: no current camera\n");
    EXPECT_EXIT(
        {
            Scene scene;
            scene.addObject(new Camera("Thing", 1));
            scene.addCamera(new Camera("Camera01", 2));
            glEnable(GL_LINE); // not a capability: GL_INVALID_ENUM
            scene.transformAndRender();
        },
        ExitedWithCode(1), "error: GL error \\(GL_INVALID_ENUM\\) in: Scene::transformAndRender\n");
}

// ---------------------------------------------------------------------------
// Fog

TEST_F(SceneRender, LinearFogIgnoresTheDensity)
{
    SceneWriter w;
    addStage(w);
    addPlainMaterial(w).diffuse = Vec3(1, 1, 1);
    addQuad(w.addMesh(10, "Wall"), 15.0f, 1);
    Scene* scene = load(w);
    ASSERT_NE(scene, nullptr);
    scene->setFog(true);
    scene->setFogColour(0.2f, 0.4f, 0.6f, 1.0f);
    scene->setFogMode(GL_LINEAR);
    scene->setFogRange(0.0f, 1.0f);
    std::vector<Rgb> seen;
    for (float density : {0.001f, 5.0f}) {
        scene->setFogDensity(density);
        clearFrame();
        scene->transformAndRender();
        seen.push_back(pixelAt(kWidth / 2, kHeight / 2));
    }
    // The wall is 50 units away: wholly in the fog, whatever the density.
    EXPECT_NEAR(seen[0].r, 51, 1);
    EXPECT_NEAR(seen[0].g, 102, 1);
    EXPECT_NEAR(seen[0].b, 153, 1);
    EXPECT_EQ(seen[1].r, seen[0].r);
    EXPECT_EQ(seen[1].b, seen[0].b);

    // Exponential fog does follow the density.
    scene->setFogMode(GL_EXP);
    scene->setFogDensity(0.001f);
    clearFrame();
    scene->transformAndRender();
    Rgb thin = pixelAt(kWidth / 2, kHeight / 2);
    EXPECT_GT(thin.r, 150); // mostly the lit white wall
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// ---------------------------------------------------------------------------
// Meshes

TEST_F(SceneRender, LitAndTexturedMeshes)
{
    TextureFolder folder;
    folder.add("red.png", 255, 0, 0);
    SceneWriter w;
    addStage(w);
    MaterialRecord& lit = w.addMaterial(1, "lit");
    lit.diffuse = Vec3(0, 1, 0);
    lit.ambient = Vec3(0, 0, 0);
    MaterialRecord& textured = w.addMaterial(2, "textured");
    textured.diffuseMap = "red.png";
    textured.diffuse = Vec3(1, 1, 1);
    MeshRecord& left = w.addMesh(10, "Left");
    left.position = Vec3(-8, 0, 0);
    addQuad(left, 5.0f, 1);
    MeshRecord& right = w.addMesh(11, "Right");
    right.position = Vec3(8, 0, 0);
    addQuad(right, 5.0f, 2);
    Scene* scene = frame(w, &folder);
    ASSERT_NE(scene, nullptr);
    // Projected x of +-8 at distance 50 with a 45 degree view, aspect 1.333.
    const int offset = int(8.0f / (50.0f * std::tan(22.5f * 3.14159265f / 180.0f) * 1.333f) * kWidth / 2);
    Rgb green = pixelAt(kWidth / 2 - offset, kHeight / 2);
    Rgb red = pixelAt(kWidth / 2 + offset, kHeight / 2);
    EXPECT_GT(green.g, 200);
    EXPECT_LT(green.r, 10);
    EXPECT_GT(red.r, 200);
    EXPECT_LT(red.g, 10);
    EXPECT_EQ(pixelAt(kWidth / 2, kHeight / 2).g, 0); // the gap between them
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneRender, RampShadingWithAnOutline)
{
    SceneWriter w;
    addStage(w, 60.0f);
    addPlainMaterial(w);
    addSphere(w.addMesh(10, "Ball"), 12.0f, 24, 16, 1);
    Scene* scene = load(w);
    ASSERT_NE(scene, nullptr);
    Mesh* ball = static_cast<Mesh*>(scene->findByName("Ball"));
    Material* m = ball->getMaterial();
    m->setRamp(getToonRamp());
    ball->setRenderMode(kModeRamp);
    clearFrame();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f); // the outline shows against grey
    glClear(GL_COLOR_BUFFER_BIT);
    scene->transformAndRender();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    ASSERT_EQ(ball->getReflectionCoords().size(), size_t(ball->getFaceCount()) * 6);

    // Every ball pixel is one of the ramp's colours or the black outline.
    unsigned char light[3], middle[3], dark[3];
    toonRampColour(0.9f, light);
    toonRampColour(0.5f, middle);
    toonRampColour(0.1f, dark);
    int counts[3] = {};
    const int radius = 40;
    for (int dy = -radius; dy <= radius; dy += 4) {
        for (int dx = -radius; dx <= radius; dx += 4) {
            Rgb p = pixelAt(kWidth / 2 + dx, kHeight / 2 + dy);
            auto near = [&p](const unsigned char* c) {
                return std::abs(p.r - c[0]) <= 2 && std::abs(p.g - c[1]) <= 2 && std::abs(p.b - c[2]) <= 2;
            };
            if (near(light))
                ++counts[0];
            else if (near(middle))
                ++counts[1];
            else if (near(dark))
                ++counts[2];
        }
    }
    // The lit side faces up and left: all three bands show.
    EXPECT_GT(counts[0], 0);
    EXPECT_GT(counts[1], 0);
    EXPECT_GT(counts[2], 0);
    // Up-left of the centre is in the light band, down-right in the dark one.
    Rgb upLeft = pixelAt(kWidth / 2 - 20, kHeight / 2 + 25);
    Rgb downRight = pixelAt(kWidth / 2 + 30, kHeight / 2 - 35);
    EXPECT_EQ(upLeft.r, light[0]);
    EXPECT_EQ(downRight.r, dark[0]);
    // The silhouette: a black ring just outside the lit ball (4-pixel lines).
    float silhouette = std::tan(std::asin(12.0f / 60.0f)) / std::tan(22.5f * 3.14159265f / 180.0f) * kHeight / 2;
    Rgb rim = pixelAt(kWidth / 2, kHeight / 2 + int(silhouette + 1.5f));
    EXPECT_LT(rim.r + rim.g + rim.b, 30);
    // The frame's state is back: no wide lines, no culled front faces.
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_FLOAT_EQ(width, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
}

TEST_F(SceneRender, EnvironmentCubeRendersTheSceneAndPutsEverythingBack)
{
    TextureFolder folder;
    folder.add("blue.png", 0, 0, 255);
    SceneWriter w;
    w.addDummy(1, "Target");
    w.addCamera(2, "Camera01", Vec3(0, 0, 50), 45.0f, 1);
    w.addLight(3, "Omni01", Vec3(0, 0, 50), Vec3(3, 3, 3));
    MaterialRecord& chrome = w.addMaterial(1, "chrome");
    chrome.environment = true;
    MaterialRecord& paint = w.addMaterial(2, "paint");
    paint.diffuseMap = "blue.png";
    // Lit by the ambient part: the light positions stay those of the main
    // view while the cube is drawn.
    paint.ambient = Vec3(1, 1, 1);
    addSphere(w.addMesh(10, "Ball"), 8.0f, 16, 12, 1);
    // A wall beside the ball that the cube sees on its +x face.
    MeshRecord& wall = w.addMesh(11, "Wall");
    wall.position = Vec3(30, 0, 0);
    wall.rotation = axisAngle(Vec3(0, 1, 0), -1.5707963f);
    addQuad(wall, 40.0f, 2);
    Scene* scene = load(w, &folder);
    ASSERT_NE(scene, nullptr);
    Camera* camera = scene->getCurrentCamera();
    SceneObject* target = camera->getTarget();

    clearFrame();
    scene->transformAndRender();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(camera->getTarget(), target);
    EXPECT_FLOAT_EQ(camera->getPosition().z, 50.0f);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    // The +x face of the shared cube holds the blue wall.
    Texture* cube = scene->findMaterial(1)->getEnvironmentCube();
    ASSERT_NE(cube, nullptr);
    std::vector<unsigned char> face(size_t(cube->width) * cube->width * 4);
    cube->bind();
    glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    size_t centre = (size_t(cube->width) / 2 * cube->width + cube->width / 2) * 4;
    EXPECT_GT(face[centre + 2], 100);
    EXPECT_LT(face[centre + 0], 20);
    // ... and the ball reflects it where its normal is half way between
    // the view and +x; the middle of the ball reflects the empty +z.
    const int ballRadius = int(8.0f / (50.0f * std::tan(22.5f * 3.14159265f / 180.0f)) * kHeight / 2);
    Rgb side = pixelAt(kWidth / 2 + int(ballRadius * 0.707f), kHeight / 2);
    Rgb middle = pixelAt(kWidth / 2, kHeight / 2);
    EXPECT_GT(side.b, 100);
    EXPECT_LT(side.r, 20);
    EXPECT_LT(middle.b, 20);
}

TEST_F(SceneRender, EnvironmentMeshesInsideACubeDoNotStartCubesOfTheirOwn)
{
    SceneWriter w;
    addStage(w);
    MaterialRecord& chrome = w.addMaterial(1, "chrome");
    chrome.environment = true;
    addSphere(w.addMesh(10, "Ball"), 8.0f, 12, 8, 1);
    MeshRecord& ring = w.addMesh(11, "Ring");
    ring.position = Vec3(20, 0, 0);
    addTorus(ring, 10.0f, 2.0f, 16, 6, 1);
    Scene* scene = load(w);
    ASSERT_NE(scene, nullptr);
    DrawLog log;
    scene->addObject(new Recorder("witness", log));
    clearFrame();
    scene->transformAndRender();
    // The frame itself, then six faces for each of the two cubes.
    EXPECT_EQ(log.names.size(), 13u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneRender, BumpModesDrawTheirLightVectors)
{
    TextureFolder folder;
    folder.add("flat.png", 128, 128, 255); // tangent-space normal straight out
    folder.add("colour.png", 255, 255, 0);
    SceneWriter w;
    addStage(w);
    MaterialRecord& bumpy = w.addMaterial(1, "bumpy");
    bumpy.secondMap = "colour.png";
    bumpy.bumpMap = "flat.png";
    addQuad(w.addMesh(10, "Wall"), 15.0f, 1);
    Scene* scene = load(w, &folder);
    ASSERT_NE(scene, nullptr);
    ASSERT_EQ(scene->findMaterial(1)->getRenderMode(), kModeBumpSecond);
    Light* light = scene->getLights();
    Mesh* wall = static_cast<Mesh*>(scene->findByName("Wall"));
    ASSERT_EQ(wall->getLightVectors().size(), size_t(wall->getFaceCount()) * 9);

    // A light straight in front lights the flat wall fully; one far to the
    // side grazes it.
    light->setPosition(0, 0, 1000);
    clearFrame();
    scene->transformAndRender();
    Rgb front = pixelAt(kWidth / 2, kHeight / 2);
    light->setPosition(100000, 0, 1);
    clearFrame();
    scene->transformAndRender();
    Rgb grazing = pixelAt(kWidth / 2, kHeight / 2);
    EXPECT_GT(front.r, 200);
    EXPECT_LT(front.b, 60); // the yellow second map
    EXPECT_LT(grazing.r, front.r / 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// ---------------------------------------------------------------------------
// Path swarm and flares

TEST_F(SceneRender, PathSwarmChasesAClosedPathAndStartsAgainWhenTimeGoesBack)
{
    SceneWriter w;
    addStage(w, 400.0f);
    MeshRecord& path = w.addMesh(10, "Path");
    for (Vec3 p : {Vec3(-50, 0, 0), Vec3(0, 50, 0), Vec3(50, 0, 0), Vec3(0, -50, 0)})
        path.addVertex(p);
    Scene* scene = load(w);
    ASSERT_NE(scene, nullptr);
    PathSwarm* swarm = dynamic_cast<PathSwarm*>(scene->findByName("Path"));
    ASSERT_NE(swarm, nullptr);

    // Fifty scene units a segment, round the four points and back to 0.
    Vec3 p0 = swarm->pathPoint(0.0f);
    EXPECT_FLOAT_EQ(p0.y, 50.0f); // segment 0 runs from vertex 1 to vertex 2
    for (float t = 0.0f; t <= 200.0f; t += 10.0f)
        swarm->pathPoint(t);
    EXPECT_EQ(swarm->getSegment(), 0);
    swarm->pathPoint(150.0f + 200.0f);
    EXPECT_EQ(swarm->getSegment(), 3); // reads vertices 3, 0, 1, 2

    std::vector<Vec3> first;
    for (float t = 0.0f; t <= 30.0f; t += 0.5f) {
        scene->setTime(t);
        clearFrame();
        scene->transformAndRender();
    }
    for (int i = 0; i < kSwarmParticles; ++i)
        first.push_back(swarm->getParticles()[i].position);
    // Trails are drawn additively in warm colours.
    int lit = 0;
    for (int y = 0; y < kHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2)
            if (Rgb p = pixelAt(x, y); p.r > 0 && p.r >= p.b)
                ++lit;
    EXPECT_GT(lit, 20);

    // Back to the start: the same seed gives the same flight.
    for (float t = 0.0f; t <= 30.0f; t += 0.5f) {
        scene->setTime(t);
        scene->transformAndRender();
    }
    for (int i = 0; i < kSwarmParticles; ++i) {
        EXPECT_FLOAT_EQ(swarm->getParticles()[i].position.x, first[size_t(i)].x);
        EXPECT_FLOAT_EQ(swarm->getParticles()[i].position.z, first[size_t(i)].z);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneRender, FlareHalosLightOnlyWhenTheCoreIsSeen)
{
    SceneWriter w;
    addStage(w, 100.0f);
    addPlainMaterial(w);
    MeshRecord& wall = w.addMesh(10, "Wall");
    wall.position = Vec3(0, 0, 20);
    addQuad(wall, 10.0f, 1);
    w.addFlare(20, "Hidden", Vec3(0, 0, 0));   // behind the wall
    w.addFlare(21, "Open", Vec3(40, 0, 0));    // beside it
    Scene* scene = load(w);
    ASSERT_NE(scene, nullptr);
    Flare* hidden = static_cast<Flare*>(scene->findByName("Hidden"));
    Flare* open = static_cast<Flare*>(scene->findByName("Open"));
    Texture* sprite = getFlareSprite();
    hidden->setDefaultSprites(sprite);
    open->setDefaultSprites(sprite);
    ASSERT_EQ(open->coreSprites().size(), 1u);

    clearFrame();
    scene->transformAndRender();
    EXPECT_FLOAT_EQ(open->haloSprites()[0].haloValueA, 1.0f);
    EXPECT_FLOAT_EQ(open->haloSprites()[0].haloValueB, -2.0f);
    EXPECT_FLOAT_EQ(open->haloSprites()[0].size, 32.0f);
    EXPECT_FLOAT_EQ(hidden->haloSprites()[0].haloValueA, 0.0f);

    // Once hidden, a halo fades out with time.
    open->setPosition(0, 0, 0);
    scene->advanceFlares(0.0f);
    scene->advanceFlares(6.0f);
    EXPECT_FLOAT_EQ(open->haloSprites()[0].haloValueA, 0.6f);
    scene->advanceFlares(60.0f);
    EXPECT_FLOAT_EQ(open->haloSprites()[0].haloValueA, 0.0f);
    clearFrame();
    scene->transformAndRender();
    EXPECT_FLOAT_EQ(open->haloSprites()[0].haloValueA, 0.0f);

    // Without the occlusion test only the cores draw, and halos stay dark.
    open->setPosition(40, 0, 0);
    open->setOcclusionTest(false);
    clearFrame();
    scene->transformAndRender();
    EXPECT_FLOAT_EQ(open->haloSprites()[0].haloValueA, 0.0f);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Contexts do not share queries: a flare drawn into a render target makes
// its queries in the target's context and deletes them there, whichever
// context is current when it goes.
TEST_F(SceneRender, FlareQueriesAreDeletedInTheContextTheyWereMadeIn)
{
    PBuffer target;
    ASSERT_TRUE(target.create(64, 64, false));
    auto* flare = new Flare("Sun", 1);
    flare->setDefaultSprites(nullptr);
    target.enable();
    flare->draw();
    ASSERT_EQ(flare->occlusionQueries().size(), 1u);
    const unsigned query = flare->occlusionQueries()[0];
    EXPECT_TRUE(glext::glIsQueryARB(query));
    target.disable();
    delete flare;
    EXPECT_EQ(platform::currentContext(), platform::windowContext());
    target.enable();
    EXPECT_FALSE(glext::glIsQueryARB(query)) << "the query outlived its flare";
    target.disable();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The occlusion test draws each core a second time, visibly: a
// half-transparent white core over black comes out at three quarters, not at
// the half an untested core gives.
TEST_F(SceneRender, TestedFlareCoresShineTwiceAsDrawn)
{
    Flare flare("Glint", 1);
    flare.setSpriteCount(1);
    flare.coreSprites()[0].size = 0.5f;
    flare.coreSprites()[0].colour = Color4(1.0f, 1.0f, 1.0f, 0.5f);
    flare.haloSprites()[0].colour = Color4(1.0f, 1.0f, 1.0f, 0.0f); // its halo never shows
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    clearFrame();
    flare.draw();
    EXPECT_NEAR(pixelAt(kWidth / 2, kHeight / 2).r, 128, 2);
    flare.setOcclusionTest(true);
    clearFrame();
    flare.draw();
    EXPECT_NEAR(pixelAt(kWidth / 2, kHeight / 2).r, 191, 2);
    EXPECT_FLOAT_EQ(flare.haloSprites()[0].haloValueA, 1.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
