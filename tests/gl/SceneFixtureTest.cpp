// The reader against the hand-made scene file of support/SceneFixture.h:
// every field of every record comes out where the exporter put it. The
// expected values are typed here again, not taken from the file's builder.
// GL is needed for the texture names of materials and lights.

#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Dummy.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/PathSwarm.h"
#include "support/GLTestContext.h"
#include "support/ImageFiles.h"
#include "support/SceneFixture.h"
#include "support/SceneTestSupport.h"

#include <initializer_list>
#include <vector>

namespace {

// Values go through the reader bit for bit, so they compare exactly.
using Floats = std::vector<float>;

Floats xyz(const Vec3& v)
{
    return {v.x, v.y, v.z};
}

Floats rgba(const Color4& c)
{
    return {c.r, c.g, c.b, c.a};
}

Floats uv(std::initializer_list<TexCoord> coords)
{
    Floats out;
    for (const TexCoord& t : coords)
        out.insert(out.end(), {t.u, t.v});
    return out;
}

void expectRotation(const SceneObject* o, const float (&q)[4])
{
    Matrix4 m;
    Quaternion(q[0], q[1], q[2], q[3]).toMatrix(m);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(o->getRotation().m[i], m.m[i]) << o->getName() << " element " << i;
}

void expectFace(const Face& f, std::initializer_list<int> indices, int materialId, uint32_t flags, int number)
{
    std::vector<int> got;
    for (const int* set : {f.vertexIndex, f.texIndex1, f.texIndex2})
        got.insert(got.end(), set, set + 3);
    EXPECT_EQ(got, std::vector<int>(indices));
    EXPECT_EQ(f.materialId, materialId);
    EXPECT_EQ(f.smoothingGroups, flags);
    EXPECT_FLOAT_EQ(f.colour.r, float(20 * number % 256) / 256.0f);
}

class SceneFixture : public GLTest {
protected:
    void TearDown() override
    {
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }
};

} // namespace

TEST_F(SceneFixture, HandMadeFileReadsFieldForField)
{
    using namespace scenefixture;
    testimages::TextureFolder folder;
    for (const char* name : {"d.png", "s.png", "a.png", "b.png", "o.png", "x.png", "p.png"})
        folder.add(name, 200, 100, 50);
    SceneFile file(handMadeScene());
    SceneReader reader;
    Scene* scene = reader.load(file.path.c_str(), folder.prefix().c_str());
    ASSERT_NE(scene, nullptr);
    TextureManager* textures = TextureManager::getInstance();

    // Materials, in file order.
    Material* red = scene->getMaterials();
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->getId(), 1);
    EXPECT_EQ(red->getName(), "red");
    EXPECT_EQ(rgba(red->getAmbient()), Floats({0.1f, 0.05f, 0.02f, 1}));
    EXPECT_EQ(rgba(red->getDiffuse()), Floats({0.9f, 0.15f, 0.125f, 1}));
    EXPECT_EQ(rgba(red->getSpecular()), Floats({0.5f, 0.6f, 0.7f, 1}));
    EXPECT_FLOAT_EQ(red->getShininess(), 32.0f);
    EXPECT_FLOAT_EQ(red->getSpecularLevel(), 1.5f);
    EXPECT_FLOAT_EQ(red->getOpacity(), 0.7f);
    EXPECT_TRUE(red->getTwoSided());
    EXPECT_EQ(red->getPrimaryMap(), nullptr);
    EXPECT_EQ(red->getSecondMap(), nullptr);
    EXPECT_EQ(red->getRenderMode(), kModeLit);

    Material* chrome = red->getNext();
    ASSERT_NE(chrome, nullptr);
    EXPECT_EQ(chrome->getId(), 0);
    EXPECT_EQ(chrome->getName(), "chrome");
    EXPECT_EQ(rgba(chrome->getAmbient()), Floats({0.3f, 0.35f, 0.4f, 1}));
    EXPECT_EQ(rgba(chrome->getDiffuse()), Floats({0.45f, 0.55f, 0.65f, 1}));
    EXPECT_EQ(rgba(chrome->getSpecular()), Floats({0.75f, 0.85f, 0.95f, 1}));
    EXPECT_FLOAT_EQ(chrome->getShininess(), 64.0f);
    EXPECT_FLOAT_EQ(chrome->getSpecularLevel(), 2.5f);
    EXPECT_FLOAT_EQ(chrome->getOpacity(), 1.0f);
    EXPECT_FALSE(chrome->getTwoSided());
    EXPECT_EQ(chrome->getPrimaryMap(), nullptr);
    EXPECT_EQ(chrome->getSecondMap(), textures->find("s.png"));
    EXPECT_EQ(chrome->getRenderMode(), kModeEnvironmentSecond); // the environment flag

    Material* layered = chrome->getNext();
    ASSERT_NE(layered, nullptr);
    EXPECT_EQ(layered->getId(), 2);
    EXPECT_EQ(layered->getName(), "layered");
    EXPECT_EQ(rgba(layered->getAmbient()), Floats({0.01f, 0.02f, 0.03f, 1}));
    EXPECT_EQ(rgba(layered->getDiffuse()), Floats({0.04f, 0.05f, 0.06f, 1}));
    EXPECT_EQ(rgba(layered->getSpecular()), Floats({0.07f, 0.08f, 0.09f, 1}));
    EXPECT_FLOAT_EQ(layered->getShininess(), 16.0f);
    EXPECT_FLOAT_EQ(layered->getSpecularLevel(), 3.5f);
    EXPECT_FLOAT_EQ(layered->getOpacity(), 0.3f);
    EXPECT_FALSE(layered->getTwoSided());
    // The additive map replaces the diffuse one, which still loaded.
    EXPECT_NE(textures->find("d.png"), nullptr);
    EXPECT_EQ(layered->getPrimaryMap(), textures->find("a.png"));
    EXPECT_TRUE(layered->getAdditive());
    EXPECT_EQ(layered->getSecondMap(), textures->find("s.png"));
    EXPECT_EQ(layered->getBumpMap(), textures->find("b.png"));
    EXPECT_EQ(layered->getOpacityMap(), textures->find("o.png"));
    EXPECT_EQ(layered->getDetailMap(), textures->find("x.png"));
    EXPECT_EQ(layered->getRenderMode(), kModePrimaryAddSecond);
    EXPECT_EQ(layered->getNext(), nullptr);

    // The hierarchy: the mesh under the dummy; dummy, path and marker on top.
    SceneObject* root = scene->findById(100);
    ASSERT_NE(dynamic_cast<Dummy*>(root), nullptr);
    EXPECT_EQ(root->getName(), "Root");
    EXPECT_EQ(xyz(root->getPosition()), Floats({1, 2, 3}));
    expectRotation(root, kDummyTurn);
    EXPECT_EQ(xyz(root->getScale()), Floats({2, 2.5f, 3.5f}));
    int topLevel = 0;
    for (SceneObject* o = scene->getObjects(); o; o = o->getNext())
        ++topLevel;
    EXPECT_EQ(topLevel, 3);

    Mesh* quad = dynamic_cast<Mesh*>(root->getFirstChild());
    ASSERT_NE(quad, nullptr);
    EXPECT_EQ(quad->getId(), 101);
    EXPECT_EQ(quad->getName(), "Quad");
    EXPECT_EQ(quad->getNext(), nullptr);
    EXPECT_EQ(xyz(quad->getPosition()), Floats({-4, 5, -6}));
    expectRotation(quad, kMeshTurn);
    EXPECT_EQ(xyz(quad->getScale()), Floats({1, 3, 0.5f}));
    ASSERT_EQ(quad->getVertexCount(), 4);
    const float vertices[4][3] = {{0, 0, 0}, {1, 0, 0.5f}, {1, 1, 0}, {0, 1, -0.5f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(xyz(quad->getVertex(i).position), Floats(vertices[i], vertices[i] + 3));
        EXPECT_EQ(rgba(quad->getVertex(i).colour), Floats({1, 1, 1, 1}));
    }
    // v is negated on reading.
    ASSERT_EQ(quad->getTexCoordCount1(), 3);
    ASSERT_EQ(quad->getTexCoordCount2(), 2);
    EXPECT_EQ(uv({quad->getTexCoord1(0), quad->getTexCoord1(1), quad->getTexCoord1(2)}),
              Floats({0, -0.25f, 1, -0.5f, 0.5f, -1}));
    EXPECT_EQ(uv({quad->getTexCoord2(0), quad->getTexCoord2(1)}), Floats({0.125f, -0.75f, 0.375f, 2}));
    ASSERT_EQ(quad->getFaceCount(), 2);
    expectFace(quad->getFace(0), {0, 1, 2, 2, 1, 0, 1, 0, 1}, 1, 0x5u, 0);
    expectFace(quad->getFace(1), {0, 2, 3, 0, 0, 1, 0, 1, 0}, 0, 0x80000002u, 1); // -1 is material 0
    EXPECT_EQ(quad->getFace(0).material, red);
    EXPECT_EQ(quad->getFace(1).material, chrome);

    PathSwarm* path = dynamic_cast<PathSwarm*>(scene->findById(102));
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->getName(), "Path");
    EXPECT_EQ(xyz(path->getScale()), Floats({1, 1, 1}));
    EXPECT_EQ(path->getFaceCount(), 0);
    ASSERT_EQ(path->getVertexCount(), 2);
    EXPECT_EQ(xyz(path->getVertex(0).position), Floats({10, 0, 0}));
    EXPECT_EQ(xyz(path->getVertex(1).position), Floats({20, 5, 0}));
    ASSERT_EQ(path->getTexCoordCount1(), 1);
    EXPECT_EQ(uv({path->getTexCoord1(0)}), Floats({0.5f, -0.5f}));
    EXPECT_EQ(path->getTexCoordCount2(), 0);

    Marker* spot = dynamic_cast<Marker*>(scene->findById(103));
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spot->getName(), "Spot");
    EXPECT_EQ(xyz(spot->getPosition()), Floats({7, 8, 9}));

    // Cameras; target 0 is the first top-level object.
    Camera* first = scene->getCameras();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(scene->getCurrentCamera(), first);
    EXPECT_EQ(first->getId(), 200);
    EXPECT_EQ(first->getName(), "Camera01");
    EXPECT_EQ(xyz(first->getPosition()), Floats({0, 10, 100}));
    EXPECT_FLOAT_EQ(first->getFieldOfView(), 60.0f);
    EXPECT_EQ(first->getTargetId(), 103);
    EXPECT_EQ(first->getTarget(), spot);
    Camera* second = static_cast<Camera*>(first->getNext());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->getId(), 201);
    EXPECT_EQ(second->getName(), "Camera02");
    EXPECT_EQ(xyz(second->getPosition()), Floats({5, 6, 7}));
    EXPECT_FLOAT_EQ(second->getFieldOfView(), 30.0f);
    EXPECT_EQ(second->getTargetId(), 0);
    EXPECT_EQ(second->getTarget(), scene->getObjects());
    EXPECT_EQ(second->getNext(), nullptr);

    // Lights: range 4 is linear attenuation 0.5.
    Light* sun = scene->getLights();
    ASSERT_NE(sun, nullptr);
    EXPECT_EQ(sun->getId(), 300);
    EXPECT_EQ(sun->getName(), "Sun");
    EXPECT_EQ(xyz(sun->getPosition()), Floats({50, 60, 70}));
    EXPECT_EQ(rgba(sun->getDiffuse()), Floats({1, 0.5f, 0.25f, 1}));
    EXPECT_FLOAT_EQ(sun->getLinearAttenuation(), 0.5f);
    EXPECT_EQ(sun->getTargetId(), 101);
    EXPECT_EQ(sun->getTarget(), quad);
    EXPECT_FLOAT_EQ(sun->getSpotExponent(), 20.0f);
    EXPECT_FLOAT_EQ(sun->getSpotCutoff(), 60.0f);
    EXPECT_EQ(sun->getProjectedTexture(), nullptr);
    EXPECT_EQ(sun->getGlLight(), 0);
    Light* projector = static_cast<Light*>(sun->getNext());
    ASSERT_NE(projector, nullptr);
    EXPECT_EQ(projector->getId(), 301);
    EXPECT_EQ(projector->getName(), "Projector");
    EXPECT_EQ(xyz(projector->getPosition()), Floats({-1, -2, -3}));
    EXPECT_EQ(rgba(projector->getDiffuse()), Floats({0.2f, 0.4f, 0.6f, 1}));
    EXPECT_FLOAT_EQ(projector->getLinearAttenuation(), 0.0f);
    EXPECT_EQ(projector->getTargetId(), 0);
    EXPECT_EQ(projector->getTarget(), nullptr);
    EXPECT_FLOAT_EQ(projector->getSpotExponent(), 12.0f);
    EXPECT_FLOAT_EQ(projector->getSpotCutoff(), 45.0f);
    EXPECT_EQ(projector->getProjectedTexture(), textures->find("p.png"));
    EXPECT_EQ(projector->getGlLight(), 1);

    Flare* glint = scene->getFlares();
    ASSERT_NE(glint, nullptr);
    EXPECT_EQ(glint->getId(), 400);
    EXPECT_EQ(glint->getName(), "Glint");
    EXPECT_EQ(xyz(glint->getPosition()), Floats({3, 3.5f, 4}));

    // Animation: samples on the mesh, position keys on the dummy, rotation
    // keys on the marker.
    EXPECT_EQ(quad->getAnimationKind(), kAnimationSampled);
    EXPECT_EQ(quad->getSampleInterval(), 2);
    EXPECT_EQ(scene->getSampleCount(), 3);
    EXPECT_EQ(scene->getSampleInterval(), 2);
    ASSERT_EQ(quad->getSampleCount(), 3);
    const float samples[3][7] = {
        {0, 0, 0, 0, 0, 0, 1}, {2, 4, 6, 0, 0, 0.479f, 0.878f}, {4, 8, 12, 0, 0, 0.841f, 0.540f}};
    for (int i = 0; i < 3; ++i) {
        const Quaternion& q = quad->getSampleRotations()[size_t(i)];
        EXPECT_EQ(xyz(quad->getSamplePositions()[size_t(i)]), Floats(samples[i], samples[i] + 3)) << "sample " << i;
        EXPECT_EQ(Floats({q.x, q.y, q.z, q.w}), Floats(samples[i] + 3, samples[i] + 7)) << "sample " << i;
    }

    EXPECT_EQ(root->getAnimationKind(), kAnimationKeyed);
    ASSERT_EQ(root->getPositionKeys().size(), 2u);
    const PositionKey& k0 = root->getPositionKeys()[0];
    EXPECT_EQ(k0.frame, 5); // the low 16 bits
    EXPECT_EQ(xyz(k0.position), Floats({1, 1.5f, 2}));
    EXPECT_EQ(Floats({k0.tension, k0.continuity, k0.bias, k0.unused[0], k0.unused[1]}),
              Floats({0.5f, 0.25f, -0.5f, 9, 10}));
    const PositionKey& k1 = root->getPositionKeys()[1];
    EXPECT_EQ(k1.frame, -1);
    EXPECT_EQ(xyz(k1.position), Floats({3, 1, 1}));
    EXPECT_EQ(Floats({k1.tension, k1.continuity, k1.bias}), Floats({0.1f, 0.2f, 0.3f}));

    EXPECT_EQ(spot->getAnimationKind(), kAnimationKeyed);
    ASSERT_EQ(spot->getRotationKeys().size(), 1u);
    const RotationKey& r = spot->getRotationKeys()[0];
    EXPECT_EQ(r.frame, 10);
    EXPECT_EQ(Floats(r.value, r.value + 4), Floats({0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
