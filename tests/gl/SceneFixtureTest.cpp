// The reader against the hand-made scene file of support/SceneFixture.h:
// every field of every record comes out where the exporter put it. The
// scene is written out as text, one line per thing it holds, and compared
// with the values typed here again (not taken from the file's builder).
// GL is needed for the texture names of materials and lights.

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
#include <sstream>
#include <string>

namespace {

const char* const kTextures[] = {"d.png", "s.png", "a.png", "b.png", "o.png", "x.png", "p.png"};

// Numbers as the stream prints them by default: six significant digits,
// enough to tell every value of the file from its neighbours.
std::string nums(std::initializer_list<float> values)
{
    std::ostringstream out;
    for (float v : values)
        out << (out.tellp() > 0 ? " " : "") << v;
    return out.str();
}
std::string nums(const Vec3& v) { return nums({v.x, v.y, v.z}); }
std::string nums(const Color4& c) { return nums({c.r, c.g, c.b, c.a}); }

// The file a texture was loaded from, "-" for none.
std::string file(Texture* t)
{
    for (const char* name : kTextures)
        if (t && TextureManager::getInstance()->find(name) == t)
            return name;
    return t ? "?" : "-";
}

std::string describe(const Material* m)
{
    std::ostringstream out;
    out << "material " << m->getId() << ' ' << m->getName() << ": " << nums(m->getAmbient()) << ", "
        << nums(m->getDiffuse()) << ", " << nums(m->getSpecular()) << ", shininess " << m->getShininess()
        << ", level " << m->getSpecularLevel() << ", opacity " << m->getOpacity() << ", two-sided "
        << m->getTwoSided() << ", additive " << m->getAdditive() << ", mode " << m->getRenderMode() << ", maps "
        << file(m->getPrimaryMap()) << ' ' << file(m->getSecondMap()) << ' ' << file(m->getBumpMap()) << ' '
        << file(m->getOpacityMap()) << ' ' << file(m->getDetailMap()) << '\n';
    return out.str();
}

std::string describe(const SceneObject* o)
{
    std::ostringstream out;
    const Mesh* mesh = dynamic_cast<const Mesh*>(o);
    const char* kind = dynamic_cast<const PathSwarm*>(o) ? "path"
                       : mesh                              ? "mesh"
                       : dynamic_cast<const Dummy*>(o)     ? "dummy"
                       : dynamic_cast<const Marker*>(o)    ? "marker"
                       : dynamic_cast<const Flare*>(o)     ? "flare"
                                                           : "?";
    out << kind << ' ' << o->getId() << ' ' << o->getName() << ": " << nums(o->getPosition()) << ", scale "
        << nums(o->getScale()) << '\n';
    if (mesh) {
        out << "  vertices";
        for (int i = 0; i < mesh->getVertexCount(); ++i)
            out << (i ? ", " : " ") << nums(mesh->getVertex(i).position) << " " << nums(mesh->getVertex(i).colour);
        out << "\n  coords";
        for (int i = 0; i < mesh->getTexCoordCount1(); ++i)
            out << ' ' << nums({mesh->getTexCoord1(i).u, mesh->getTexCoord1(i).v}) << ',';
        out << " second";
        for (int i = 0; i < mesh->getTexCoordCount2(); ++i)
            out << ' ' << nums({mesh->getTexCoord2(i).u, mesh->getTexCoord2(i).v}) << ',';
        out << '\n';
        for (int i = 0; i < mesh->getFaceCount(); ++i) {
            const Face& f = mesh->getFace(i);
            out << "  face";
            for (const int* set : {f.vertexIndex, f.texIndex1, f.texIndex2})
                out << ' ' << set[0] << ' ' << set[1] << ' ' << set[2] << ',';
            out << " material " << f.materialId << ", flags " << std::hex << f.smoothingGroups << std::dec
                << ", shade " << f.colour.r * 256 << '\n';
        }
    }
    if (o->getSampleCount()) {
        out << "  samples every " << o->getSampleInterval() << ':';
        for (int i = 0; i < o->getSampleCount(); ++i) {
            const Quaternion& q = o->getSampleRotations()[size_t(i)];
            out << ' ' << nums(o->getSamplePositions()[size_t(i)]) << ' ' << nums({q.x, q.y, q.z, q.w}) << ',';
        }
        out << '\n';
    }
    for (const PositionKey& k : o->getPositionKeys())
        out << "  position key " << k.frame << ": " << nums(k.position) << ", "
            << nums({k.tension, k.continuity, k.bias, k.unused[0], k.unused[1]}) << '\n';
    for (const RotationKey& k : o->getRotationKeys())
        out << "  rotation key " << k.frame << ": " << nums({k.value[0], k.value[1], k.value[2], k.value[3]}) << '\n';
    return out.str();
}

void expectRotation(const SceneObject* o, const float (&q)[4])
{
    Matrix4 m;
    Quaternion(q[0], q[1], q[2], q[3]).toMatrix(m);
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(o->getRotation().m[i], m.m[i]) << o->getName() << " element " << i;
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
    testimages::TextureFolder folder;
    for (const char* name : kTextures)
        folder.add(name, 200, 100, 50);
    SceneFile sceneFile(scenefixture::handMadeScene());
    SceneReader reader;
    Scene* scene = reader.load(sceneFile.path.c_str(), folder.prefix().c_str());
    ASSERT_NE(scene, nullptr);

    // Shininess is glossiness x 128; the additive map replaces the diffuse
    // one (which still loads), the environment flag picks modes 10 and 11.
    std::string text;
    for (const Material* m = scene->getMaterials(); m; m = m->getNext())
        text += describe(m);
    EXPECT_EQ(text,
              "material 1 red: 0.1 0.05 0.02 1, 0.9 0.15 0.125 1, 0.5 0.6 0.7 1, shininess 32, level 1.5, "
              "opacity 0.7, two-sided 1, additive 0, mode 0, maps - - - - -\n"
              "material 0 chrome: 0.3 0.35 0.4 1, 0.45 0.55 0.65 1, 0.75 0.85 0.95 1, shininess 64, level 2.5, "
              "opacity 1, two-sided 0, additive 0, mode 11, maps - s.png - - -\n"
              "material 2 layered: 0.01 0.02 0.03 1, 0.04 0.05 0.06 1, 0.07 0.08 0.09 1, shininess 16, level 3.5, "
              "opacity 0.3, two-sided 0, additive 1, mode 4, maps a.png s.png b.png o.png x.png\n");
    EXPECT_NE(TextureManager::getInstance()->find("d.png"), nullptr);

    // v is negated on reading; material -1 is material 0; face k is shaded 20k mod 256.
    text.clear();
    for (int id : {100, 101, 102, 103, 400})
        text += describe(scene->findById(id));
    EXPECT_EQ(text,
              "dummy 100 Root: 1 2 3, scale 2 2.5 3.5\n"
              "  position key 5: 1 1.5 2, 0.5 0.25 -0.5 9 10\n"
              "  position key -1: 3 1 1, 0.1 0.2 0.3 0 0\n"
              "mesh 101 Quad: -4 5 -6, scale 1 3 0.5\n"
              "  vertices 0 0 0 1 1 1 1, 1 0 0.5 1 1 1 1, 1 1 0 1 1 1 1, 0 1 -0.5 1 1 1 1\n"
              "  coords 0 -0.25, 1 -0.5, 0.5 -1, second 0.125 -0.75, 0.375 2,\n"
              "  face 0 1 2, 2 1 0, 1 0 1, material 1, flags 5, shade 0\n"
              "  face 0 2 3, 0 0 1, 0 1 0, material 0, flags 80000002, shade 20\n"
              "  face 1 2 3, 1 2 0, 1 1 0, material 2, flags 10, shade 40\n"
              "  samples every 2: 0 0 0 0 0 0 1, 2 4 6 0 0 0.479 0.878, 4 8 12 0 0 0.841 0.54,\n"
              "path 102 Path: 0 0 0, scale 1 1 1\n"
              "  vertices 10 0 0 1 1 1 1, 20 5 0 1 1 1 1\n"
              "  coords 0.5 -0.5, second\n"
              "marker 103 Spot: 7 8 9, scale 1 1 1\n"
              "  rotation key 10: 0.1 0.2 0.3 0.4\n"
              "flare 400 Glint: 3 3.5 4, scale 1 1 1\n");
    SceneObject* root = scene->findById(100);
    expectRotation(root, scenefixture::kDummyTurn);
    expectRotation(root->getFirstChild(), scenefixture::kMeshTurn);
    EXPECT_EQ(root->getFirstChild(), scene->findById(101));
    EXPECT_EQ(scene->getSampleCount(), 3);
    EXPECT_EQ(scene->getSampleInterval(), 2);

    // Range 4 is linear attenuation 0.5; lights take GL lights in file order.
    std::ostringstream out;
    for (const Camera* c = scene->getCameras(); c; c = static_cast<Camera*>(c->getNext()))
        out << "camera " << c->getId() << ' ' << c->getName() << ": " << nums(c->getPosition()) << ", fov "
            << c->getFieldOfView() << ", target " << c->getTargetId() << '\n';
    for (const Light* l = scene->getLights(); l; l = static_cast<Light*>(l->getNext()))
        out << "light " << l->getId() << ' ' << l->getName() << ": " << nums(l->getPosition()) << ", "
            << nums(l->getDiffuse()) << ", attenuation " << l->getLinearAttenuation() << ", target "
            << l->getTargetId() << ", spot " << l->getSpotExponent() << ' ' << l->getSpotCutoff() << ", projects "
            << file(l->getProjectedTexture()) << ", GL light " << l->getGlLight() << '\n';
    EXPECT_EQ(out.str(),
              "camera 200 Camera01: 0 10 100, fov 60, target 103\n"
              "camera 201 Camera02: 5 6 7, fov 30, target 0\n"
              "light 300 Sun: 50 60 70, 1 0.5 0.25 1, attenuation 0.5, target 101, spot 20 60, projects -, "
              "GL light 0\n"
              "light 301 Projector: -1 -2 -3, 0.2 0.4 0.6 1, attenuation 0, target 0, spot 12 45, projects p.png, "
              "GL light 1\n");
    EXPECT_EQ(scene->getCameras()->getTarget(), scene->findById(103));
    EXPECT_EQ(scene->getLights()->getTarget(), scene->findById(101));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
