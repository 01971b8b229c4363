// The object model: smoothing-group normals and tangent frames, the
// de-indexed arrays, the drawing order of the top level, searches, clones and
// the ownership of the sibling and child chains.

#include "support/SceneTestSupport.h"

#include "scene/Camera.h"
#include "scene/Dummy.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/Mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <typeinfo>

namespace {

constexpr float kHalfRoot2 = 0.70710678f;

void expectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// Two triangles sharing the edge from vertex 0 to vertex 1: face 0 faces +z,
// face 1 faces +y.
Mesh* makeHinge(uint32_t groupsA, uint32_t groupsB)
{
    Mesh* mesh = new Mesh("Hinge", 1);
    std::vector<Vertex> vertices(4);
    vertices[0].position = Vec3(0, 0, 0);
    vertices[1].position = Vec3(1, 0, 0);
    vertices[2].position = Vec3(0, 1, 0);
    vertices[3].position = Vec3(0, 0, 1);
    mesh->setVertices(std::move(vertices));
    std::vector<Face> faces(2);
    int a[3] = {0, 1, 2}, b[3] = {0, 3, 1};
    for (int i = 0; i < 3; ++i) {
        faces[0].vertexIndex[i] = a[i];
        faces[1].vertexIndex[i] = b[i];
    }
    faces[0].smoothingGroups = groupsA;
    faces[1].smoothingGroups = groupsB;
    mesh->setFaces(std::move(faces));
    return mesh;
}

} // namespace

TEST(MeshPrepare, SmoothingGroupsDecideWhetherCornersShareANormal)
{
    struct Case {
        uint32_t a, b;
        bool shared;
    };
    // Different groups split; equal groups, and mask 0 beside bit 0, average;
    // mask 0 beside another group splits.
    const Case cases[] = {{1, 2, false}, {1, 1, true}, {0, 1, true}, {0, 0, true}, {0, 2, false}, {0x80000000u, 0x80000000u, true}};
    for (const Case& c : cases) {
        std::unique_ptr<Mesh> mesh(makeHinge(c.a, c.b));
        mesh->prepare();
        SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
        expectVec(mesh->getFace(0).faceNormal, 0, 0, 1);
        expectVec(mesh->getFace(1).faceNormal, 0, 1, 0);
        // Vertex 0 is corner 0 of both faces.
        const Vec3& n0 = mesh->getCornerNormal(0, 0);
        const Vec3& n1 = mesh->getCornerNormal(1, 0);
        if (c.shared) {
            EXPECT_EQ(mesh->getFace(0).normalIndex[0], mesh->getFace(1).normalIndex[0]);
            expectVec(n0, 0, kHalfRoot2, kHalfRoot2);
            EXPECT_EQ(mesh->getSharedNormalCount(), 4);
        } else {
            expectVec(n0, 0, 0, 1);
            expectVec(n1, 0, 1, 0);
            EXPECT_EQ(mesh->getSharedNormalCount(), 6);
        }
        // Corners only one face touches keep that face's normal.
        expectVec(mesh->getCornerNormal(0, 2), 0, 0, 1);
        // The plain vertex normal always averages.
        expectVec(mesh->getVertex(0).normal, 0, kHalfRoot2, kHalfRoot2);
    }
}

TEST(MeshPrepare, AFaceInSeveralGroupsTakesItsHighestGroup)
{
    // Face 0 in groups 0 and 1, face 1 in group 1 only: they meet in group 1.
    std::unique_ptr<Mesh> mesh(makeHinge(0x3, 0x2));
    mesh->prepare();
    expectVec(mesh->getCornerNormal(0, 0), 0, kHalfRoot2, kHalfRoot2);
    expectVec(mesh->getCornerNormal(1, 0), 0, kHalfRoot2, kHalfRoot2);
    // Face 0's group-0 normals are kept too: vertices 0, 1 and 2 hold two
    // normals each, vertex 3 one.
    EXPECT_EQ(mesh->getSharedNormalCount(), 7);
}

TEST(MeshPrepare, TangentFrameFollowsTheTextureAndFlipsToTheFaceSide)
{
    for (float storedV : {-1.0f, 1.0f}) {
        Mesh mesh("Tri", 1);
        std::vector<Vertex> v(3);
        v[1].position = Vec3(1, 0, 0);
        v[2].position = Vec3(0, 1, 0);
        mesh.setVertices(std::move(v));
        std::vector<TexCoord> t(3);
        t[1].u = 1.0f;
        t[2].v = storedV;
        mesh.setTexCoords1(std::move(t));
        std::vector<Face> f(1);
        for (int i = 0; i < 3; ++i)
            f[0].vertexIndex[i] = f[0].texIndex1[i] = i;
        mesh.setFaces(std::move(f));
        mesh.prepare();
        SCOPED_TRACE(storedV);
        if (storedV < 0) {
            expectVec(mesh.getVertex(0).tangent, -1, 0, 0);
            expectVec(mesh.getVertex(0).binormal, 0, -1, 0);
        } else {
            // cross(t, s) pointed away from the face normal: both negated.
            expectVec(mesh.getVertex(0).tangent, 1, 0, 0);
            expectVec(mesh.getVertex(0).binormal, 0, -1, 0);
        }
    }
}

TEST(MeshResolve, ArraysHoldOneEntryPerCornerInFaceOrder)
{
    SceneWriter w;
    MaterialRecord& reflective = w.addMaterial(1, "shiny");
    (void)reflective;
    MeshRecord& m = w.addMesh(2, "Quad");
    m.addVertex(Vec3(0, 0, 0));
    m.addVertex(Vec3(1, 0, 0));
    m.addVertex(Vec3(1, 1, 0));
    m.addVertex(Vec3(0, 1, 0));
    m.addCoord1(0, 0);
    m.addCoord1(1, 0);
    m.addCoord1(1, 1);
    m.addCoord1(0, 1);
    m.addFace(0, 1, 2, 1);
    m.addFace(0, 2, 3, 1);
    SceneFile file(w);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);
    Mesh* quad = static_cast<Mesh*>(scene->findById(2));

    ASSERT_EQ(quad->getIndices().size(), 6u);
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(quad->getIndices()[i], i);
    const std::vector<float>& p = quad->getPositions();
    ASSERT_EQ(p.size(), 18u);
    // Face 1, corner 2 is vertex 3.
    EXPECT_FLOAT_EQ(p[15], 0.0f);
    EXPECT_FLOAT_EQ(p[16], 1.0f);
    const std::vector<float>& n = quad->getNormals();
    ASSERT_EQ(n.size(), 18u);
    for (int c = 0; c < 6; ++c)
        EXPECT_FLOAT_EQ(n[size_t(c) * 3 + 2], 1.0f);
    const std::vector<float>& t = quad->getCoords1();
    ASSERT_EQ(t.size(), 12u);
    EXPECT_FLOAT_EQ(t[10], 0.0f); // vertex 3's coordinate (0, 1), v negated
    EXPECT_FLOAT_EQ(t[11], -1.0f);
    EXPECT_TRUE(quad->getCoords2().empty());
    // Mode 0 neither reflects nor bumps.
    EXPECT_TRUE(quad->getReflectionCoords().empty());
    EXPECT_TRUE(quad->getLightVectors().empty());
}

TEST(SceneSort, SkyFirstTransparentLastFileOrderKept)
{
    SceneWriter w;
    MaterialRecord& glass = w.addMaterial(1, "glass");
    glass.opacity = 0.5f;
    w.addMaterial(2, "stone");
    MaterialRecord& sky = w.addMaterial(3, "sky");
    sky.environment = true;
    addTriangle(w, 10, "Glass1", 1);
    addTriangle(w, 11, "Stone", 2);
    w.addMarker(12, "Marker", Vec3());
    addTriangle(w, 13, "Sky1", 3);
    addTriangle(w, 14, "Glass2", 1);
    addTriangle(w, 15, "Sky2", 3);
    SceneFile file(w);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);

    std::string order;
    for (SceneObject* o = scene->getObjects(); o; o = o->getNext())
        order += o->getName() + " ";
    // Every sky kept, in file order, in front.
    EXPECT_EQ(order, "Sky1 Sky2 Stone Marker Glass1 Glass2 ");
    for (SceneObject* o = scene->getObjects(); o; o = o->getNext()) {
        if (o->getNext()) {
            EXPECT_EQ(o->getNext()->getPrevious(), o);
        }
    }
}

TEST(SceneSort, OnlyTransparentObjectsKeepTheirOrder)
{
    Scene scene;
    Material* add = new Material("add", 1);
    add->setAdditive(true);
    scene.addMaterial(add);
    const char* names[] = {"C", "A", "B"};
    for (const char* name : names) {
        Mesh* m = new Mesh(name, 1);
        m->setMaterial(add);
        scene.addObject(m);
    }
    scene.sortObjects();
    std::string order;
    for (SceneObject* o = scene.getObjects(); o; o = o->getNext())
        order += o->getName();
    EXPECT_EQ(order, "CAB");
}

TEST(SceneSearch, ByIdAndNameSearchTheForestThenLightsCamerasFlares)
{
    Scene scene;
    EXPECT_EQ(scene.findById(0), nullptr);
    Dummy* root = new Dummy("Root", 1);
    Dummy* child = new Dummy("Child", 2);
    Marker* grandchild = new Marker("Deep", 3);
    root->addChild(child);
    child->addChild(grandchild);
    scene.addObject(root);
    scene.addObject(new Marker("Second", 4));
    scene.addLight(new Light("Shared", 5));
    Camera* camera = new Camera("Shared", 5);
    scene.addCamera(camera);
    scene.addCamera(new Camera("Cam", 6));
    scene.addFlare(new Flare("Flare", 7));
    scene.addFlare(new Flare("Deep", 3));

    EXPECT_EQ(scene.findById(0), root);
    EXPECT_EQ(scene.findById(3), grandchild);
    EXPECT_EQ(scene.findByName("Deep"), grandchild);
    EXPECT_EQ(scene.findById(5), scene.getLights());
    EXPECT_EQ(scene.findByName("Shared"), scene.getLights());
    EXPECT_EQ(scene.findById(6)->getName(), "Cam");
    EXPECT_EQ(scene.findById(7), scene.getFlares());
    EXPECT_EQ(scene.findById(8), nullptr);
    EXPECT_EQ(scene.findByName("deep"), nullptr); // exact bytes
    EXPECT_EQ(scene.findMaterial(1), nullptr);

    EXPECT_EQ(scene.getObjectCursor(), root);
    EXPECT_EQ(scene.selectObject("Second")->getId(), 4);
    EXPECT_EQ(scene.selectObject("Nowhere"), nullptr);
    EXPECT_EQ(scene.getObjectCursor(), root);
    EXPECT_EQ(scene.getLightCursor(), scene.getLights());
}

TEST(SceneObjectChains, RecursiveOperationsReachChildrenAndLaterSiblings)
{
    Scene scene;
    Material* m = new Material("m", 1);
    scene.addMaterial(m);
    Mesh* first = new Mesh("First", 1);
    Mesh* child = new Mesh("Child", 2);
    Mesh* second = new Mesh("Second", 3);
    first->addChild(child);
    scene.addObject(first);
    scene.addObject(second);

    second->setMaterial(m);
    EXPECT_EQ(first->getMaterial(), nullptr);
    EXPECT_EQ(second->getMaterial(), m);
    first->setMaterial(m);
    EXPECT_EQ(child->getMaterial(), m);
    first->setReceivesShadow(true);
    EXPECT_TRUE(child->getReceivesShadow());
    EXPECT_TRUE(second->getReceivesShadow());
    scene.hideAll();
    EXPECT_FALSE(child->isVisible());
    EXPECT_FALSE(second->isVisible());
    first->setRenderMode(kModeSecond);
    EXPECT_EQ(m->getRenderMode(), kModeSecond);
    EXPECT_TRUE(m->getUsesReflection());

}

TEST(SceneObjectChains, UnlinkFixesNeighboursAndMovesTheHead)
{
    Dummy* first = new Dummy("First", 1);
    Dummy* child = new Dummy("Child", 2);
    Dummy* second = new Dummy("Second", 3);
    Dummy* third = new Dummy("Third", 4);
    first->addChild(child);
    first->appendSibling(second);
    first->appendSibling(third);

    SceneObject* head = first;
    first->unlink(&head);
    EXPECT_EQ(head, second);
    EXPECT_EQ(second->getPrevious(), nullptr);
    EXPECT_EQ(first->getNext(), nullptr);
    EXPECT_EQ(first->getFirstChild(), child);
    delete first; // with its child, not its former siblings

    second->unlink(&head);
    third->unlink(&head);
    EXPECT_EQ(head, nullptr);
    delete second;
    delete third;

    Dummy* a = new Dummy("A", 1);
    Dummy* b = new Dummy("B", 2);
    Dummy* c = new Dummy("C", 3);
    a->appendSibling(b);
    a->appendSibling(c);
    b->unlink();
    EXPECT_EQ(a->getNext(), c);
    EXPECT_EQ(c->getPrevious(), a);
    delete b;
    delete a; // and c
}

TEST(SceneObjectChains, ALongSiblingListIsDeletedWithoutDeepRecursion)
{
    // Each object deleting its next sibling would nest a million destructors.
    Dummy* head = new Dummy("0", 0);
    SceneObject* last = head;
    for (int i = 1; i < 1000000; ++i) {
        Dummy* d = new Dummy("d", i);
        last->appendSibling(d);
        last = d;
    }
    delete head;
}

TEST(SceneObjectClone, CopiesValuesAndArraysButNoLinks)
{
    SceneWriter w;
    addPlainMaterial(w);
    MeshRecord& m = addTriangle(w, 1, "Tri", 1);
    m.position = Vec3(1, 2, 3);
    m.addCoord1(0, 0.5f);
    m.faces[0].coord1[0] = m.faces[0].coord1[1] = m.faces[0].coord1[2] = 0;
    addTriangle(w, 2, "Child", 1, 1);
    ControllerRecord& s = w.addSamples(1, 1);
    s.addSample(Vec3(5, 5, 5), Quaternion(0, 0, 0, 1));
    SceneFile file(w);
    Scene* scene = loadScene(file);
    ASSERT_NE(scene, nullptr);
    Mesh* original = static_cast<Mesh*>(scene->findById(1));

    std::unique_ptr<SceneObject> copy(original->clone());
    Mesh* mesh = dynamic_cast<Mesh*>(copy.get());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->getName(), "Tri");
    expectVec(mesh->getPosition(), 1, 2, 3);
    EXPECT_EQ(mesh->getFirstChild(), nullptr);
    EXPECT_EQ(mesh->getNext(), nullptr);
    EXPECT_EQ(mesh->getMaterial(), original->getMaterial());
    EXPECT_EQ(mesh->getSampleCount(), 1);
    ASSERT_EQ(mesh->getPositions().size(), 9u);
    EXPECT_NE(mesh->getPositions().data(), original->getPositions().data());
    expectVec(mesh->getCornerNormal(0, 1), 0, 0, 1);
    mesh->getPositions()[0] = 42.0f;
    EXPECT_FLOAT_EQ(original->getPositions()[0], 0.0f);

    for (SceneObject* o : {static_cast<SceneObject*>(new Dummy("D", 1)), static_cast<SceneObject*>(new Marker("M", 2)),
                           static_cast<SceneObject*>(new Flare("F", 3)), static_cast<SceneObject*>(new Camera("C", 4)),
                           static_cast<SceneObject*>(new Light("L", 5))}) {
        o->setPosition(4, 5, 6);
        std::unique_ptr<SceneObject> twin(o->clone());
        const SceneObject& made = *twin;
        const SceneObject& model = *o;
        EXPECT_EQ(typeid(made), typeid(model));
        EXPECT_EQ(twin->getId(), o->getId());
        expectVec(twin->getPosition(), 4, 5, 6);
        delete o;
    }
}
